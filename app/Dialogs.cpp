#include "app/Dialogs.h"

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

template <typename T, typename... Args>
T *named(const char *name, Args &&...args)
{
    T *w = new T(std::forward<Args>(args)...);
    w->setObjectName(QLatin1String(name));
    return w;
}

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
    auto *eq = named<QGroupBox>("sGBEqualizer", QStringLiteral("Equaliser"));
    auto *eqLayout = new QVBoxLayout(eq);
    eqLayout->addWidget(named<QCheckBox>("sCBEQEnabled", QStringLiteral("Equaliser on")));
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
    eqLayout->addWidget(named<QLabel>("sLEQPresets", QStringLiteral("Preset")));
    auto *presets = named<QSlider>("sTBEQPresets", Qt::Horizontal);
    presets->setRange(0, 4);
    eqLayout->addWidget(presets);
    layout->addWidget(eq);
    auto *fx = named<QGroupBox>("sGBEffects", QStringLiteral("Effects"));
    auto *form = new QFormLayout(fx);
    form->addRow(named<QCheckBox>("sCBEchoEnabled", QStringLiteral("Echo")));
    form->addRow(named<QLabel>("sLEchoDelay", QStringLiteral("Delay")),
                 named<QSlider>("sTBEchoDelay", Qt::Horizontal));
    form->addRow(named<QLabel>("sLEchoLevel", QStringLiteral("Level")),
                 named<QSlider>("sTBEchoLevel", Qt::Horizontal));
    form->addRow(named<QCheckBox>("sCBCompressorEnabled", QStringLiteral("Compressor")));
    form->addRow(named<QLabel>("sLCompressionRatio", QStringLiteral("Ratio")),
                 named<QSlider>("sTBCompressionRatio", Qt::Horizontal));
    form->addRow(named<QLabel>("sLCompressionLevel", QStringLiteral("Threshold")),
                 named<QSlider>("sTBCompressionLevel", Qt::Horizontal));
    layout->addWidget(fx);
    return w;
}

TDialogWindow *CreateFeedbackWindow(QWidget *parent)
{
    auto *w =
        new TDialogWindow(QStringLiteral("FeedbackWindow"), QStringLiteral("Feedback"), parent);
    auto *layout = new QVBoxLayout(w);
    layout->addWidget(named<QLabel>("sLFeedbackSlogan", QStringLiteral("Tell us what you think")));
    layout->addWidget(named<QPlainTextEdit>("sMFeedbackText"));
    layout->addLayout(buttonRow({named<QPushButton>("sBFeedbackSend", QStringLiteral("Send"))}));
    return w;
}

TDialogWindow *CreateTimerWindow(QWidget *parent)
{
    auto *w =
        new TDialogWindow(QStringLiteral("TimerWindow"), QStringLiteral("Sleep timer"), parent);
    auto *layout = new QVBoxLayout(w);
    auto *minutes = new QHBoxLayout;
    auto *value = named<QLineEdit>("sETimeValue", QStringLiteral("30"));
    value->setInputMask(QStringLiteral("0000"));
    minutes->addWidget(named<QToolButton>("sSBDownTime"));
    minutes->addWidget(value);
    minutes->addWidget(named<QToolButton>("sSBUpTime"));
    minutes->addWidget(named<QLabel>("sL1", QStringLiteral("min.")));
    layout->addLayout(minutes);
    layout->addWidget(named<QRadioButton>("sRBStopPlay", QStringLiteral("Stop playback")));
    layout->addWidget(named<QRadioButton>("sRBCloseProgram", QStringLiteral("Close the program")));
    layout->addWidget(
        named<QRadioButton>("sRBShutDownComputer", QStringLiteral("Shut the computer down")));
    auto *apply = named<QToolButton>("sSBApply");
    apply->setEnabled(false);
    layout->addLayout(buttonRow({apply, named<QToolButton>("sSBDisable")}));
    return w;
}

TDialogWindow *CreateAccountWindow(QWidget *parent)
{
    auto *w = new TDialogWindow(QStringLiteral("AccountWindow"), QStringLiteral("Account"), parent);
    auto *form = new QFormLayout(w);
    form->addRow(named<QLabel>("sLLogin", QStringLiteral("Login")), named<QLineEdit>("sELogin"));
    auto *password = named<QLineEdit>("sEPassword");
    password->setEchoMode(QLineEdit::Password);
    form->addRow(named<QLabel>("sLPassword", QStringLiteral("Password")), password);
    form->addRow(buttonRow({named<QPushButton>("sBAccountAction", QStringLiteral("Sign in"))}));
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
