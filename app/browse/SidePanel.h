#pragma once
// TSidePanel: the tabbed side panel (sPCExtentedControls): page 0 the bookmarks, 1 the folder
// lists (the destination of copy, move and recording), 2 the playlists, 3 the tag sheet. The
// panel shows the lists and keeps their selections; the buttons under them are the catalogue
// tools' (app/tools/CatalogTools.h) and the tag sheet is the naming tools'. Main thread only.

#include "app/player/PlayerTick.h"

#include <QObject>

class QListView;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace vorlane {

class TLinesModel;
class TListBoxDelegate;
class TVorlane;

class TSidePanel : public QObject {
    Q_OBJECT

public:
    enum TPage { pgBookmarks = 0, pgFolders = 1, pgPlayLists = 2, pgTags = 3 };

    // Builds the tabs into `host`. With tagStandIn the tag tab is an empty page that the naming
    // tools replace by the tag sheet when it is first needed.
    TSidePanel(TVorlane &vorlane, QVBoxLayout *host, bool tagStandIn, QObject *parent);

    // ---- Lists (the main timer's event dispatch) ----

    // Refills the folder list and reselects the destination folder when it is inside the list.
    void fRefreshDirList();
    // Refills the bookmark list from the controller and selects its index; returns that index.
    int RefillBookmarks();
    void SyncPlayLists();
    // The selected-item scroller of the showing page, one step (each main-timer tick).
    void ScrollSelectedItem();
    void SetFontSize(int size);

    // ---- Selections ----

    // The folder list chosen as destination, -1 when none is selected.
    int DestFolderIndex() const;
    // A volume was mounted under folder list `index`: it becomes the destination.
    void SetDestFolder(int index);
    int SelectedPlayListIndex() const;
    QString PlayListName(int index) const;
    // The selected line of the bookmark list, -1 when none is.
    int SelectedBookmarkLine() const;
    // Mode 5: a click on a bookmark's row of the browse list selects its line here.
    void SelectBookmarkLine(int line);

    QStringList DirListLines() const;
    QStringList BookmarkLines() const;
    QStringList PlayListLines() const;

    // ---- Pages ----

    void ShowPage(int page);
    // Shows the next page; after the last the first.
    void fsPCExtentedControlsSwitch();
    bool TagPageShowing() const;

    // ---- Controls ----
    QTabWidget *sPCExtentedControls = nullptr;
    QListView *sLBBookmarks = nullptr;
    QListView *sLBDirList = nullptr;
    QListView *sLBPlayLists = nullptr;
    QToolButton *sSBBookmarkAdd = nullptr;
    QToolButton *sSBBookmarkEdit = nullptr;
    QToolButton *sSBBookmarkDelete = nullptr;
    QToolButton *sSBBookmarkLoad = nullptr;
    QToolButton *sSBCopy = nullptr;
    QToolButton *sSBMove = nullptr;
    QToolButton *sSBDelete = nullptr;
    QToolButton *sSBFindCopyes = nullptr;
    QToolButton *sSBNewPlaylist = nullptr;
    QToolButton *sSBEditPlayListName = nullptr;
    QToolButton *sSBDeletePlayList = nullptr;
    QToolButton *sSBAddToPlaylist = nullptr;
    QToolButton *sSBPlayListDeleteFile = nullptr;

Q_SIGNALS:
    // A click on a line of the bookmark list (mode 5 selects its row in the browse list).
    void bookmarkClicked(int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListView *addPage(const char *name, const char *listName, TLinesModel *&model,
                       const QString &caption, std::initializer_list<QToolButton *> buttons);

    TVorlane &vVorlane;
    TLinesModel *vBookmarksModel = nullptr;
    TLinesModel *vDirListModel = nullptr;
    TLinesModel *vPlayListsModel = nullptr;
    QList<TListBoxDelegate *> vDelegates; // of pages 0, 1, 2
    int vDestFolderIndex = 0;
    TItemScroll vItemScroll; // the selected-item scroller's state (xs1, ys1, xsv1)
};

} // namespace vorlane
