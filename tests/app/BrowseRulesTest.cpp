#include "app/browse/BrowseRules.h"
#include "catalog/CatalogTypes.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// ---- Letter jump ----

TEST(LetterJump, StepsThroughTheEntriesOfALetterThenBackToTheTop)
{
    const QStringList lines = {"---Folder Music---", "Abba", "apple", "Beta", "Alpha"};
    EXPECT_EQ(LetterJumpRow(lines, 0, u'A'), 1);
    EXPECT_EQ(LetterJumpRow(lines, 1, u'A'), 2); // lower-case counts: first letter upper-cased
    EXPECT_EQ(LetterJumpRow(lines, 2, u'A'), 4); // entries need not stand together
    EXPECT_EQ(LetterJumpRow(lines, 4, u'A'), 0); // after the last one: the top
    EXPECT_EQ(LetterJumpRow(lines, 1, u'B'), 3);
}

TEST(LetterJump, ExamplesOfTheBrowseList)
{
    const QStringList lines = {"---Folder---", "Aurora", "Avalon", "Boreal"};
    // No entry begins with Я: the back entry.
    EXPECT_EQ(LetterJumpRow(lines, 2, u'Я'), 0);
    // The second A entry selected: A goes to the top, not to the first A entry.
    EXPECT_EQ(LetterJumpRow(lines, 2, u'A'), 0);
    // Ukrainian і is not upper-cased, so it never matches І.
    EXPECT_EQ(LetterJumpRow({"---x---", "ірій", "Іва"}, 0, u'І'), 2);
    EXPECT_EQ(LetterJumpRow({"---x---", "ірій"}, 0, u'І'), 0);
    // ё and Cyrillic lower case are upper-cased.
    EXPECT_EQ(LetterJumpRow({"---x---", "ёлка", "яблоко"}, 0, u'Ё'), 1);
    EXPECT_EQ(LetterJumpRow({"---x---", "ёлка", "яблоко"}, 0, u'Я'), 2);
    EXPECT_EQ(LetterJumpRow({"---x---", "7 Seconds", "1999"}, 0, u'1'), 2);
}

TEST(LetterJump, EdgesOfTheSelection)
{
    const QStringList lines = {"---x---", "", "Alpha"};
    EXPECT_EQ(LetterJumpRow(lines, 0, u'A'), 2); // empty texts are skipped
    EXPECT_EQ(LetterJumpRow(lines, 3, u'A'), 0); // a selection past the end: the top
    EXPECT_EQ(LetterJumpRow(lines, -1, u'A'), 2);
    EXPECT_EQ(LetterJumpRow({}, -1, u'A'), 0);
    // The selected row itself never counts, even when it is the only match.
    EXPECT_EQ(LetterJumpRow({"Alpha"}, 0, u'A'), 0);
}

// ---- Columns ----

TEST(Columns, WidthOverFortyFiveTimesTheFontSizeHalvesToEven)
{
    struct Row {
        int Width, Font, Columns;
    };
    const Row rows[] = {
        {900, 8, 2},                  // 2.5 -> 2
        {477, 8, 0},                  // 1.3 -> 1 -> one plain column
        {540, 8, 2},                  // 1.5 -> 2
        {1260, 8, 4},                 // 3.5 -> 4
        {1080, 8, 3},                 // 3.0
        {179, 8, 0},                  // 0.5 -> 0
        {1620, 12, 3}, {1000, 14, 2}, // 1.59 -> 2
        {0, 8, 0},     {900, 0, 0},
    };
    for (const Row &r : rows)
        EXPECT_EQ(BrowseColumns(r.Width, r.Font), r.Columns) << r.Width << " " << r.Font;
    EXPECT_EQ(ListItemHeight(8), 20);
    EXPECT_EQ(ListItemHeight(14), 26);
}

// ---- Rows of the navigator and the side lists ----

