#include "app/account/AccountWindows.h"

#include "app/widgets/NamedWidgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlane {

TAccountWindow::TAccountWindow(QWidget *parent)
    : TDialogWindow(QStringLiteral("AccountWindow"), QStringLiteral("Account"), parent)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 14, 16, 14);
    v->setSpacing(8);
    sMTextInformer = NamedWidget<QPlainTextEdit>("sMTextInformer");
    sMTextInformer->setReadOnly(true);
    sMTextInformer->setMinimumSize(320, 120);
    v->addWidget(sMTextInformer, 1);

    auto *grid = new QGridLayout;
    sLLogin = NamedWidget<QLabel>("sLLogin", QStringLiteral("Login"));
    sELogin = NamedWidget<QLineEdit>("sELogin");
    sLPassword = NamedWidget<QLabel>("sLPassword", QStringLiteral("Password"));
    sEPassword = NamedWidget<QLineEdit>("sEPassword");
    sEPassword->setEchoMode(QLineEdit::Password);
    // Qt draws a platform bullet by default; the window shows "*".
    sEPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    sLLogin->setBuddy(sELogin);
    sLPassword->setBuddy(sEPassword);
    grid->addWidget(sLLogin, 0, 0);
    grid->addWidget(sELogin, 0, 1);
    grid->addWidget(sLPassword, 1, 0);
    grid->addWidget(sEPassword, 1, 1);
    v->addLayout(grid);

    sBAccountAction = NamedWidget<QPushButton>("sBAccountAction", QStringLiteral("Sign in"));
    // Enter is handled by the fields: it must not press the button from the login field.
    sBAccountAction->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(sBAccountAction);
    v->addLayout(row);

    connect(sELogin, &QLineEdit::returnPressed, sEPassword,
            [this] { sEPassword->setFocus(Qt::OtherFocusReason); });
    connect(sEPassword, &QLineEdit::returnPressed, sBAccountAction, &QPushButton::click);
    connect(sBAccountAction, &QPushButton::clicked, this, [this] {
        const QString login = sELogin->text();
        const QString password = sEPassword->text();
        if (!login.isEmpty() && !password.isEmpty())
            Q_EMIT actionClicked(NewAccount, login, password);
    });
}

void TAccountWindow::Prepare(bool newAccount, const QString &caption)
{
    NewAccount = newAccount;
    sBAccountAction->setText(caption);
    sELogin->setFocus(Qt::OtherFocusReason);
}

TFeedbackWindow::TFeedbackWindow(QWidget *parent)
    : TDialogWindow(QStringLiteral("FeedbackWindow"), QStringLiteral("Напишите разработчику"),
                    parent)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(16, 14, 16, 14);
    v->setSpacing(8);
    sLFeedbackSlogan = NamedWidget<QLabel>(
        "sLFeedbackSlogan",
        QStringLiteral("Здесь вы можете написать все, что о нас думаете :) И мы вас услышим!"));
    sLFeedbackSlogan->setWordWrap(true);
    sMFeedBack = NamedWidget<QPlainTextEdit>("sMFeedBack");
    sMFeedBack->setPlainText(QStringLiteral("Hello! Привет! Вітаю!"));
    sMFeedBack->setMinimumSize(340, 140);
    sBFeedbackSend = NamedWidget<QPushButton>("sBFeedbackSend", QStringLiteral("Отправить!"));
    sBFeedbackSend->setAutoDefault(false);
    v->addWidget(sLFeedbackSlogan);
    v->addWidget(sMFeedBack, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(sBFeedbackSend);
    v->addLayout(row);
    connect(sBFeedbackSend, &QPushButton::clicked, this,
            [this] { Q_EMIT sendClicked(sMFeedBack->toPlainText()); });
}

} // namespace vorlane
