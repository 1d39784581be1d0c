#include "app/Dialogs.h"
#include "app/NamedWidgets.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorlane {

namespace {

QHBoxLayout *buttonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget *b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace

TDialogWindow::TDialogWindow(const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
}

TDialogWindow *CreateSoundProcWindow(QWidget *parent)
{
    auto *w = new TDialogWindow(QStringLiteral("SoundProcWindow"), QStringLiteral("Sound"), parent);
    auto *layout = new QVBoxLayout(w);
    auto *eq = NamedWidget<QGroupBox>("sGBEqualizer", QStringLiteral("Equaliser"));
    auto *eqLayout = new QVBoxLayout(eq);
    eqLayout->addWidget(NamedWidget<QCheckBox>("sCBEQEnabled", QStringLiteral("Equaliser on")));
    auto *bands = new QHBoxLayout;
    for (int band = 1; band <= 10; ++band) {
        auto *slider = new QSlider(Qt::Vertical);
        slider->setObjectName(QStringLiteral("sTBEq") + QString::number(band));
        slider->setRange(0, 30);
        slider->setValue(15);
        slider->setInvertedAppearance(true);
        bands->addWidget(slider);
    }
    eqLayout->addLayout(bands);
    eqLayout->addWidget(NamedWidget<QLabel>("sLEQPresets", QStringLiteral("Preset")));
    auto *presets = NamedWidget<QSlider>("sTBEQPresets", Qt::Horizontal);
    presets->setRange(0, 4);
    eqLayout->addWidget(presets);
    layout->addWidget(eq);
    auto *fx = NamedWidget<QGroupBox>("sGBEffects", QStringLiteral("Effects"));
    auto *form = new QFormLayout(fx);
    form->addRow(NamedWidget<QCheckBox>("sCBEchoEnabled", QStringLiteral("Echo")));
    form->addRow(NamedWidget<QLabel>("sLEchoDelay", QStringLiteral("Delay")),
                 NamedWidget<QSlider>("sTBEchoDelay", Qt::Horizontal));
    form->addRow(NamedWidget<QLabel>("sLEchoLevel", QStringLiteral("Level")),
                 NamedWidget<QSlider>("sTBEchoLevel", Qt::Horizontal));
    form->addRow(NamedWidget<QCheckBox>("sCBCompressorEnabled", QStringLiteral("Compressor")));
    form->addRow(NamedWidget<QLabel>("sLCompressionRatio", QStringLiteral("Ratio")),
                 NamedWidget<QSlider>("sTBCompressionRatio", Qt::Horizontal));
    form->addRow(NamedWidget<QLabel>("sLCompressionLevel", QStringLiteral("Threshold")),
                 NamedWidget<QSlider>("sTBCompressionLevel", Qt::Horizontal));
    layout->addWidget(fx);
    return w;
}

TDialogWindow *CreateFeedbackWindow(QWidget *parent)
{
    auto *w =
        new TDialogWindow(QStringLiteral("FeedbackWindow"), QStringLiteral("Feedback"), parent);
    auto *layout = new QVBoxLayout(w);
    layout->addWidget(
        NamedWidget<QLabel>("sLFeedbackSlogan", QStringLiteral("Tell us what you think")));
    layout->addWidget(NamedWidget<QPlainTextEdit>("sMFeedbackText"));
    layout->addLayout(
        buttonRow({NamedWidget<QPushButton>("sBFeedbackSend", QStringLiteral("Send"))}));
    return w;
}

TDialogWindow *CreateTimerWindow(QWidget *parent)
{
    auto *w =
        new TDialogWindow(QStringLiteral("TimerWindow"), QStringLiteral("Sleep timer"), parent);
    auto *layout = new QVBoxLayout(w);
    auto *minutes = new QHBoxLayout;
    auto *value = NamedWidget<QLineEdit>("sETimeValue", QStringLiteral("30"));
    value->setInputMask(QStringLiteral("0000"));
    minutes->addWidget(NamedWidget<QToolButton>("sSBDownTime"));
    minutes->addWidget(value);
    minutes->addWidget(NamedWidget<QToolButton>("sSBUpTime"));
    minutes->addWidget(NamedWidget<QLabel>("sL1", QStringLiteral("min.")));
    layout->addLayout(minutes);
    layout->addWidget(NamedWidget<QRadioButton>("sRBStopPlay", QStringLiteral("Stop playback")));
    layout->addWidget(
        NamedWidget<QRadioButton>("sRBCloseProgram", QStringLiteral("Close the program")));
    layout->addWidget(
        NamedWidget<QRadioButton>("sRBShutDownComputer", QStringLiteral("Shut the computer down")));
    auto *apply = NamedWidget<QToolButton>("sSBApply");
    apply->setEnabled(false);
    layout->addLayout(buttonRow({apply, NamedWidget<QToolButton>("sSBDisable")}));
    return w;
}

TDialogWindow *CreateAccountWindow(QWidget *parent)
{
    auto *w = new TDialogWindow(QStringLiteral("AccountWindow"), QStringLiteral("Account"), parent);
    auto *form = new QFormLayout(w);
    form->addRow(NamedWidget<QLabel>("sLLogin", QStringLiteral("Login")),
                 NamedWidget<QLineEdit>("sELogin"));
    auto *password = NamedWidget<QLineEdit>("sEPassword");
    password->setEchoMode(QLineEdit::Password);
    form->addRow(NamedWidget<QLabel>("sLPassword", QStringLiteral("Password")), password);
    form->addRow(
        buttonRow({NamedWidget<QPushButton>("sBAccountAction", QStringLiteral("Sign in"))}));
    return w;
}

QWidget *CreateMiniPlayerWindow(QWidget *parent)
{
    auto *w = new QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint);
    w->setObjectName(QStringLiteral("MiniPlayerWindow"));
    w->setWindowTitle(QStringLiteral("Vorlane Kestrio Mini"));
    w->resize(488, 33);
    return w;
}

} // namespace vorlane
