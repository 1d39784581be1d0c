#pragma once
// TBrowsePanel: the navigator, the browse list, the alphabet index above it, the find box and
// the source, back and sort buttons. Every gesture here is mapped to controller calls; the
// controller answers with an event code, and the main timer has the panel refill or reload the
// lists (RefillBrowse, ReloadBrowseInPlace, fRefreshTreeNavigator). The panel keeps only
// selection state. Main thread only.

#include "app/browse/BrowseRules.h"
#include "catalog/CatalogTypes.h"

#include <QObject>

class QLineEdit;
class QListView;
class QToolButton;
class QVBoxLayout;

namespace vorlane {

class TAlphabetIndex;
class TBrowseListView;
class TLinesModel;
class TListBoxDelegate;
class TVorlane;

class TBrowsePanel : public QObject {
    Q_OBJECT

public:
    // Builds the navigator into `left` and the buttons, the alphabet index, the browse list and
    // the find box into `centre`.
    TBrowsePanel(TVorlane &vorlane, QVBoxLayout *left, QVBoxLayout *centre, QObject *parent);

    // ---- Filling (the main timer's event dispatch) ----

    // Clears the browse list and fills it from the controller's List(), selecting its Index.
    void RefillBrowse();
    // Changes only the lines the controller changed, then selects (codes 4, 19, 20).
    void ReloadBrowseInPlace();
    // Rebuilds the navigator (all lists of all sources); the selection stays when it can.
    void fRefreshTreeNavigator(bool softRefresh);
    // False when index is past the browse entries; otherwise makes that entry the current one and
    // selects it (other selected entries stay selected).
    bool fSetBrowseIndex(int index);
    // Selects the shown list (modes 1, 3, 7) or the current file (modes 2, 4, 6, 8); the top entry
    // otherwise.
    void fRefreshBrowseIndex();
    // Font size of the browse list and the navigator, and the columns that follow from it.
    void SetFontSize(int size);
    void ChangeColumnsNumber();

    // ---- Gestures ----

    // A click on navigator row a / on the browse list's current row.
    void sLBNavigatorClick(int a);
    void sLBBrowseWindowClick();
    // One level up (Back button, Backspace in the browse list).
    void fBackBrowserMode();
    // The source buttons: computer, internet, bookmarks, internet search, playlists.
    void SourceButtonClick(int source);
    void fSetIndexByFirstLetter(QChar letter);
    // The find button: Find(text of the find box, 0.8).
    void sSBFindStartClick();

    // ---- The selection ----

    // The selected lines without the header, as entry indexes, ascending.
    QList<int> SelectedEntryIndexes() const;
    int SelectedRowCount() const;
    // Clears a selection of more than one row (before Previous and Next).
    void ClearMultipleSelection();
    // The highlighted row leaves the selection (an entry opens); other selected rows stay.
    void DeselectHighlighted();
    int BrowseRowCount() const;
    QStringList BrowseLines() const;
    int BrowseCurrentRow() const;
    QStringList NavigatorLines() const;
    // The sections of the navigator as last built.
    TNavigatorLayout NavigatorSections() const { return vNavigator; }

    // ---- Controls ----
    TBrowseListView *sLBBrowseWindow = nullptr;
    TAlphabetIndex *sPAlphabet = nullptr;
    QListView *sLBNavigator = nullptr;
    QLineEdit *sEFindQuery = nullptr;
    QToolButton *sSBFindStart = nullptr;
    QToolButton *sSBBackBrowser = nullptr;
    QToolButton *sSBComputerMode = nullptr;
    QToolButton *sSBInternetMode = nullptr;
    QToolButton *sSBBookmarksMode = nullptr;
    QToolButton *sSBInternetSearchMode = nullptr;
    QToolButton *sSBPlayListsMode = nullptr;
    QToolButton *sSBAlphabetSort = nullptr;
    QToolButton *sSBAlphabetSortRev = nullptr;
    QToolButton *sSBDateSort = nullptr;
    QToolButton *sSBDefaultSort = nullptr;

Q_SIGNALS:
    void status(const QString &text);
    // The bookmarks' side tab is to be shown (the bookmarks source).
    void bookmarksTabRequested();
    // Mode 5: a click on a bookmark's row selects that bookmark line.
    void bookmarkLineChosen(int line);
    // The navigator or the browse list jumped to a bookmark: the position to seek to.
    void bookmarkPositionChosen(int position);
    // The network playlist was opened while nobody is signed in.
    void signInRequested();
    // "Exit" of the root menu.
    void closeRequested();

private:
    void build(QVBoxLayout *left, QVBoxLayout *centre);
    void connectGestures();
    void selectNavigatorRow(int row);

    TVorlane &vVorlane;
    TLinesModel *vBrowseModel = nullptr;
    TBrowseStamp vBrowseStamp; // the controller's lines the browse model shows
    TLinesModel *vNavigatorModel = nullptr;
    TListBoxDelegate *vNavigatorDelegate = nullptr;
    TNavigatorLayout vNavigator;
    int vFontSize = 8;
};

} // namespace vorlane
