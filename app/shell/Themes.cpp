#include "app/shell/Themes.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace vorlane {

const QString kDefaultTheme = QStringLiteral("Aluminiun (internal)");
const QString kThemesOffName = QStringLiteral("Disabled");

namespace {

struct TColours {
    const char *Window;    // panels and dialogs
    const char *Base;      // lists and edits
    const char *AltBase;   // every other list row, the status line
    const char *Text;      // text on both
    const char *Button;    // buttons and tabs
    const char *Highlight; // the selection and the accent
    const char *HighlightText;
    const char *Mid; // frames and splitter lines
};

struct TThemeDef {
    TThemeInfo Info;
    TColours Colours;
};

const QList<TThemeDef> &themeDefs()
{
    // clang-format off
    static const QList<TThemeDef> defs = {
        {{kDefaultTheme, QStringLiteral("Aluminium"), false},
         {"#eceef1", "#ffffff", "#f5f6f8", "#23272e", "#f7f8fa", "#3b78d8", "#ffffff", "#c5cad3"}},
        {{"01", "01 Ocean", false},
         {"#e4eef6", "#fbfdff", "#eef5fb", "#14324a", "#f1f7fc", "#1f7fc4", "#ffffff", "#a9c4da"}},
        {{"02", "02 Graphite", true},
         {"#2b2d31", "#1f2023", "#27292d", "#e3e5e8", "#35383d", "#4c8bf5", "#ffffff", "#4a4e55"}},
        {{"03", "03 Forest", false},
         {"#e6eee4", "#fbfdf9", "#f0f5ee", "#1e3320", "#f2f7f0", "#3f8f4a", "#ffffff", "#b3c8b0"}},
        {{"04", "04 Sand", false},
         {"#f1ebe0", "#fffdf8", "#f8f3ea", "#3a2f20", "#f8f3ea", "#c07a2c", "#ffffff", "#d6c8b1"}},
        {{"05", "05 Midnight", true},
         {"#1c2333", "#141a27", "#1a2131", "#dbe3f4", "#263049", "#5b8def", "#ffffff", "#34405c"}},
        {{"06", "06 Rose", false},
         {"#f6e9ec", "#fffbfc", "#fbf1f3", "#43222b", "#fbf1f3", "#c9486b", "#ffffff", "#e0c0c9"}},
        {{"07", "07 Plum", true},
         {"#2c2233", "#221a28", "#2a2030", "#eadff2", "#3a2d44", "#b06ad8", "#ffffff", "#4e3d5b"}},
        {{"08", "08 Mint", false},
         {"#e3f3ee", "#fbfffd", "#eef9f5", "#173b32", "#f0faf6", "#1e9e7e", "#ffffff", "#a8d5c8"}},
        {{"09", "09 Amber", true},
         {"#2a2620", "#1f1c18", "#27231e", "#f0e6d6", "#37322a", "#e39b2d", "#1f1c18", "#51493d"}},
        {{"10", "10 Slate", false},
         {"#e2e6ec", "#f9fafc", "#edf0f4", "#1f2933", "#eef1f5", "#52667a", "#ffffff", "#b4bec9"}},
        {{"11", "11 Sky", false},
         {"#e8f4fd", "#ffffff", "#f1f8fe", "#0f3550", "#f3f9fe", "#2b9be8", "#ffffff", "#b5d8f0"}},
        {{"12", "12 Carbon", true},
         {"#18191b", "#101112", "#161719", "#d9dcdf", "#232528", "#1fb8a6", "#101112", "#3a3d41"}},
        {{"13", "13 Lavender", false},
         {"#ece9f6", "#fdfcff", "#f4f2fb", "#2d2745", "#f5f3fc", "#6d5bd0", "#ffffff", "#cbc5e3"}},
    };
    // clang-format on
    return defs;
}

QString &currentTheme()
{
    static QString name;
    return name;
}

QPalette paletteOf(const TColours &c)
{
    const QColor window(c.Window), base(c.Base), alt(c.AltBase), text(c.Text), button(c.Button),
        highlight(c.Highlight), highlightText(c.HighlightText), mid(c.Mid);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alt);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, highlightText);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, mid.darker(130));
    p.setColor(QPalette::Link, highlight);
    p.setColor(QPalette::Mid, mid);
    p.setColor(QPalette::Midlight, alt);
    p.setColor(QPalette::Dark, mid.darker(140));
    p.setColor(QPalette::Light, base);
    p.setColor(QPalette::Shadow, mid.darker(200));
    QColor disabled = text;
    disabled.setAlphaF(0.45f);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

