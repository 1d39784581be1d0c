#include "app/browse/BrowsePanel.h"

#include "app/browse/BrowseWidgets.h"
#include "app/browse/ListSync.h"
#include "app/widgets/NamedWidgets.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vorlane {

TBrowsePanel::TBrowsePanel(TVorlane &vorlane, QVBoxLayout *left, QVBoxLayout *centre,
                           QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
{
    build(left, centre);
    connectGestures();
}

void TBrowsePanel::build(QVBoxLayout *left, QVBoxLayout *centre)
{
    vNavigatorModel = new TLinesModel(this);
    vNavigatorDelegate = new TListBoxDelegate(true);
    sLBNavigator = ListBoxView("sLBNavigator", vNavigatorModel, vNavigatorDelegate);
    left->addWidget(sLBNavigator);

    // Back and the five sources, then the four orders.
    auto *bar = new QHBoxLayout;
    bar->setSpacing(2);
    sSBBackBrowser = GlyphToolButton("sSBBackBrowser", TGlyph::Back, QStringLiteral("Back"));
    sSBComputerMode =
        GlyphToolButton("sSBComputerMode", TGlyph::Computer, QStringLiteral("Computer"));
    sSBInternetMode =
        GlyphToolButton("sSBInternetMode", TGlyph::Internet, QStringLiteral("Internet"));
    sSBBookmarksMode =
        GlyphToolButton("sSBBookmarksMode", TGlyph::Bookmarks, QStringLiteral("Bookmarks"));
    sSBInternetSearchMode =
        GlyphToolButton("sSBInternetSearchMode", TGlyph::Search, QStringLiteral("Internet search"));
    sSBPlayListsMode =
        GlyphToolButton("sSBPlayListsMode", TGlyph::Playlists, QStringLiteral("Playlists"));
    sSBAlphabetSort =
        GlyphToolButton("sSBAlphabetSort", TGlyph::SortAZ, QStringLiteral("Sort A to Z"));
    sSBAlphabetSortRev =
        GlyphToolButton("sSBAlphabetSortRev", TGlyph::SortZA, QStringLiteral("Sort Z to A"));
    sSBDateSort = GlyphToolButton("sSBDateSort", TGlyph::SortDate, QStringLiteral("Sort by date"));
    sSBDefaultSort =
        GlyphToolButton("sSBDefaultSort", TGlyph::SortDefault, QStringLiteral("Original order"));
    bar->addWidget(sSBBackBrowser);
    bar->addSpacing(6);
    for (QToolButton *b : {sSBComputerMode, sSBInternetMode, sSBBookmarksMode,
                           sSBInternetSearchMode, sSBPlayListsMode})
        bar->addWidget(b);
    bar->addStretch(1);
    for (QToolButton *b : {sSBAlphabetSort, sSBAlphabetSortRev, sSBDateSort, sSBDefaultSort})
        bar->addWidget(b);
    centre->addLayout(bar);

    sPAlphabet = new TAlphabetIndex;
    centre->addWidget(sPAlphabet);

    vBrowseModel = new TLinesModel(this);
    sLBBrowseWindow = new TBrowseListView;
    sLBBrowseWindow->setObjectName(QStringLiteral("sLBBrowseWindow"));
    sLBBrowseWindow->setModel(vBrowseModel);
    sLBBrowseWindow->setItemDelegate(new TBrowseDelegate(sLBBrowseWindow));
    sLBBrowseWindow->setAlternatingRowColors(true);
    centre->addWidget(sLBBrowseWindow, 1);

    auto *find = new QHBoxLayout;
    find->setSpacing(4);
    sEFindQuery = new QLineEdit;
    sEFindQuery->setObjectName(QStringLiteral("sEFindQuery"));
    sEFindQuery->setClearButtonEnabled(true);
    sSBFindStart = GlyphToolButton("sSBFindStart", TGlyph::Search, QStringLiteral("Find"));
    find->addWidget(sEFindQuery, 1);
    find->addWidget(sSBFindStart);
    centre->addLayout(find);
}

void TBrowsePanel::connectGestures()
{
    connect(sSBBackBrowser, &QToolButton::clicked, this, [this] { fBackBrowserMode(); });
    const QToolButton *sources[] = {sSBComputerMode, sSBInternetMode, sSBBookmarksMode,
                                    sSBInternetSearchMode, sSBPlayListsMode};
    for (int i = 0; i < 5; ++i)
        connect(sources[i], &QToolButton::clicked, this, [this, i] { SourceButtonClick(i); });
    connect(sSBAlphabetSort, &QToolButton::clicked, this,
            [this] { vVorlane.AlphabetSorting(false); });
    connect(sSBAlphabetSortRev, &QToolButton::clicked, this,
            [this] { vVorlane.AlphabetSorting(true); });
    connect(sSBDateSort, &QToolButton::clicked, this, [this] { vVorlane.DateSorting(); });
    connect(sSBDefaultSort, &QToolButton::clicked, this, [this] {
        // The folder's own order is the order of a fresh scan.
        if (vVorlane.Mode() == bmComputerFiles)
            vVorlane.RefreshList();
    });
    connect(sSBFindStart, &QToolButton::clicked, this, [this] { sSBFindStartClick(); });
    connect(sEFindQuery, &QLineEdit::returnPressed, this, [this] { sSBFindStartClick(); });
    connect(sPAlphabet, &TAlphabetIndex::letterClicked, this,
            [this](QChar letter) { fSetIndexByFirstLetter(letter); });

    // Ctrl and Shift clicks change the selection first (the view has done that by now) and
    // then act as a plain click does.
    connect(sLBBrowseWindow, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &) { sLBBrowseWindowClick(); });
    connect(sLBBrowseWindow, &TBrowseListView::backRequested, this, [this] { fBackBrowserMode(); });
    connect(sLBBrowseWindow, &TBrowseListView::widthChanged, this,
            [this] { ChangeColumnsNumber(); });
    connect(sLBBrowseWindow, &TBrowseListView::rowsDropped, this,
            [this](const QList<int> &rows, int dropRow) {
                // Row 0 is the way back, not an entry to exchange with.
                if (dropRow < 1 || rows.isEmpty())
                    return;
                QList<int> files;
                for (int row : rows) {
                    if (row >= 1)
                        files << row - 1;
                }
                vVorlane.SwapRecords(dropRow - 2, files);
            });
    connect(sLBNavigator, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { sLBNavigatorClick(index.row()); });
}

