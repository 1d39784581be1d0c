#include "app/browse/ListSync.h"

#include "app/browse/BrowseRules.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace vorlane {

// ---------------------------------------------------------------------------------------------
// TLinesModel

void TLinesModel::SetLines(const QStringList &lines)
{
    beginResetModel();
    vLines = lines;
    vEditedAside = false;
    endResetModel();
}

int TLinesModel::Sync(const QStringList &lines)
{
    const int have = int(vLines.size());
    const int want = int(lines.size());
    const int common = std::min(have, want);
    vEditedAside = false;

    // Changed rows of the common part, as runs [first, last].
    QList<std::pair<int, int>> runs;
    for (int row = 0; row < common; ++row) {
        const QString &old = vLines.at(row);
        const QString &now = lines.at(row);
        // Lines read from the same records share their text: no need to look at the characters.
        if ((old.constData() == now.constData() && old.size() == now.size()) || old == now)
            continue;
        if (!runs.isEmpty() && runs.last().second == row - 1)
            runs.last().second = row;
        else
            runs.append({row, row});
    }
    int changes = 0;
    if (want < have) {
        beginRemoveRows({}, want, have - 1);
        vLines = lines;
        endRemoveRows();
        changes += have - want;
    } else if (want > have) {
        beginInsertRows({}, have, want - 1);
        vLines = lines;
        endInsertRows();
        changes += want - have;
    } else if (!runs.isEmpty()) {
        vLines = lines;
    }
    for (const auto &[first, last] : std::as_const(runs)) {
        Q_EMIT dataChanged(index(first), index(last), {Qt::DisplayRole, Qt::EditRole});
        changes += last - first + 1;
    }
    return changes;
}

int TLinesModel::SyncRows(const QList<std::pair<int, QString>> &rows)
{
    int changes = 0;
    for (const auto &[row, text] : rows) {
        if (row < 0 || row >= vLines.size() || vLines.at(row) == text)
            continue;
        vLines[row] = text;
        Q_EMIT dataChanged(index(row), index(row), {Qt::DisplayRole, Qt::EditRole});
        ++changes;
    }
    return changes;
}

void TLinesModel::SetHeaderRows(const QSet<int> &rows)
{
    if (rows == vHeaders)
        return;
    vHeaders = rows;
    if (!vLines.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(vLines.size()) - 1), {kHeaderRole});
}

int TLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(vLines.size());
}

QVariant TLinesModel::data(const QModelIndex &i, int role) const
{
    if (!i.isValid() || i.row() >= vLines.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return vLines.at(i.row());
    case kHeaderRole: return vHeaders.contains(i.row());
    default: return {};
    }
}

bool TLinesModel::setData(const QModelIndex &i, const QVariant &value, int role)
{
    if (!i.isValid() || i.row() >= vLines.size() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    vLines[i.row()] = value.toString();
    vEditedAside = true;
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TLinesModel::flags(const QModelIndex &i) const
{
    if (!i.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int SyncListBoxItems(TLinesModel *model, const QStringList &lines)
{
    return model->Sync(lines);
}

int ReloadBrowseInPlace(TVorlane &vorlane, TLinesModel &model, TBrowseStamp &stamp)
{
    QList<std::pair<int, QString>> changed;
    int index = 0;
    // The shortcut holds only while the view still shows one line per entry plus the header.
    if (!model.EditedAside() && model.rowCount() == vorlane.FilesCount() + 1 &&
        vorlane.ChangedListLines(stamp, changed, index)) {
        model.SyncRows(changed);
        return index;
    }
    const TListData browse = vorlane.List();
    model.Sync(browse.List);
    stamp = vorlane.BrowseStamp();
    return browse.Index;
}

// ---------------------------------------------------------------------------------------------
// TListBoxDelegate

namespace {

constexpr int kTextIndent = 10;
const QColor kHeaderBand(128, 128, 128);

} // namespace

TListBoxDelegate::TListBoxDelegate(bool navigator, QObject *parent)
    : QStyledItemDelegate(parent)
    , vNavigator(navigator)
{
}

void TListBoxDelegate::SetScroll(int row, int offset)
{
    vRow = row;
    vOffset = offset;
}

QSize TListBoxDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {option.rect.width() > 0 ? option.rect.width() : 100, vItemHeight};
}

void TListBoxDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const QString text = o.text;
    o.text.clear();
    const QWidget *w = o.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    const bool selected = o.state & QStyle::State_Selected;
    const bool header = vNavigator && index.data(TLinesModel::kHeaderRole).toBool();
    if (header && !selected)
        painter->fillRect(o.rect, kHeaderBand);
    else
        style->drawControl(QStyle::CE_ItemViewItem, &o, painter, w);

    QFont font = o.font;
    if (vNavigator)
        font.setBold(true);
    if (header)
        font.setUnderline(true);
    QColor pen = o.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (header && !selected)
        pen = Qt::white;
    else if (vNavigator && !selected && vGreyFrom >= 0 && index.row() > vGreyFrom)
        pen = o.palette.color(QPalette::Disabled, QPalette::Text);

    painter->save();
    painter->setClipRect(o.rect);
    painter->setFont(font);
    painter->setPen(pen);
    const QFontMetrics fm(font);
    const QRect r = o.rect;
    const int textWidth = fm.horizontalAdvance(text);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    if (index.row() == vRow) {
        // The selected-item scroller moves this row's text.
        painter->drawText(
            QRect(r.left() + kTextIndent / 2 + vOffset, r.top(), textWidth + 4, r.height()), flags,
            text);
    } else if (header) {
        painter->drawText(r.adjusted(2, 0, 0, 0), flags, text);
    } else if (const TRowText place = RowTextPlacement(r.width(), textWidth); !place.Dots) {
        painter->drawText(r.adjusted(place.Left, 0, 0, 0), flags, text);
    } else {
        // Too long: its end stays visible, ".." stands over its beginning.
        painter->drawText(QRect(r.left() + place.Left, r.top(), textWidth + 2, r.height()), flags,
                          text);
        const QString dots = QStringLiteral("..");
        const QRect dotsRect(r.left(), r.top(), fm.horizontalAdvance(dots) + 4, r.height());
        // The row's own background behind the dots (hover follows the theme's frame colour).
        const QPalette::ColorRole role = selected                              ? QPalette::Highlight
                                         : (o.state & QStyle::State_MouseOver) ? QPalette::Mid
                                                                               : QPalette::Base;
        painter->fillRect(dotsRect, o.palette.color(role));
        painter->setClipRect(o.rect);
        painter->drawText(dotsRect.adjusted(1, 0, 0, 0), flags, dots);
    }
    painter->restore();
}

QListView *ListBoxView(const char *name, TLinesModel *model, TListBoxDelegate *delegate,
                       QWidget *parent)
{
    auto *v = new QListView(parent);
    v->setObjectName(QLatin1String(name));
    v->setModel(model);
    v->setUniformItemSizes(true); // constant-time layout for lists of any length
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setMouseTracking(true);
    delegate->setParent(v);
    v->setItemDelegate(delegate);
    return v;
}

} // namespace vorlane
