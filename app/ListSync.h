#pragma once
// Refreshing a list model without losing its selection and scroll position: only lines whose
// text changed are replaced, missing ones appended and surplus ones removed from the end.

#include <QSet>
#include <QStringListModel>
#include <QStyledItemDelegate>

namespace vorlane {

// A list whose header rows (the navigator's section titles) are drawn bold on a shaded band.
class THeaderListModel : public QStringListModel {
    Q_OBJECT

public:
    using QStringListModel::QStringListModel;
    void SetHeaderRows(const QSet<int> &rows);
    bool IsHeaderRow(int row) const { return vHeaders.contains(row); }
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QSet<int> vHeaders;
};

// Draws one row's text shifted sideways (the selected-item scroller); other rows as usual.
class TScrollingItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // Row -1 scrolls nothing.
    void SetScroll(int row, int offset);
    int ScrollRow() const { return vRow; }
    int ScrollOffset() const { return vOffset; }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    int vRow = -1;
    int vOffset = 0;
};

// Returns the number of rows replaced, appended or removed.
int SyncListBoxItems(QStringListModel *model, const QStringList &lines);

} // namespace vorlane
