#pragma once
// The account window (TAccountWindow: the news, login and password, one action button that
// creates an account or logs in) and the feedback window (TFeedbackWindow). Each reports what the
// user asked for by a signal; TAccountPanel (app/account/AccountPanel.h) acts on it. Main thread
// only.

#include "app/tools/ToolDialogs.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorlane {

class TAccountWindow : public TDialogWindow {
    Q_OBJECT

public:
    explicit TAccountWindow(QWidget *parent = nullptr);

    // Sets what the button does (true: create an account, false: log in) and its caption, and
    // puts the focus in the login field.
    void Prepare(bool newAccount, const QString &caption);

    bool NewAccount = false;

    QPlainTextEdit *sMTextInformer = nullptr; // the news, read only
    QLabel *sLLogin = nullptr;
    QLineEdit *sELogin = nullptr;
    QLabel *sLPassword = nullptr;
    QLineEdit *sEPassword = nullptr; // shown as "*"
    QPushButton *sBAccountAction = nullptr;

Q_SIGNALS:
    // The button with both fields filled in; nothing is emitted while one is empty.
    void actionClicked(bool newAccount, const QString &login, const QString &password);
};

class TFeedbackWindow : public TDialogWindow {
    Q_OBJECT

public:
    explicit TFeedbackWindow(QWidget *parent = nullptr);

    QLabel *sLFeedbackSlogan = nullptr;
    QPlainTextEdit *sMFeedBack = nullptr;
    QPushButton *sBFeedbackSend = nullptr;

Q_SIGNALS:
    void sendClicked(const QString &text);
};

} // namespace vorlane
