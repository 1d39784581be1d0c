#pragma once
// TCatalogTools: the buttons under the side lists. Playlists (new, rename through the
// playlist-name window, delete, add the selected entries, remove them), bookmarks (add, move
// here, delete, go to), and copy, move and delete of the selected entries and the duplicate
// search against the destination folder list. Every handler calls the controller; what changes
// on screen follows from the event code it leaves.
//
// Copy, move, delete and the duplicate search stay disabled until the start-up timer has run
// (EnableFileOperations), whichever way they are asked for. Main thread only.

#include <QObject>

#include <functional>

namespace vorlane {

class TAddPlaylistWindow;
class TBrowsePanel;
class TPlayerPanel;
class TSidePanel;
class TVorlane;

// A Yes/No question with a caption and a text: a message box in the program, answered by tests.
using TQuestion = std::function<bool(const QString &caption, const QString &text)>;

class TCatalogTools : public QObject {
    Q_OBJECT

public:
    // `ask` and `playlistWindow` are read at each use (the window may replace its question box;
    // the playlist-name window is made after the first paint).
    TCatalogTools(TVorlane &vorlane, TBrowsePanel &browse, TSidePanel &side, TPlayerPanel &player,
                  const TQuestion &ask, std::function<TAddPlaylistWindow *()> playlistWindow,
                  QObject *parent);

    // The start-up timer has run: copy, move, delete and the duplicate search become available.
    void EnableFileOperations();
    bool FileOperationsEnabled() const { return vFileOperationsEnabled; }
    // The playlist-name window exists now: its OK is connected.
    void ConnectPlaylistWindow(TAddPlaylistWindow *window);

    // Copy and move of the selected entries to the destination folder list, deletion to the
    // trash (asking first when more than two lines are selected), the duplicate search against
    // the destination.
    void fCopy();
    void fMove();
    void fDelete();
    void fFindCopyes();
    // Double click or Enter on the folder list: the last of copy and move again (copy until a
    // move has been made).
    void fRepeatFileOperation();
    bool LastFileOperationIsMove() const { return vLastOperationMove; }

    void sSBNewPlaylistClick();
    void sSBEditPlayListNameClick();
    void sBAPWOKClick();
    void sSBDeletePlayListClick();
    void sSBAddToPlaylistClick();
    void sSBPlayListDeleteFileClick();

    void sSBBookmarkAddClick();
    void sSBBookmarkEditClick();
    void sSBBookmarkDeleteClick();
    // Also a double click or Enter on the bookmark list.
    void sSBBookmarkLoadClick();

Q_SIGNALS:
    void status(const QString &text);

private:
    void drawFileOperationButtons();

    TVorlane &vVorlane;
    TBrowsePanel &vBrowse;
    TSidePanel &vSide;
    TPlayerPanel &vPlayer;
    const TQuestion &vAsk;
    std::function<TAddPlaylistWindow *()> vPlaylistWindow;
    bool vLastOperationMove = false; // copy until a move has been made
    bool vFileOperationsEnabled = false;
};

} // namespace vorlane