TEST(RowText, ALongTextKeepsItsEndInSight)
{
    EXPECT_EQ(RowTextPlacement(200, 100).Left, 10);
    EXPECT_FALSE(RowTextPlacement(200, 100).Dots);
    // Fitting is judged without the indent: 1 pixel to spare still starts 10 pixels in.
    EXPECT_FALSE(RowTextPlacement(200, 197).Dots);
    EXPECT_EQ(RowTextPlacement(200, 197).Left, 10);
    const TRowText tight = RowTextPlacement(200, 198);
    EXPECT_TRUE(tight.Dots);
    EXPECT_EQ(tight.Left, 0); // ends 2 pixels before the edge
    const TRowText longer = RowTextPlacement(200, 500);
    EXPECT_TRUE(longer.Dots);
    EXPECT_EQ(longer.Left + 500, 198);
}

// ---- Navigator ----

TEST(Navigator, SectionsFollowTheCounts)
{
    const TNavigatorLayout l = NavigatorLayout(3, 2, 1, 4);
    EXPECT_EQ(l.P, 4);
    EXPECT_EQ(l.I, 7);
    EXPECT_EQ(l.B, 9);
    EXPECT_EQ(l.Total, 14);
    // No playlists: P = Nc + 1 and I = P + 1.
    const TNavigatorLayout none = NavigatorLayout(2, 0, 0, 0);
    EXPECT_EQ(none.P, 3);
    EXPECT_EQ(none.I, 4);
    EXPECT_EQ(none.B, 5);
    EXPECT_EQ(none.Total, 6);
}

TEST(Navigator, EachRowOfTheClickTable)
{
    const TNavigatorLayout l = NavigatorLayout(2, 2, 2, 2); // P 3, I 6, B 9, total 12
    using K = TNavigatorTarget;
    struct Row {
        int A;
        K::TKind Kind;
        int Index;
    };
    const Row rows[] = {
        {0, K::ComputerLists, -1}, {1, K::ComputerList, 0}, {2, K::ComputerList, 1},
        {3, K::PlayLists, -1},     {4, K::PlayList, 0},     {5, K::PlayList, 1},
        {6, K::InternetLists, -1}, {7, K::InternetList, 0}, {8, K::InternetList, 1},
        {9, K::Bookmarks, -1},     {10, K::Bookmark, 0},    {11, K::Bookmark, 1},
        {12, K::None, -1},         {-1, K::None, -1},
    };
    for (const Row &r : rows) {
        const TNavigatorTarget t = NavigatorClick(r.A, l);
        EXPECT_EQ(t.Kind, r.Kind) << r.A;
        EXPECT_EQ(t.Index, r.Index) << r.A;
    }
}

// ---- Browse list ----

TEST(BrowseList, BackGoesOneLevelUp)
{
    const std::pair<TBrowseMode, TBrowseMode> steps[] = {{bmRoot, bmRoot},
                                                         {bmComputerLists, bmRoot},
                                                         {bmComputerFiles, bmComputerLists},
                                                         {bmInternetLists, bmRoot},
                                                         {bmInternetFiles, bmInternetLists},
                                                         {bmBookmarks, bmRoot},
                                                         {bmInternetSearch, bmRoot},
                                                         {bmPlayLists, bmRoot},
                                                         {bmPlayListFiles, bmPlayLists}};
    for (auto [from, to] : steps)
        EXPECT_EQ(BackMode(from), to) << from;
}

TEST(BrowseList, TheRootMenu)
{
    const TNavigatorLayout l;
    const TBrowseMode modes[] = {bmComputerLists, bmInternetLists, bmBookmarks, bmInternetSearch,
                                 bmPlayLists};
    for (int e = 0; e < 5; ++e) {
        const TBrowseClick c = BrowseClick(bmRoot, e, -1, l);
        EXPECT_EQ(c.Kind, TBrowseClick::SwitchMode) << e;
        EXPECT_EQ(c.NewMode, modes[e]) << e;
        EXPECT_EQ(c.InternetLoadStatus, e == 1) << e;
        EXPECT_EQ(c.BookmarksTab, e == 2) << e;
    }
    EXPECT_EQ(BrowseClick(bmRoot, 5, -1, l).Kind, TBrowseClick::CloseWindow);
    EXPECT_EQ(BrowseClick(bmRoot, 6, -1, l).Kind, TBrowseClick::Nothing);
}

