#include "app/shell/PanelSplitters.h"

#include "base/Messages.h"

#include <QEvent>
#include <QSplitter>
#include <QVariant>

#include <algorithm>

namespace vorlane {

namespace {

// The splitter handle in front of a panel, with the panel's index in its splitter.
struct TPanelHandle {
    QSplitter *Splitter = nullptr;
    int Index = -1;
};

TPanelHandle handleOf(QWidget *panel)
{
    for (QWidget *p = panel; p; p = p->parentWidget()) {
        auto *splitter = qobject_cast<QSplitter *>(p->parentWidget());
        if (splitter)
            return {splitter, splitter->indexOf(p)};
    }
    return {};
}

} // namespace

TPanelSplitters::TPanelSplitters(std::initializer_list<QWidget *> panels, QWidget *sidePanel,
                                 QObject *parent)
    : QObject(parent)
    , vSidePanel(sidePanel)
{
    for (QWidget *panel : panels) {
        const TPanelHandle h = handleOf(panel);
        if (!h.Splitter)
            continue;
        h.Splitter->setCollapsible(h.Index, true);
        h.Splitter->setCollapsible(h.Index == 0 ? 1 : 0, false);
        if (QSplitterHandle *handle = h.Splitter->handle(1)) {
            handle->setProperty("panel", QVariant::fromValue<QObject *>(panel));
            handle->installEventFilter(this);
            handle->setToolTip(Msg().SM_DBLCLICKHIDE);
        }
    }
}

bool TPanelSplitters::PanelShown(QWidget *panel)
{
    const TPanelHandle h = handleOf(panel);
    if (!h.Splitter || h.Index < 0)
        return !panel->isHidden();
    return !panel->isHidden() && h.Splitter->sizes().value(h.Index) > 0;
}

void TPanelSplitters::SetPanelShown(QWidget *panel, bool shown)
{
    const TPanelHandle h = handleOf(panel);
    if (!h.Splitter || h.Index < 0)
        return;
    QList<int> sizes = h.Splitter->sizes();
    const int other = h.Index == 0 ? 1 : 0;
    if (sizes.size() != 2)
        return;
    const int total = sizes[0] + sizes[1];
    const bool horizontal = h.Splitter->orientation() == Qt::Horizontal;
    if (shown) {
        if (sizes[h.Index] > 0)
            return;
        int want = panel->property("restoreSize").toInt();
        if (panel == vSidePanel)
            want = 210; // the side panel comes back at its usual width
        want = std::max(want, horizontal ? panel->minimumWidth() : panel->minimumHeight());
        sizes[h.Index] = want;
        sizes[other] = std::max(0, total - want);
    } else {
        if (sizes[h.Index] == 0)
            return;
        panel->setProperty("restoreSize", sizes[h.Index]);
        sizes[h.Index] = 0;
        sizes[other] = total;
    }
    h.Splitter->setSizes(sizes);
    // The hint and cursor of the handle say what a click does now.
    const int handleIndex = h.Index == 0 ? 1 : h.Index;
    if (QSplitterHandle *handle = h.Splitter->handle(handleIndex)) {
        handle->setToolTip(shown ? Msg().SM_DBLCLICKHIDE : Msg().SM_ClICKSHOW);
        handle->setCursor(shown ? (horizontal ? Qt::SplitHCursor : Qt::SplitVCursor)
                                : Qt::PointingHandCursor);
    }
}

bool TPanelSplitters::eventFilter(QObject *watched, QEvent *event)
{
    auto *handle = qobject_cast<QSplitterHandle *>(watched);
    auto *panel =
        handle ? qobject_cast<QWidget *>(handle->property("panel").value<QObject *>()) : nullptr;
    if (!panel)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick) {
        SetPanelShown(panel, false);
        handle->setProperty("hiddenByDoubleClick", true); // its release is not a click
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (handle->property("hiddenByDoubleClick").toBool()) {
            handle->setProperty("hiddenByDoubleClick", false);
            return true;
        }
        if (!PanelShown(panel)) {
            SetPanelShown(panel, true);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vorlane
