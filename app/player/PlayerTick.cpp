#include "app/player/PlayerTick.h"

#include "catalog/CatalogTypes.h"

namespace vorlane {

TTrackEndAction TrackEndAction(TBrowseMode mode, int listIndex, TRepeatMode repeat)
{
    // Internet list 0 holds the live streams: an ended stream is simply opened again.
    if (mode == bmInternetFiles && listIndex == 0)
        return TTrackEndAction::Reopen;
    switch (repeat) {
    case TRepeatMode::rmOne: return TTrackEndAction::Reopen;
    case TRepeatMode::rmNot: return TTrackEndAction::ControllerNext;
    case TRepeatMode::rmAll: return TTrackEndAction::NextWrapping;
    case TRepeatMode::rmUnset: break;
    }
    return TTrackEndAction::Nothing;
}

std::optional<int64_t> SeekTarget(int command, int64_t position, int64_t target)
{
    switch (command) {
    case pcForward: return position + kSeekStep;
    case pcBack: return position - kSeekStep;
    case pcSeek: return target;
    default: return std::nullopt;
    }
}

} // namespace vorlane

namespace vorlane {

bool ScrollSelectedStep(TItemScroll &s, int rowTop, int boxWidth, int textWidth)
{
    if (rowTop != s.Ys) { // a new selection starts from the left
        s.Ys = rowTop;
        s.Xs = 1;
        s.Xsv = -2;
    }
    const int d = boxWidth - textWidth;
    if (d >= -10)
        return false;
    const int step = s.Xsv < 0 ? -s.Xsv : s.Xsv;
    if (s.Xs > 1)
        s.Xsv = -step;
    if (d >= s.Xs)
        s.Xsv = step;
    s.Xs += s.Xsv;
    if (s.Xs > 1) {
        s.Xs = 0;
        s.Xsv = -2;
    }
    return true;
}

} // namespace vorlane
