#pragma once
// TToolWindows: the top-level windows the main window makes after itself, in the program's
// fixed order (the indicator window, the expression, playlist-name and template windows), all
// hidden until asked for. They are made once, on Make(); the main window decides when (at once,
// or after its first paint). Main thread only.

#include <QList>
#include <QPointer>

class QString;

namespace vorlane {

class TAddPlaylistWindow;
class TChangeExpressionWindow;
class TCustomizeTemplateWindow;
class TDialogWindow;
class TIndicatorWindow;
class TIniFile;

class TToolWindows {
public:
    TToolWindows() = default;
    TToolWindows(const TToolWindows &) = delete;
    TToolWindows &operator=(const TToolWindows &) = delete;
    ~TToolWindows();

    // Makes the windows (the first call only); true when this call made them.
    bool Make();
    bool Made() const { return vMade; }

    // Null before Make().
    TIndicatorWindow *Indicator() const;
    TAddPlaylistWindow *AddPlaylist() const;
    TCustomizeTemplateWindow *CustomizeTemplate() const;
    TChangeExpressionWindow *ChangeExpression() const;

    // The captions and the named controls of the language section: the expression and
    // playlist-name windows' named controls take the file's text even when it is empty.
    void ApplyTexts(const TIniFile &ini, const QString &section);
    void CloseAll();

private:
    QList<QPointer<TDialogWindow>> dialogs() const;

    bool vMade = false;
    QPointer<TIndicatorWindow> vIndicator;
    QPointer<TChangeExpressionWindow> vExpression;
    QPointer<TAddPlaylistWindow> vAddPlaylist;
    QPointer<TCustomizeTemplateWindow> vTemplate;
};

} // namespace vorlane
