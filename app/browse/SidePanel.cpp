#include "app/browse/SidePanel.h"

#include "app/browse/BrowseRules.h"
#include "app/browse/ListSync.h"
#include "app/widgets/NamedWidgets.h"
#include "catalog/Vorlane.h"

#include <QHBoxLayout>
#include <QListView>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorlane {

namespace {

// The selected row of a side list, -1 when none is selected.
int selectedRow(const QListView *view)
{
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

} // namespace

TSidePanel::TSidePanel(TVorlane &vorlane, QVBoxLayout *host, bool tagStandIn, QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
{
    sPCExtentedControls = new QTabWidget;
    sPCExtentedControls->setObjectName(QStringLiteral("sPCExtentedControls"));
    sPCExtentedControls->setDocumentMode(false);
    host->addWidget(sPCExtentedControls);

    sSBBookmarkAdd = GlyphToolButton("sSBBookmarkAdd", TGlyph::Add, QStringLiteral("Add bookmark"));
    sSBBookmarkEdit =
        GlyphToolButton("sSBBookmarkEdit", TGlyph::Edit, QStringLiteral("Move bookmark here"));
    sSBBookmarkDelete =
        GlyphToolButton("sSBBookmarkDelete", TGlyph::Remove, QStringLiteral("Delete bookmark"));
    sSBBookmarkLoad =
        GlyphToolButton("sSBBookmarkLoad", TGlyph::Play, QStringLiteral("Go to bookmark"));
    sLBBookmarks =
        addPage("sTSBookmarks", "sLBBookmarks", vBookmarksModel, QStringLiteral("Bookmarks"),
                {sSBBookmarkAdd, sSBBookmarkEdit, sSBBookmarkDelete, sSBBookmarkLoad});

    sSBCopy = GlyphToolButton("sSBCopy", TGlyph::Copy, QStringLiteral("Copy to folder"));
    sSBMove = GlyphToolButton("sSBMove", TGlyph::Move, QStringLiteral("Move to folder"));
    sSBDelete = GlyphToolButton("sSBDelete", TGlyph::Remove, QStringLiteral("Delete files"));
    sSBFindCopyes =
        GlyphToolButton("sSBFindCopyes", TGlyph::Duplicates, QStringLiteral("Find duplicates"));
    sLBDirList = addPage("sTSFiles", "sLBDirList", vDirListModel, QStringLiteral("Folders"),
                         {sSBCopy, sSBMove, sSBDelete, sSBFindCopyes});

    sSBNewPlaylist = GlyphToolButton("sSBNewPlaylist", TGlyph::Add, QStringLiteral("New playlist"));
    sSBEditPlayListName =
        GlyphToolButton("sSBEditPlayListName", TGlyph::Edit, QStringLiteral("Rename playlist"));
    sSBDeletePlayList =
        GlyphToolButton("sSBDeletePlayList", TGlyph::Remove, QStringLiteral("Delete playlist"));
    sSBAddToPlaylist =
        GlyphToolButton("sSBAddToPlaylist", TGlyph::Playlists, QStringLiteral("Add to playlist"));
    sSBPlayListDeleteFile = GlyphToolButton("sSBPlayListDeleteFile", TGlyph::Remove,
                                            QStringLiteral("Remove from playlist"));
    sLBPlayLists =
        addPage("sTSPlayLists", "sLBPlayLists", vPlayListsModel, QStringLiteral("Playlists"),
                {sSBNewPlaylist, sSBEditPlayListName, sSBDeletePlayList, sSBAddToPlaylist,
                 sSBPlayListDeleteFile});

    if (tagStandIn) {
        auto *standIn = new QWidget;
        standIn->setObjectName(QStringLiteral("sTSTag")); // the language file names the tab
        sPCExtentedControls->addTab(standIn, QStringLiteral("Tags"));
    }
    sPCExtentedControls->setCurrentIndex(pgFolders); // the folders: what a first start has

    // The folder chosen stays the destination when the list is refilled.
    connect(sLBDirList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    vDestFolderIndex = current.row();
            });
    connect(sLBDirList, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { vVorlane.SetLastDestDir(index.row()); });
    connect(sLBBookmarks, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        sLBBookmarks->setToolTip(index.data().toString());
        Q_EMIT bookmarkClicked(index.row());
    });
    // A right-button press on the lists or the tab set shows the next page.
    for (QObject *o :
         std::initializer_list<QObject *>{sPCExtentedControls->tabBar(), sLBBookmarks->viewport(),
                                          sLBDirList->viewport(), sLBPlayLists->viewport()})
        o->installEventFilter(this);
}

