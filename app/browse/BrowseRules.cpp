#include "app/browse/BrowseRules.h"

#include "base/TextUtils.h"
#include "catalog/CatalogTypes.h"

#include <QByteArray>
#include <QSet>

#include <cmath>

namespace vorlane {

const QList<TAlphabetLetter> &AlphabetLetters()
{
    // clang-format off
    static const QList<TAlphabetLetter> letters = {
        {"sLEngA", u'A'}, {"sLEng_B", u'B'}, {"sLEng_C", u'C'}, {"sLEng_D", u'D'},
        {"sLEng_E", u'E'}, {"sLEng_F", u'F'}, {"sLEng_G", u'G'}, {"sLEng_H", u'H'},
        {"sLEng_I", u'I'}, {"sLEng_J", u'J'}, {"sLEng_K", u'K'}, {"sLEng_L", u'L'},
        {"sLEng_M", u'M'}, {"sLEng_N", u'N'}, {"sLEng_O", u'O'}, {"sLEng_P", u'P'},
        {"sLEng_Q", u'Q'}, {"sLEng_R", u'R'}, {"sLEng_S", u'S'}, {"sLEng_T", u'T'},
        {"sLEng_U", u'U'}, {"sLEng_V", u'V'}, {"sLEng_W", u'W'}, {"sLEng_X", u'X'},
        {"sLEng_Y", u'Y'}, {"sLEng_Z", u'Z'},
        {"sL_1", u'1'}, {"sL_2", u'2'}, {"sL_3", u'3'}, {"sL_4", u'4'}, {"sL_5", u'5'},
        {"sL_6", u'6'}, {"sL_7", u'7'}, {"sL_8", u'8'}, {"sL_9", u'9'}, {"sL_0", u'0'},
        {"sLRus_A", u'А'}, {"sLRus_B", u'Б'}, {"sLRus_W", u'В'}, {"sLRus_G", u'Г'},
        {"sLRus_D", u'Д'}, {"sLRus_E", u'Е'}, {"sLUkr_Je", u'Є'}, {"sLRus_Yo", u'Ё'},
        {"sLRus_Zh", u'Ж'}, {"sLRus_Z", u'З'}, {"sLRus_I", u'И'}, {"sLUkr_I", u'І'},
        {"sLUkr_Ji", u'Ї'}, {"sLRus_J", u'Й'}, {"sLRus_K", u'К'}, {"sLRus_L", u'Л'},
        {"sLRus_M", u'М'}, {"sLRus_N", u'Н'}, {"sLRus_O", u'О'}, {"sLRus_P", u'П'},
        {"sLRus_R", u'Р'}, {"sLRus_S", u'С'}, {"sLRus_T", u'Т'}, {"sLRus_U", u'У'},
        {"sLRus_F", u'Ф'}, {"sLRus_H", u'Х'}, {"sLRus_C", u'Ц'}, {"sLRus_Ch", u'Ч'},
        {"sLRus_Sh", u'Ш'}, {"sLRus_Sch", u'Щ'}, {"slRus_ERev", u'Э'}, {"sLRus_Y", u'Ю'},
        {"sLRus_Q", u'Я'},
    };
    // clang-format on
    return letters;
}

int LetterJumpRow(const QStringList &lines, int current, QChar letter)
{
    const int n = int(lines.size());
    if (current > n - 1)
        return 0;
    // No selection (-1) searches from the top; every row then counts as "after" it.
    for (int i = std::max(current, 0); i < n; ++i) {
        const QString &text = lines.at(i);
        if (text.isEmpty())
            continue;
        if (fUpCaseRus(text.at(0)) == letter && i != current)
            return i;
    }
    return 0;
}

int BrowseColumns(int width, int fontSize)
{
    if (fontSize <= 0 || width <= 0)
        return 0;
    const double exact = double(width) / (45.0 * fontSize);
    // Halves go to the even neighbour.
    const int columns = int(std::nearbyint(exact));
    return columns == 1 ? 0 : columns;
}

TRowText RowTextPlacement(int rowWidth, int textWidth)
{
    constexpr int kIndent = 10;
    // Whether the text fits is judged without the indent: a text that fits may lose the last
    // pixels of its indent at the right edge, but is never marked as cut.
    if (rowWidth - textWidth - 2 > 0)
        return {kIndent, false};
    return {rowWidth - 2 - textWidth, true};
}

TNavigatorLayout NavigatorLayout(int computerLists, int playLists, int inetLists, int bookmarks)
{
    TNavigatorLayout l;
    l.P = computerLists + 1;
    l.I = l.P + playLists + 1;
    l.B = l.I + inetLists + 1;
    l.Total = l.B + bookmarks + 1;
    return l;
}

TNavigatorTarget NavigatorClick(int a, const TNavigatorLayout &l)
{
    TNavigatorTarget t;
    if (a < 0 || a >= l.Total)
        return t;
    if (a == 0) {
        t.Kind = TNavigatorTarget::ComputerLists;
    } else if (a < l.P) {
        t.Kind = TNavigatorTarget::ComputerList;
        t.Index = a - 1;
    } else if (a == l.P) {
        t.Kind = TNavigatorTarget::PlayLists;
    } else if (a < l.I) {
        t.Kind = TNavigatorTarget::PlayList;
        t.Index = a - l.P - 1;
    } else if (a == l.I) {
        t.Kind = TNavigatorTarget::InternetLists;
    } else if (a < l.B) {
        t.Kind = TNavigatorTarget::InternetList;
        t.Index = a - l.I - 1;
    } else if (a == l.B) {
        t.Kind = TNavigatorTarget::Bookmarks;
    } else {
        t.Kind = TNavigatorTarget::Bookmark;
        t.Index = a - l.B - 1;
    }
    return t;
}

TBrowseMode BackMode(TBrowseMode mode)
{
    switch (mode) {
    case bmComputerFiles: return bmComputerLists;
    case bmInternetFiles: return bmInternetLists;
    case bmPlayListFiles: return bmPlayLists;
    default: return bmRoot;
    }
}

TBrowseClick BrowseClick(TBrowseMode mode, int e, int listIndex, const TNavigatorLayout &l)
{
    TBrowseClick c;
    if (e < 0)
        return c;
    if (mode == bmRoot) {
        c.Kind = TBrowseClick::SwitchMode;
        switch (e) {
        case 0: c.NewMode = bmComputerLists; break;
        case 1:
            c.NewMode = bmInternetLists;
            c.InternetLoadStatus = true;
            break;
        case 2:
            c.NewMode = bmBookmarks;
            c.BookmarksTab = true;
            break;
        case 3: c.NewMode = bmInternetSearch; break;
        case 4: c.NewMode = bmPlayLists; break;
        case 5: c.Kind = TBrowseClick::CloseWindow; break;
        default: c.Kind = TBrowseClick::Nothing; break;
        }
        return c;
    }
    if (e == 0) {
        c.Kind = TBrowseClick::Back;
        return c;
    }
    c.Index = e - 1;
    switch (mode) {
    case bmComputerLists:
        c.Kind = TBrowseClick::ShowList;
        c.NewMode = bmComputerFiles;
        c.NavigatorRow = e;
        break;
    case bmComputerFiles:
        c.Kind = TBrowseClick::OpenFile;
        c.NavigatorRow = listIndex + 1;
        break;
    case bmInternetLists:
        c.Kind = TBrowseClick::ShowList;
        c.NewMode = bmInternetFiles;
        c.NavigatorRow = e + l.I;
        break;
    case bmInternetFiles:
        c.Kind = TBrowseClick::OpenFile;
        c.NavigatorRow = listIndex + l.I + 1;
        break;
    case bmBookmarks: c.Kind = TBrowseClick::SelectBookmark; break;
    case bmInternetSearch: c.Kind = TBrowseClick::OpenFile; break;
    case bmPlayLists:
        c.Kind = TBrowseClick::ShowList;
        c.NewMode = bmPlayListFiles;
        c.NetworkPlayList = e == 1;
        break;
    case bmPlayListFiles:
        c.Kind = TBrowseClick::OpenFile;
        c.NavigatorRow = listIndex + l.P + 1;
        break;
    default:
        c.Kind = TBrowseClick::Nothing;
        c.Index = -1;
        break;
    }
    return c;
}

namespace {

bool inAny(TKeyFocus focus, std::initializer_list<TKeyFocus> set)
{
    for (TKeyFocus f : set) {
        if (f == focus)
            return true;
    }
    return false;
}

// The editors whose keys the window leaves alone for its Ctrl shortcuts.
bool inEditor(TKeyFocus focus)
{
    return inAny(focus, {TKeyFocus::NameEditor, TKeyFocus::TagTitle, TKeyFocus::TagArtist,
                         TKeyFocus::FindBox});
}

} // namespace

bool IsEditorGuardedShortcut(int key, int modifiers)
{
    const int mods =
        modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    return mods == Qt::ControlModifier &&
           (key == Qt::Key_T || key == Qt::Key_P || key == Qt::Key_E);
}

TKeyAction WindowKeyAction(int key, int modifiers, TKeyFocus focus, TBrowseMode mode)
{
    TKeyAction a;
    const int mods =
        modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const auto button = [&a](TKeyTarget target) {
        a.Kind = TKeyAction::Button;
        a.Target = target;
    };
    const auto menu = [&a](TKeyTarget target) {
        a.Kind = TKeyAction::Menu;
        a.Target = target;
    };
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Space:
        case Qt::Key_Left:
        case Qt::Key_Right:
            // The tag panel, the find box, the name editor and the lists that move with the
            // arrows keep these keys.
            if (inAny(focus, {TKeyFocus::NameEditor, TKeyFocus::TagTitle, TKeyFocus::TagArtist,
                              TKeyFocus::FindBox, TKeyFocus::TagAlbum, TKeyFocus::Bookmarks,
                              TKeyFocus::Navigator, TKeyFocus::TagGenre, TKeyFocus::TagYear,
                              TKeyFocus::TagTrack}))
                return a;
            a.Kind = TKeyAction::PlayerCommand;
            a.Command = key == Qt::Key_Space ? 4 : key == Qt::Key_Left ? 2 : 1;
            return a;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (inAny(focus, {TKeyFocus::Navigator, TKeyFocus::DirList, TKeyFocus::Bookmarks,
                              TKeyFocus::NameEditor}))
                return a;
            a.Kind = key == Qt::Key_Up ? TKeyAction::Prev : TKeyAction::Next;
            return a;
        case Qt::Key_PageDown: a.Kind = TKeyAction::VolumeUp; return a;
        case Qt::Key_PageUp: a.Kind = TKeyAction::VolumeDown; return a;
        default: return a;
        }
    }
    if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
        a.Kind = key == Qt::Key_PageDown ? TKeyAction::VolumeUp : TKeyAction::VolumeDown;
        return a;
    }
    if (mods == Qt::ControlModifier && key == Qt::Key_V) {
        if (mode == bmInternetSearch && focus == TKeyFocus::BrowseList)
            a.Kind = TKeyAction::PasteLinks;
        return a;
    }
    if (inEditor(focus))
        return a;
    if (mods == Qt::ShiftModifier && key == Qt::Key_Delete) {
        button(TKeyTarget::Delete);
        return a;
    }
    if (mods != Qt::ControlModifier)
        return a;
    switch (key) {
    case Qt::Key_T: menu(TKeyTarget::SleepTimer); break;
    case Qt::Key_P: menu(TKeyTarget::SoundWindow); break;
    case Qt::Key_E: menu(TKeyTarget::Equaliser); break;
    case Qt::Key_D: button(TKeyTarget::FastDownload); break;
    case Qt::Key_B: button(TKeyTarget::BookmarkAdd); break;
    case Qt::Key_N: button(TKeyTarget::BookmarkEdit); break;
    case Qt::Key_1: button(TKeyTarget::ComputerMode); break;
    case Qt::Key_2: button(TKeyTarget::InternetMode); break;
    case Qt::Key_3: button(TKeyTarget::BookmarksMode); break;
    case Qt::Key_4: button(TKeyTarget::InternetSearch); break;
    case Qt::Key_5: button(TKeyTarget::PlayListsMode); break;
    case Qt::Key_K: button(TKeyTarget::Copy); break;
    case Qt::Key_M: button(TKeyTarget::Move); break;
    default: break;
    }
    return a;
}

