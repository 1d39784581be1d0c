#pragma once
// The settings of Config.ini ("Main", "SoundProc", "RenameTagTemplate") as one value, and the two
// passes over the file: ReadConfig at start and WriteConfig at exit. The main window moves the
// values between this struct and its parts (app/shell/WindowSettings.h); keeping the file rules
// here makes them testable without a window.
//
// Rules: a missing key or a malformed number gives the default; "ServerName", "CodePage" and the
// "Services" section are read and never written; "Repeat" is written only when a repeat mode is
// chosen (an unknown word in the file stays as it is); "Width" and "Heigth" are not written while
// the window is maximised; keys that are not written keep the file's text.

#include "base/PlayerRules.h"
#include "catalog/CatalogTypes.h"
#include "net/Services.h"

#include <QString>

#include <array>

namespace vorlane {

class TIniFile;

// The repeat radio items. rmUnset: the file held another word, so no item is ticked.
enum class TRepeatMode { rmUnset, rmNot, rmOne, rmAll };

// "Not", "One", "All" compared exactly (case included); anything else is rmUnset.
TRepeatMode RepeatModeFromText(const QString &text);
// The word written for a mode; empty for rmUnset (nothing is written).
QString RepeatModeText(TRepeatMode mode);

// The "SoundProc" section: the sound window's numbers (base/PlayerRules.h).
using TSoundProcConfig = TSoundProcSettings;

struct TConfig {
    // "Main"
    int Volume = 50;
    bool AutoEdit = true;
    bool Player = true;
    bool ShowIndicator = true; // key "ShowIndidcator"
    bool ShowMiniPlayer = false;
    int FontSize = 8;
    TRepeatMode Repeat = TRepeatMode::rmNot;
    int VisMode = 0;
    int BrowseMode = 0;
    int ListIndex = 1;
    QString ServerName;
    QString Lang = QStringLiteral("Eng");
    QString Skin = QStringLiteral("Aluminiun (internal)");
    int sPCenterWidth = 416;
    int sPLeftWidth = 191;
    int sPRightWidth = 408;
    int sPTopHeight = 40;
    int Width = 1024;
    int Heigth = 485;
    bool ShowNavigator = true;
    bool ShowTools = true;
    bool ShowPeaks = true;
    QString CodePage; // our key: the legacy 8-bit code page; empty = the locale's

    // Not a key: the window was maximised at exit, so Width and Heigth are left as they were.
    bool Maximized = false;

    TSoundProcConfig SoundProc;
    // "RenameTagTemplate"; defaults Artist and Name.
    TTagRenameTemplate RenameTemplate{false, true, false, true, false};
    // "Services": the outside services' addresses (all off when empty).
    TServices Services;
};

// Reads every key (missing or malformed values give the defaults above).
TConfig ReadConfig(const TIniFile &ini);

// Writes the keys in the order the exit sequence writes them: "Main" (Volume .. Skin),
// "SoundProc", "RenameTagTemplate", "Main" again (panels, then Width and Heigth unless maximised).
void WriteConfig(TIniFile &ini, const TConfig &config);

// The smallest outer size of the main window.
constexpr int kMinWindowWidth = 544;
constexpr int kMinWindowHeight = 485;

} // namespace vorlane
