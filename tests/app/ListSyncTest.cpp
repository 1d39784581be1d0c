// The list boxes' model: a refresh changes only what differs, so the view keeps its selection
// and its scroll position.

#include "app/ListSync.h"
#include "app/BrowseWidgets.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QListView>
#include <QScrollBar>

namespace vorlane {
namespace {

QStringList numbered(int n, const QString &prefix = QStringLiteral("Track "))
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << prefix + QString::number(i);
    return lines;
}

TEST(ListSync, ARefreshKeepsSelectionAndScroll)
{
    TLinesModel model;
    QListView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.resize(200, 150);
    view.show();
    EXPECT_EQ(SyncListBoxItems(&model, numbered(300)), 300);
    QApplication::processEvents();
    view.setCurrentIndex(model.index(200));
    view.selectionModel()->select(model.index(210), QItemSelectionModel::Select);
    view.scrollTo(model.index(200), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    const int scroll = view.verticalScrollBar()->value();
    ASSERT_GT(scroll, 0);

    int resets = 0, changed = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { ++changed; });
    QStringList next = numbered(300);
    next[5] = "Renamed";
    next[6] = "Renamed too";
    next[250] = "Elsewhere";
    next << "New one";
    EXPECT_EQ(SyncListBoxItems(&model, next), 4);
    QApplication::processEvents();
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(changed, 2); // rows 5-6 as one run, row 250
    EXPECT_EQ(model.Lines(), next);
    EXPECT_EQ(view.currentIndex().row(), 200);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(210));
    EXPECT_EQ(view.verticalScrollBar()->value(), scroll);

    // The same lines again change nothing at all.
    EXPECT_EQ(SyncListBoxItems(&model, next), 0);
    EXPECT_EQ(changed, 2);

    // Surplus rows go from the end; a selection before them stays.
    EXPECT_EQ(SyncListBoxItems(&model, next.mid(0, 220)), 81);
    EXPECT_EQ(model.rowCount(), 220);
    EXPECT_EQ(view.currentIndex().row(), 200);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(210));

    // Emptied and filled again.
    EXPECT_EQ(SyncListBoxItems(&model, {}), 220);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(SyncListBoxItems(&model, {"only"}), 1);
    EXPECT_EQ(model.Lines(), QStringList{"only"});
    EXPECT_EQ(resets, 0);
}

TEST(ListSync, HeaderRowsAreMarkedForTheDelegate)
{
    TLinesModel model;
    SyncListBoxItems(&model, {"Computer", "Music", "Playlists"});
    model.SetHeaderRows({0, 2});
    EXPECT_TRUE(model.index(0).data(TLinesModel::kHeaderRole).toBool());
    EXPECT_FALSE(model.index(1).data(TLinesModel::kHeaderRole).toBool());
    EXPECT_TRUE(model.IsHeaderRow(2));
    EXPECT_FALSE(model.IsHeaderRow(3));
}

// The browse list repaints a renamed row without laying the list out again: the new text must
// still reach the screen, in one column and in several, and rows keep their places.
TEST(ListSync, TheBrowseListRepaintsAChangedRowInPlace)
{
    for (const int columns : {0, 3}) {
        TLinesModel model;
        TBrowseListView view;
        view.setItemDelegate(new TBrowseDelegate(&view));
        view.setModel(&model);
        view.SetItemHeight(20);
        view.resize(600, 200);
        view.SetColumns(columns);
        view.show();
        SyncListBoxItems(&model, numbered(100));
        QApplication::processEvents();
        const QRect row3 = view.visualRect(model.index(3)) & view.viewport()->rect();
        const QRect row40 = view.visualRect(model.index(40));
        ASSERT_FALSE(row3.isEmpty()) << columns;
        const QImage before = view.viewport()->grab(row3).toImage();

        QStringList next = numbered(100);
        next[3] = QStringLiteral("Renamed, and much longer than any other line of the list");
        ASSERT_EQ(SyncListBoxItems(&model, next), 1);
        QApplication::processEvents();
        EXPECT_NE(view.viewport()->grab(row3).toImage(), before) << columns;
        EXPECT_EQ(view.visualRect(model.index(3)) & view.viewport()->rect(), row3) << columns;
        EXPECT_EQ(view.visualRect(model.index(40)), row40) << columns;
    }
}

} // namespace
} // namespace vorlane
