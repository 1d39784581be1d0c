#include "app/shell/Menus.h"

#include "app/shell/Themes.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace vorlane {

namespace {

QAction *item(QMenu *menu, const char *name, const QString &text, bool checkable = false)
{
    auto *a = new QAction(text, menu);
    a->setObjectName(QLatin1String(name));
    a->setCheckable(checkable);
    menu->addAction(a);
    return a;
}

QMenu *subMenu(QMenu *menu, const char *name, const QString &text)
{
    QMenu *sub = menu->addMenu(text);
    sub->setObjectName(QLatin1String(name));
    return sub;
}

QActionGroup *group(QObject *owner, std::initializer_list<QAction *> actions, bool optional)
{
    auto *g = new QActionGroup(owner);
    if (optional)
        g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *a : actions)
        g->addAction(a);
    return g;
}

} // namespace

TMenus TMenus::Build(QMenuBar *bar, QObject *owner)
{
    TMenus m;
    bar->setObjectName(QStringLiteral("MMMain"));

    QMenu *program = bar->addMenu(QStringLiteral("Program"));
    program->setObjectName(QStringLiteral("PMProgram"));
    m.PMSleepTimer = item(program, "PMSleepTimer", QStringLiteral("Sleep timer…"));
    m.PMSleepTimer->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    m.PMFeedback = item(program, "PMFeedback", QStringLiteral("Feedback…"));
    QMenu *social = subMenu(program, "PMSocialNetworks", QStringLiteral("We on the web"));
    m.PMSNFacebook = item(social, "PMSNFacebook", QStringLiteral("Facebook"));
    m.PMSNVkontakte = item(social, "PMSNVkontakte", QStringLiteral("VKontakte"));
    m.PMSNOdnoklassniki = item(social, "PMSNOdnoklassniki", QStringLiteral("Odnoklassniki"));
    program->addSeparator();
    m.PMCloseProgram = item(program, "PMCloseProgram", QStringLiteral("Quit"));
    m.PMCloseProgram->setShortcut(QKeySequence::Quit);

    QMenu *dir = bar->addMenu(QStringLiteral("Folders"));
    dir->setObjectName(QStringLiteral("PMDirectory"));
    m.PMDAdd = item(dir, "PMDAdd", QStringLiteral("Add folder…"));
    m.PMDChange = item(dir, "PMDChange", QStringLiteral("Change folder…"));
    m.PMDDelete = item(dir, "PMDDelete", QStringLiteral("Remove folder list"));
    m.PMDRefresh = item(dir, "PMDRefresh", QStringLiteral("Refresh"));
    dir->addSeparator();
    m.PMDAddFileList = item(dir, "PMDAddFileList", QStringLiteral("Open list of links…"));

    QMenu *edit = bar->addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("PMEdit"));
    const std::pair<QAction **, const char *> editItems[] = {
        {&m.PMEFormatName, "PMEFormatName"},
        {&m.PMETranslit, "PMETranslit"},
        {&m.PMERenameToLink, "PMERenameToLink"},
        {&m.PMERenameFromTag, "PMERenameFromTag"},
        {&m.PMENumeric, "PMENumeric"},
        {&m.PMEDeleteExpression, "PMEDeleteExpression"},
        {&m.PMEChangeExpression, "PMEChangeExpression"},
        {&m.PMEOpenInApp, "PMEOpenInApp"},
        {&m.PMEOpenInExplorer, "PMEOpenInExplorer"},
        {&m.PMECopyListToClipBoard, "PMECopyListToClipBoard"},
        {&m.PMECopyTagsListToClipBoard, "PMECopyTagsListToClipBoard"}};
    const QString editTexts[] = {QStringLiteral("Tidy the name"),
                                 QStringLiteral("Transliterate"),
                                 QStringLiteral("Name as a web address"),
                                 QStringLiteral("Name from tags"),
                                 QStringLiteral("Number the names"),
                                 QStringLiteral("Delete text from names…"),
                                 QStringLiteral("Replace text in names…"),
                                 QStringLiteral("Open in its program"),
                                 QStringLiteral("Show in file manager"),
                                 QStringLiteral("Copy list to clipboard"),
                                 QStringLiteral("Copy tag list to clipboard")};
    for (int i = 0; i < int(std::size(editItems)); ++i) {
        if (i == 7 || i == 9)
            edit->addSeparator();
        *editItems[i].first = item(edit, editItems[i].second, editTexts[i]);
        (*editItems[i].first)->setShortcut(QKeySequence(Qt::Key(Qt::Key_F2 + i)));
    }

    QMenu *conf = bar->addMenu(QStringLiteral("Settings"));
    conf->setObjectName(QStringLiteral("PMConfig"));
    m.PMCPlayFiles = item(conf, "PMCPlayFiles", QStringLiteral("Play chosen files"), true);
    m.PMCAutoEdit = item(conf, "PMCAutoEdit", QStringLiteral("Apply name edits at once"), true);
    m.PMCAudioFilesOnly = item(conf, "PMCAudioFilesOnly", QStringLiteral("Audio files only"), true);
    m.PMCShowIndicator =
        item(conf, "PMCShowIndicator", QStringLiteral("Show notices on screen"), true);
    m.PMCShowMiniPlayer =
        item(conf, "PMCShowMiniPlayer", QStringLiteral("Mini player when minimised"), true);
    conf->addSeparator();

    QMenu *repeat = subMenu(conf, "PMCRepeat", QStringLiteral("Repeat"));
    m.PMCRNot = item(repeat, "PMCRNot", QStringLiteral("Off"), true);
    m.PMCROne = item(repeat, "PMCROne", QStringLiteral("One track"), true);
    m.PMCRAll = item(repeat, "PMCRAll", QStringLiteral("Whole list"), true);
    m.Repeat = group(owner, {m.PMCRNot, m.PMCROne, m.PMCRAll}, true);
    // A click ticks the item; clicking the ticked one leaves it ticked.
    QObject::connect(m.Repeat, &QActionGroup::triggered, owner,
                     [](QAction *a) { a->setChecked(true); });

    QMenu *fonts = subMenu(conf, "PMCFontSize", QStringLiteral("List font"));
    m.PMCFSSmall = item(fonts, "PMCFSSmall", QStringLiteral("Small"), true);
    m.PMCFSMedium = item(fonts, "PMCFSMedium", QStringLiteral("Medium"), true);
    m.PMCFSBig = item(fonts, "PMCFSBig", QStringLiteral("Big"), true);
    m.FontSize = group(owner, {m.PMCFSSmall, m.PMCFSMedium, m.PMCFSBig}, true);
    m.PMCFSSmall->setData(8);
    m.PMCFSMedium->setData(12);
    m.PMCFSBig->setData(14);

    QMenu *lang = subMenu(conf, "PMCLanguage", QStringLiteral("Language"));
    m.PMCLEng = item(lang, "PMCLEng", QStringLiteral("English"), true);
    m.PMCLRus = item(lang, "PMCLRus", QString::fromUtf8("Русский"), true);
    m.PMCLUkr = item(lang, "PMCLUkr", QString::fromUtf8("Українська"), true);
    m.Language = group(owner, {m.PMCLEng, m.PMCLRus, m.PMCLUkr}, false);

    QMenu *skins = subMenu(conf, "PMCSkins", QStringLiteral("Theme"));
    m.Skins = group(owner, {}, true);
    const QList<TThemeInfo> &themes = BuiltInThemes();
    for (int i = 0; i < int(themes.size()); ++i) {
        const QByteArray name =
            i == 0 ? QByteArray("PMCSInternal") : "PMCS" + QByteArray::number(i);
        QAction *a = item(skins, name.constData(), themes[i].DisplayName, true);
        a->setData(themes[i].Name);
        m.Skins->addAction(a);
        if (i == 0)
            skins->addSeparator();
    }
    skins->addSeparator();
    QAction *off = item(skins, "PMCSDisabled", QStringLiteral("No theme"), true);
    off->setData(kThemesOffName);
    m.Skins->addAction(off);

    QMenu *sound = subMenu(conf, "PMCSoundProc", QStringLiteral("Sound"));
    m.PMCSPEqEnabled = item(sound, "PMCSPEqEnabled", QStringLiteral("Equaliser on"), true);
    m.PMCSPEqEnabled->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    m.PMCSPConfigure = item(sound, "PMCSPConfigure", QStringLiteral("Sound settings…"));
    m.PMCSPConfigure->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));

    m.PMAccount = bar->addMenu(QStringLiteral("Account"));
    m.PMAccount->setObjectName(QStringLiteral("PMAccount"));
    m.PMACreate = item(m.PMAccount, "PMACreate", QStringLiteral("Create account…"));
    m.PMAEnter = item(m.PMAccount, "PMAEnter", QStringLiteral("Sign in…"));
    m.PMAExit = item(m.PMAccount, "PMAExit", QStringLiteral("Sign out"));

    for (QAction *waiting : {m.PMFeedback, m.PMACreate, m.PMAEnter, m.PMAExit})
        waiting->setEnabled(false);
    return m;
}

TRepeatMode TMenus::RepeatMode() const
{
    if (PMCRNot->isChecked())
        return TRepeatMode::rmNot;
    if (PMCROne->isChecked())
        return TRepeatMode::rmOne;
    if (PMCRAll->isChecked())
        return TRepeatMode::rmAll;
    return TRepeatMode::rmUnset;
}

void TMenus::SetRepeatMode(TRepeatMode mode)
{
    PMCRNot->setChecked(mode == TRepeatMode::rmNot);
    PMCROne->setChecked(mode == TRepeatMode::rmOne);
    PMCRAll->setChecked(mode == TRepeatMode::rmAll);
}

void TMenus::SetFontSize(int size)
{
    for (QAction *a : FontSize->actions())
        a->setChecked(a->data().toInt() == size);
}

QString TMenus::LanguageOf(const QAction *item)
{
    return item->objectName().mid(4).toLower(); // PMCLEng -> eng
}

void TMenus::SetLanguage(const QString &section)
{
    for (QAction *a : Language->actions())
        a->setChecked(LanguageOf(a).compare(section, Qt::CaseInsensitive) == 0);
}

} // namespace vorlane