QString styleSheetOf(const TColours &c)
{
    // Only shapes and the few colours a palette cannot carry (hover, accents); everything else
    // comes from the palette so that widgets keep their native behaviour.
    QString css = QStringLiteral(R"(
QListView, QTreeView { border: 1px solid %MID%; border-radius: 6px; padding: 2px;
    selection-background-color: %HL%; selection-color: %HLT%; }
QListView::item { padding: 2px 6px; border-radius: 4px; }
QListView::item:selected { background: %HL%; color: %HLT%; }
QListView::item:hover:!selected { background: %MID%; }
QLineEdit, QComboBox { border: 1px solid %MID%; border-radius: 5px; padding: 3px 6px;
    background: %BASE%; }
QLineEdit:focus, QComboBox:focus { border: 1px solid %HL%; }
QComboBox#sCBTagGenre::drop-down { border: none; width: 18px; }
QToolButton { border: 1px solid transparent; border-radius: 5px; padding: 3px; }
QToolButton:hover { border: 1px solid %MID%; background: %ALT%; }
QToolButton:pressed, QToolButton:checked { background: %MID%; }
QPushButton { border: 1px solid %MID%; border-radius: 5px; padding: 4px 12px; background: %BUTTON%; }
QPushButton:hover { border-color: %HL%; }
QTabWidget::pane { border: 1px solid %MID%; border-radius: 6px; top: -1px; }
QTabBar::tab { padding: 5px 10px; border: 1px solid transparent; border-top-left-radius: 5px;
    border-top-right-radius: 5px; color: %TEXT%; }
QTabBar::tab:selected { background: %BASE%; border-color: %MID%; border-bottom-color: %BASE%; }
QTabBar::tab:hover:!selected { background: %ALT%; }
QSplitter::handle { background: %WINDOW%; }
QSplitter::handle:hover { background: %MID%; }
QSlider::groove:horizontal { height: 4px; border-radius: 2px; background: %MID%; }
QSlider::sub-page:horizontal { border-radius: 2px; background: %HL%; }
QSlider::handle:horizontal { width: 12px; margin: -5px 0; border-radius: 6px; background: %BASE%;
    border: 1px solid %MID%; }
QSlider::groove:vertical { width: 4px; border-radius: 2px; background: %MID%; }
QSlider::add-page:vertical { border-radius: 2px; background: %HL%; }
QSlider::handle:vertical { height: 12px; margin: 0 -5px; border-radius: 6px; background: %BASE%;
    border: 1px solid %MID%; }
QProgressBar { border: none; border-radius: 3px; background: %MID%; max-height: 6px; }
QProgressBar::chunk { border-radius: 3px; background: %HL%; }
QMenuBar { background: %WINDOW%; }
QMenuBar::item { padding: 4px 10px; border-radius: 4px; }
QMenuBar::item:selected { background: %ALT%; }
QMenu { border: 1px solid %MID%; padding: 4px; background: %BASE%; }
QMenu::item { padding: 4px 24px 4px 24px; border-radius: 4px; }
QMenu::item:selected { background: %HL%; color: %HLT%; }
QMenu::separator { height: 1px; background: %MID%; margin: 4px 8px; }
QLabel[alphabet="true"] { padding: 0px 2px; border-radius: 3px; color: %TEXT%; }
QLabel[alphabet="true"]:hover { background: %HL%; color: %HLT%; }
QFrame#sPPlayer, QFrame#sPTop { background: %ALT%; border: 1px solid %MID%; border-radius: 6px; }
)");
    css.replace(QLatin1String("%WINDOW%"), QLatin1String(c.Window));
    css.replace(QLatin1String("%BASE%"), QLatin1String(c.Base));
    css.replace(QLatin1String("%ALT%"), QLatin1String(c.AltBase));
    css.replace(QLatin1String("%TEXT%"), QLatin1String(c.Text));
    css.replace(QLatin1String("%BUTTON%"), QLatin1String(c.Button));
    css.replace(QLatin1String("%HLT%"), QLatin1String(c.HighlightText));
    css.replace(QLatin1String("%HL%"), QLatin1String(c.Highlight));
    css.replace(QLatin1String("%MID%"), QLatin1String(c.Mid));
    return css;
}

QString &platformStyleName()
{
    static QString name;
    return name;
}

} // namespace

const QList<TThemeInfo> &BuiltInThemes()
{
    static const QList<TThemeInfo> infos = [] {
        QList<TThemeInfo> list;
        for (const TThemeDef &d : themeDefs())
            list.append(d.Info);
        return list;
    }();
    return infos;
}

bool IsKnownTheme(const QString &name)
{
    if (name == kThemesOffName)
        return true;
    for (const TThemeDef &d : themeDefs()) {
        if (d.Info.Name == name)
            return true;
    }
    return false;
}

QString ApplyTheme(const QString &name)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app)
        return currentTheme();
    if (platformStyleName().isEmpty())
        platformStyleName() = QApplication::style()->name();

    if (name == kThemesOffName) {
        QApplication::setStyle(QStyleFactory::create(platformStyleName()));
        QApplication::setPalette(QApplication::style()->standardPalette());
        app->setStyleSheet(QString());
        currentTheme() = kThemesOffName;
        return currentTheme();
    }
    const TThemeDef *chosen = &themeDefs().front();
    for (const TThemeDef &d : themeDefs()) {
        if (d.Info.Name == name)
            chosen = &d;
    }
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(paletteOf(chosen->Colours));
    app->setStyleSheet(styleSheetOf(chosen->Colours));
    currentTheme() = chosen->Info.Name;
    return currentTheme();
}

QString CurrentTheme()
{
    return currentTheme();
}

} // namespace vorlane
