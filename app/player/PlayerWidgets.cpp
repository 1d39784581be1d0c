#include "app/player/PlayerWidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace vorlane {

TPeaksStrip::TPeaksStrip(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PBPeaksIndicator"));
    setMinimumHeight(24);
    setCursor(Qt::PointingHandCursor);
}

void TPeaksStrip::SetText(const QString &text)
{
    vText = text;
    vPeaks.clear();
    update();
}

void TPeaksStrip::SetPeaks(const QList<QPair<float, float>> &peaks)
{
    vPeaks = peaks;
    update();
}

void TPeaksStrip::SetPosition(double share)
{
    if (share == vPosition)
        return;
    vPosition = share;
    update();
}

void TPeaksStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = palette();
    const QRectF area = QRectF(rect()).adjusted(6, 3, -6, -3);
    if (vPeaks.isEmpty()) {
        QFont f = font();
        f.setPixelSize(std::max(10, int(area.height() * 0.62)));
        f.setBold(true);
        p.setFont(f);
        QColor faint = pal.color(QPalette::WindowText);
        faint.setAlpha(110); // readable on light and dark themes alike
        p.setPen(faint);
        p.drawText(area, Qt::AlignCenter, vText);
    } else {
        const double mid = area.center().y();
        const double half = area.height() / 2;
        p.setPen(QPen(pal.color(QPalette::Highlight), 1));
        const int n = int(vPeaks.size());
        for (int x = 0; x < int(area.width()); ++x) {
            const auto &pk = vPeaks.at(std::min(n - 1, x * n / std::max(1, int(area.width()))));
            const double px = area.left() + x + 0.5;
            p.drawLine(QPointF(px, mid - pk.first * half), QPointF(px, mid + pk.second * half));
        }
    }
    if (vPosition >= 0) {
        const double x = area.left() + std::clamp(vPosition, 0.0, 1.0) * area.width();
        p.setPen(QPen(pal.color(QPalette::WindowText), 2));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
}

void TPeaksStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && width() > 12)
        Q_EMIT seekRequested(std::clamp((event->position().x() - 6) / (width() - 12), 0.0, 1.0));
}

const QString TVisualIndicator::kTitleText = QStringLiteral("Vorlane Kestrio 2015");

TVisualIndicator::TVisualIndicator(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("IVisualIndicator"));
    setFixedSize(150, 26);
}

void TVisualIndicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.fillPath(frame, QColor(0x1d, 0x22, 0x2b));
    p.setPen(QColor(0xe8, 0xee, 0xf6));
    QFont f = font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 4, 150, 21), Qt::AlignCenter, kTitleText);
}

} // namespace vorlane
