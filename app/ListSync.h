#pragma once
// Refreshing a list model without losing its selection and scroll position: only lines whose
// text changed are replaced, missing ones appended and surplus ones removed from the end.

#include <QSet>
#include <QStringListModel>

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

// Returns the number of rows replaced, appended or removed.
int SyncListBoxItems(QStringListModel *model, const QStringList &lines);

} // namespace vorlane
