#pragma once
// The window themes: "Aluminiun (internal)" (the default, a calm light grey), "01" to "13"
// (colour themes, dark ones among them) and "Disabled" (the platform's plain style, no theming).
// A theme is a palette plus a small style sheet applied to the whole application. Main thread.

#include <QString>
#include <QStringList>

namespace vorlane {

extern const QString kDefaultTheme;  // "Aluminiun (internal)"
extern const QString kThemesOffName; // "Disabled"

struct TThemeInfo {
    QString Name;        // the name stored in "Skin"
    QString DisplayName; // what the menu shows when lang.ini has no text for the item
    bool Dark = false;
};

// The built-in themes: the default first, then "01" .. "13".
const QList<TThemeInfo> &BuiltInThemes();

// True for a built-in theme name or "Disabled".
bool IsKnownTheme(const QString &name);

// Applies a theme to the application. "Disabled" restores the platform style and palette; an
// unknown name falls back to the default theme. Returns the name in force afterwards.
QString ApplyTheme(const QString &name);

// The theme applied last ("" before the first call).
QString CurrentTheme();

} // namespace vorlane
