#include "app/shell/Config.h"

#include "base/IniFile.h"

namespace vorlane {

namespace {

const QString kMain = QStringLiteral("Main");
const QString kSoundProc = QStringLiteral("SoundProc");
const QString kTemplate = QStringLiteral("RenameTagTemplate");

QString bandKey(int band)
{
    return QStringLiteral("Band") + QString::number(band);
}

} // namespace

TRepeatMode RepeatModeFromText(const QString &text)
{
    if (text == QLatin1String("Not"))
        return TRepeatMode::rmNot;
    if (text == QLatin1String("One"))
        return TRepeatMode::rmOne;
    if (text == QLatin1String("All"))
        return TRepeatMode::rmAll;
    return TRepeatMode::rmUnset;
}

QString RepeatModeText(TRepeatMode mode)
{
    switch (mode) {
    case TRepeatMode::rmNot: return QStringLiteral("Not");
    case TRepeatMode::rmOne: return QStringLiteral("One");
    case TRepeatMode::rmAll: return QStringLiteral("All");
    case TRepeatMode::rmUnset: break;
    }
    return {};
}

TConfig ReadConfig(const TIniFile &ini)
{
    TConfig c;
    c.Volume = ini.ReadInteger(kMain, "Volume", c.Volume);
    c.AutoEdit = ini.ReadBool(kMain, "AutoEdit", c.AutoEdit);
    c.Player = ini.ReadBool(kMain, "Player", c.Player);
    c.ShowIndicator = ini.ReadBool(kMain, "ShowIndidcator", c.ShowIndicator);
    c.ShowMiniPlayer = ini.ReadBool(kMain, "ShowMiniPlayer", c.ShowMiniPlayer);
    c.Repeat = RepeatModeFromText(ini.ReadString(kMain, "Repeat", QStringLiteral("Not")));
    c.VisMode = ini.ReadInteger(kMain, "VisMode", c.VisMode);
    c.BrowseMode = ini.ReadInteger(kMain, "BrowseMode", c.BrowseMode);
    c.ListIndex = ini.ReadInteger(kMain, "ListIndex", c.ListIndex);
    c.ServerName = ini.ReadString(kMain, "ServerName", c.ServerName);
    c.Lang = ini.ReadString(kMain, "Lang", c.Lang);
    c.Skin = ini.ReadString(kMain, "Skin", c.Skin);
    c.FontSize = ini.ReadInteger(kMain, "FontSize", c.FontSize);
    c.CodePage = ini.ReadString(kMain, "CodePage", c.CodePage);
    c.Services = ReadServices(ini);

    TSoundProcConfig &s = c.SoundProc;
    s.EqEnabled = ini.ReadBool(kSoundProc, "EqEnabled", s.EqEnabled);
    s.EchoEnabled = ini.ReadBool(kSoundProc, "EchoEnabled", s.EchoEnabled);
    s.EchoDelay = ini.ReadInteger(kSoundProc, "EchoDelay", s.EchoDelay);
    s.EchoLevel = ini.ReadInteger(kSoundProc, "EchoLevel", s.EchoLevel);
    s.CompressorEnabled = ini.ReadBool(kSoundProc, "CompressorEnabled", s.CompressorEnabled);
    s.CompressorRatio = ini.ReadInteger(kSoundProc, "CompressorRatio", s.CompressorRatio);
    s.CompressorLevel = ini.ReadInteger(kSoundProc, "CompressorLevel", s.CompressorLevel);
    for (int band = 0; band < int(s.Band.size()); ++band)
        s.Band[band] = ini.ReadInteger(kSoundProc, bandKey(band), s.Band[band]);
    s.EqMode = ini.ReadInteger(kSoundProc, "EqMode", s.EqMode);

    TTagRenameTemplate &t = c.RenameTemplate;
    t.Number = ini.ReadBool(kTemplate, "Number", t.Number);
    t.Artist = ini.ReadBool(kTemplate, "Artist", t.Artist);
    t.Album = ini.ReadBool(kTemplate, "Album", t.Album);
    t.Name = ini.ReadBool(kTemplate, "Name", t.Name);
    t.Year = ini.ReadBool(kTemplate, "Year", t.Year);

    c.sPCenterWidth = ini.ReadInteger(kMain, "sPCenterWidth", c.sPCenterWidth);
    c.sPLeftWidth = ini.ReadInteger(kMain, "sPLeftWidth", c.sPLeftWidth);
    c.sPRightWidth = ini.ReadInteger(kMain, "sPRightWidth", c.sPRightWidth);
    c.sPTopHeight = ini.ReadInteger(kMain, "sPTopHeight", c.sPTopHeight);
    c.Width = ini.ReadInteger(kMain, "Width", c.Width);
    c.Heigth = ini.ReadInteger(kMain, "Heigth", c.Heigth);
    c.ShowNavigator = ini.ReadBool(kMain, "ShowNavigator", c.ShowNavigator);
    c.ShowTools = ini.ReadBool(kMain, "ShowTools", c.ShowTools);
    c.ShowPeaks = ini.ReadBool(kMain, "ShowPeaks", c.ShowPeaks);
    return c;
}

void WriteConfig(TIniFile &ini, const TConfig &c)
{
    ini.WriteInteger(kMain, "Volume", c.Volume);
    ini.WriteBool(kMain, "AutoEdit", c.AutoEdit);
    ini.WriteBool(kMain, "Player", c.Player);
    ini.WriteBool(kMain, "ShowIndidcator", c.ShowIndicator);
    ini.WriteBool(kMain, "ShowMiniPlayer", c.ShowMiniPlayer);
    ini.WriteInteger(kMain, "FontSize", c.FontSize);
    if (c.Repeat != TRepeatMode::rmUnset)
        ini.WriteString(kMain, "Repeat", RepeatModeText(c.Repeat));
    ini.WriteInteger(kMain, "VisMode", c.VisMode);
    ini.WriteInteger(kMain, "BrowseMode", c.BrowseMode);
    ini.WriteInteger(kMain, "ListIndex", c.ListIndex);
    ini.WriteString(kMain, "Lang", c.Lang);
    ini.WriteString(kMain, "Skin", c.Skin);

    const TSoundProcConfig &s = c.SoundProc;
    for (int band = 0; band < int(s.Band.size()); ++band)
        ini.WriteInteger(kSoundProc, bandKey(band), s.Band[band]);
    ini.WriteBool(kSoundProc, "EqEnabled", s.EqEnabled);
    ini.WriteBool(kSoundProc, "PowerEqEnabled", s.PowerEqEnabled);
    ini.WriteBool(kSoundProc, "EchoEnabled", s.EchoEnabled);
    ini.WriteInteger(kSoundProc, "EchoDelay", s.EchoDelay);
    ini.WriteInteger(kSoundProc, "EchoLevel", s.EchoLevel);
    ini.WriteBool(kSoundProc, "CompressorEnabled", s.CompressorEnabled);
    ini.WriteInteger(kSoundProc, "CompressorRatio", s.CompressorRatio);
    ini.WriteInteger(kSoundProc, "CompressorLevel", s.CompressorLevel);
    ini.WriteInteger(kSoundProc, "EqMode", s.EqMode);

    const TTagRenameTemplate &t = c.RenameTemplate;
    ini.WriteBool(kTemplate, "Number", t.Number);
    ini.WriteBool(kTemplate, "Artist", t.Artist);
    ini.WriteBool(kTemplate, "Album", t.Album);
    ini.WriteBool(kTemplate, "Name", t.Name);
    ini.WriteBool(kTemplate, "Year", t.Year);

    ini.WriteBool(kMain, "ShowNavigator", c.ShowNavigator);
    ini.WriteBool(kMain, "ShowTools", c.ShowTools);
    ini.WriteBool(kMain, "ShowPeaks", c.ShowPeaks);
    ini.WriteInteger(kMain, "sPCenterWidth", c.sPCenterWidth);
    ini.WriteInteger(kMain, "sPLeftWidth", c.sPLeftWidth);
    ini.WriteInteger(kMain, "sPRightWidth", c.sPRightWidth);
    ini.WriteInteger(kMain, "sPTopHeight", c.sPTopHeight);
    if (!c.Maximized) {
        ini.WriteInteger(kMain, "Width", c.Width);
        ini.WriteInteger(kMain, "Heigth", c.Heigth);
    }
}

} // namespace vorlane
