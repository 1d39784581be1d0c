#include "app/shell/WindowFrame.h"

#include "app/widgets/Icons.h"
#include "app/widgets/TextScroller.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

namespace vorlane {

namespace {

QWidget *place(const char *name, int minimumWidth)
{
    auto *w = new QWidget;
    w->setObjectName(QLatin1String(name));
    w->setMinimumWidth(minimumWidth);
    return w;
}

QSplitter *splitter(const char *name, Qt::Orientation orientation, QWidget *parent = nullptr)
{
    auto *s = new QSplitter(orientation, parent);
    s->setObjectName(QLatin1String(name));
    s->setHandleWidth(6);
    return s;
}

QVBoxLayout *bareColumn(QWidget *host)
{
    auto *layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

} // namespace

TWindowFrame BuildWindowFrame(QMainWindow *window)
{
    TWindowFrame f;
    auto *central = new QWidget(window);
    central->setObjectName(QStringLiteral("sPMain"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 4);
    outer->setSpacing(6);

    // Waveform strip on top, the three panels below it.
    f.sSPTop = splitter("sSPTop", Qt::Vertical, central);
    f.sSPTop->setChildrenCollapsible(false);
    f.sPTop = new QFrame;
    f.sPTop->setObjectName(QStringLiteral("sPTop"));
    f.sPTop->setMinimumHeight(28);
    f.Strip = new QHBoxLayout(f.sPTop);
    f.Strip->setContentsMargins(2, 2, 2, 2);
    f.sSPLeft = splitter("sSPLeft", Qt::Horizontal);
    f.sSpCentral = splitter("sSpCentral", Qt::Horizontal);
    f.sPLeft = place("sPLeft", 120);

    // The splitters go into the window before the big panels go into them.
    f.sSPTop->addWidget(f.sPTop);
    f.sSPTop->addWidget(f.sSPLeft);
    f.sSPTop->setStretchFactor(1, 1);
    outer->addWidget(f.sSPTop, 1);
    f.sSPLeft->addWidget(f.sPLeft);
    f.sSPLeft->addWidget(f.sSpCentral);
    f.sSPLeft->setStretchFactor(1, 1);
    f.sPCenter = place("sPCenter", 0);
    f.sSpCentral->addWidget(f.sPCenter);
    f.sPRight = place("sPRight", 220);
    f.sSpCentral->addWidget(f.sPRight);
    f.sSpCentral->setStretchFactor(0, 1);
    f.Left = bareColumn(f.sPLeft);
    f.Centre = bareColumn(f.sPCenter);
    f.Centre->setSpacing(4);
    f.Right = bareColumn(f.sPRight);

    auto *player = new QFrame;
    player->setObjectName(QStringLiteral("sPPlayer"));
    outer->addWidget(player);
    f.PlayerRow = new QHBoxLayout(player);
    f.PlayerRow->setContentsMargins(8, 5, 8, 5);
    f.PlayerRow->setSpacing(4);

    f.TSStatus = new TTextScroller(central);
    f.TSStatus->setObjectName(QStringLiteral("TSStatus"));
    f.TSStatus->setFixedHeight(f.TSStatus->sizeHint().height());
    f.TSStatus->setCursor(Qt::PointingHandCursor);
    outer->addWidget(f.TSStatus);
    window->setCentralWidget(central);

    f.TrayIcon = new QSystemTrayIcon(AppIcon(), window);
    f.TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    return f;
}

} // namespace vorlane
