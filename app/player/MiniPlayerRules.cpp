#include "app/player/MiniPlayerRules.h"

namespace vorlane {

// The edges are compared as "left + width" (one past the last pixel), as the window reports them.
namespace {

int RightOf(const QRect &r)
{
    return r.x() + r.width();
}

int BottomOf(const QRect &r)
{
    return r.y() + r.height();
}

} // namespace

QPoint MiniPlayerHome(const QRect &workArea, const QSize &size)
{
    return {RightOf(workArea) - size.width(), BottomOf(workArea) - size.height()};
}

QPoint MiniPlayerActivated(const QRect &window, const QRect &workArea)
{
    if (RightOf(window) > RightOf(workArea) || BottomOf(window) > BottomOf(workArea))
        return MiniPlayerHome(workArea, window.size());
    return window.topLeft();
}

QPoint MiniPlayerMoved(const QRect &window, const QRect &workArea)
{
    QPoint at = window.topLeft();
    if (RightOf(window) >= RightOf(workArea))
        at.setX(RightOf(workArea) - window.width());
    if (BottomOf(window) >= BottomOf(workArea))
        at.setY(BottomOf(workArea) - window.height());
    if (at.x() <= workArea.x())
        at.setX(workArea.x());
    return at;
}

bool MiniPlayerShown(bool optionOn, bool mainMinimised)
{
    return optionOn && mainMinimised;
}

int MiniPlayerFadeStep(int opacity, bool pointerPresent)
{
    if (pointerPresent && opacity < 249)
        return opacity + 6;
    if (!pointerPresent && opacity > 50)
        return opacity - 1;
    return opacity;
}

} // namespace vorlane