TEST(BrowseList, EachModeOfTheClickTable)
{
    const TNavigatorLayout l = NavigatorLayout(2, 3, 2, 1); // P 3, I 7, B 10
    for (int mode = 1; mode <= 8; ++mode)
        EXPECT_EQ(BrowseClick(TBrowseMode(mode), 0, 1, l).Kind, TBrowseClick::Back) << mode;

    TBrowseClick c = BrowseClick(bmComputerLists, 2, 0, l);
    EXPECT_EQ(c.Kind, TBrowseClick::ShowList);
    EXPECT_EQ(c.Index, 1);
    EXPECT_EQ(c.NewMode, bmComputerFiles);
    EXPECT_EQ(c.NavigatorRow, 2);

    c = BrowseClick(bmComputerFiles, 3, 1, l);
    EXPECT_EQ(c.Kind, TBrowseClick::OpenFile);
    EXPECT_EQ(c.Index, 2);
    EXPECT_EQ(c.NavigatorRow, 2); // list index + 1

    c = BrowseClick(bmInternetLists, 2, 0, l);
    EXPECT_EQ(c.Kind, TBrowseClick::ShowList);
    EXPECT_EQ(c.NewMode, bmInternetFiles);
    EXPECT_EQ(c.Index, 1);
    EXPECT_EQ(c.NavigatorRow, 9); // e + I

    c = BrowseClick(bmInternetFiles, 1, 1, l);
    EXPECT_EQ(c.Kind, TBrowseClick::OpenFile);
    EXPECT_EQ(c.Index, 0);
    EXPECT_EQ(c.NavigatorRow, 9); // list index + I + 1

    c = BrowseClick(bmBookmarks, 2, -1, l);
    EXPECT_EQ(c.Kind, TBrowseClick::SelectBookmark);
    EXPECT_EQ(c.Index, 1);
    EXPECT_EQ(c.NavigatorRow, -1);

    c = BrowseClick(bmInternetSearch, 4, -1, l);
    EXPECT_EQ(c.Kind, TBrowseClick::OpenFile);
    EXPECT_EQ(c.Index, 3);
    EXPECT_EQ(c.NavigatorRow, -1);

    c = BrowseClick(bmPlayLists, 1, 0, l);
    EXPECT_EQ(c.Kind, TBrowseClick::ShowList);
    EXPECT_EQ(c.NewMode, bmPlayListFiles);
    EXPECT_EQ(c.Index, 0);
    EXPECT_TRUE(c.NetworkPlayList);
    EXPECT_FALSE(BrowseClick(bmPlayLists, 2, 0, l).NetworkPlayList);

    c = BrowseClick(bmPlayListFiles, 2, 2, l);
    EXPECT_EQ(c.Kind, TBrowseClick::OpenFile);
    EXPECT_EQ(c.Index, 1);
    EXPECT_EQ(c.NavigatorRow, 6); // list index + P + 1

    EXPECT_EQ(BrowseClick(bmComputerFiles, -1, 0, l).Kind, TBrowseClick::Nothing);
}

// ---- Keyboard ----

TEST(WindowKeys, PlayerKeysAreKeptByEditorsAndSomeLists)
{
    const TKeyAction space = WindowKeyAction(Qt::Key_Space, 0, TKeyFocus::BrowseList, bmRoot);
    EXPECT_EQ(space.Kind, TKeyAction::PlayerCommand);
    EXPECT_EQ(space.Command, 4);
    EXPECT_EQ(WindowKeyAction(Qt::Key_Left, 0, TKeyFocus::Other, bmComputerFiles).Command, 2);
    EXPECT_EQ(WindowKeyAction(Qt::Key_Right, 0, TKeyFocus::DirList, bmComputerFiles).Command, 1);
    for (TKeyFocus f :
         {TKeyFocus::NameEditor, TKeyFocus::TagTitle, TKeyFocus::TagArtist, TKeyFocus::FindBox,
          TKeyFocus::TagAlbum, TKeyFocus::Bookmarks, TKeyFocus::Navigator, TKeyFocus::TagGenre,
          TKeyFocus::TagYear, TKeyFocus::TagTrack}) {
        for (int key : {Qt::Key_Space, Qt::Key_Left, Qt::Key_Right})
            EXPECT_EQ(WindowKeyAction(key, 0, f, bmComputerFiles).Kind, TKeyAction::None)
                << int(f) << key;
    }
}

