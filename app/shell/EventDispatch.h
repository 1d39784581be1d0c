#pragma once
// What the main timer does with one event code of the catalogue controller: the decision as a
// plain value (PlanEvent), so that the table can be tested on its own, and its carrying out on
// the window's panels (DispatchEvent), which TMainWindow::MTTimer calls each tick.

#include "catalog/CatalogTypes.h"

#include <QString>

#include <functional>

#include <cstdint>

namespace vorlane {

// Facts a decision depends on, read from the controller before deciding.
struct TDispatchContext {
    int LeftCopyFiles = 0;
    int LeftMoveFiles = 0;
    int FilesCount = 0;
    // Free space of the last destination drive in MB, already formatted ("1234.56").
    QString FreeSpaceMB;
};

struct TDispatchPlan {
    enum TBrowseAction {
        baNone,
        baRefill,        // clear the browse list and fill it from List (code 9)
        baReloadInPlace, // change only the lines that differ, then select (codes 4, 19, 20)
    };
    TBrowseAction Browse = baNone;
    bool Handled = false;         // the code has an action at all
    bool SetStatus = false;       // show Status in the status line
    QString Status;               // the status text (may be empty when a message is missing)
    TEventCode FollowUp = efNone; // code to store into the controller afterwards
    bool OpenFile = false;        // fOpenFile (codes 7, 13)
    bool OpenIfOtherFile = false; // code 14: fOpenFile unless the player already has the entry
    bool SeekBookmark = false;    // codes 13, 14: seek to the bookmark position when one is set
    bool RefillBrowseFromList = false; // code 14: refill the browse list, select Index + 1
    bool RefreshDirList = false;
    bool RefreshNavigator = false;
    bool RefillBookmarks = false;       // code 12
    bool SyncPlayLists = false;         // code 21
    bool SwitchToComputerLists = false; // code 8: Mode := 1
    bool ShowAccountPlaylist = false;   // code 23: Mode 7, VisibleListIndex 0, Mode 8
    bool StartCacheRefresh = false;     // code 24
    bool FinishAccountExit = false;     // code 25
};

// The free-space suffix " " + SM_FREESPACEONDISK + " " + MB + " MB. ".
QString FreeSpaceSuffix(const QString &freeSpaceMB);

// Free bytes as megabytes with two decimals and the locale's decimal separator, no grouping.
QString FormatFreeSpaceMB(int64_t freeBytes);

// The action for one code (messages from the program's message table).
TDispatchPlan PlanEvent(int code, const TDispatchContext &context);

class TAccountPanel;
class TBrowsePanel;
class TPlayerPanel;
class TSidePanel;
class TVorlane;
struct TMenus;

struct TDispatchParts {
    TVorlane *Vorlane = nullptr;
    TMenus *Menus = nullptr;
    TBrowsePanel *Browse = nullptr;
    TSidePanel *Side = nullptr;
    TPlayerPanel *Player = nullptr;
    TAccountPanel *Account = nullptr;            // codes 23 and 25; none: the menus are left alone
    std::function<void(const QString &)> Status; // the status line
};

// Carries out the action of one code (PlanEvent) on the panels, and stores its follow-up code.
// Main thread only.
void DispatchEvent(TEventCode code, const TDispatchParts &parts);

} // namespace vorlane