namespace {

// "\040" and the like stand for blanks and other bytes in mount points.
QString decodeMountPoint(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size() && field.at(i + 1) >= '0' &&
            field.at(i + 1) <= '3') {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return QString::fromUtf8(out);
}

bool pathOnMount(const QString &path, const QString &mount)
{
    if (mount == QLatin1String("/"))
        return path.startsWith(u'/');
    return path == mount || (path.startsWith(mount) && path.at(mount.size()) == u'/');
}

} // namespace

QStringList ParseMountInfo(const QByteArray &text)
{
    QStringList mounts;
    for (const QByteArray &line : text.split('\n')) {
        // id parent major:minor root mount-point options ...
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 4)
            mounts << decodeMountPoint(fields.at(4));
    }
    return mounts;
}

QList<int> ListsOnNewMounts(const QStringList &before, const QStringList &after,
                            const QStringList &roots)
{
    const QSet<QString> old(before.begin(), before.end());
    QStringList fresh;
    for (const QString &m : after) {
        if (!old.contains(m) && !fresh.contains(m))
            fresh << m;
    }
    QList<int> lists;
    for (int i = 0; i < roots.size(); ++i) {
        for (const QString &m : std::as_const(fresh)) {
            if (pathOnMount(roots.at(i), m)) {
                lists << i;
                break;
            }
        }
    }
    return lists;
}

TPositionPick PositionBarPick(int x, int maximum, int width)
{
    TPositionPick p;
    if (width <= 0 || maximum <= 0)
        return p;
    const int step = maximum / width;
    const int clampedX = std::clamp(x, 0, width);
    p.BarValue = clampedX * step;
    p.Bytes = int64_t(clampedX) * 10 * step;
    return p;
}

} // namespace vorlane
