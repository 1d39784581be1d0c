#pragma once
// Decisions of the main timer's player tick: the queued player command and what plays when a
// track ends.

#include "app/shell/Config.h"
#include "catalog/CatalogTypes.h"

#include <cstdint>
#include <optional>

namespace vorlane {

// The player command queued by keys, buttons and position bars for the next tick; a later one
// before the tick replaces an earlier one.
enum TPlayerCommand : int {
    pcNone = 0,
    pcForward = 1, // position + kSeekStep
    pcBack = 2,    // position - kSeekStep
    pcStop = 3,
    pcPause = 4, // pause or resume
    pcSeek = 5,  // seek to the position chosen on a position bar
};

// Player position units (bytes of the decoded stream) moved by the arrow keys.
constexpr int64_t kSeekStep = 500000;

enum class TTrackEndAction {
    Nothing,        // no repeat item is ticked
    Reopen,         // fOpenFile: the same entry again (repeat one, or the live stream of list 0)
    ControllerNext, // the controller's Next: the next entry opens through code 7, none after the
                    // last
    NextWrapping,   // fNext: after the last entry the first
};

// What follows the end of a track in browse mode `mode` with shown list `listIndex`.
TTrackEndAction TrackEndAction(TBrowseMode mode, int listIndex, TRepeatMode repeat);

// Where a seek command lands: forward and back move by kSeekStep from position (a target before
// the start is handed on as it is: the player leaves the position alone then); a seek goes to
// target. Empty for commands that do not seek.
std::optional<int64_t> SeekTarget(int command, int64_t position, int64_t target);

} // namespace vorlane

namespace vorlane {

// The selected-item scroller of the side lists: a selected line more than 10 pixels too wide for
// its box slides left 2 pixels per tick until its end shows, then back, and again.
struct TItemScroll {
    int Xs = 1;   // horizontal offset of the text (xs1)
    int Ys = 1;   // top of the row it belongs to (ys1)
    int Xsv = -2; // step (xsv1)
};

// One tick for the selected row at rowTop whose text is textWidth wide in a box boxWidth wide.
// Returns false (and changes nothing) when the text fits: it is then drawn as usual.
bool ScrollSelectedStep(TItemScroll &state, int rowTop, int boxWidth, int textWidth);

} // namespace vorlane