// ---------------------------------------------------------------------------------------------
// Filling

void TBrowsePanel::RefillBrowse()
{
    const TListData browse = vVorlane.List();
    const TBrowseMode mode = vVorlane.Mode();
    sLBBrowseWindow->SetHeaderRow(mode != bmRoot);
    sLBBrowseWindow->SetDragAllowed(mode == bmComputerFiles || mode == bmInternetFiles ||
                                    mode == bmInternetSearch || mode == bmPlayListFiles);
    vBrowseModel->SetLines(browse.List);
    vBrowseStamp = vVorlane.BrowseStamp();
    fSetBrowseIndex(browse.Index + 1);
}

void TBrowsePanel::ReloadBrowseInPlace()
{
    fSetBrowseIndex(vorlane::ReloadBrowseInPlace(vVorlane, *vBrowseModel, vBrowseStamp) + 1);
}

bool TBrowsePanel::fSetBrowseIndex(int index)
{
    if (index < 0 || index >= vBrowseModel->rowCount())
        return false;
    const QModelIndex i = vBrowseModel->index(index);
    sLBBrowseWindow->selectionModel()->setCurrentIndex(i, QItemSelectionModel::Select);
    sLBBrowseWindow->scrollTo(i);
    return true;
}

void TBrowsePanel::fRefreshBrowseIndex()
{
    switch (vVorlane.Mode()) {
    case bmComputerLists:
    case bmInternetLists:
    case bmPlayLists: fSetBrowseIndex(vVorlane.VisibleListIndex() + 1); break;
    case bmComputerFiles:
    case bmInternetFiles:
    case bmInternetSearch:
    case bmPlayListFiles: fSetBrowseIndex(vVorlane.FileIndex() + 1); break;
    default: fSetBrowseIndex(0); break;
    }
}

