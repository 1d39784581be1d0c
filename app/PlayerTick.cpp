#include "app/PlayerTick.h"

#include "core/CatalogTypes.h"

namespace vorlane {

TTrackEndAction TrackEndAction(uint32_t mode, int listIndex, TRepeatMode repeat)
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
