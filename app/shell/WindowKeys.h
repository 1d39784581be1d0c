#pragma once
// TWindowKeys: the keys and the wheel of the main window, seen before its controls (an
// application-wide event filter that acts only on the main window's widgets). Which key does
// what where the focus is is WindowKeyAction's (app/browse/BrowseRules.h); this carries it out
// on the panels. Main thread only.

#include "app/browse/BrowseRules.h"

#include <QObject>

class QKeyEvent;
class QWheelEvent;
class QWidget;

namespace vorlane {

class TBrowsePanel;
class TCatalogTools;
class TNamingTools;
class TPlayerPanel;
class TSidePanel;
class TVorlane;
struct TMenus;

class TWindowKeys : public QObject {
    Q_OBJECT

public:
    struct TParts {
        TVorlane *Vorlane = nullptr;
        const TMenus *Menus = nullptr;
        TBrowsePanel *Browse = nullptr;
        TSidePanel *Side = nullptr;
        TPlayerPanel *Player = nullptr;
        TCatalogTools *CatalogTools = nullptr;
        TNamingTools *NamingTools = nullptr;
    };

    // Watches the application's events for those of `window`'s widgets.
    TWindowKeys(QWidget *window, const TParts &parts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TKeyFocus keyFocus() const;
    bool handleKey(QKeyEvent *event);
    bool handleWheel(QWheelEvent *event);
    bool carryOut(const TKeyAction &a);

    QWidget *vWindow;
    TParts vParts;
};

} // namespace vorlane
