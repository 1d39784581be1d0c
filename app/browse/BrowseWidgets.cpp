#include "app/browse/BrowseWidgets.h"

#include "app/browse/BrowseRules.h"
#include "app/widgets/Icons.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

namespace vorlane {

// ---------------------------------------------------------------------------------------------
// TBrowseListView

const char *const TBrowseListView::kRowsMimeType = "application/x-vorlane-browse-rows";

TBrowseListView::TBrowseListView(QWidget *parent)
    : QListView(parent)
    , vToken(QByteArray::number(quintptr(this), 16))
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true); // one row measured for the whole list, of any length
    setLayoutMode(QListView::SinglePass);
    setMovement(QListView::Static);
    setFlow(QListView::TopToBottom);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::NoDragDrop); // drags are started and taken here
    viewport()->setAcceptDrops(true);
}

void TBrowseListView::SetColumns(int columns)
{
    vColumns = columns < 2 ? 0 : columns;
    applyLayout();
}

void TBrowseListView::SetItemHeight(int height)
{
    vItemHeight = std::max(1, height);
    applyLayout();
}

void TBrowseListView::SetHeaderRow(bool header)
{
    if (vHeaderRow == header)
        return;
    vHeaderRow = header;
    viewport()->update();
}

void TBrowseListView::applyLayout()
{
    if (vColumns >= 2) {
        // Columns fill from top to bottom, then sideways, each a share of the width.
        const int width = std::max(1, viewport()->width() / vColumns);
        setWrapping(true);
        setResizeMode(QListView::Adjust);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setGridSize(QSize(width, vItemHeight));
    } else {
        setWrapping(false);
        setResizeMode(QListView::Fixed);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setGridSize(QSize());
    }
    scheduleDelayedItemsLayout();
}

void TBrowseListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                  const QList<int> &roles)
{
    // QListView would lay out every row again at the next paint (a long list pays milliseconds
    // for one renamed entry); the base view only repaints what changed.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void TBrowseListView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    if (vColumns >= 2) {
        const int width = std::max(1, viewport()->width() / vColumns);
        if (gridSize().width() != width)
            setGridSize(QSize(width, vItemHeight));
    }
    Q_EMIT widthChanged(width());
}

void TBrowseListView::keyPressEvent(QKeyEvent *event)
{
    // The selection moves only through the window's keys (previous and next file).
    event->accept();
}

void TBrowseListView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace && !event->isAutoRepeat())
        Q_EMIT backRequested();
    event->accept();
}

void TBrowseListView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        if (vDragAllowed && !selectionModel()->selectedRows().isEmpty()) {
            auto *drag = new QDrag(this);
            drag->setMimeData(DragData());
            drag->exec(Qt::MoveAction);
        }
        return; // the right button never changes the selection
    }
    QListView::mousePressEvent(event);
}

void TBrowseListView::mouseReleaseEvent(QMouseEvent *event)
{
    vClickModifiers = event->modifiers();
    QListView::mouseReleaseEvent(event);
}

QMimeData *TBrowseListView::DragData() const
{
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    QByteArray bytes = vToken;
    for (int row : std::as_const(rows))
        bytes += ' ' + QByteArray::number(row);
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(kRowsMimeType), bytes);
    return mime;
}

bool TBrowseListView::DropAt(const QMimeData *mime, const QPoint &viewportPos)
{
    if (!mime || !mime->hasFormat(QLatin1String(kRowsMimeType)))
        return false;
    const QList<QByteArray> parts = mime->data(QLatin1String(kRowsMimeType)).split(' ');
    if (parts.isEmpty() || parts.first() != vToken)
        return false; // another list's rows
    QList<int> rows;
    for (qsizetype i = 1; i < parts.size(); ++i)
        rows << parts.at(i).toInt();
    const QModelIndex target = indexAt(viewportPos);
    Q_EMIT rowsDropped(rows, target.isValid() ? target.row() : -1);
    return true;
}