void TBrowsePanel::fRefreshTreeNavigator(bool)
{
    TListData computer, inet, playlists, bookmarks;
    vVorlane.GetAllLists(computer, inet, playlists, bookmarks);
    const TMessages &m = Msg();
    vNavigator = NavigatorLayout(int(computer.List.size()), int(playlists.List.size()),
                                 int(inet.List.size()), int(bookmarks.List.size()));
    QStringList lines;
    lines.reserve(vNavigator.Total);
    lines << m.SM_COMPUTER << computer.List << m.SM_PLAYLISTS << playlists.List << m.SM_INTERNET
          << inet.List << m.SM_BOOKMARKS << bookmarks.List;
    const int previous = sLBNavigator->currentIndex().row();
    SyncListBoxItems(vNavigatorModel, lines);
    vNavigatorModel->SetHeaderRows({0, vNavigator.P, vNavigator.I, vNavigator.B});
    vNavigatorDelegate->SetGreyFrom(vNavigator.B);
    if (previous >= 0 && previous < vNavigatorModel->rowCount())
        sLBNavigator->setCurrentIndex(vNavigatorModel->index(previous));
}

void TBrowsePanel::SetFontSize(int size)
{
    vFontSize = size;
    for (QWidget *w : std::initializer_list<QWidget *>{sLBBrowseWindow, sLBNavigator}) {
        QFont f = w->font();
        f.setPointSize(size);
        w->setFont(f);
    }
    vNavigatorDelegate->SetItemHeight(ListItemHeight(size));
    sLBNavigator->doItemsLayout();
    sLBBrowseWindow->SetItemHeight(ListItemHeight(size));
    ChangeColumnsNumber();
}