TEST(WindowKeys, UpAndDownMoveThroughTheFilesOutsideTheSideLists)
{
    EXPECT_EQ(WindowKeyAction(Qt::Key_Up, 0, TKeyFocus::BrowseList, bmComputerFiles).Kind,
              TKeyAction::Prev);
    EXPECT_EQ(WindowKeyAction(Qt::Key_Down, 0, TKeyFocus::FindBox, bmComputerFiles).Kind,
              TKeyAction::Next);
    EXPECT_EQ(WindowKeyAction(Qt::Key_Down, 0, TKeyFocus::TagTitle, bmComputerFiles).Kind,
              TKeyAction::Next);
    for (TKeyFocus f :
         {TKeyFocus::Navigator, TKeyFocus::DirList, TKeyFocus::Bookmarks, TKeyFocus::NameEditor})
        EXPECT_EQ(WindowKeyAction(Qt::Key_Up, 0, f, bmComputerFiles).Kind, TKeyAction::None)
            << int(f);
}

TEST(WindowKeys, PageKeysAlwaysSetTheVolume)
{
    for (TKeyFocus f : {TKeyFocus::NameEditor, TKeyFocus::Navigator, TKeyFocus::Other}) {
        EXPECT_EQ(WindowKeyAction(Qt::Key_PageDown, 0, f, bmComputerFiles).Kind,
                  TKeyAction::VolumeUp);
        EXPECT_EQ(WindowKeyAction(Qt::Key_PageUp, 0, f, bmComputerFiles).Kind,
                  TKeyAction::VolumeDown);
    }
}

TEST(WindowKeys, ControlKeysOutsideTheEditors)
{
    const int ctrl = Qt::ControlModifier;
    const std::pair<int, TKeyTarget> buttons[] = {
        {Qt::Key_D, TKeyTarget::FastDownload},   {Qt::Key_B, TKeyTarget::BookmarkAdd},
        {Qt::Key_N, TKeyTarget::BookmarkEdit},   {Qt::Key_1, TKeyTarget::ComputerMode},
        {Qt::Key_2, TKeyTarget::InternetMode},   {Qt::Key_3, TKeyTarget::BookmarksMode},
        {Qt::Key_4, TKeyTarget::InternetSearch}, {Qt::Key_5, TKeyTarget::PlayListsMode},
        {Qt::Key_K, TKeyTarget::Copy},           {Qt::Key_M, TKeyTarget::Move}};
    for (auto [key, target] : buttons) {
        const int name = int(target);
        const TKeyAction a = WindowKeyAction(key, ctrl, TKeyFocus::BrowseList, bmComputerFiles);
        EXPECT_EQ(a.Kind, TKeyAction::Button) << name;
        EXPECT_EQ(a.Target, target) << name;
        for (TKeyFocus f :
             {TKeyFocus::NameEditor, TKeyFocus::TagTitle, TKeyFocus::TagArtist, TKeyFocus::FindBox})
            EXPECT_EQ(WindowKeyAction(key, ctrl, f, bmComputerFiles).Kind, TKeyAction::None)
                << name;
        // The tag panel's other fields do not block them.
        EXPECT_EQ(WindowKeyAction(key, ctrl, TKeyFocus::TagAlbum, bmComputerFiles).Kind,
                  TKeyAction::Button);
    }
    const TKeyAction del =
        WindowKeyAction(Qt::Key_Delete, Qt::ShiftModifier, TKeyFocus::Other, bmComputerFiles);
    EXPECT_EQ(del.Target, TKeyTarget::Delete);
    EXPECT_EQ(WindowKeyAction(Qt::Key_Delete, 0, TKeyFocus::Other, bmComputerFiles).Kind,
              TKeyAction::None);
    EXPECT_EQ(WindowKeyAction(Qt::Key_T, ctrl, TKeyFocus::Other, bmComputerFiles).Target,
              TKeyTarget::SleepTimer);
    EXPECT_EQ(WindowKeyAction(Qt::Key_P, ctrl, TKeyFocus::Other, bmComputerFiles).Target,
              TKeyTarget::SoundWindow);
    EXPECT_EQ(WindowKeyAction(Qt::Key_E, ctrl, TKeyFocus::Other, bmComputerFiles).Target,
              TKeyTarget::Equaliser);
    EXPECT_TRUE(IsEditorGuardedShortcut(Qt::Key_T, ctrl));
    EXPECT_FALSE(IsEditorGuardedShortcut(Qt::Key_T, ctrl | Qt::ShiftModifier));
    EXPECT_FALSE(IsEditorGuardedShortcut(Qt::Key_K, ctrl));
}