void TBrowseListView::dragEnterEvent(QDragEnterEvent *event)
{
    // Only this list's own rows are taken here; dropped files go on to the window.
    if (event->mimeData()->hasFormat(QLatin1String(kRowsMimeType)) &&
        event->mimeData()->data(QLatin1String(kRowsMimeType)).startsWith(vToken))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TBrowseListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(QLatin1String(kRowsMimeType)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TBrowseListView::dropEvent(QDropEvent *event)
{
    if (DropAt(event->mimeData(), event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

// ---------------------------------------------------------------------------------------------
// TBrowseDelegate

TBrowseDelegate::TBrowseDelegate(TBrowseListView *view)
    : QStyledItemDelegate(view)
    , vView(view)
{
}

QSize TBrowseDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {std::max(100, option.rect.width()), vView->ItemHeight()};
}

namespace {

// Lays `layout` out as the style lays out an entry's text, in lines `width` wide; false when the
// text makes more than one line.
bool layOutOneLine(QTextLayout &layout, const QTextOption &option, int width)
{
    layout.setTextOption(option);
    layout.setCacheEnabled(true); // drawn from the glyphs the layout made, not shaped again
    layout.beginLayout();
    if (QTextLine line = layout.createLine(); line.isValid())
        line.setLineWidth(width);
    const bool oneLine = !layout.createLine().isValid();
    layout.endLayout();
    return oneLine;
}

// The focus frame of an entry, drawn as the style draws it over the entry's text. The entry's own
// text is not needed: the frame takes the whole row when the whole row is shown selected.
void drawFocusFrame(QPainter *painter, const QStyleOptionViewItem &item, QPalette::ColorGroup group)
{
    const QWidget *w = item.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(item);
    focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &item, w);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    focus.backgroundColor = item.palette.color(
        group, item.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, w);
}

} // namespace

// The style lays a row's text out three times (to place it, to see whether it needs eliding, to
// draw it), which is most of what a repainted row costs; this lays it out once.
bool PaintPlainRow(QPainter *painter, const QStyleOptionViewItem &item)
{
    // Alternate rows differ only in their background, which the style draws.
    const auto plain = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::Alternate;
    if ((item.features & ~plain) != QStyleOptionViewItem::None ||
        item.direction != Qt::LeftToRight || !item.showDecorationSelected ||
        (item.state & QStyle::State_Editing) || item.text.contains(QChar::LineSeparator))
        return false;
    const QWidget *w = item.widget;
    QStyle *style = w ? w->style() : QApplication::style();

    // The style draws the background, selection and hover without the text; the text goes over
    // them and the focus frame over the text, in the style's order. The text's place does not
    // depend on the text when the whole row is shown selected.
    QStyleOptionViewItem bare = item;
    bare.text.clear();
    bare.state &= ~QStyle::State_HasFocus;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &bare, w);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
    const QRect textRect = area.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(item.direction);
    textOption.setAlignment(QStyle::visualAlignment(item.direction, item.displayAlignment));
    QTextLayout layout(item.text, item.font);
    if (!layOutOneLine(layout, textOption, textRect.width()))
        return false;

    style->drawControl(QStyle::CE_ItemViewItem, &bare, painter, w);
    const QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setClipRect(item.rect);
    if (layout.lineCount() > 0) {
        const QRect placed = QStyle::alignedRect(Qt::LeftToRight, item.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        const QPointF position(textRect.x(), placed.top());
        const QPalette::ColorGroup textGroup =
            group == QPalette::Normal && !(item.state & QStyle::State_Active) ? QPalette::Inactive
                                                                              : group;
        painter->setPen(item.palette.color(textGroup, item.state & QStyle::State_Selected
                                                          ? QPalette::HighlightedText
                                                          : QPalette::Text));
        if (layout.lineAt(0).naturalTextWidth() > textRect.width()) {
            QTextLayout elided(
                QFontMetrics(item.font).elidedText(item.text, item.textElideMode, textRect.width()),
                item.font);
            layOutOneLine(elided, textOption, textRect.width());
            elided.draw(painter, position);
        } else {
            layout.draw(painter, position);
        }
    }
    if (item.state & QStyle::State_HasFocus) {
        bare.state |= QStyle::State_HasFocus;
        drawFocusFrame(painter, bare, group);
    }
    painter->restore();
    return true;
}

void TBrowseDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    if (index.row() != 0 || !vView->HasHeaderRow()) {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!PaintPlainRow(painter, item))
            QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The back entry: an arrow and the list's title without the dashes around it.
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    QString title = o.text;
    while (title.startsWith(u'-'))
        title.remove(0, 1);
    while (title.endsWith(u'-'))
        title.chop(1);
    o.text.clear();
    const QWidget *w = o.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, painter, w);
    const bool selected = o.state & QStyle::State_Selected;
    const QColor pen = o.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QRect r = o.rect.adjusted(6, 0, -4, 0);
    const int glyph = std::min(r.height() - 4, 16);
    painter->save();
    const QIcon back = GlyphIcon(TGlyph::Back, pen);
    back.paint(painter, QRect(r.left(), r.top() + (r.height() - glyph) / 2, glyph, glyph));
    QFont font = o.font;
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(pen);
    const QRect textRect = r.adjusted(glyph + 6, 0, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      QFontMetrics(font).elidedText(title, Qt::ElideRight, textRect.width()));
    painter->restore();
}

// ---------------------------------------------------------------------------------------------
// TAlphabetIndex

namespace {

constexpr int kFirstRowCells = kLatinLetters + kDigitLetters;
constexpr int kGroupGap = 10; // between the Latin letters and the digits

} // namespace

TAlphabetIndex::TAlphabetIndex(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sPAlphabet"));
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 0.9);
    setFont(f);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int TAlphabetIndex::rowHeight() const
{
    return fontMetrics().height() + 4;
}

QSize TAlphabetIndex::sizeHint() const
{
    return {kCyrillicLetters * (fontMetrics().horizontalAdvance(u'Щ') + 4), 2 * rowHeight()};
}

QSize TAlphabetIndex::minimumSizeHint() const
{
    return {kCyrillicLetters * (fontMetrics().horizontalAdvance(u'W') + 1), 2 * rowHeight()};
}

QRect TAlphabetIndex::LetterRect(int i) const
{
    const int total = kFirstRowCells + kCyrillicLetters;
    if (i < 0 || i >= total)
        return {};
    const int h = rowHeight();
    const double inner = width() - 4;
    if (i < kFirstRowCells) {
        const double cell = (inner - kGroupGap) / kFirstRowCells;
        const double left = 2 + i * cell + (i >= kLatinLetters ? kGroupGap : 0);
        return QRect(int(left), 0, int(left + cell) - int(left), h);
    }
    const int k = i - kFirstRowCells;
    const double cell = inner / kCyrillicLetters;
    const double left = 2 + k * cell;
    return QRect(int(left), h, int(left + cell) - int(left), h);
}

int TAlphabetIndex::LetterAt(const QPoint &pos) const
{
    const int total = kFirstRowCells + kCyrillicLetters;
    for (int i = 0; i < total; ++i) {
        if (LetterRect(i).contains(pos))
            return i;
    }
    return -1;
}

void TAlphabetIndex::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QList<TAlphabetLetter> &letters = AlphabetLetters();
    const QColor text = palette().color(QPalette::WindowText);
    for (int i = 0; i < letters.size(); ++i) {
        const QRect r = LetterRect(i);
        if (i == vHover) {
            p.setPen(Qt::NoPen);
            p.setBrush(palette().color(QPalette::Highlight));
            p.drawRoundedRect(QRectF(r).adjusted(0.5, 1.5, -0.5, -1.5), 3, 3);
            p.setPen(palette().color(QPalette::HighlightedText));
        } else {
            p.setPen(i >= kLatinLetters && i < kFirstRowCells ? text.lighter(140) : text);
            if (palette().color(QPalette::Window).lightness() < 128 && i >= kLatinLetters &&
                i < kFirstRowCells)
                p.setPen(text.darker(130));
        }
        p.drawText(r, Qt::AlignCenter, QString(letters.at(i).Letter));
    }
}

void TAlphabetIndex::mouseMoveEvent(QMouseEvent *event)
{
    const int hover = LetterAt(event->position().toPoint());
    if (hover != vHover) {
        vHover = hover;
        update();
    }
}

void TAlphabetIndex::leaveEvent(QEvent *)
{
    if (vHover != -1) {
        vHover = -1;
        update();
    }
}

void TAlphabetIndex::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int i = LetterAt(event->position().toPoint());
    if (i >= 0)
        Q_EMIT letterClicked(AlphabetLetters().at(i).Letter);
}

} // namespace vorlane
