#include "app/player/SoundProcWindow.h"

#include "app/shell/Menus.h"
#include "app/widgets/NamedWidgets.h"
#include "base/Messages.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace vorlane {

namespace {

// The legend under the band sliders.
const char *const kBandLegend[kEqBands] = {"80", "170", "310", "600", "1k",
                                           "3k", "6k",  "12k", "14k", "16k"};

QString presetName(int preset)
{
    const TMessages &m = Msg();
    switch (preset) {
    case 1: return m.SM_EQPRESETSAUDIOBOOK;
    case 2: return m.SM_EQPRESETSBASS;
    case 3: return m.SM_EQPRESETSQUIET;
    case 4: return m.SM_EQPRESETSROCK;
    default: return m.SM_EQPRESETSUSER;
    }
}

QSlider *slider(const char *name, Qt::Orientation orientation, int low, int high)
{
    auto *s = NamedWidget<QSlider>(name, orientation);
    s->setRange(low, high);
    return s;
}

QLabel *valueLabel()
{
    auto *l = new QLabel;
    l->setMinimumWidth(52);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

} // namespace

TSoundProcWindow::TSoundProcWindow(const TMenus &menus, std::function<TPlayerPort *()> player,
                                   QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , vMenus(menus)
    , vPlayer(std::move(player))
{
    setObjectName(QStringLiteral("SoundProcWindow"));
    setWindowTitle(QStringLiteral("Sound"));
    build();
    Load(TSoundProcSettings{});
}

void TSoundProcWindow::build()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(14, 14, 14, 14);
    root->setSpacing(12);

    // ---- Equaliser ----
    auto *eqBox = NamedWidget<QGroupBox>("sGBEqualizer", QStringLiteral("Equaliser"));
    auto *eq = new QGridLayout(eqBox);
    eq->setHorizontalSpacing(10);
    eq->setVerticalSpacing(6);
    sCBEQEnabled = NamedWidget<QCheckBox>("sCBEQEnabled", QStringLiteral("Equaliser on"));
    eq->addWidget(sCBEQEnabled, 0, 0, 1, 4);
    auto *presetCaption = NamedWidget<QLabel>("sLEQPresets", QStringLiteral("Preset"));
    sTBEQPresets = slider("sTBEQPresets", Qt::Horizontal, 0, kEqPresetCount - 1);
    sTBEQPresets->setPageStep(1);
    sTBEQPresets->setTickPosition(QSlider::TicksBelow);
    sTBEQPresets->setMinimumWidth(110);
    sLEQPresetName = NamedWidget<QLabel>("sLEQPresetName");
    sLEQPresetName->setMinimumWidth(80);
    QFont bold = sLEQPresetName->font();
    bold.setBold(true);
    sLEQPresetName->setFont(bold);
    auto *presetRow = new QHBoxLayout;
    presetRow->addWidget(presetCaption);
    presetRow->addWidget(sTBEQPresets);
    presetRow->addWidget(sLEQPresetName);
    eq->addLayout(presetRow, 0, 4, 1, kEqBands - 3, Qt::AlignRight);

    // The dB scale beside the sliders: the top is +15 dB, the middle flat, the bottom -15 dB.
    auto *scale = new QVBoxLayout;
    for (const char *text : {"+15 dB", "0", "-15 dB"}) {
        auto *l = new QLabel(QString::fromUtf8(text).replace(u'-', QChar(0x2212)));
        l->setAlignment(Qt::AlignRight);
        l->setEnabled(false); // a quieter colour
        scale->addWidget(l);
        if (text[0] != '-')
            scale->addStretch(1);
    }
    eq->addLayout(scale, 1, 0);
    for (int band = 0; band < kEqBands; ++band) {
        const QByteArray name = "sTBEq" + QByteArray::number(band + 1);
        QSlider *s = slider(name.constData(), Qt::Vertical, 0, 30);
        // Position 0 at the top (+15 dB).
        s->setInvertedAppearance(true);
        s->setInvertedControls(true);
        s->setPageStep(3);
        s->setMinimumHeight(150);
        s->setTickPosition(QSlider::NoTicks);
        sTBEq[size_t(band)] = s;
        eq->addWidget(s, 1, band + 1, Qt::AlignHCenter);
        auto *legend = new QLabel(QLatin1String(kBandLegend[band]));
        legend->setAlignment(Qt::AlignCenter);
        eq->addWidget(legend, 2, band + 1);
        connect(s, &QSlider::sliderReleased, this, [this, band] { bandReleased(band); });
        // Keys and the wheel move the slider without a release.
        connect(s, &QSlider::valueChanged, this, [this, band, s] {
            if (!vLoading && !s->isSliderDown())
                bandReleased(band);
        });
    }
    auto *hz = new QLabel(QStringLiteral("Hz"));
    hz->setEnabled(false);
    eq->addWidget(hz, 2, 0, Qt::AlignRight);
    root->addWidget(eqBox);

    // ---- Echo and compressor ----
    auto *fxBox = NamedWidget<QGroupBox>("sGBEffects", QStringLiteral("Effects"));
    auto *fx = new QGridLayout(fxBox);
    fx->setHorizontalSpacing(10);
    fx->setColumnStretch(2, 1);
    sCBEchoEnabled = NamedWidget<QCheckBox>("sCBEchoEnabled", QStringLiteral("Echo"));
    sTBEchoDelay = slider("sTBEchoDelay", Qt::Horizontal, 1, 1000);
    sTBEchoLevel = slider("sTBEchoLevel", Qt::Horizontal, 1, 50);
    sCBCompressorEnabled =
        NamedWidget<QCheckBox>("sCBCompressorEnabled", QStringLiteral("Compressor"));
    sTBCompressionRatio = slider("sTBCompressionRatio", Qt::Horizontal, 1, 10);
    sTBCompressionLevel = slider("sTBCompressionLevel", Qt::Horizontal, 1, 60);
    vEchoDelayValue = valueLabel();
    vEchoLevelValue = valueLabel();
    vRatioValue = valueLabel();
    vThresholdValue = valueLabel();
    int row = 0;
    const auto addRow = [&](QCheckBox *box, const char *labelName, const char *caption, QSlider *s,
                            QLabel *value) {
        if (box)
            fx->addWidget(box, row, 0);
        fx->addWidget(NamedWidget<QLabel>(labelName, QString::fromUtf8(caption)), row, 1);
        fx->addWidget(s, row, 2);
        fx->addWidget(value, row, 3);
        ++row;
    };
    addRow(sCBEchoEnabled, "sLEchoDelay", "Delay", sTBEchoDelay, vEchoDelayValue);
    addRow(nullptr, "sLEchoLevel", "Level", sTBEchoLevel, vEchoLevelValue);
    fx->setRowMinimumHeight(row++, 6);
    addRow(sCBCompressorEnabled, "sLCompressionRatio", "Ratio", sTBCompressionRatio, vRatioValue);
    addRow(nullptr, "sLCompressionLevel", "Threshold", sTBCompressionLevel, vThresholdValue);
    root->addWidget(fxBox);

    connect(sTBEQPresets, &QSlider::valueChanged, this, [this](int p) {
        if (!vLoading)
            presetChosen(p);
    });
    connect(sCBEQEnabled, &QCheckBox::toggled, this, [this](bool on) {
        if (!vLoading)
            eqSwitched(on);
    });
    connect(sCBEchoEnabled, &QCheckBox::toggled, this, [this](bool on) {
        if (!vLoading)
            echoSwitched(on);
    });
    connect(sCBCompressorEnabled, &QCheckBox::toggled, this, [this](bool on) {
        if (!vLoading)
            compressorSwitched(on);
    });
    for (QSlider *s : {sTBEchoDelay, sTBEchoLevel}) {
        connect(s, &QSlider::valueChanged, this, [this] {
            if (!vLoading)
                echoMoved();
        });
    }
    for (QSlider *s : {sTBCompressionRatio, sTBCompressionLevel}) {
        connect(s, &QSlider::valueChanged, this, [this] {
            if (!vLoading)
                compressorMoved();
        });
    }
    // The equaliser item of the menu sets the box, which does the rest.
    connect(vMenus.PMCSPEqEnabled, &QAction::triggered, this,
            [this](bool on) { sCBEQEnabled->setChecked(on); });
    connect(vMenus.PMCSPConfigure, &QAction::triggered, this, [this] {
        if (isVisible()) {
            hide();
            return;
        }
        show();
        raise();
        activateWindow();
    });
}

void TSoundProcWindow::RetranslateSwitch()
{
    QString caption = vMenus.PMCSPEqEnabled->text();
    sCBEQEnabled->setText(caption.remove(u'&'));
    showPreset();
}

void TSoundProcWindow::Load(const TSoundProcSettings &s)
{
    vLoading = true;
    vEq.user = s.Band;
    vEq = ChoosePreset(vEq, s.EqMode);
    for (int band = 0; band < kEqBands; ++band)
        sTBEq[size_t(band)]->setValue(vEq.sliders[size_t(band)]);
    sTBEQPresets->setValue(vEq.preset);
    sCBEQEnabled->setChecked(vMenus.PMCSPEqEnabled->isChecked());
    sCBEchoEnabled->setChecked(s.EchoEnabled);
    sTBEchoDelay->setValue(s.EchoDelay);
    sTBEchoLevel->setValue(s.EchoLevel);
    sCBCompressorEnabled->setChecked(s.CompressorEnabled);
    sTBCompressionRatio->setValue(s.CompressorRatio);
    sTBCompressionLevel->setValue(-s.CompressorLevel);
    vLoading = false;
    showPreset();
    updateValueTexts();
}

TSoundProcSettings TSoundProcWindow::Settings() const
{
    TSoundProcSettings s;
    s.EqEnabled = vMenus.PMCSPEqEnabled->isChecked();
    s.PowerEqEnabled = true;
    s.EchoEnabled = sCBEchoEnabled->isChecked();
    s.EchoDelay = sTBEchoDelay->value();
    s.EchoLevel = sTBEchoLevel->value();
    s.CompressorEnabled = sCBCompressorEnabled->isChecked();
    s.CompressorRatio = sTBCompressionRatio->value();
    s.CompressorLevel = -sTBCompressionLevel->value();
    s.Band = vEq.user;
    s.EqMode = vEq.preset;
    return s;
}

void TSoundProcWindow::ApplyTo(TPlayerPort &player) const
{
    player.SetEffects(Settings());
}

void TSoundProcWindow::BeforePlay(TPlayerPort &player) const
{
    player.SetEffectSwitches(vMenus.PMCSPEqEnabled->isChecked(), sCBEchoEnabled->isChecked(),
                             sCBCompressorEnabled->isChecked());
}

void TSoundProcWindow::bandReleased(int band)
{
    const int position = sTBEq[size_t(band)]->value();
    vEq = ReleaseBandSlider(vEq, band, position);
    if (TPlayerPort *p = player())
        p->ChangeBandGain(band, position);
    if (sTBEQPresets->value() != vEq.preset) {
        vLoading = true;
        sTBEQPresets->setValue(vEq.preset);
        vLoading = false;
    }
    showPreset();
}

void TSoundProcWindow::presetChosen(int preset)
{
    vEq = ChoosePreset(vEq, preset);
    vLoading = true;
    for (int band = 0; band < kEqBands; ++band)
        sTBEq[size_t(band)]->setValue(vEq.sliders[size_t(band)]);
    vLoading = false;
    if (TPlayerPort *p = player()) {
        for (int band = 0; band < kEqBands; ++band)
            p->ChangeBandGain(band, vEq.sliders[size_t(band)]);
    }
    showPreset();
}

void TSoundProcWindow::showPreset()
{
    sLEQPresetName->setText(presetName(vEq.preset));
}

void TSoundProcWindow::eqSwitched(bool on)
{
    if (TPlayerPort *p = player())
        p->RefreshEffect(2, on);
    vMenus.PMCSPEqEnabled->setChecked(on);
    Q_EMIT status(on ? Msg().SM_EQENABLED : Msg().SM_EQDISABLED);
}

void TSoundProcWindow::echoSwitched(bool on)
{
    if (TPlayerPort *p = player())
        p->RefreshEffect(0, on);
    Q_EMIT status(on ? Msg().SM_ECHOENABLED : Msg().SM_ECHODISABLED);
}

void TSoundProcWindow::compressorSwitched(bool on)
{
    if (TPlayerPort *p = player())
        p->RefreshEffect(1, on);
    Q_EMIT status(on ? Msg().SM_COMPENABLED : Msg().SM_COMPDISABLED);
}

void TSoundProcWindow::echoMoved()
{
    if (TPlayerPort *p = player())
        p->SetEcho(sTBEchoDelay->value(), sTBEchoLevel->value());
    updateValueTexts();
}

void TSoundProcWindow::compressorMoved()
{
    if (TPlayerPort *p = player())
        p->SetCompressor(sTBCompressionRatio->value(), -sTBCompressionLevel->value());
    updateValueTexts();
}

void TSoundProcWindow::updateValueTexts()
{
    vEchoDelayValue->setText(QString::number(sTBEchoDelay->value()) + QStringLiteral(" ms"));
    vEchoLevelValue->setText(QString::number(sTBEchoLevel->value()) + QStringLiteral(" %"));
    vRatioValue->setText(QStringLiteral("1:") + QString::number(sTBCompressionRatio->value()));
    vThresholdValue->setText(QChar(0x2212) + QString::number(sTBCompressionLevel->value()) +
                             QStringLiteral(" dB"));
}

} // namespace vorlane
