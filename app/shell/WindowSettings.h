#pragma once
// Config.ini and the window's parts: what the file sets on them at start (ApplySettings) and
// what they hold at exit (CollectSettings). The window's own size and the language stay the
// window's. Main thread only.

#include "app/shell/Config.h"

namespace vorlane {

class TPanelSplitters;
class TPlayerPanel;
class TVorlane;
struct TMenus;
struct TWindowFrame;

struct TSettingsParts {
    TVorlane *Vorlane = nullptr;
    TMenus *Menus = nullptr;
    TPlayerPanel *Player = nullptr;
    const TWindowFrame *Frame = nullptr;
    TPanelSplitters *Splitters = nullptr;
};

// The menus' ticks, the volume, the controller's mode, list index, server and naming template,
// the services in force for the process (ConfigureServices), and the panels' sizes and
// visibility. A mode outside 0..8 (a hand-edited file) starts at the
// root menu.
void ApplySettings(const TConfig &c, const TSettingsParts &parts);

// The settings as the parts hold them now; what the parts do not hold is base's.
TConfig CollectSettings(TConfig base, const TSettingsParts &parts);

} // namespace vorlane