QListView *TSidePanel::addPage(const char *name, const char *listName, TLinesModel *&model,
                               const QString &caption, std::initializer_list<QToolButton *> buttons)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QLatin1String(name));
    sPCExtentedControls->addTab(sheet, caption);
    auto *v = new QVBoxLayout(sheet);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(4);
    model = new TLinesModel(this);
    auto *delegate = new TListBoxDelegate(false);
    QListView *view = ListBoxView(listName, model, delegate);
    vDelegates << delegate;
    v->addWidget(view, 1);
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    for (QToolButton *b : buttons)
        row->addWidget(b);
    row->addStretch(1);
    v->addLayout(row);
    return view;
}

bool TSidePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        fsPCExtentedControlsSwitch();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Lists

void TSidePanel::fRefreshDirList()
{
    SyncListBoxItems(vDirListModel, vVorlane.DirectoryList());
    if (vDestFolderIndex >= 0 && vDestFolderIndex < vDirListModel->rowCount())
        sLBDirList->setCurrentIndex(vDirListModel->index(vDestFolderIndex));
}

int TSidePanel::RefillBookmarks()
{
    const TListData bookmarks = vVorlane.BookmarksList();
    SyncListBoxItems(vBookmarksModel, bookmarks.List);
    if (bookmarks.Index >= 0 && bookmarks.Index < vBookmarksModel->rowCount())
        sLBBookmarks->setCurrentIndex(vBookmarksModel->index(bookmarks.Index));
    const QModelIndex current = sLBBookmarks->currentIndex();
    sLBBookmarks->setToolTip(current.isValid() ? current.data().toString() : QString());
    return bookmarks.Index;
}

void TSidePanel::SyncPlayLists()
{
    SyncListBoxItems(vPlayListsModel, vVorlane.PlaylistList());
}

void TSidePanel::ScrollSelectedItem()
{
    const int page = sPCExtentedControls->currentIndex();
    if (page < pgBookmarks || page > pgPlayLists)
        return;
    QListView *view = page == pgBookmarks ? sLBBookmarks
                      : page == pgFolders ? sLBDirList
                                          : sLBPlayLists;
    TListBoxDelegate *delegate = vDelegates.at(page);
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isSelected(current)) {
        delegate->SetScroll(-1, 0);
        return;
    }
    const QRect row = view->visualRect(current);
    // The style's text margins count as part of the text.
    const int textWidth = view->fontMetrics().horizontalAdvance(current.data().toString()) + 16;
    if (ScrollSelectedStep(vItemScroll, row.top(), view->viewport()->width(), textWidth))
        delegate->SetScroll(current.row(), vItemScroll.Xs);
    else
        delegate->SetScroll(-1, 0);
    view->viewport()->update(row);
}

void TSidePanel::SetFontSize(int size)
{
    for (QListView *v : {sLBBookmarks, sLBDirList, sLBPlayLists}) {
        QFont f = v->font();
        f.setPointSize(size);
        v->setFont(f);
    }
    for (TListBoxDelegate *d : std::as_const(vDelegates))
        d->SetItemHeight(ListItemHeight(size));
    for (QListView *v : {sLBBookmarks, sLBDirList, sLBPlayLists})
        v->doItemsLayout();
}

// ---------------------------------------------------------------------------------------------
// Selections

int TSidePanel::DestFolderIndex() const
{
    return selectedRow(sLBDirList);
}

void TSidePanel::SetDestFolder(int index)
{
    vDestFolderIndex = index;
    if (index < vDirListModel->rowCount())
        sLBDirList->setCurrentIndex(vDirListModel->index(index));
}

int TSidePanel::SelectedPlayListIndex() const
{
    return selectedRow(sLBPlayLists);
}

QString TSidePanel::PlayListName(int index) const
{
    return vPlayListsModel->Lines().value(index);
}

int TSidePanel::SelectedBookmarkLine() const
{
    return selectedRow(sLBBookmarks);
}

void TSidePanel::SelectBookmarkLine(int line)
{
    if (line < 0 || line >= vBookmarksModel->rowCount())
        return;
    sLBBookmarks->setCurrentIndex(vBookmarksModel->index(line));
    sLBBookmarks->setToolTip(vBookmarksModel->Lines().at(line));
}

QStringList TSidePanel::DirListLines() const
{
    return vDirListModel->Lines();
}

QStringList TSidePanel::BookmarkLines() const
{
    return vBookmarksModel->Lines();
}

QStringList TSidePanel::PlayListLines() const
{
    return vPlayListsModel->Lines();
}

// ---------------------------------------------------------------------------------------------
// Pages

void TSidePanel::ShowPage(int page)
{
    sPCExtentedControls->setCurrentIndex(page);
}

void TSidePanel::fsPCExtentedControlsSwitch()
{
    const int count = sPCExtentedControls->count();
    if (count > 0)
        sPCExtentedControls->setCurrentIndex((sPCExtentedControls->currentIndex() + 1) % count);
}

bool TSidePanel::TagPageShowing() const
{
    return sPCExtentedControls->currentIndex() == pgTags;
}

} // namespace vorlane