void TBrowsePanel::ChangeColumnsNumber()
{
    const int columns = BrowseColumns(sLBBrowseWindow->width(), vFontSize);
    if (columns == sLBBrowseWindow->Columns())
        return;
    sLBBrowseWindow->SetItemHeight(ListItemHeight(vFontSize));
    sLBBrowseWindow->SetColumns(columns);
    sLBBrowseWindow->viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Gestures

void TBrowsePanel::sLBNavigatorClick(int a)
{
    const TNavigatorTarget t = NavigatorClick(a, vNavigator);
    switch (t.Kind) {
    case TNavigatorTarget::None: return;
    case TNavigatorTarget::ComputerLists: vVorlane.SetMode(bmComputerLists); break;
    case TNavigatorTarget::ComputerList:
        vVorlane.SetMode(bmComputerLists);
        vVorlane.SetVisibleListIndex(t.Index);
        vVorlane.SetMode(bmComputerFiles);
        break;
    case TNavigatorTarget::PlayLists: vVorlane.SetMode(bmPlayLists); break;
    case TNavigatorTarget::PlayList:
        vVorlane.SetMode(bmPlayLists);
        vVorlane.SetVisibleListIndex(t.Index);
        vVorlane.SetMode(bmPlayListFiles);
        if (t.Index == 0 && !vVorlane.LoggedIn())
            Q_EMIT signInRequested();
        break;
    case TNavigatorTarget::InternetLists:
        Q_EMIT status(Msg().SM_INTERNETLOAD);
        vVorlane.SetMode(bmInternetLists);
        break;
    case TNavigatorTarget::InternetList:
        vVorlane.SetMode(bmInternetLists);
        vVorlane.SetVisibleListIndex(t.Index);
        vVorlane.SetMode(bmInternetFiles);
        break;
    case TNavigatorTarget::Bookmarks:
        vVorlane.SetMode(bmBookmarks);
        Q_EMIT bookmarksTabRequested();
        break;
    case TNavigatorTarget::Bookmark:
        vVorlane.SetMode(bmBookmarks);
        Q_EMIT bookmarkPositionChosen(vVorlane.GotoBookmark(t.Index));
        break;
    }
}

void TBrowsePanel::sLBBrowseWindowClick()
{
    const int e = sLBBrowseWindow->currentIndex().row();
    const TBrowseClick c = BrowseClick(vVorlane.Mode(), e, vVorlane.ListIndex(), vNavigator);
    switch (c.Kind) {
    case TBrowseClick::Nothing: break;
    case TBrowseClick::Back: fBackBrowserMode(); break;
    case TBrowseClick::SwitchMode:
        if (c.InternetLoadStatus)
            Q_EMIT status(Msg().SM_INTERNETLOAD);
        vVorlane.SetMode(c.NewMode);
        if (c.BookmarksTab)
            Q_EMIT bookmarksTabRequested();
        break;
    case TBrowseClick::ShowList:
        vVorlane.SetVisibleListIndex(c.Index);
        vVorlane.SetMode(c.NewMode);
        if (c.NetworkPlayList && !vVorlane.LoggedIn())
            Q_EMIT signInRequested();
        break;
    case TBrowseClick::OpenFile: vVorlane.SetFileIndex(c.Index); break;
    case TBrowseClick::SelectBookmark: Q_EMIT bookmarkLineChosen(c.Index); break;
    case TBrowseClick::CloseWindow: Q_EMIT closeRequested(); return;
    }
    selectNavigatorRow(c.NavigatorRow);
    sLBBrowseWindow->viewport()->update();
}

void TBrowsePanel::fBackBrowserMode()
{
    const TBrowseMode mode = vVorlane.Mode();
    if (mode != bmRoot)
        vVorlane.SetMode(BackMode(mode));
}

void TBrowsePanel::selectNavigatorRow(int row)
{
    if (row >= 0 && row < vNavigatorModel->rowCount())
        sLBNavigator->setCurrentIndex(vNavigatorModel->index(row));
}

void TBrowsePanel::SourceButtonClick(int source)
{
    switch (source) {
    case 0:
        selectNavigatorRow(0);
        vVorlane.SetMode(bmComputerLists);
        break;
    case 1:
        Q_EMIT status(Msg().SM_INTERNETLOAD);
        vVorlane.SetMode(bmInternetLists);
        selectNavigatorRow(vNavigator.I);
        break;
    case 2:
        vVorlane.SetMode(bmBookmarks);
        Q_EMIT bookmarksTabRequested();
        selectNavigatorRow(vNavigator.B);
        break;
    case 3: vVorlane.SetMode(bmInternetSearch); break;
    case 4:
        vVorlane.SetMode(bmPlayLists);
        selectNavigatorRow(vNavigator.P);
        break;
    default: break;
    }
}

void TBrowsePanel::fSetIndexByFirstLetter(QChar letter)
{
    const int row =
        LetterJumpRow(vBrowseModel->Lines(), sLBBrowseWindow->currentIndex().row(), letter);
    sLBBrowseWindow->selectionModel()->setCurrentIndex(vBrowseModel->index(row),
                                                       QItemSelectionModel::ClearAndSelect);
    sLBBrowseWindow->scrollTo(vBrowseModel->index(row));
}

void TBrowsePanel::sSBFindStartClick()
{
    if (vVorlane.Mode() == bmInternetSearch)
        Q_EMIT status(Msg().SM_INETSEAERCHSTART);
    vVorlane.Find(sEFindQuery->text(), 0.8f);
}

// ---------------------------------------------------------------------------------------------
// The selection

QList<int> TBrowsePanel::SelectedEntryIndexes() const
{
    QList<int> indexes;
    for (const QModelIndex &row : sLBBrowseWindow->selectionModel()->selectedRows()) {
        if (row.row() > 0)
            indexes << row.row() - 1;
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

int TBrowsePanel::SelectedRowCount() const
{
    return int(sLBBrowseWindow->selectionModel()->selectedRows().size());
}

void TBrowsePanel::ClearMultipleSelection()
{
    if (SelectedRowCount() > 1)
        sLBBrowseWindow->clearSelection();
}

void TBrowsePanel::DeselectHighlighted()
{
    const QModelIndex highlighted = sLBBrowseWindow->currentIndex();
    if (highlighted.isValid())
        sLBBrowseWindow->selectionModel()->select(highlighted, QItemSelectionModel::Deselect);
}

int TBrowsePanel::BrowseRowCount() const
{
    return vBrowseModel->rowCount();
}

QStringList TBrowsePanel::BrowseLines() const
{
    return vBrowseModel->Lines();
}

int TBrowsePanel::BrowseCurrentRow() const
{
    return sLBBrowseWindow->currentIndex().row();
}

QStringList TBrowsePanel::NavigatorLines() const
{
    return vNavigatorModel->Lines();
}

} // namespace vorlane
