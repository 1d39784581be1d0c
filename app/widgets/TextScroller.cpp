#include "app/widgets/TextScroller.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace vorlane {

TTextScroller::TTextScroller(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    vTextWidth = fontMetrics().horizontalAdvance(vText);
}

void TTextScroller::SetText(const QString &value)
{
    const QString text = value.isEmpty() ? QStringLiteral(" ") : value;
    if (text == vText)
        return;
    vXPos = 0;
    vText = text;
    vTextWidth = fontMetrics().horizontalAdvance(vText);
    update();
}

void TTextScroller::ScrollText()
{
    vXMin = TextAreaWidth() - vTextWidth;
    if (vXMin < -5) {
        if (vXPos < vXMin)
            vScrollVector = std::abs(vScrollVector);
        if (vXPos > 1)
            vScrollVector = -std::abs(vScrollVector);
        vXPos += vScrollVector;
    } else {
        vXPos = 1;
    }
    update();
}

void TTextScroller::SetTextPosition(int x, int y)
{
    vXPos = std::max(0, x);
    vYPos = std::max(0, y);
    update();
}

QSize TTextScroller::sizeHint() const
{
    return {200, fontMetrics().height() + 8};
}

QSize TTextScroller::minimumSizeHint() const
{
    return {40, fontMetrics().height() + 4};
}

void TTextScroller::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.window());
    p.setRenderHint(QPainter::Antialiasing);
    // The outline hugs the text, or the whole control when the text is wider.
    const int right = vTextWidth > TextAreaWidth() ? width() : vTextWidth + 3 + 2 * kInset;
    const QRectF frame(0.5, 0.5, std::max(0, right - 1), height() - 1);
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.setBrush(pal.base());
    p.drawRoundedRect(frame, 5, 5);
    p.setPen(pal.color(QPalette::WindowText));
    p.setClipRect(rect().adjusted(2, 1, -2, -1));
    p.drawText(QPoint(kInset + vXPos, vYPos + fontMetrics().ascent()), vText);
}

void TTextScroller::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void TTextScroller::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        vTextWidth = fontMetrics().horizontalAdvance(vText);
    QWidget::changeEvent(event);
}

} // namespace vorlane
