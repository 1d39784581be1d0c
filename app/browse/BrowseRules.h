#pragma once
// Decisions of browsing and navigation, as plain functions of what the window shows: which row a
// letter jumps to, how many columns the browse list gets, what a click on the navigator or the
// browse list does, where Back leads, what a key does where the focus is, which folder lists a
// newly mounted volume concerns, where a click on the position bar seeks. The panels carry the
// results out; these functions touch no widget and no controller.

#include "catalog/CatalogTypes.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace vorlane {

// ---- Alphabet index ----

// The 69 letters of the alphabet index in their order: 26 Latin capitals, the 10 digits (1..9,
// then 0), and 33 Cyrillic capitals. The Latin letters and the digits stand on the first row.
struct TAlphabetLetter {
    const char *Name; // the label's name (sLEngA, sLRus_Yo, sL_0, ...)
    QChar Letter;
};
const QList<TAlphabetLetter> &AlphabetLetters();
constexpr int kLatinLetters = 26;
constexpr int kDigitLetters = 10;
constexpr int kCyrillicLetters = 33;

// The letter jump: from the selected row `current` on, the next row after it whose displayed
// text begins with `letter` (its first character upper-cased the way fUpCaseRus does); row 0,
// the top, when none follows. A selection past the end, or none, starts from the top.
int LetterJumpRow(const QStringList &lines, int current, QChar letter);

// ---- Columns ----

// Columns of the browse list: width / (45 x font size), rounded half to even; 1 becomes 0 (one
// plain column, no column layout).
int BrowseColumns(int width, int fontSize);
// Row height of the browse list, the navigator and the side lists for a font size.
inline int ListItemHeight(int fontSize)
{
    return fontSize + 12;
}

// ---- Rows of the navigator and the side lists ----

// Where a row draws its text (x from the row's left edge): 10 pixels in when it fits (row width
// minus text width minus 2 is positive); otherwise shifted left so that its end stays visible,
// with ".." over its beginning.
struct TRowText {
    int Left = 10;
    bool Dots = false;
};
TRowText RowTextPlacement(int rowWidth, int textWidth);

// ---- Navigator ----

// The navigator's sections: header "Computer" at 0 and its lists, header "Playlists" at P,
// header "Internet" at I, header "Bookmarks" at B; Total rows in all.
struct TNavigatorLayout {
    int P = 1;
    int I = 2;
    int B = 3;
    int Total = 4;
};
TNavigatorLayout NavigatorLayout(int computerLists, int playLists, int inetLists, int bookmarks);

struct TNavigatorTarget {
    enum TKind {
        None,          // outside the rows
        ComputerLists, // mode 1
        ComputerList,  // mode 1, visible list Index, mode 2
        PlayLists,     // mode 7
        PlayList,      // mode 7, visible list Index, mode 8 (Index 0: the network playlist)
        InternetLists, // status "loading", mode 3
        InternetList,  // mode 3, visible list Index, mode 4
        Bookmarks,     // mode 5, side tab 0
        Bookmark,      // mode 5, then jump to bookmark Index
    };
    TKind Kind = None;
    int Index = -1;
};
TNavigatorTarget NavigatorClick(int row, const TNavigatorLayout &layout);

// ---- Browse list ----

// One level up: 1, 3, 5, 6, 7 -> 0; 2 -> 1; 4 -> 3; 8 -> 7; 0 stays.
TBrowseMode BackMode(TBrowseMode mode);

struct TBrowseClick {
    enum TKind {
        Nothing,
        Back,           // fBackBrowserMode
        SwitchMode,     // Mode := NewMode (from the root menu)
        ShowList,       // VisibleListIndex := Index, then Mode := NewMode
        OpenFile,       // FileIndex := Index
        SelectBookmark, // the bookmark list selects line Index
        CloseWindow,
    };
    TKind Kind = Nothing;
    TBrowseMode NewMode = bmRoot;
    int Index = -1;
    bool InternetLoadStatus = false; // show "loading the internet catalogue" first
    bool BookmarksTab = false;       // show side tab 0
    bool NetworkPlayList = false;    // the network playlist: sign in when nobody is
    int NavigatorRow = -1;           // the navigator selects this row (-1: leave it)
};
// A click on browse row `row` in `mode`; listIndex is the controller's ListIndex (the shown list).
TBrowseClick BrowseClick(TBrowseMode mode, int row, int listIndex, const TNavigatorLayout &layout);

// ---- Keyboard ----

// Where the keyboard focus is, as far as the window's keys care.
enum class TKeyFocus {
    Other,
    BrowseList,
    Navigator,
    DirList,
    Bookmarks,
    NameEditor, // sEEdit
    FindBox,    // sEFindQuery
    TagTitle,
    TagArtist,
    TagAlbum,
    TagGenre,
    TagYear,
    TagTrack,
};

// The buttons and menu items a key stands for.
enum class TKeyTarget {
    None,
    SleepTimer,     // PMSleepTimer
    SoundWindow,    // PMCSPConfigure
    Equaliser,      // PMCSPEqEnabled
    FastDownload,   // sSBFastDownload
    BookmarkAdd,    // sSBBookmarkAdd
    BookmarkEdit,   // sSBBookmarkEdit
    ComputerMode,   // sSBComputerMode
    InternetMode,   // sSBInternetMode
    BookmarksMode,  // sSBBookmarksMode
    InternetSearch, // sSBInternetSearchMode
    PlayListsMode,  // sSBPlayListsMode
    Delete,         // sSBDelete
    Copy,           // sSBCopy
    Move,           // sSBMove
};

struct TKeyAction {
    enum TKind {
        None,          // the key goes on to the focused control
        PasteLinks,    // the clipboard text as a list of links
        PlayerCommand, // the player command Command for the next tick
        Prev,
        Next,
        VolumeUp,
        VolumeDown,
        Button, // press the button Target (when it is enabled)
        Menu,   // trigger the menu item Target (when it is enabled)
    };
    TKind Kind = None;
    int Command = 0;
    TKeyTarget Target = TKeyTarget::None;
};
// Key codes and modifiers are Qt's (Qt::Key, Qt::KeyboardModifiers as int).
TKeyAction WindowKeyAction(int key, int modifiers, TKeyFocus focus, TBrowseMode mode);
// True for the keys whose action is also a menu shortcut (Ctrl+T, Ctrl+P, Ctrl+E): while an
// editor has the focus they go to the editor instead.
bool IsEditorGuardedShortcut(int key, int modifiers);

// ---- Device arrival ----

// Mount points of a /proc/self/mountinfo text, octal escapes decoded.
QStringList ParseMountInfo(const QByteArray &text);
// The folder lists (indices into roots) whose root lies on one of the mount points that are in
// `after` but not in `before`.
QList<int> ListsOnNewMounts(const QStringList &before, const QStringList &after,
                            const QStringList &roots);

// ---- Position bar ----

// A point x on a bar `width` pixels wide whose maximum is `maximum` (the length div 10): the bar
// value x * (maximum div width) and the byte position ten times that.
struct TPositionPick {
    int BarValue = 0;
    int64_t Bytes = 0;
};
TPositionPick PositionBarPick(int x, int maximum, int width);

} // namespace vorlane
