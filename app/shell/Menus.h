#pragma once
// The main window's menu bar as typed actions, built once. Each action keeps its lang.ini key as
// object name (for the language file only); code reaches an item through its member here,
// never by looking the name up.
//
// Items whose feature is not built yet (feedback, the account) are made disabled: they show what
// will come and do nothing. Their features take their members here when they arrive. Main thread
// only.

#include "app/shell/Config.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;

namespace vorlane {

struct TMenus {
    // Program
    QAction *PMSleepTimer = nullptr; // the sleep timer window
    QAction *PMFeedback = nullptr;   // disabled: feedback
    QAction *PMSNFacebook = nullptr;
    QAction *PMSNVkontakte = nullptr;
    QAction *PMSNOdnoklassniki = nullptr;
    QAction *PMCloseProgram = nullptr;

    // Folders
    QAction *PMDAdd = nullptr;
    QAction *PMDChange = nullptr;
    QAction *PMDDelete = nullptr;
    QAction *PMDRefresh = nullptr;
    QAction *PMDAddFileList = nullptr;

    // Edit, F2 to F12 in this order
    QAction *PMEFormatName = nullptr;
    QAction *PMETranslit = nullptr;
    QAction *PMERenameToLink = nullptr;
    QAction *PMERenameFromTag = nullptr;
    QAction *PMENumeric = nullptr;
    QAction *PMEDeleteExpression = nullptr;
    QAction *PMEChangeExpression = nullptr;
    QAction *PMEOpenInApp = nullptr;
    QAction *PMEOpenInExplorer = nullptr;
    QAction *PMECopyListToClipBoard = nullptr;
    QAction *PMECopyTagsListToClipBoard = nullptr;

    // Settings
    QAction *PMCPlayFiles = nullptr;
    QAction *PMCAutoEdit = nullptr;
    QAction *PMCAudioFilesOnly = nullptr;
    QAction *PMCShowIndicator = nullptr;
    QAction *PMCShowMiniPlayer = nullptr;
    QAction *PMCRNot = nullptr;
    QAction *PMCROne = nullptr;
    QAction *PMCRAll = nullptr;
    QActionGroup *Repeat = nullptr;
    QAction *PMCFSSmall = nullptr;
    QAction *PMCFSMedium = nullptr;
    QAction *PMCFSBig = nullptr;
    QActionGroup *FontSize = nullptr;
    QAction *PMCLEng = nullptr;
    QAction *PMCLRus = nullptr;
    QAction *PMCLUkr = nullptr;
    QActionGroup *Language = nullptr;
    QActionGroup *Skins = nullptr;     // each action's data is its theme's name
    QAction *PMCSPEqEnabled = nullptr; // mirrors the sound window's equaliser switch
    QAction *PMCSPConfigure = nullptr; // shows and hides the sound window

    // Account (disabled: the account service)
    QMenu *PMAccount = nullptr;
    QAction *PMACreate = nullptr;
    QAction *PMAEnter = nullptr;
    QAction *PMAExit = nullptr;

    // Builds the menus into bar; the actions and groups belong to owner. The program's own
    // reactions are connected by the objects that carry them out.
    static TMenus Build(QMenuBar *bar, QObject *owner);

    // The ticked repeat item (rmUnset when none is).
    TRepeatMode RepeatMode() const;
    void SetRepeatMode(TRepeatMode mode);
    // Ticks the item of a font size (8, 12, 14); none for another size.
    void SetFontSize(int size);
    // Ticks the item of a language section ("eng", "rus", "ukr"; any case).
    void SetLanguage(const QString &section);
    // The section of the ticked language item, empty when none is.
    static QString LanguageOf(const QAction *item);
};

} // namespace vorlane
