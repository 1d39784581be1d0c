#include "app/shell/WindowKeys.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseWidgets.h"
#include "app/browse/SidePanel.h"
#include "app/player/PlayerPanel.h"
#include "app/shell/Menus.h"
#include "app/tools/CatalogTools.h"
#include "app/tools/NamingTools.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QToolButton>
#include <QWheelEvent>

namespace vorlane {

TWindowKeys::TWindowKeys(QWidget *window, const TParts &parts)
    : QObject(window)
    , vWindow(window)
    , vParts(parts)
{
    qApp->installEventFilter(this);
}

bool TWindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::Wheel)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != vWindow)
        return false;
    switch (type) {
    case QEvent::ShortcutOverride: {
        // Menu shortcuts that an editor with the focus keeps for itself.
        auto *key = static_cast<QKeyEvent *>(event);
        if (IsEditorGuardedShortcut(key->key(), int(key->modifiers()))) {
            const TKeyFocus focus = keyFocus();
            if (focus == TKeyFocus::NameEditor || focus == TKeyFocus::TagTitle ||
                focus == TKeyFocus::TagArtist || focus == TKeyFocus::FindBox) {
                event->accept();
                return true;
            }
        }
        return false;
    }
    case QEvent::KeyPress:
        // Each propagation step passes here; the focus decides, so acting once is enough.
        if (watched != QApplication::focusWidget() && QApplication::focusWidget())
            return false;
        return handleKey(static_cast<QKeyEvent *>(event));
    default: return handleWheel(static_cast<QWheelEvent *>(event));
    }
}

TKeyFocus TWindowKeys::keyFocus() const
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return TKeyFocus::Other;
    if (w == vParts.Browse->sLBBrowseWindow)
        return TKeyFocus::BrowseList;
    if (w == vParts.Browse->sLBNavigator)
        return TKeyFocus::Navigator;
    if (w == vParts.Side->sLBDirList)
        return TKeyFocus::DirList;
    if (w == vParts.Side->sLBBookmarks)
        return TKeyFocus::Bookmarks;
    if (w == vParts.NamingTools->sEEdit)
        return TKeyFocus::NameEditor;
    if (w == vParts.Browse->sEFindQuery)
        return TKeyFocus::FindBox;
    // The tag sheet's fields, an editable combo box's own line edit included.
    static const std::pair<const char *, TKeyFocus> tagFields[] = {
        {"sETagTitle", TKeyFocus::TagTitle}, {"sETagArtist", TKeyFocus::TagArtist},
        {"sETagAlbum", TKeyFocus::TagAlbum}, {"sCBTagGenre", TKeyFocus::TagGenre},
        {"sETagYear", TKeyFocus::TagYear},   {"sETagTrackNumber", TKeyFocus::TagTrack}};
    for (QWidget *p = w; p && p != vWindow; p = p->parentWidget()) {
        for (const auto &[name, focus] : tagFields) {
            if (p->objectName() == QLatin1String(name))
                return focus;
        }
        if (!qobject_cast<QComboBox *>(p->parentWidget()))
            break;
    }
    return TKeyFocus::Other;
}

bool TWindowKeys::handleKey(QKeyEvent *event)
{
    const TKeyFocus focus = keyFocus();
    const int key = event->key();
    const int mods = int(event->modifiers());
    const TKeyAction a = WindowKeyAction(key, mods, focus, vParts.Vorlane->Mode());

    // Keys of single controls that the table leaves to them.
    QWidget *focused = QApplication::focusWidget();
    if (focused == vParts.Side->sLBDirList && mods == Qt::NoModifier) {
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            // The window's seek first; the folder list itself does not move sideways.
            carryOut(a);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Through the button, as its key and click would.
            QToolButton *b = vParts.CatalogTools->LastFileOperationIsMove() ? vParts.Side->sSBMove
                                                                            : vParts.Side->sSBCopy;
            if (b->isEnabled())
                b->click();
            return true;
        }
    }
    if (focused == vParts.Side->sLBBookmarks && mods == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        vParts.CatalogTools->sSBBookmarkLoadClick();
        return true;
    }
    if (focused == vParts.Player->sTBVolume &&
        (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
         key == Qt::Key_Home || key == Qt::Key_End)) {
        // The volume slider takes no keys of its own; the window's keys still apply.
        carryOut(a);
        return true;
    }
    return carryOut(a);
}

