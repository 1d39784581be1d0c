#pragma once
// The model behind every list box of the main window, and the drawing of the navigator and the
// side lists. Main thread only.

#include "catalog/Vorlane.h"

#include <QAbstractListModel>
#include <QListView>
#include <QSet>
#include <QStringList>
#include <QStyledItemDelegate>

namespace vorlane {

// The lines of one list box. SetLines replaces them all (the browse list's refill); Sync changes
// only the lines that differ, appends missing ones and removes surplus ones from the end, so that
// the view keeps its selection and scroll position. Header rows (the navigator's section titles)
// are marked for the delegate through kHeaderRole.
class TLinesModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int kHeaderRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    const QStringList &Lines() const { return vLines; }
    void SetLines(const QStringList &lines);
    // Returns the number of rows replaced, appended or removed.
    int Sync(const QStringList &lines);
    // Replaces the given rows' lines, where they differ; rows outside the list are left alone.
    // Returns the number of rows replaced.
    int SyncRows(const QList<std::pair<int, QString>> &rows);
    // True after a line was written through setData (by a view or a delegate) rather than by
    // SetLines or Sync: the lines may then differ from any list they were read from.
    bool EditedAside() const { return vEditedAside; }
    void SetHeaderRows(const QSet<int> &rows);
    bool IsHeaderRow(int row) const { return vHeaders.contains(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList vLines;
    QSet<int> vHeaders;
    bool vEditedAside = false;
};

// The list-box replacement of the one-call refresh of older list code: see TLinesModel::Sync.
int SyncListBoxItems(TLinesModel *model, const QStringList &lines);

// Brings the browse list's model up to the controller's lines after a change in place (a rename,
// a swap): only the lines the controller reports changed since `stamp` when it can tell, else
// List() compared line by line. `stamp` then marks the lines shown. Returns the line to select,
// as List() gives it.
int ReloadBrowseInPlace(TVorlane &vorlane, TLinesModel &model, TBrowseStamp &stamp);

// Rows of the navigator and the side lists. A text that fits starts 10 pixels in; a longer one is
// drawn shifted left so that its end shows, with ".." over its beginning. The navigator also
// draws its header rows bold and underlined on a grey band, its other rows bold, and the rows of
// the bookmark section in grey. One row can be scrolled sideways instead (the selected-item
// scroller of the side lists).
class TListBoxDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TListBoxDelegate(bool navigator, QObject *parent = nullptr);

    // Rows from this one on are drawn in grey (the bookmarks of the navigator); -1 for none.
    void SetGreyFrom(int row) { vGreyFrom = row; }
    void SetItemHeight(int height) { vItemHeight = height; }
    // Row -1 scrolls nothing.
    void SetScroll(int row, int offset);
    int ScrollRow() const { return vRow; }
    int ScrollOffset() const { return vOffset; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    bool vNavigator;
    int vGreyFrom = -1;
    int vItemHeight = 20;
    int vRow = -1;
    int vOffset = 0;
};

// A list box of the window (navigator, side lists) over model, drawn by delegate (which it takes
// over): uniform rows, no editing, no horizontal scroll bar, hover tracked.
QListView *ListBoxView(const char *name, TLinesModel *model, TListBoxDelegate *delegate,
                       QWidget *parent = nullptr);

} // namespace vorlane
