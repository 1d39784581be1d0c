// The main window's browsing: every gesture on the navigator, the browse list, the alphabet
// index, the find box, the side lists, the keyboard, the wheel, dropped files and new volumes,
// mapped to controller calls. The controller answers with an event code that the main timer
// turns into the refreshed lists; these handlers redraw nothing themselves.

#include "app/BrowseRules.h"
#include "app/BrowseWidgets.h"
#include "app/ListSync.h"
#include "app/MainWindow.h"
#include "app/MountWatcher.h"
#include "app/PlayerTick.h"
#include "app/TextScroller.h"
#include "base/Messages.h"
#include "base/TextUtils.h"
#include "catalog/Vorlane.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QProgressBar>
#include <QSlider>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

namespace vorlane {

namespace {

// The splitter handle in front of a panel, with the panel's index in its splitter.
struct TPanelHandle {
    QSplitter *Splitter = nullptr;
    int Index = -1;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Wiring

void TMainWindow::connectBrowsing()
{
    const auto button = [this](const char *name) {
        return findChild<QToolButton *>(QLatin1String(name));
    };
    connect(button("sSBBackBrowser"), &QToolButton::clicked, this, [this] { fBackBrowserMode(); });
    const char *sources[] = {"sSBComputerMode", "sSBInternetMode", "sSBBookmarksMode",
                             "sSBInternetSearchMode", "sSBPlayListsMode"};
    for (int i = 0; i < 5; ++i)
        connect(button(sources[i]), &QToolButton::clicked, this, [this, i] { runSourceButton(i); });
    connect(button("sSBAlphabetSort"), &QToolButton::clicked, this,
            [this] { vVorlane->AlphabetSorting(false); });
    connect(button("sSBAlphabetSortRev"), &QToolButton::clicked, this,
            [this] { vVorlane->AlphabetSorting(true); });
    connect(button("sSBDateSort"), &QToolButton::clicked, this,
            [this] { vVorlane->DateSorting(); });
    connect(button("sSBDefaultSort"), &QToolButton::clicked, this, [this] {
        // The folder's own order is the order of a fresh scan.
        if (vVorlane->Mode() == bmComputerFiles)
            vVorlane->RefreshList();
    });
    connect(button("sSBFindStart"), &QToolButton::clicked, this, [this] { sSBFindStartClick(); });
    connect(sEFindQuery, &QLineEdit::returnPressed, this, [this] { sSBFindStartClick(); });

    connect(sPAlphabet, &TAlphabetIndex::letterClicked, this,
            [this](QChar letter) { fSetIndexByFirstLetter(letter); });

    // A plain click acts; clicks that extend or shrink a selection only select.
    connect(sLBBrowseWindow, &QAbstractItemView::clicked, this, [this](const QModelIndex &) {
        if (sLBBrowseWindow->ClickModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
            return;
        sLBBrowseWindowClick();
    });
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
                vVorlane->SwapRecords(dropRow - 2, files);
            });
    connect(sLBNavigator, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { sLBNavigatorClick(index.row()); });

    // Side lists. The destination folder, the playlist to add to, the double clicks and Enter on
    // the folder and bookmark lists are the catalogue tools' (CatalogTools.cpp).
    connect(sLBDirList, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { vVorlane->SetLastDestDir(index.row()); });
    connect(sLBBookmarks, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        sLBBookmarks->setToolTip(index.data().toString());
        if (vVorlane->Mode() == bmBookmarks)
            fSetBrowseIndex(index.row() + 1);
    });

    // The directory menu and the clipboard and shell items of the edit menu.
    for (const char *item : {"PMDChange", "PMDDelete", "PMDAddFileList", "PMDRefresh"}) {
        connect(MenuItem(QLatin1String(item)), &QAction::triggered, this,
                [this, item] { runDirectoryMenu(QLatin1String(item)); });
    }
    for (const char *item : {"PMEOpenInApp", "PMEOpenInExplorer", "PMECopyListToClipBoard"}) {
        connect(MenuItem(QLatin1String(item)), &QAction::triggered, this,
                [this, item] { runEditClipboardItem(QLatin1String(item)); });
    }

