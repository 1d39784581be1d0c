#pragma once
// Where the mini player stands and how it fades, as pure geometry: the window applies the results
// to itself. Rectangles are frame geometries in screen coordinates; `workArea` is the screen's
// work area (the screen without panels). Any thread.

#include <QPoint>
#include <QRect>

namespace vorlane {

// The bottom-right corner of the work area: where the mini player is made, and where it returns.
QPoint MiniPlayerHome(const QRect &workArea, const QSize &size);

// On activation: a window whose right or bottom edge lies beyond the work area goes back to the
// home corner; otherwise it stays.
QPoint MiniPlayerActivated(const QRect &window, const QRect &workArea);

// After a move: an edge that reaches the right or bottom side snaps back inside; a window past the
// left side stops at it. The top is not limited.
QPoint MiniPlayerMoved(const QRect &window, const QRect &workArea);

// The mini player stands in for the main window only when the option is on and the main window
// is minimised.
bool MiniPlayerShown(bool optionOn, bool mainMinimised);

// Opacity (0..255) after one fade step of 100 ms: with the pointer present it brightens by 6 while
// below 249; away it dims by 1 while above 50. So about 1 s to brighten and 15 s to dim.
int MiniPlayerFadeStep(int opacity, bool pointerPresent);

} // namespace vorlane
