#pragma once
// The window's three hideable panels (the navigator sPLeft, the side panel sPRight, the
// waveform strip sPTop), each behind a splitter handle: a click on the handle shows its panel
// again, a double click hides it; the handle's hint and cursor say which. Main thread only.

#include <QObject>

class QWidget;

namespace vorlane {

class TPanelSplitters : public QObject {
    Q_OBJECT

public:
    // The panels must already stand in their splitters.
    TPanelSplitters(std::initializer_list<QWidget *> panels, QWidget *sidePanel, QObject *parent);

    // Whether a panel is shown; hiding one keeps its splitter.
    static bool PanelShown(QWidget *panel);
    // Shows or hides a panel; the side panel comes back at its usual width.
    void SetPanelShown(QWidget *panel, bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *vSidePanel;
};

} // namespace vorlane
