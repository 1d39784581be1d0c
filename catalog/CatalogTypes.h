#pragma once
// Types the catalogue controller shares with the windows: browse modes, event codes, the browse
// list handed to the window, bookmarks and the renaming template.

#include "base/FileList.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace vorlane {

// What the browse list shows. Modes 1, 3 and 7 are lists of lists; 2, 4, 6 and 8 lists of entries.
enum TBrowseMode : uint32_t {
    bmRoot = 0,           // the six root lines
    bmComputerLists = 1,  // the folder lists
    bmComputerFiles = 2,  // the entries of one folder list
    bmInternetLists = 3,  // the internet catalogue lists
    bmInternetFiles = 4,  // the entries of one internet list
    bmBookmarks = 5,      // all bookmarks
    bmInternetSearch = 6, // search results or an opened link list
    bmPlayLists = 7,      // the playlists
    bmPlayListFiles = 8,  // the entries of one playlist
};

// The controller's pending event (vFlags): set by an operation, taken by the main timer's next
// tick, which refreshes the window accordingly. A later code before that tick replaces an earlier
// one. Codes 1, 3, 5 and 18 are never set.
enum TEventCode : int {
    efNone = 0,              // nothing to do
    efCopyStep = 2,          // a copied file succeeded
    efDeleteDone = 4,        // entries were removed: reload in place, then code 7
    efListAdded = 6,         // a folder or internet list was added
    efOpenFile = 7,          // the current entry changed: open and play it
    efListDeleted = 8,       // a folder list was removed
    efRefreshView = 9,       // rebuild the browse list, then code 12
    efListRescanned = 10,    // folder lists were rescanned, then code 9
    efMoveStep = 11,         // a moved file succeeded (code 19 after the last)
    efBookmarksChanged = 12, // refill the bookmark list
    efGotoBookmark = 13,     // open the current entry and seek to the bookmark
    efGotoBookmarkShow = 14, // the same, and the view follows
    efListReplaced = 15,     // the search list was replaced, then code 9
    efCopyFailed = 16,       // a copied file failed
    efMoveFailed = 17,       // a moved file failed
    efMoveRefresh = 19,      // entries moved or renamed: reload in place, then code 7
    efListChanged = 20,      // entries of the shown list changed: reload in place
    efPlayListsChanged = 21, // the set of playlists changed, then code 9
    efAddedToPlaylist = 22,  // entries were added to a playlist
    efAccountLoaded = 23,    // the account's data was loaded
    efInternetEnabled = 24,  // the internet is reachable
    efAccountClosed = 25,    // the account connection ended
    efRecordingStarted = 26, // recording of a stream started
    efRecordingSaved = 27,   // a recorded stream was saved
};

// Who opens the playing file again after a naming tool renamed it: the main timer, through the
// event code of the operation (19 opens the current entry, 9 rebuilds the list), or the caller,
// which held the file closed at its place and reopens it there itself (event 20: the browse list
// is only reloaded in place).
enum class TReopen { ByTimer, ByCaller };

// Lines for a list box: line 0 is a header (except in modes 0 and 6), entry k stands on line k+1;
// Index is the entry to select (the window selects line Index + 1; -1 selects the header).
struct TListData {
    QStringList List;
    int Index = 0;
};

// The browse list as List() gave it at one moment (TVorlane::BrowseStamp), for asking later
// which of its lines have changed since.
struct TBrowseStamp {
    uint32_t Mode = UINT32_MAX;
    TListStamp Records;
    QString Header;
};

// One bookmark: an entry and a play position.
struct TBookmark {
    QString ListName;     // DirName of the entry
    QString FileName;     // FileName of the entry
    int PlayPosition = 0; // player position when it was set
    QString Name;         // display text: title, position as time, two spaces
    QString RootDir;      // the folder or internet list it belongs to (no trailing "/")
};

// Which tag fields a file name is built from.
struct TTagRenameTemplate {
    bool Number = false;
    bool Artist = false;
    bool Album = false;
    bool Name = false;
    bool Year = false;
};

} // namespace vorlane