    // The position bar, the speed slider's reset and the keys of the volume slider.
    sPBPositionRegulator->setMouseTracking(true);
    for (QWidget *w : std::initializer_list<QWidget *>{
             sPBPositionRegulator, sTBPlaySpeed, sTBVolume, sLBBookmarks->viewport(),
             sLBDirList->viewport(), sLBPlayLists->viewport(), sLBBookmarks, sLBDirList,
             sPCExtentedControls->tabBar()})
        w->installEventFilter(this);
    sTBVolume->setFocusPolicy(Qt::StrongFocus);

    // Keys and the wheel are seen by the window before its controls.
    qApp->installEventFilter(this);
    installPanelHandles();
}

// ---------------------------------------------------------------------------------------------
// Navigator and browse list

void TMainWindow::sLBNavigatorClick(int a)
{
    const TNavigatorTarget t = NavigatorClick(a, vNavigator);
    switch (t.Kind) {
    case TNavigatorTarget::None: return;
    case TNavigatorTarget::ComputerLists: vVorlane->SetMode(bmComputerLists); break;
    case TNavigatorTarget::ComputerList:
        vVorlane->SetMode(bmComputerLists);
        vVorlane->SetVisibleListIndex(t.Index);
        vVorlane->SetMode(bmComputerFiles);
        break;
    case TNavigatorTarget::PlayLists: vVorlane->SetMode(bmPlayLists); break;
    case TNavigatorTarget::PlayList:
        vVorlane->SetMode(bmPlayLists);
        vVorlane->SetVisibleListIndex(t.Index);
        vVorlane->SetMode(bmPlayListFiles);
        if (t.Index == 0 && !vVorlane->LoggedIn()) {
            if (QAction *enter = MenuItem(QStringLiteral("PMAEnter")))
                enter->trigger();
        }
        break;
    case TNavigatorTarget::InternetLists:
        fLStatusRefresh(Msg().SM_INTERNETLOAD);
        vVorlane->SetMode(bmInternetLists);
        break;
    case TNavigatorTarget::InternetList:
        vVorlane->SetMode(bmInternetLists);
        vVorlane->SetVisibleListIndex(t.Index);
        vVorlane->SetMode(bmInternetFiles);
        break;
    case TNavigatorTarget::Bookmarks:
        vVorlane->SetMode(bmBookmarks);
        sPCExtentedControls->setCurrentIndex(0);
        break;
    case TNavigatorTarget::Bookmark:
        vVorlane->SetMode(bmBookmarks);
        vNewPlayPosition = vVorlane->GotoBookmark(t.Index);
        break;
    }
}

void TMainWindow::sLBBrowseWindowClick()
{
    const int e = sLBBrowseWindow->currentIndex().row();
    const uint32_t mode = vVorlane->Mode();
    const TBrowseClick c = BrowseClick(mode, e, vVorlane->ListIndex(), vNavigator);
    switch (c.Kind) {
    case TBrowseClick::Nothing: break;
    case TBrowseClick::Back: fBackBrowserMode(); break;
    case TBrowseClick::SwitchMode:
        if (c.InternetLoadStatus)
            fLStatusRefresh(Msg().SM_INTERNETLOAD);
        vVorlane->SetMode(c.NewMode);
        if (c.BookmarksTab)
            sPCExtentedControls->setCurrentIndex(0);
        break;
    case TBrowseClick::ShowList:
        vVorlane->SetVisibleListIndex(c.Index);
        vVorlane->SetMode(c.NewMode);
        if (c.NetworkPlayList && !vVorlane->LoggedIn()) {
            if (QAction *enter = MenuItem(QStringLiteral("PMAEnter")))
                enter->trigger();
        }
        break;
    case TBrowseClick::OpenFile: vVorlane->SetFileIndex(c.Index); break;
    case TBrowseClick::SelectBookmark:
        if (c.Index < vBookmarksModel->rowCount()) {
            sLBBookmarks->setCurrentIndex(vBookmarksModel->index(c.Index));
            sLBBookmarks->setToolTip(vBookmarksModel->Lines().at(c.Index));
        }
        break;
    case TBrowseClick::CloseWindow: close(); return;
    }
    if (c.NavigatorRow >= 0 && c.NavigatorRow < vNavigatorModel->rowCount())
        sLBNavigator->setCurrentIndex(vNavigatorModel->index(c.NavigatorRow));
    sLBBrowseWindow->viewport()->update();
}

void TMainWindow::fBackBrowserMode()
{
    const uint32_t mode = vVorlane->Mode();
    if (mode != bmRoot)
        vVorlane->SetMode(BackMode(mode));
}

void TMainWindow::runSourceButton(int source)
{
    const auto selectNavigator = [this](int row) {
        if (row >= 0 && row < vNavigatorModel->rowCount())
            sLBNavigator->setCurrentIndex(vNavigatorModel->index(row));
    };
    switch (source) {
    case 0:
        selectNavigator(0);
        vVorlane->SetMode(bmComputerLists);
        break;
    case 1:
        fLStatusRefresh(Msg().SM_INTERNETLOAD);
        vVorlane->SetMode(bmInternetLists);
        selectNavigator(vNavigator.I);
        break;
    case 2:
        vVorlane->SetMode(bmBookmarks);
        sPCExtentedControls->setCurrentIndex(0);
        selectNavigator(vNavigator.B);
        break;
    case 3: vVorlane->SetMode(bmInternetSearch); break;
    case 4:
        vVorlane->SetMode(bmPlayLists);
        selectNavigator(vNavigator.P);
        break;
    default: break;
    }
}

void TMainWindow::fSetIndexByFirstLetter(QChar letter)
{
    const int row =
        LetterJumpRow(vBrowseModel->Lines(), sLBBrowseWindow->currentIndex().row(), letter);
    sLBBrowseWindow->selectionModel()->setCurrentIndex(vBrowseModel->index(row),
                                                       QItemSelectionModel::ClearAndSelect);
    sLBBrowseWindow->scrollTo(vBrowseModel->index(row));
}

void TMainWindow::ChangeColumnsNumber()
{
    const int columns = BrowseColumns(sLBBrowseWindow->width(), vFontSize);
    if (columns == sLBBrowseWindow->Columns())
        return;
    sLBBrowseWindow->SetItemHeight(ListItemHeight(vFontSize));
    sLBBrowseWindow->SetColumns(columns);
    sLBBrowseWindow->viewport()->update();
}

void TMainWindow::fRefreshBrowseIndex()
{
    switch (vVorlane->Mode()) {
    case bmComputerLists:
    case bmInternetLists:
    case bmPlayLists: fSetBrowseIndex(vVorlane->VisibleListIndex() + 1); break;
    case bmComputerFiles:
    case bmInternetFiles:
    case bmInternetSearch:
    case bmPlayListFiles: fSetBrowseIndex(vVorlane->FileIndex() + 1); break;
    default: fSetBrowseIndex(0); break;
    }
}

void TMainWindow::fsPCExtentedControlsSwitch()
{
    const int count = sPCExtentedControls->count();
    if (count > 0)
        sPCExtentedControls->setCurrentIndex((sPCExtentedControls->currentIndex() + 1) % count);
}

void TMainWindow::sSBFindStartClick()
{
    if (vVorlane->Mode() == bmInternetSearch)
        fLStatusRefresh(Msg().SM_INETSEAERCHSTART);
    vVorlane->Find(sEFindQuery->text(), 0.8f);
}

// ---------------------------------------------------------------------------------------------
// Folders, link lists, drops and volumes

void TMainWindow::showDroppedOrChosenFolder(const QString &folder, const QString &caption)
{
    vLastDir = folder;
    const bool included = AskYesNo(caption, Msg().SM_OPENINCLUDES);
    addFolderList(folder, included);
}

void TMainWindow::WMDropFiles(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return;
    const QUrl &first = urls.first();
    const QString path = first.isLocalFile() ? first.toLocalFile() : first.toString();
    if (path.isEmpty())
        return;
    vVorlane->SetMode(bmComputerFiles);
    if (LowerExtension(path) == QLatin1String(".txt")) {
        vVorlane->OpenExtFileList(path, false);
        return;
    }
    // A dropped file stands for its folder.
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return;
    showDroppedOrChosenFolder(folder, Msg().SM_ADDDIR);
}

void TMainWindow::runDirectoryMenu(const QString &item)
{
    const TMessages &m = Msg();
    if (item == QLatin1String("PMDChange")) {
        const QString start =
            vVorlane->Mode() == bmComputerFiles ? vVorlane->CurrentFile().DirName : vLastDir;
        const QString chosen = ChooseFolder(m.SM_CHANGEDIR, start);
        if (chosen.isEmpty())
            return;
        vLastDir = chosen;
        vVorlane->SetMode(bmComputerFiles);
        const bool included = AskYesNo(m.SM_CHANGEDIR, m.SM_OPENINCLUDES);
        vVorlane->RefreshList(chosen, included);
    } else if (item == QLatin1String("PMDDelete")) {
        vVorlane->DeleteList();
    } else if (item == QLatin1String("PMDAddFileList")) {
        const QString chosen = ChooseFile(m.SM_ADDDIR, vLastDir);
        if (!chosen.isEmpty())
            vVorlane->OpenExtFileList(chosen, false);
    } else if (item == QLatin1String("PMDRefresh")) {
        const uint32_t mode = vVorlane->Mode();
        if (mode == bmInternetLists || mode == bmInternetFiles)
            fLStatusRefresh(m.SM_INTERNETLOAD);
        vVorlane->RefreshList();
    }
}

void TMainWindow::OnDeviceChange()
{
    QStringList before, after;
    if (!vMountWatcher || !vMountWatcher->Poll(before, after))
        return;
    QStringList roots;
    for (int i = 0; i < vVorlane->FolderListCount(); ++i)
        roots << vVorlane->FolderList(i).RootDir;
    const QList<int> lists = ListsOnNewMounts(before, after, roots);
    for (int index : lists) {
        if (vVorlane->Mode() != bmComputerFiles)
            vVorlane->SetMode(bmComputerFiles);
        vVorlane->SetListIndex(index);
        vVorlane->RefreshList();
        vDestFolderIndex = index;
        if (index < vDirListModel->rowCount())
            sLBDirList->setCurrentIndex(vDirListModel->index(index));
    }
}

// ---------------------------------------------------------------------------------------------
// Clipboard and the desktop

void TMainWindow::runEditClipboardItem(const QString &item)
{
    if (item == QLatin1String("PMECopyListToClipBoard")) {
        QApplication::clipboard()->setText(vBrowseModel->Lines().join(QStringLiteral("\r\n")));
        return;
    }
    const TFileName entry = vVorlane->CurrentFile();
    if (entry.FileName.isEmpty() && entry.DirName.isEmpty())
        return;
    const bool local = !entry.DirName.contains(QLatin1String("://"));
    if (item == QLatin1String("PMEOpenInApp")) {
        QDesktopServices::openUrl(local ? QUrl::fromLocalFile(entry.DirName + entry.FileName)
                                        : QUrl(entry.DirName + entry.FileName));
    } else if (item == QLatin1String("PMEOpenInExplorer")) {
        QDesktopServices::openUrl(local ? QUrl::fromLocalFile(entry.DirName) : QUrl(entry.DirName));
    }
}

// ---------------------------------------------------------------------------------------------
// Panels: a click on a splitter shows its panel, a double click hides it.

namespace {

TPanelHandle handleOf(QWidget *panel)
{
    for (QWidget *p = panel; p; p = p->parentWidget()) {
        auto *splitter = qobject_cast<QSplitter *>(p->parentWidget());
        if (splitter)
            return {splitter, splitter->indexOf(p)};
    }
    return {};
}

} // namespace

bool TMainWindow::PanelShown(QWidget *panel) const
{
    const TPanelHandle h = handleOf(panel);
    if (!h.Splitter || h.Index < 0)
        return !panel->isHidden();
    return !panel->isHidden() && h.Splitter->sizes().value(h.Index) > 0;
}

void TMainWindow::SetPanelShown(QWidget *panel, bool shown)
{
    const TPanelHandle h = handleOf(panel);
    if (!h.Splitter || h.Index < 0)
        return;
    QList<int> sizes = h.Splitter->sizes();
    const int other = h.Index == 0 ? 1 : 0;
    if (sizes.size() != 2)
        return;
    const int total = sizes[0] + sizes[1];
    const bool horizontal = h.Splitter->orientation() == Qt::Horizontal;
    if (shown) {
        if (sizes[h.Index] > 0)
            return;
        int want = panel->property("restoreSize").toInt();
        if (panel == sPRight)
            want = 210; // the side panel comes back at its usual width
        want = std::max(want, horizontal ? panel->minimumWidth() : panel->minimumHeight());
        sizes[h.Index] = want;
        sizes[other] = std::max(0, total - want);
    } else {
        if (sizes[h.Index] == 0)
            return;
        panel->setProperty("restoreSize", sizes[h.Index]);
        sizes[h.Index] = 0;
        sizes[other] = total;
    }
    h.Splitter->setSizes(sizes);
    // The hint and cursor of the handle say what a click does now.
    const int handleIndex = h.Index == 0 ? 1 : h.Index;
    if (QSplitterHandle *handle = h.Splitter->handle(handleIndex)) {
        handle->setToolTip(shown ? Msg().SM_DBLCLICKHIDE : Msg().SM_ClICKSHOW);
        handle->setCursor(shown ? (horizontal ? Qt::SplitHCursor : Qt::SplitVCursor)
                                : Qt::PointingHandCursor);
    }
}

void TMainWindow::installPanelHandles()
{
    for (QWidget *panel : std::initializer_list<QWidget *>{sPLeft, sPRight, sPTop}) {
        const TPanelHandle h = handleOf(panel);
        if (!h.Splitter)
            continue;
        h.Splitter->setCollapsible(h.Index, true);
        h.Splitter->setCollapsible(h.Index == 0 ? 1 : 0, false);
        if (QSplitterHandle *handle = h.Splitter->handle(1)) {
            handle->setProperty("panel", QVariant::fromValue<QObject *>(panel));
            handle->installEventFilter(this);
            handle->setToolTip(Msg().SM_DBLCLICKHIDE);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Keys, the wheel, and mouse gestures on single controls

TKeyFocus TMainWindow::keyFocus() const
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return TKeyFocus::Other;
    if (w == sLBBrowseWindow)
        return TKeyFocus::BrowseList;
    if (w == sLBNavigator)
        return TKeyFocus::Navigator;
    if (w == sLBDirList)
        return TKeyFocus::DirList;
    if (w == sLBBookmarks)
        return TKeyFocus::Bookmarks;
    if (w == sEEdit)
        return TKeyFocus::NameEditor;
    if (w == sEFindQuery)
        return TKeyFocus::FindBox;
    // The tag panel's fields, an editable combo box's own line edit included.
    static const std::pair<const char *, TKeyFocus> tagFields[] = {
        {"sETagTitle", TKeyFocus::TagTitle}, {"sETagArtist", TKeyFocus::TagArtist},
        {"sETagAlbum", TKeyFocus::TagAlbum}, {"sCBTagGenre", TKeyFocus::TagGenre},
        {"sETagYear", TKeyFocus::TagYear},   {"sETagTrackNumber", TKeyFocus::TagTrack}};
    for (QWidget *p = w; p && p != this; p = p->parentWidget()) {
        for (const auto &[name, focus] : tagFields) {
            if (p->objectName() == QLatin1String(name))
                return focus;
        }
        if (!qobject_cast<QComboBox *>(p->parentWidget()))
            break;
    }
    return TKeyFocus::Other;
}

bool TMainWindow::handleWindowKey(QKeyEvent *event)
{
    const TKeyFocus focus = keyFocus();
    const int key = event->key();
    const int mods = int(event->modifiers());

    // Keys of single controls that the table leaves to them.
    QWidget *focused = QApplication::focusWidget();
    if (focused == sLBDirList && mods == Qt::NoModifier) {
        if (key == Qt::Key_Left || key == Qt::Key_Right)
            return true;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Through the button, which stays disabled until the start-up timer has run.
            const char *name = LastFileOperationIsMove() ? "sSBMove" : "sSBCopy";
            if (auto *b = findChild<QToolButton *>(QLatin1String(name)); b && b->isEnabled())
                b->click();
            return true;
        }
    }
    if (focused == sLBBookmarks && mods == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        sSBBookmarkLoadClick();
        return true;
    }
    if (focused == sTBVolume &&
        (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
         key == Qt::Key_Home || key == Qt::Key_End)) {
        // The volume slider takes no keys of its own; the window's keys still apply.
        const TKeyAction a = WindowKeyAction(key, mods, focus, vVorlane->Mode());
        if (a.Kind == TKeyAction::None)
            return true;
    }

    const TKeyAction a = WindowKeyAction(key, mods, focus, vVorlane->Mode());
    switch (a.Kind) {
    case TKeyAction::None: return false;
    case TKeyAction::PasteLinks:
        vVorlane->OpenExtFileList(QApplication::clipboard()->text(), true);
        return true;
    case TKeyAction::PlayerCommand: PendingPlayerCommand = a.Command; return true;
    case TKeyAction::Prev: fPrev(); return true;
    case TKeyAction::Next: fNext(); return true;
    case TKeyAction::VolumeUp: sTBVolume->setValue(sTBVolume->value() + 1); return true;
    case TKeyAction::VolumeDown: sTBVolume->setValue(sTBVolume->value() - 1); return true;
    case TKeyAction::Button:
        if (auto *b = findChild<QAbstractButton *>(QLatin1String(a.Name)); b && b->isEnabled()) {
            b->click();
            if (a.Name == QLatin1String("sSBCopy") || a.Name == QLatin1String("sSBMove"))
                sLBBrowseWindow->setFocus();
        }
        return true;
    case TKeyAction::Menu:
        if (QAction *item = MenuItem(QLatin1String(a.Name)); item && item->isEnabled())
            item->trigger();
        return true;
    }
    return false;
}

bool TMainWindow::handleWheel(QObject *, QWheelEvent *event)
{
    QWidget *focused = QApplication::focusWidget();
    const auto inside = [focused](QWidget *w) {
        return focused && (focused == w || w->isAncestorOf(focused));
    };
    if (inside(sLBBrowseWindow) || inside(sTBVolume) || inside(sLBBookmarks) ||
        inside(sLBNavigator))
        return false;
    // Elsewhere the wheel sets the volume.
    sTBVolume->setFocus(Qt::OtherFocusReason);
    QWheelEvent copy(event->position(), event->globalPosition(), event->pixelDelta(),
                     event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                     event->inverted(), event->source());
    QApplication::sendEvent(sTBVolume, &copy);
    return true;
}

void TMainWindow::positionBarMouse(QMouseEvent *event)
{
    QProgressBar *bar = sPBPositionRegulator;
    const int x = int(event->position().x());
    const TPositionPick pick = PositionBarPick(x, bar->maximum(), bar->width());
    if (event->type() == QEvent::MouseMove) {
        if (event->buttons() & Qt::LeftButton) {
            bar->setValue(pick.BarValue);
            vPositionChange = true;
        }
        const QString time = vPlayer ? vPlayer->ByteLengthToTime(pick.Bytes) : QString();
        // Nothing open (or no player yet): the hint shows the start.
        const bool unknown = time.isEmpty() || time == QLatin1String("--:--");
        bar->setToolTip(unknown ? QStringLiteral("00:00") : time);
        return;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        vPosRegulatorValue = pick.Bytes;
        if (event->button() == Qt::LeftButton)
            PendingPlayerCommand = pcSeek;
        bar->setFocus(Qt::MouseFocusReason);
        vPositionChange = false;
    }
}

} // namespace vorlane
