#include "app/tools/TimerWindow.h"

#include "app/shell/Language.h"
#include "app/widgets/NamedWidgets.h"
#include "base/IniFile.h"
#include "base/Messages.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorlane {

QString PowerDownMethod(const QString &canHibernate)
{
    return canHibernate == QLatin1String("yes") ? QStringLiteral("Hibernate")
                                                : QStringLiteral("Suspend");
}

namespace {

class TLogindPowerControl : public TPowerControl {
public:
    bool PowerDown() override
    {
        QDBusInterface manager(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
        if (!manager.isValid())
            return false;
        manager.setTimeout(5000);
        const QDBusReply<QString> can = manager.call(QStringLiteral("CanHibernate"));
        const QString method = PowerDownMethod(can.isValid() ? can.value() : QString());
        // Not interactive: nobody is asked, as the timer runs with nobody watching.
        const QDBusMessage reply = manager.call(method, false);
        return reply.type() == QDBusMessage::ReplyMessage;
    }
};

QString armedMessage(TSleepAction action)
{
    switch (action) {
    case TSleepAction::StopPlayback: return Msg().SM_PLAYERSTOPTIME;
    case TSleepAction::CloseProgram: return Msg().SM_PROGRAMCLOSETIME;
    case TSleepAction::PowerDown: return Msg().SM_COMPUTERSHUTDOWNTIME;
    case TSleepAction::None: break;
    }
    return {};
}

QString warningMessage(TSleepAction action)
{
    switch (action) {
    case TSleepAction::StopPlayback: return Msg().SM_PLAYERSTOPTIMEALARM;
    case TSleepAction::CloseProgram: return Msg().SM_PROGRAMCLOSETIMEALARM;
    case TSleepAction::PowerDown: return Msg().SM_COMPUTERSHUTDOWNTIMEALARM;
    case TSleepAction::None: break;
    }
    return {};
}

} // namespace

std::unique_ptr<TPowerControl> CreateLogindPowerControl()
{
    return std::make_unique<TLogindPowerControl>();
}

TTimerWindow::TTimerWindow(TTimerActions actions, std::unique_ptr<TPowerControl> power,
                           QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , vActions(std::move(actions))
    , vPower(std::move(power))
{
    setObjectName(QStringLiteral("TimerWindow"));
    setWindowTitle(QStringLiteral("Sleep timer"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    vNow = [clock] { return clock->elapsed(); };
    build();
    showRules();
}

void TTimerWindow::build()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(16, 16, 16, 16);
    root->setSpacing(12);

    auto *minutes = new QHBoxLayout;
    minutes->setSpacing(6);
    sSBDownTime = NamedWidget<QToolButton>("sSBDownTime");
    sSBDownTime->setText(QString(QChar(0x2212)));
    sSBUpTime = NamedWidget<QToolButton>("sSBUpTime");
    sSBUpTime->setText(QStringLiteral("+"));
    for (QToolButton *b : {sSBDownTime, sSBUpTime}) {
        b->setFixedSize(30, 30);
        QFont f = b->font();
        f.setPixelSize(16);
        f.setBold(true);
        b->setFont(f);
    }
    sETimeValue = NamedWidget<QLineEdit>("sETimeValue");
    sETimeValue->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,9}")), sETimeValue));
    sETimeValue->setAlignment(Qt::AlignCenter);
    sETimeValue->setFixedWidth(72);
    QFont big = sETimeValue->font();
    big.setPixelSize(20);
    big.setBold(true);
    sETimeValue->setFont(big);
    sL1 = NamedWidget<QLabel>("sL1", QStringLiteral("min."));
    minutes->addStretch(1);
    minutes->addWidget(sSBDownTime);
    minutes->addWidget(sETimeValue);
    minutes->addWidget(sSBUpTime);
    minutes->addWidget(sL1);
    minutes->addStretch(1);
    root->addLayout(minutes);

    sRBStopPlay = NamedWidget<QRadioButton>("sRBStopPlay", QStringLiteral("Stop playback"));
    sRBCloseProgram = NamedWidget<QRadioButton>("sRBCloseProgram", QStringLiteral("Close Vorlane"));
    sRBShutDownComputer =
        NamedWidget<QRadioButton>("sRBShutDownComputer", QStringLiteral("Shut the computer down"));
    for (QRadioButton *r : {sRBStopPlay, sRBCloseProgram, sRBShutDownComputer})
        root->addWidget(r);

    auto *buttons = new QHBoxLayout;
    sSBDisable = NamedWidget<QPushButton>("sSBDisable", QStringLiteral("Switch the timer off"));
    sSBApply = NamedWidget<QPushButton>("sSBApply", QStringLiteral("Start the timer"));
    sSBApply->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(sSBDisable);
    buttons->addWidget(sSBApply);
    root->addLayout(buttons);

    Timer = new QTimer(this);
    Timer->setInterval(kTickMs);
    connect(Timer, &QTimer::timeout, this, &TTimerWindow::TimerTimer);

    connect(sSBUpTime, &QToolButton::clicked, this, [this] {
        vRules.StepUp();
        showRules();
    });
    connect(sSBDownTime, &QToolButton::clicked, this, [this] {
        vRules.StepDown();
        showRules();
    });
    connect(sETimeValue, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString shown = vRules.EditMinutes(text);
        if (shown != text)
            sETimeValue->setText(shown);
    });
    const auto choose = [this](QRadioButton *r, TSleepAction action) {
        connect(r, &QRadioButton::toggled, this, [this, action](bool on) {
            if (!on)
                return;
            vRules.ChooseAction(action);
            showRules();
        });
    };
    choose(sRBStopPlay, TSleepAction::StopPlayback);
    choose(sRBCloseProgram, TSleepAction::CloseProgram);
    choose(sRBShutDownComputer, TSleepAction::PowerDown);
    connect(sSBApply, &QPushButton::clicked, this, &TTimerWindow::apply);
    connect(sSBDisable, &QPushButton::clicked, this, &TTimerWindow::disable);
}

void TTimerWindow::ApplyTexts(const TIniFile &ini, const QString &section)
{
    ApplyComponentTexts(this, ini, section, ckAll);
    const QString caption = ini.ReadString(section, QStringLiteral("TimerWindow"), QString());
    if (!caption.isEmpty())
        setWindowTitle(caption);
    if (!Msg().SM_MINUTE.trimmed().isEmpty())
        sL1->setText(Msg().SM_MINUTE.trimmed());
}

void TTimerWindow::Toggle()
{
    if (isVisible()) {
        hide();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TTimerWindow::showRules()
{
    if (sETimeValue->text() != vRules.MinutesText())
        sETimeValue->setText(vRules.MinutesText());
    sSBApply->setEnabled(vRules.ApplyEnabled());
    sSBDisable->setEnabled(vRules.Armed());
}

void TTimerWindow::apply()
{
    vRules.Apply(vNow());
    Timer->start();
    const QString minutes = QString::number(vRules.Minutes());
    if (vActions.Notice)
        vActions.Notice(armedMessage(vRules.Action()) + u' ' + minutes + u' ' + Msg().SM_MINUTE);
    hide();
    if (vActions.Status)
        vActions.Status(Msg().SM_TIMERSET + u' ' + sETimeValue->text() + Msg().SM_MINUTE);
    showRules();
}

void TTimerWindow::disable()
{
    vRules.Disable();
    Timer->stop();
    if (vActions.Notice)
        vActions.Notice(Msg().SM_TIMERDISABLED);
    if (vActions.Status)
        vActions.Status(Msg().SM_TIMERDISABLED);
    showRules();
}

void TTimerWindow::TimerTimer()
{
    for (const TSleepEvent &e : vRules.Due(vNow())) {
        if (e.kind == TSleepEvent::Kind::Warning) {
            if (vActions.Notice)
                vActions.Notice(warningMessage(e.action));
        } else {
            Timer->stop();
            showRules();
            act(e.action);
        }
    }
}

void TTimerWindow::act(TSleepAction action)
{
    switch (action) {
    case TSleepAction::StopPlayback:
        if (vActions.StopPlayback)
            vActions.StopPlayback();
        break;
    case TSleepAction::CloseProgram:
        if (vActions.CloseProgram)
            vActions.CloseProgram();
        break;
    case TSleepAction::PowerDown:
        if (vActions.PausePlayback)
            vActions.PausePlayback();
        // A refused request is said, not taken for done.
        if ((!vPower || !vPower->PowerDown()) && vActions.Status)
            vActions.Status(Msg().SM_POWERDOWNFAILED);
        break;
    case TSleepAction::None: break;
    }
}

} // namespace vorlane
