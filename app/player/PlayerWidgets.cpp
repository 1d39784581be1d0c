#include "app/player/PlayerWidgets.h"

#include "base/PlayerRules.h"

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

QRect TPeaksStrip::area() const
{
    return rect().adjusted(kMarginX, kMarginY, -kMarginX, -kMarginY);
}

QSize TPeaksStrip::AreaSize() const
{
    return area().size().expandedTo(QSize(1, 1));
}

void TPeaksStrip::SetText(const QString &text)
{
    vText = text;
    vImage = QImage();
    update();
}

void TPeaksStrip::SetImage(const QImage &image)
{
    vImage = image;
    update();
}

void TPeaksStrip::SetCursorColumn(std::optional<int> column)
{
    if (column == vCursor)
        return;
    vCursor = column;
    update();
}

void TPeaksStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect a = area();
    if (vImage.isNull()) {
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont f = font();
        f.setPixelSize(std::max(10, int(a.height() * 0.62)));
        f.setBold(true);
        p.setFont(f);
        QColor faint = palette().color(QPalette::WindowText);
        faint.setAlpha(110); // readable on light and dark themes alike
        p.setPen(faint);
        // A title wider than the strip is squeezed into it rather than cut.
        const int textWidth = p.fontMetrics().horizontalAdvance(vText);
        if (textWidth > a.width() && textWidth > 0) {
            p.save();
            p.translate(a.left(), 0);
            p.scale(double(a.width()) / textWidth, 1.0);
            p.drawText(QRect(0, a.top(), textWidth, a.height()), Qt::AlignCenter, vText);
            p.restore();
        } else {
            p.drawText(a, Qt::AlignCenter, vText);
        }
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(a, vImage);
    }
    if (vCursor && *vCursor >= 0 && *vCursor < a.width()) {
        // The cursor inverts what lies under it, so it shows on any theme and any overview.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(QRect(a.left() + *vCursor, a.top(), 2, a.height()), Qt::white);
    }
}

void TPeaksStrip::mouseReleaseEvent(QMouseEvent *event)
{
    const QRect a = area();
    if (event->button() == Qt::LeftButton && a.width() > 0)
        Q_EMIT seekRequested(std::clamp(int(event->position().x()) - a.left(), 0, a.width() - 1),
                             a.width());
}

const QString TVisualIndicator::kTitleText = QStringLiteral("Vorlane Kestrio 2015");

TVisualIndicator::TVisualIndicator(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("IVisualIndicator"));
    setFixedSize(150, 26);
    setCursor(Qt::PointingHandCursor);
}

void TVisualIndicator::SetVisMode(int mode)
{
    vMode = mode >= 0 && mode < kVisModes ? mode : 0;
    vFrame = QImage();
    update();
}

void TVisualIndicator::ShowFrame(const QImage *frame)
{
    if (frame)
        vFrame = frame->copy();
    else if (vFrame.isNull())
        return; // the title stands already
    else
        vFrame = QImage();
    update();
}

void TVisualIndicator::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    SetVisMode(NextVisMode(vMode));
    Q_EMIT visModeChanged(vMode);
}

void TVisualIndicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.fillPath(frame, QColor(0x1d, 0x22, 0x2b));
    if (vMode != 0 && !vFrame.isNull()) {
        p.setClipPath(frame);
        p.drawImage(rect(), vFrame);
        return;
    }
    if (vMode != 0)
        return; // blank until the first frame of the view
    p.setPen(QColor(0xe8, 0xee, 0xf6));
    QFont f = font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 4, 150, 21), Qt::AlignCenter, kTitleText);
}

} // namespace vorlane
