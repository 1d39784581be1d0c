#include "app/widgets/Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

namespace vorlane {

namespace {

void drawGlyph(QPainter &p, TGlyph g, const QRectF &r, const QColor &c)
{
    const double s = std::min(r.width(), r.height());
    const double u = s / 16.0; // one unit of a 16 x 16 design
    p.save();
    p.translate(r.center().x() - 8 * u, r.center().y() - 8 * u);
    p.scale(u, u);
    QPen pen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const auto fill = [&p, &c](const QPainterPath &path) { p.fillPath(path, c); };
    QFont f = QApplication::font();
    f.setBold(true);
    switch (g) {
    case TGlyph::Back: {
        p.drawLine(QPointF(13, 8), QPointF(3.5, 8));
        p.drawPolyline(QPolygonF({{7.5, 4}, {3.5, 8}, {7.5, 12}}));
        break;
    }
    case TGlyph::Computer:
        p.drawRoundedRect(QRectF(2, 2.5, 12, 8.5), 1.5, 1.5);
        p.drawLine(QPointF(8, 11), QPointF(8, 13.5));
        p.drawLine(QPointF(5, 13.5), QPointF(11, 13.5));
        break;
    case TGlyph::Internet:
        p.drawEllipse(QRectF(2, 2, 12, 12));
        p.drawEllipse(QRectF(5.2, 2, 5.6, 12));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
        break;
    case TGlyph::Bookmarks: {
        QPainterPath path;
        path.moveTo(4, 2);
        path.lineTo(12, 2);
        path.lineTo(12, 14);
        path.lineTo(8, 10.5);
        path.lineTo(4, 14);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case TGlyph::Playlists:
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(2, 3.5 + i * 4), QPointF(10, 3.5 + i * 4));
        }
        p.drawEllipse(QRectF(10, 10, 3.5, 3));
        p.drawLine(QPointF(13.5, 11.5), QPointF(13.5, 4));
        break;
    case TGlyph::Search:
        p.drawEllipse(QRectF(2.5, 2.5, 8, 8));
        p.drawLine(QPointF(9.5, 9.5), QPointF(13.5, 13.5));
        break;
    case TGlyph::SortAZ:
    case TGlyph::SortZA: {
        f.setPixelSize(7);
        p.setFont(f);
        const bool az = g == TGlyph::SortAZ;
        p.drawText(QRectF(0, 0, 9, 8), Qt::AlignCenter, az ? "A" : "Z");
        p.drawText(QRectF(0, 8, 9, 8), Qt::AlignCenter, az ? "Z" : "A");
        p.drawLine(QPointF(12.5, 2.5), QPointF(12.5, 13));
        p.drawPolyline(QPolygonF({{10, 10.5}, {12.5, 13.5}, {15, 10.5}}));
        break;
    }
    case TGlyph::SortDate:
        p.drawEllipse(QRectF(2, 2, 12, 12));
        p.drawPolyline(QPolygonF({{8, 4.5}, {8, 8}, {10.5, 9.5}}));
        break;
    case TGlyph::SortDefault:
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(3, 3.5 + i * 3), QPointF(13, 3.5 + i * 3));
        break;
    case TGlyph::Previous:
    case TGlyph::Next: {
        p.save();
        if (g == TGlyph::Previous) {
            p.translate(16, 0);
            p.scale(-1, 1);
        }
        QPainterPath tri;
        tri.addPolygon(QPolygonF({{3, 3}, {11, 8}, {3, 13}}));
        tri.closeSubpath();
        fill(tri);
        p.fillRect(QRectF(11.5, 3, 2, 10), c);
        p.restore();
        break;
    }
    case TGlyph::Play: {
        QPainterPath tri;
        tri.addPolygon(QPolygonF({{4.5, 2.5}, {13.5, 8}, {4.5, 13.5}}));
        tri.closeSubpath();
        fill(tri);
        break;
    }
    case TGlyph::Pause:
        p.fillRect(QRectF(4, 3, 3, 10), c);
        p.fillRect(QRectF(9, 3, 3, 10), c);
        break;
    case TGlyph::Stop: {
        QPainterPath sq;
        sq.addRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
        fill(sq);
        break;
    }
    case TGlyph::Record: {
        QPainterPath dot;
        dot.addEllipse(QRectF(3.5, 3.5, 9, 9));
        p.fillPath(dot, QColor(0xe0, 0x45, 0x45));
        break;
    }
    case TGlyph::Add:
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case TGlyph::Edit:
        p.drawLine(QPointF(3.5, 12.5), QPointF(12, 4));
        p.drawLine(QPointF(3, 13.5), QPointF(6, 13.5));
        break;
    case TGlyph::Remove: p.drawLine(QPointF(3, 8), QPointF(13, 8)); break;
    case TGlyph::Open:
        p.drawPolyline(QPolygonF({{2, 13}, {2, 3}, {6.5, 3}, {8, 5}, {14, 5}, {14, 13}, {2, 13}}));
        break;
    case TGlyph::Copy:
        p.drawRoundedRect(QRectF(2.5, 2.5, 8, 8), 1.2, 1.2);
        p.drawRoundedRect(QRectF(5.5, 5.5, 8, 8), 1.2, 1.2);
        break;
    case TGlyph::Move:
        p.drawLine(QPointF(2.5, 8), QPointF(13, 8));
        p.drawPolyline(QPolygonF({{9.5, 4.5}, {13, 8}, {9.5, 11.5}}));
        break;
    case TGlyph::Duplicates:
        p.drawEllipse(QRectF(2, 4, 7, 7));
        p.drawEllipse(QRectF(7, 4, 7, 7));
        break;
    case TGlyph::Apply: p.drawPolyline(QPolygonF({{3, 8.5}, {6.5, 12}, {13, 4.5}})); break;
    case TGlyph::Cover:
        p.drawRoundedRect(QRectF(2, 3, 12, 10), 1.5, 1.5);
        p.drawPolyline(QPolygonF({{3.5, 11.5}, {7, 7.5}, {9.5, 10}, {11, 8.5}, {13, 10.5}}));
        break;
    case TGlyph::Tag:
        p.drawPolyline(
            QPolygonF({{2.5, 2.5}, {8.5, 2.5}, {14, 8}, {8, 14}, {2.5, 8.5}, {2.5, 2.5}}));
        p.drawEllipse(QRectF(5, 5, 1.8, 1.8));
        break;
    }
    p.restore();
}

