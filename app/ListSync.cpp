#include "app/ListSync.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPalette>

namespace vorlane {

void THeaderListModel::SetHeaderRows(const QSet<int> &rows)
{
    if (rows == vHeaders)
        return;
    vHeaders = rows;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::FontRole, Qt::BackgroundRole});
}

QVariant THeaderListModel::data(const QModelIndex &i, int role) const
{
    if (vHeaders.contains(i.row())) {
        if (role == Qt::FontRole) {
            QFont f = QApplication::font();
            f.setBold(true);
            return f;
        }
        if (role == Qt::BackgroundRole)
            return QApplication::palette().color(QPalette::Mid);
    }
    return QStringListModel::data(i, role);
}

void TScrollingItemDelegate::SetScroll(int row, int offset)
{
    vRow = row;
    vOffset = offset;
}

void TScrollingItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    if (index.row() != vRow) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const QString text = o.text;
    o.text.clear();
    const QWidget *w = o.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, painter, w);
    painter->save();
    painter->setClipRect(o.rect);
    painter->setFont(o.font);
    painter->setPen(o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                     : QPalette::Text));
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &o, w);
    painter->drawText(textRect.translated(vOffset, 0).adjusted(0, 0, 4000, 0),
                      Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->restore();
}

int SyncListBoxItems(QStringListModel *model, const QStringList &lines)
{
    int changes = 0;
    const int have = model->rowCount();
    const int want = int(lines.size());
    const int common = std::min(have, want);
    for (int row = 0; row < common; ++row) {
        const QModelIndex index = model->index(row);
        if (index.data(Qt::DisplayRole).toString() != lines.at(row)) {
            model->setData(index, lines.at(row));
            ++changes;
        }
    }
    if (want > have) {
        model->insertRows(have, want - have);
        for (int row = have; row < want; ++row)
            model->setData(model->index(row), lines.at(row));
        changes += want - have;
    } else if (have > want) {
        model->removeRows(want, have - want);
        changes += have - want;
    }
    return changes;
}

} // namespace vorlane
