// The list boxes' model: a refresh changes only what differs, so the view keeps its selection
// and its scroll position.

#include "app/browse/ListSync.h"
#include "app/browse/BrowseWidgets.h"
#include "app/shell/Themes.h"
#include "base/Messages.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHoverEvent>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>

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

TEST(ListSync, AReloadInPlaceRewritesOnlyTheLinesTheControllerChanged)
{
    QTemporaryDir dir;
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(test::WriteFile(dir.filePath(QStringLiteral("f/track %1.mp3").arg(i)), "x"));
    TVorlane c;
    c.SetProgramDataDir(dir.path());
    c.SetMode(bmComputerFiles);
    c.AddList(dir.filePath("f"), false, false);
    c.Flags();
    TLinesModel model;
    QListView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    model.SetLines(c.List().List);
    TBrowseStamp stamp = c.BrowseStamp();
    view.selectionModel()->select(model.index(30), QItemSelectionModel::Select);

    int resets = 0, changed = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex &first, const QModelIndex &last) {
                         EXPECT_EQ(first.row(), 6);
                         EXPECT_EQ(last.row(), 6);
                         ++changed;
                     });
    c.SetFileIndex(5);
    c.Edit(QStringLiteral("Renamed.mp3"));
    EXPECT_EQ(ReloadBrowseInPlace(c, model, stamp), c.List().Index);
    EXPECT_EQ(model.Lines(), c.List().List);
    EXPECT_EQ(model.Lines().at(6), "Renamed");
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(resets, 0);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(30));

    // Lines written aside, or a list changed in shape, are read whole and compared.
    QObject::disconnect(&model, &QAbstractItemModel::dataChanged, nullptr, nullptr);
    model.setData(model.index(10), QStringLiteral("stale"), Qt::EditRole);
    c.AlphabetSorting(true);
    ReloadBrowseInPlace(c, model, stamp);
    EXPECT_EQ(model.Lines(), c.List().List);
    EXPECT_FALSE(model.EditedAside());
    c.SetFileIndex(0);
    c.Edit(QStringLiteral("Again.mp3"));
    ReloadBrowseInPlace(c, model, stamp);
    EXPECT_EQ(model.Lines(), c.List().List);
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

// The browse list draws its plain rows itself, faster than the style; what users see must be
// what the style draws, pixel for pixel, in every theme and state a row can be in.
TEST(ListSync, PlainRowsLookExactlyAsTheStyleDrawsThem)
{
    // The style's own drawing, or ours where it covers the row (counted).
    class TRowDelegate : public QStyledItemDelegate {
    public:
        bool Ours = false;
        mutable int Taken = 0;
        void paint(QPainter *painter, const QStyleOptionViewItem &option,
                   const QModelIndex &index) const override
        {
            QStyleOptionViewItem item = option;
            initStyleOption(&item, index);
            if (Ours && PaintPlainRow(painter, item))
                ++Taken;
            else
                QStyledItemDelegate::paint(painter, option, index);
        }
    };
    const QStringList lines = {
        QStringLiteral("Short"),
        QStringLiteral("Selected entry - Track 02.mp3"),
        QStringLiteral("Current, focused and selected"),
        QStringLiteral("Hovered entry"),
        QStringLiteral("Кирилиця: Ґрунт, їжак, Щедрик - Пісня.mp3"),
        QStringLiteral("A very long entry that cannot fit the row and must be elided at its right "
                       "end, as every long file name is - 2024 - Live at the hall.flac"),
        QString(),
        QStringLiteral("Tabs\tand  double  spaces (mixed) [remaster] {1999} #1 & 2"),
        QStringLiteral("Two\nlines: the style draws this one"),
    };
    auto draw = [&](bool ours, bool enabled, int *taken) {
        TLinesModel model;
        TBrowseListView view;
        auto *delegate = new TRowDelegate;
        delegate->setParent(&view);
        delegate->Ours = ours;
        view.setItemDelegate(delegate);
        view.setModel(&model);
        view.SetHeaderRow(false);
        view.SetItemHeight(20);
        view.setAlternatingRowColors(true); // as the window shows it
        view.resize(320, 200);
        view.setEnabled(enabled);
        view.show();
        view.activateWindow();
        view.setFocus();
        view.setAttribute(Qt::WA_KeyboardFocusChange);
        SyncListBoxItems(&model, lines);
        view.selectionModel()->select(model.index(1), QItemSelectionModel::Select);
        view.selectionModel()->setCurrentIndex(model.index(2), QItemSelectionModel::Select);
        QApplication::processEvents();
        const QPointF hover = view.visualRect(model.index(3)).center();
        QHoverEvent move(QEvent::HoverMove, hover, view.viewport()->mapToGlobal(hover),
                         QPointF(-1, -1));
        QApplication::sendEvent(view.viewport(), &move);
        QApplication::processEvents();
        const QImage image = view.viewport()->grab().toImage();
        *taken = delegate->Taken;
        return image;
    };

    const QString before = CurrentTheme();
    QStringList themes = {kThemesOffName};
    for (const TThemeInfo &theme : BuiltInThemes())
        themes << theme.Name;
    for (const QString &theme : std::as_const(themes)) {
        ApplyTheme(theme);
        for (const bool enabled : {true, false}) {
            int taken = 0;
            const QImage style = draw(false, enabled, &taken);
            const QImage ours = draw(true, enabled, &taken);
            EXPECT_GE(taken, int(lines.size()) - 1) << theme.toStdString();
            EXPECT_TRUE(ours == style) << theme.toStdString() << (enabled ? "" : ", disabled");
        }
    }
    ApplyTheme(before.isEmpty() ? kThemesOffName : before);
}

} // namespace
} // namespace vorlane