// Draws at whatever size and state the button asks for, so icons stay crisp at any scale.
class TGlyphEngine : public QIconEngine {
public:
    TGlyphEngine(TGlyph glyph, const QColor &colour)
        : vGlyph(glyph)
        , vColour(colour)
    {
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor c =
            vColour.isValid() ? vColour : QApplication::palette().color(QPalette::ButtonText);
        if (mode == QIcon::Disabled)
            c.setAlphaF(0.35f);
        painter->setRenderHint(QPainter::Antialiasing);
        drawGlyph(*painter, vGlyph, rect, c);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        p.end();
        return QPixmap::fromImage(img);
    }
    QIconEngine *clone() const override { return new TGlyphEngine(vGlyph, vColour); }

private:
    TGlyph vGlyph;
    QColor vColour;
};

} // namespace

QIcon GlyphIcon(TGlyph glyph, const QColor &colour)
{
    return QIcon(new TGlyphEngine(glyph, colour));
}

QImage AppIconImage(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient bg(0, 0, 64, 64);
    bg.setColorAt(0, QColor(0x2f, 0x9b, 0xf0));
    bg.setColorAt(1, QColor(0x5a, 0x3f, 0xd6));
    QPainterPath square;
    square.addRoundedRect(QRectF(4, 4, 56, 56), 13, 13);
    p.fillPath(square, bg);
    // A waveform along the bottom.
    p.setPen(QPen(QColor(255, 255, 255, 110), 2.4, Qt::SolidLine, Qt::RoundCap));
    const double heights[] = {4, 8, 13, 7, 10, 16, 9, 5, 11, 6};
    for (int i = 0; i < 10; ++i) {
        const double x = 12 + i * 4.4;
        p.drawLine(QPointF(x, 47 - heights[i] / 2), QPointF(x, 47 + heights[i] / 2));
    }
    // A note.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(20, 30, 11, 8.5));
    p.drawRect(QRectF(28.6, 12, 3, 22));
    QPainterPath flag;
    flag.moveTo(31.6, 12);
    flag.cubicTo(38, 14, 43, 17, 41, 25);
    flag.cubicTo(40, 20, 36, 18.5, 31.6, 18.5);
    flag.closeSubpath();
    p.drawPath(flag);
    p.end();
    return img;
}

namespace {

// Paints the application icon at whatever size is asked for, when it is asked for.
class TAppIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->drawImage(rect, AppIconImage(std::min(rect.width(), rect.height())));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return QPixmap::fromImage(AppIconImage(std::min(size.width(), size.height())));
    }
    QIconEngine *clone() const override { return new TAppIconEngine; }
};

} // namespace

QIcon AppIcon()
{
    static const QIcon icon(new TAppIconEngine);
    return icon;
}

} // namespace vorlane
