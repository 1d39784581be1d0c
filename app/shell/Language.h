#pragma once
// Applying one section of lang.ini to the windows and to the program's messages.
//
// A component key is the object name of a control or menu item; its text goes where that kind
// shows text: tool buttons, progress bars and sliders take it as their tool tip; group boxes,
// check and radio buttons, push buttons, labels and tab pages as their caption; menu items and
// sub-menus as their text. Empty texts leave the component as it was. Main thread only.

#include <QString>

class QObject;
class QWidget;

namespace vorlane {

class TIniFile;

// The component kinds a window lets the file change.
enum TComponentKind : unsigned {
    ckToolButton = 1 << 0, // hint
    ckProgress = 1 << 1,   // hint (progress bars and sliders)
    ckGroupBox = 1 << 2,   // caption
    ckCheckBox = 1 << 3,   // caption (check and radio buttons)
    ckLabel = 1 << 4,      // caption
    ckTabSheet = 1 << 5,   // caption of its tab
    ckMenuItem = 1 << 6,   // caption
    ckPushButton = 1 << 7, // caption
    ckAll = 0xFF,
};

// What the main window's own controls and menus take from the file.
constexpr unsigned kWindowComponents =
    ckToolButton | ckProgress | ckGroupBox | ckCheckBox | ckLabel | ckTabSheet | ckMenuItem;

// Applies the section's non-empty texts to every named component of root (root itself
// excluded) whose kind is in kinds. Returns the number of components changed.
int ApplyComponentTexts(QObject *root, const TIniFile &ini, const QString &section,
                        unsigned kinds = ckAll);

// Sets one named component's text by its kind, even to an empty text (the dialogs' own fixed
// captions). False when root has no such component.
bool SetComponentText(QObject *root, const QString &name, const QString &text);

// Fills the program's message table from the section; keys the section lacks become empty.
void LoadMessages(const TIniFile &ini, const QString &section);

} // namespace vorlane
