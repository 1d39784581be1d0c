#pragma once
// The program's dialogs as frames: each has its window key (the caption's key in lang.ini) and
// the named controls the language file reaches. Their behaviour belongs to the features that use
// them (sound processing, sleep timer, account, playlists, naming template, feedback, the
// expression tool); those extend the frames made here.

#include <QDialog>

namespace vorlane {

class TDialogWindow : public QDialog {
    Q_OBJECT

public:
    // objectName: the window's name ("SoundProcWindow", ...), also its key in lang.ini.
    TDialogWindow(const QString &objectName, const QString &caption, QWidget *parent);
    QString WindowKey() const { return objectName(); }
};

// The frames in the order the program creates them after the main window (the mini player and the
// indicator window are made elsewhere). The expression, playlist-name and template windows are
// the classes of app/ToolDialogs.h.
TDialogWindow *CreateSoundProcWindow(QWidget *parent);
TDialogWindow *CreateFeedbackWindow(QWidget *parent);
TDialogWindow *CreateTimerWindow(QWidget *parent);
TDialogWindow *CreateChangeExpressionWindow(QWidget *parent);
TDialogWindow *CreateAccountWindow(QWidget *parent);
TDialogWindow *CreateAddPlaylistWindow(QWidget *parent);
TDialogWindow *CreateCustomizeTemplateWindow(QWidget *parent);

// The mini player's window: a narrow tool window that stands in for the main window while it is
// minimised (its controls come with the mini player).
QWidget *CreateMiniPlayerWindow(QWidget *parent);

} // namespace vorlane
