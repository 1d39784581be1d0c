#include "app/widgets/IndicatorWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace vorlane {

TIndicatorWindow::TIndicatorWindow(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                          Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("IndicatorWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font = Label1->font();
    font.setPixelSize(36);
    font.setBold(true);
    Label1->setFont(font);
    // The colours are the window's own, whatever theme the rest of the program wears.
    Label1->setStyleSheet(QStringLiteral("QLabel { color: #FFFF00; background: transparent; }"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setContentsMargins(22, 10, 22, 12);
    Label1->installEventFilter(this);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, &TIndicatorWindow::Timer1Timer);
    Timer1->start();

    Label1->setMinimumSize(kEmptyWidth, kEmptyHeight);
    applyOpacity();
}

QString TIndicatorWindow::Text() const
{
    return Label1->text();
}

void TIndicatorWindow::SetText(const QString &value)
{
    Label1->setText(value);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    vOpacity = 255;
    applyOpacity();
}

void TIndicatorWindow::Timer1Timer()
{
    if (vOpacity <= 0)
        return;
    vOpacity = std::max(0, vOpacity - kFadeStep);
    applyOpacity();
    if (vOpacity == 0)
        hide();
}

void TIndicatorWindow::applyOpacity()
{
    setWindowOpacity(vOpacity / 255.0);
}

void TIndicatorWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0xBB, 0xFF));
    p.drawRoundedRect(QRectF(Label1->geometry()), 10, 10);
}

bool TIndicatorWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonPress) {
        vOpacity = 0;
        applyOpacity();
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorlane
