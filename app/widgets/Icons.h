#pragma once
// The program's icons, drawn in code so that they follow the theme's text colour and need no
// icon theme: the buttons' glyphs and the application icon.

#include <QColor>
#include <QIcon>

namespace vorlane {

enum class TGlyph {
    Back,
    Computer,
    Internet,
    Bookmarks,
    Playlists,
    Search,
    SortAZ,
    SortZA,
    SortDate,
    SortDefault,
    Previous,
    Next,
    Play,
    Pause,
    Stop,
    Record,
    Add,
    Edit,
    Remove,
    Open,
    Copy,
    Move,
    Duplicates,
    Apply,
    Cover,
    Tag,
};

// A glyph in the given colour (the palette's button text colour by default).
QIcon GlyphIcon(TGlyph glyph, const QColor &colour = QColor());

// The application icon: a rounded blue square with a white note over a waveform.
QIcon AppIcon();
QImage AppIconImage(int size);

} // namespace vorlane
