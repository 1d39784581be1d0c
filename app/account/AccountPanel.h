#pragma once
// TAccountPanel: the account menu (create, log in, log out), the account and feedback windows,
// the news timer NT and the account's part in closing the program.
//
// It calls the controller's account operations (catalog/Vorlane.h); their outcomes come back as
// event codes 23 (logged in) and 25 (logged out) through the main timer, which calls LoggedIn and
// LoggedOut, or as the controller's AccountCreated and FeedbackSent signals. With the account
// keys of the "Services" section empty the items stay enabled and say in the status line that
// the service is off. Main thread only.

#include "app/tools/CatalogTools.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QTimer;

namespace vorlane {

class TAccountWindow;
class TFeedbackWindow;
class TIniFile;
class TVorlane;
struct TMenus;

// The news timer: first after 15 s, then every 100 minutes.
inline constexpr int kNewsFirstMs = 15000;
inline constexpr int kNewsEveryMs = 6000000;

class TAccountPanel : public QObject {
    Q_OBJECT

public:
    struct TParts {
        TVorlane *Vorlane = nullptr;
        TMenus *Menus = nullptr;
        QWidget *Window = nullptr;         // the main window: the tool windows' parent
        QString ProgramDataDir;            // ends in "/"
        std::function<QString()> Language; // the language word ("eng", "rus", "ukr")
        std::function<void(const QString &)> Status;
        const TQuestion *Ask = nullptr; // the window's Yes/No question (tests replace it)
    };
    explicit TAccountPanel(TParts parts, QObject *parent = nullptr);
    ~TAccountPanel() override;

    // The windows' captions and named controls in the language section.
    void ApplyTexts(const TIniFile &ini, const QString &section);

    // Starts NT (the main timers start): its first firing comes kNewsFirstMs later.
    void StartNewsTimer();
    QTimer *NewsTimer() const { return NT; }
    // One firing of NT: the news are asked for on a worker (when the news site is set) and the
    // account window opens with them when their length changed; the window is then a login
    // window. Later firings come every kNewsEveryMs.
    void NTTimer();
    // The news check started by NTTimer has ended.
    bool NewsChecking() const { return vNewsRunning; }

    // The close of the main window: true when it must be refused, because an upload runs or the
    // account is logged in; in the second case the logout starts (the user closes again once it
    // has ended). A session that is ending is never refused: a logged-in account is saved at
    // once, waiting for the server.
    bool RefuseClose(bool endingSession);

    // Event 23 and event 25, as the main timer carries them out.
    void LoggedIn();
    void LoggedOut();

    TAccountWindow *AccountWindow() const;
    TFeedbackWindow *FeedbackWindow() const;

    // The menu items.
    void PMACreateClick();
    void PMAEnterClick();
    void PMAExitClick();
    void PMFeedbackClick();

private:
    struct TNewsCheck;
    bool serviceOn();
    void showAccountWindow(bool newAccount);
    void accountAction(bool newAccount, const QString &login, const QString &password);
    void ShowNews(bool fetched, const QString &text);

    TParts vParts;
    QPointer<TAccountWindow> vAccountWindow;
    QPointer<TFeedbackWindow> vFeedbackWindow;
    QTimer *NT = nullptr;
    bool vNewsRunning = false;
    std::shared_ptr<TNewsCheck> vNewsCheck;
    bool vNewsOffSaid = false;
};

} // namespace vorlane