TEST(WindowKeys, PastingLinksNeedsTheSearchModeAndTheBrowseList)
{
    const int ctrl = Qt::ControlModifier;
    EXPECT_EQ(WindowKeyAction(Qt::Key_V, ctrl, TKeyFocus::BrowseList, bmInternetSearch).Kind,
              TKeyAction::PasteLinks);
    EXPECT_EQ(WindowKeyAction(Qt::Key_V, ctrl, TKeyFocus::BrowseList, bmComputerFiles).Kind,
              TKeyAction::None);
    EXPECT_EQ(WindowKeyAction(Qt::Key_V, ctrl, TKeyFocus::FindBox, bmInternetSearch).Kind,
              TKeyAction::None);
}

// ---- Device arrival ----

TEST(Mounts, MountInfoLinesGiveTheirMountPoints)
{
    const QByteArray text = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                            "40 22 8:17 / /media/user/My\\040Stick rw - vfat /dev/sdb1 rw\n"
                            "41 22 0:5 / /mnt/back\\134slash rw - tmpfs none rw\n"
                            "broken line\n";
    EXPECT_EQ(ParseMountInfo(text), QStringList({"/", "/media/user/My Stick", "/mnt/back\\slash"}));
}

TEST(Mounts, OnlyListsOnANewMountAreRescanned)
{
    const QStringList before = {"/", "/home"};
    const QStringList roots = {"/media/stick/music", "/home/me/music", "/media/sticker",
                               "/media/stick", "/mnt/net/share"};
    EXPECT_EQ(ListsOnNewMounts(before, {"/", "/home", "/media/stick"}, roots), QList<int>({0, 3}));
    // A stick that starts no list changes nothing.
    EXPECT_TRUE(ListsOnNewMounts(before, {"/", "/home", "/media/other"}, roots).isEmpty());
    // Two volumes at once: the lists of both.
    EXPECT_EQ(ListsOnNewMounts(before, {"/", "/home", "/media/stick", "/mnt/net"}, roots),
              QList<int>({0, 3, 4}));
    // A volume that goes away starts nothing.
    EXPECT_TRUE(ListsOnNewMounts(before, {"/"}, roots).isEmpty());
}

// ---- Position bar ----

TEST(PositionBar, APointPicksWholeStepsOfTheLength)
{
    // Maximum 10,000 over 300 pixels: steps of 33.
    TPositionPick p = PositionBarPick(150, 10000, 300);
    EXPECT_EQ(p.BarValue, 4950);
    EXPECT_EQ(p.Bytes, 49500);
    p = PositionBarPick(0, 10000, 300);
    EXPECT_EQ(p.Bytes, 0);
    // Beyond the ends the bar's own ends count.
    EXPECT_EQ(PositionBarPick(-20, 10000, 300).Bytes, 0);
    EXPECT_EQ(PositionBarPick(400, 10000, 300).BarValue, 9900);
    // A length of more than two gigabytes still gives byte positions beyond 32 bits.
    EXPECT_EQ(PositionBarPick(500, 400000000, 500).Bytes, int64_t(4000000000));
    EXPECT_EQ(PositionBarPick(10, 0, 300).Bytes, 0);
    EXPECT_EQ(PositionBarPick(10, 100, 0).Bytes, 0);
}

} // namespace
} // namespace vorlane
