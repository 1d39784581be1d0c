#pragma once
// The small windows of the catalogue tools: naming a playlist (TAddPlaylistWindow), the name
// template of "rename from tags" (TCustomizeTemplateWindow) and replacing text in file names
// (TChangeExpressionWindow). Each is a frame with its named controls that reports what the user
// chose by a signal; the main window acts on it (app/tools/CatalogTools.h,
// app/tools/NamingTools.h). Main thread only.

#include "catalog/CatalogTypes.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QToolButton;

namespace vorlane {

// A window of the tools: its object name is its name ("AddPlaylistWindow", ...), also the key of
// its caption in lang.ini.
class TDialogWindow : public QDialog {
    Q_OBJECT

public:
    TDialogWindow(const QString &objectName, const QString &caption, QWidget *parent);
    QString WindowKey() const { return objectName(); }
};

// The name of a new playlist, or the new name of one. OK does not close the window by itself:
// the main window closes it when the name was taken (a name already in use leaves it open).
class TAddPlaylistWindow : public TDialogWindow {
    Q_OBJECT

public:
    explicit TAddPlaylistWindow(QWidget *parent = nullptr);

    // True: the name is for a new playlist; false: for the selected one.
    bool NewPlayList = true;

    QLabel *sLAPWName = nullptr;
    QLineEdit *sEAPWName = nullptr;
    QPushButton *sBAPWOK = nullptr;
    QPushButton *sBAPWCancel = nullptr;

Q_SIGNALS:
    void okClicked();
};

// The five switches of the file-name template with a live sample. Any click on a switch shows
// the new sample and remembers the states; OK (or the rename button) hands them on.
class TCustomizeTemplateWindow : public TDialogWindow {
    Q_OBJECT

public:
    explicit TCustomizeTemplateWindow(QWidget *parent = nullptr);

    // Sets the five switches and the sample.
    void SetTemplate(const TTagRenameTemplate &t);
    // The remembered states.
    TTagRenameTemplate Template() const { return vTemplate; }
    void RefreshSample();

    QLabel *sLResultTemplate = nullptr;
    QCheckBox *sCBCTNumber = nullptr;
    QCheckBox *sCBCTArtist = nullptr;
    QCheckBox *sCBCTName = nullptr;
    QCheckBox *sCBCTAlbum = nullptr;
    QCheckBox *sCBCTYear = nullptr;
    QPushButton *sBCTOK = nullptr;
    QToolButton *sSBRenameFromTag = nullptr;

Q_SIGNALS:
    // OK: the window is hidden; the template is to be stored.
    void templateChosen(const TTagRenameTemplate &t);
    // The rename button: store the template, then rename from tags.
    void renameRequested(const TTagRenameTemplate &t);

private:
    void takeStates();
    TTagRenameTemplate vTemplate;
};

// Replaces (or, with an empty replacement, deletes) a piece of text in the selected files' names.
class TChangeExpressionWindow : public TDialogWindow {
    Q_OBJECT

public:
    explicit TChangeExpressionWindow(QWidget *parent = nullptr);

    QLabel *sLOldExpression = nullptr;
    QLineEdit *sEOldExpression = nullptr;
    QLabel *sLNewExpression = nullptr;
    QLineEdit *sENewExpression = nullptr;
    QPushButton *sBSetExpression = nullptr;

Q_SIGNALS:
    // OK or Enter in the replacement: the window is hidden.
    void expressionChosen(const QString &oldExpression, const QString &newExpression);
};

// The tools' Yes/No question (deleting more than two lines, seeing the duplicates found): a
// message box with the caption and text given, Yes as the default answer. The caller owns it.
QMessageBox *CreateQuestionBox(QWidget *parent, const QString &caption, const QString &text);

class TIniFile;
// The standard buttons of the program's message boxes and file dialogs speak the chosen
// language: "MBYes", "MBNo" and "sBAPWCancel" of the section ("&" before the access key; a key
// the section lacks leaves the button's own text). The first call installs a translator for the
// application.
void SetStandardButtonTexts(const TIniFile &ini, const QString &section);

} // namespace vorlane
