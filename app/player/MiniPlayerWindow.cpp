#include "app/player/MiniPlayerWindow.h"

#include "app/browse/BrowseRules.h"
#include "app/player/MiniPlayerRules.h"
#include "app/widgets/NamedWidgets.h"
#include "app/widgets/TextScroller.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace vorlane {

const QString TMiniPlayerWindow::kCaption = QStringLiteral("Vorlane Kestrio Mini");
const QString TMiniPlayerWindow::kIdleTitle =
    QStringLiteral("------Vorlane Kestrio Mini Player-------");

TMiniPlayerWindow::TMiniPlayerWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("MiniPlayerWindow"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);

    auto *h = new QHBoxLayout(this);
    h->setContentsMargins(4, 2, 6, 2);
    h->setSpacing(2);
    sSBPlayerUp = GlyphToolButton("sSBPlayerUp", TGlyph::Previous, QStringLiteral("Previous"));
    sSBPlayerPlay = GlyphToolButton("sSBPlayerPlay", TGlyph::Play, QStringLiteral("Play / pause"));
    sSBPlayerStop = GlyphToolButton("sSBPlayerStop", TGlyph::Stop, QStringLiteral("Stop"));
    sSBPlayerDown = GlyphToolButton("sSBPlayerDown", TGlyph::Next, QStringLiteral("Next"));
    for (QToolButton *b : {sSBPlayerUp, sSBPlayerPlay, sSBPlayerStop, sSBPlayerDown}) {
        b->setIconSize(QSize(16, 16));
        h->addWidget(b);
    }
    h->addSpacing(4);

    TSFileName = new TTextScroller;
    TSFileName->setObjectName(QStringLiteral("TSFileName"));
    TSFileName->SetText(kIdleTitle);
    TSFileName->SetVector(1);
    TSFileName->setCursor(Qt::PointingHandCursor);
    TSFileName->setToolTip(QStringLiteral("Vorlane Kestrio"));
    TSFileName->setFixedHeight(TSFileName->fontMetrics().height() + 3);
    TSFileName->SetTextPosition(0, 1);
    auto *middle = new QVBoxLayout;
    middle->setContentsMargins(0, 1, 0, 1);
    middle->setSpacing(2);
    middle->addWidget(TSFileName);
    sPBPositionRegulator = new QProgressBar;
    sPBPositionRegulator->setObjectName(QStringLiteral("sPBPositionRegulator"));
    sPBPositionRegulator->setTextVisible(false);
    sPBPositionRegulator->setRange(0, 1);
    sPBPositionRegulator->setValue(0);
    sPBPositionRegulator->setFixedHeight(4);
    sPBPositionRegulator->setMouseTracking(true);
    sPBPositionRegulator->installEventFilter(this);
    middle->addWidget(sPBPositionRegulator);
    h->addLayout(middle, 1);
    h->addSpacing(4);

    sETimeIndicator = new QLineEdit(QStringLiteral("00:00/00:00"));
    sETimeIndicator->setObjectName(QStringLiteral("sETimeIndicator"));
    sETimeIndicator->setReadOnly(true);
    sETimeIndicator->setFrame(false);
    sETimeIndicator->setAlignment(Qt::AlignCenter);
    sETimeIndicator->setFocusPolicy(Qt::NoFocus);
    sETimeIndicator->setFixedWidth(
        sETimeIndicator->fontMetrics().horizontalAdvance(QStringLiteral("00:00/00:00")) + 22);
    sETimeIndicator->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0px; }"));
    h->addWidget(sETimeIndicator);
    sTBVolume = new QSlider(Qt::Horizontal);
    sTBVolume->setObjectName(QStringLiteral("sTBVolume"));
    sTBVolume->setRange(1, 128);
    sTBVolume->setValue(50);
    sTBVolume->setFixedWidth(70);
    h->addWidget(sTBVolume);

    connect(TSFileName, &TTextScroller::clicked, this, [this] {
        vPlayerShowed = false;
        Q_EMIT restoreRequested();
    });

    MPT = new QTimer(this);
    MPT->setInterval(kFadeMs);
    connect(MPT, &QTimer::timeout, this, &TMiniPlayerWindow::MPTTimer);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(MiniPlayerHome(screen->availableGeometry(), frameGeometry().size()));
}

QRect TMiniPlayerWindow::workArea() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

void TMiniPlayerWindow::ShowInPlace()
{
    vPlayerShowed = true;
    vOpacity = 255;
    applyOpacity();
    show();
    raise();
    MPT->start();
}

void TMiniPlayerWindow::HideStrip()
{
    vPlayerShowed = false;
    MPT->stop();
    hide();
}

void TMiniPlayerWindow::MPTTimer()
{
    if (!isVisible())
        return;
    const bool present = frameGeometry().contains(QCursor::pos()) || underMouse();
    FadeStep(present);
}

void TMiniPlayerWindow::FadeStep(bool pointerPresent)
{
    const int next = MiniPlayerFadeStep(vOpacity, pointerPresent);
    if (next == vOpacity)
        return;
    vOpacity = next;
    applyOpacity();
}

void TMiniPlayerWindow::applyOpacity()
{
    setWindowOpacity(vOpacity / 255.0);
}

void TMiniPlayerWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // On activation a strip left outside the work area goes back to its corner.
    const QPoint place = MiniPlayerActivated(frameGeometry(), workArea());
    if (place != frameGeometry().topLeft())
        move(place);
}

void TMiniPlayerWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (vSnapping)
        return;
    const QPoint place = MiniPlayerMoved(frameGeometry(), workArea());
    if (place != frameGeometry().topLeft()) {
        vSnapping = true;
        move(place);
        vSnapping = false;
    }
}

void TMiniPlayerWindow::closeEvent(QCloseEvent *event)
{
    // The strip stands in for the main window: closing it closes the program, as closing the
    // window would.
    QWidget::closeEvent(event);
    HideStrip();
    Q_EMIT closeRequested();
}

void TMiniPlayerWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool TMiniPlayerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != sPBPositionRegulator ||
        (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease))
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    QProgressBar *bar = sPBPositionRegulator;
    const TPositionPick pick =
        PositionBarPick(int(mouse->position().x()), bar->maximum(), bar->width());
    if (event->type() == QEvent::MouseMove) {
        if (mouse->buttons() & Qt::LeftButton) {
            bar->setValue(pick.BarValue);
            Q_EMIT positionDragged();
        }
    } else {
        Q_EMIT positionReleased(pick.Bytes, mouse->button() == Qt::LeftButton);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorlane
