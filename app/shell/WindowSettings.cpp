#include "app/shell/WindowSettings.h"

#include "app/player/PlayerPanel.h"
#include "app/player/PlayerWidgets.h"
#include "app/player/SoundProcWindow.h"
#include "app/shell/MainWindow.h"
#include "app/shell/Menus.h"
#include "app/shell/PanelSplitters.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QSlider>
#include <QSplitter>

#include <algorithm>

namespace vorlane {

void ApplySettings(const TConfig &c, const TSettingsParts &parts)
{
    TMenus &m = *parts.Menus;
    TVorlane &vorlane = *parts.Vorlane;
    QSlider *volume = parts.Player->sTBVolume;
    volume->setValue(std::clamp(c.Volume, volume->minimum(), volume->maximum()));
    m.PMCAutoEdit->setChecked(c.AutoEdit);
    m.PMCPlayFiles->setChecked(c.Player);
    m.PMCShowIndicator->setChecked(c.ShowIndicator);
    m.PMCShowMiniPlayer->setChecked(c.ShowMiniPlayer);
    m.PMCAudioFilesOnly->setChecked(vorlane.AudioFilesOnly());
    m.PMCSPEqEnabled->setChecked(c.SoundProc.EqEnabled);
    m.SetRepeatMode(c.Repeat);
    m.SetLanguage(c.Lang);
    m.SetFontSize(c.FontSize);
    parts.Player->IVisualIndicator->SetVisMode(c.VisMode);

    const TBrowseMode mode =
        (c.BrowseMode >= 0 && c.BrowseMode <= 8) ? TBrowseMode(c.BrowseMode) : bmRoot;
    vorlane.SetMode(mode);
    if (mode >= bmComputerLists && mode <= bmInternetFiles)
        vorlane.SetListIndex(c.ListIndex);
    vorlane.SetServerName(c.ServerName);
    ConfigureServices(c.Services);
    vorlane.SetTagRenameTemplate(c.RenameTemplate);

    const TWindowFrame &f = *parts.Frame;
    f.sSPLeft->setSizes({c.sPLeftWidth, c.sPCenterWidth + c.sPRightWidth});
    f.sSpCentral->setSizes({c.sPCenterWidth, c.sPRightWidth});
    f.sSPTop->setSizes({c.sPTopHeight, std::max(100, c.Heigth - c.sPTopHeight)});
    parts.Splitters->SetPanelShown(f.sPLeft, c.ShowNavigator);
    parts.Splitters->SetPanelShown(f.sPRight, c.ShowTools);
    parts.Splitters->SetPanelShown(f.sPTop, c.ShowPeaks);
}

TConfig CollectSettings(TConfig c, const TSettingsParts &parts)
{
    const TMenus &m = *parts.Menus;
    const TVorlane &vorlane = *parts.Vorlane;
    c.Volume = parts.Player->sTBVolume->value();
    c.AutoEdit = m.PMCAutoEdit->isChecked();
    c.Player = m.PMCPlayFiles->isChecked();
    c.ShowIndicator = m.PMCShowIndicator->isChecked();
    c.ShowMiniPlayer = m.PMCShowMiniPlayer->isChecked();
    c.Repeat = m.RepeatMode();
    c.BrowseMode = int(vorlane.Mode());
    c.ListIndex = vorlane.ListIndex();
    c.VisMode = parts.Player->IVisualIndicator->VisMode();
    // The processors' values, and what only the sound window holds: the user preset, the chosen
    // preset and the switches (a file that failed to open switches the processors off).
    const TSoundProcSettings sound = parts.Player->SoundWindow()->Settings();
    c.SoundProc = sound;
    if (TPlayerPort *player = parts.Player->Player())
        player->GetEffects(c.SoundProc);
    c.SoundProc.EchoEnabled = sound.EchoEnabled;
    c.SoundProc.CompressorEnabled = sound.CompressorEnabled;
    c.SoundProc.Band = sound.Band;
    c.SoundProc.EqMode = sound.EqMode;
    c.SoundProc.EqEnabled = m.PMCSPEqEnabled->isChecked();
    c.RenameTemplate = vorlane.TagRenameTemplate();

    const TWindowFrame &f = *parts.Frame;
    c.ShowNavigator = TPanelSplitters::PanelShown(f.sPLeft);
    c.ShowTools = TPanelSplitters::PanelShown(f.sPRight);
    c.ShowPeaks = TPanelSplitters::PanelShown(f.sPTop);
    const QList<int> outer = f.sSPLeft->sizes();
    const QList<int> inner = f.sSpCentral->sizes();
    if (outer.size() == 2 && outer[0] > 0)
        c.sPLeftWidth = outer[0];
    if (inner.size() == 2) {
        if (inner[0] > 0)
            c.sPCenterWidth = inner[0];
        if (inner[1] > 0)
            c.sPRightWidth = inner[1];
    }
    const QList<int> vertical = f.sSPTop->sizes();
    if (vertical.size() == 2 && vertical[0] > 0)
        c.sPTopHeight = vertical[0];
    return c;
}

} // namespace vorlane