bool TWindowKeys::carryOut(const TKeyAction &a)
{
    TPlayerPanel &player = *vParts.Player;
    switch (a.Kind) {
    case TKeyAction::None: return false;
    case TKeyAction::PasteLinks:
        vParts.Vorlane->OpenExtFileList(QApplication::clipboard()->text(), true);
        return true;
    case TKeyAction::PlayerCommand: player.PostCommand(a.Command); return true;
    case TKeyAction::Prev: player.fPrev(); return true;
    case TKeyAction::Next: player.fNext(); return true;
    case TKeyAction::VolumeUp: player.VolumeStep(1); return true;
    case TKeyAction::VolumeDown: player.VolumeStep(-1); return true;
    case TKeyAction::Button:
    case TKeyAction::Menu: break;
    }
    const TBrowsePanel &b = *vParts.Browse;
    const TSidePanel &s = *vParts.Side;
    const TMenus &m = *vParts.Menus;
    QAbstractButton *button = nullptr;
    QAction *item = nullptr;
    switch (a.Target) {
    case TKeyTarget::None: return true;
    case TKeyTarget::SleepTimer: item = m.PMSleepTimer; break;
    case TKeyTarget::SoundWindow: item = m.PMCSPConfigure; break;
    case TKeyTarget::Equaliser: item = m.PMCSPEqEnabled; break;
    case TKeyTarget::FastDownload: button = player.sSBFastDownload; break;
    case TKeyTarget::BookmarkAdd: button = s.sSBBookmarkAdd; break;
    case TKeyTarget::BookmarkEdit: button = s.sSBBookmarkEdit; break;
    case TKeyTarget::ComputerMode: button = b.sSBComputerMode; break;
    case TKeyTarget::InternetMode: button = b.sSBInternetMode; break;
    case TKeyTarget::BookmarksMode: button = b.sSBBookmarksMode; break;
    case TKeyTarget::InternetSearch: button = b.sSBInternetSearchMode; break;
    case TKeyTarget::PlayListsMode: button = b.sSBPlayListsMode; break;
    case TKeyTarget::Delete: button = s.sSBDelete; break;
    case TKeyTarget::Copy: button = s.sSBCopy; break;
    case TKeyTarget::Move: button = s.sSBMove; break;
    }
    if (item && item->isEnabled())
        item->trigger();
    if (button && button->isEnabled()) {
        button->click();
        if (a.Target == TKeyTarget::Copy || a.Target == TKeyTarget::Move)
            b.sLBBrowseWindow->setFocus();
    }
    return true;
}

bool TWindowKeys::handleWheel(QWheelEvent *event)
{
    QWidget *focused = QApplication::focusWidget();
    const auto inside = [focused](QWidget *w) {
        return focused && (focused == w || w->isAncestorOf(focused));
    };
    QSlider *volume = vParts.Player->sTBVolume;
    if (inside(vParts.Browse->sLBBrowseWindow) || inside(volume) ||
        inside(vParts.Side->sLBBookmarks) || inside(vParts.Browse->sLBNavigator))
        return false;
    // Elsewhere the wheel sets the volume.
    volume->setFocus(Qt::OtherFocusReason);
    QWheelEvent copy(event->position(), event->globalPosition(), event->pixelDelta(),
                     event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                     event->inverted(), event->source());
    QApplication::sendEvent(volume, &copy);
    return true;
}

} // namespace vorlane
