#pragma once
// The main window's frame: the panels' places and the splitters between them, the player's
// row, the status line and the tray icon. sPLeft holds the navigator, sPCenter the browse list
// and the name editor, sPRight the side panel, sPTop the waveform strip. Main thread only.

class QBoxLayout;
class QFrame;
class QMainWindow;
class QSplitter;
class QSystemTrayIcon;
class QVBoxLayout;
class QWidget;

namespace vorlane {

class TTextScroller;

struct TWindowFrame {
    QWidget *sPLeft = nullptr;
    QWidget *sPCenter = nullptr;
    QWidget *sPRight = nullptr;
    QFrame *sPTop = nullptr;
    QSplitter *sSPLeft = nullptr;
    QSplitter *sSpCentral = nullptr;
    QSplitter *sSPTop = nullptr;
    TTextScroller *TSStatus = nullptr;
    QSystemTrayIcon *TrayIcon = nullptr;
    // Where the panels put their controls.
    QVBoxLayout *Left = nullptr;
    QVBoxLayout *Centre = nullptr;
    QVBoxLayout *Right = nullptr;
    QBoxLayout *Strip = nullptr;
    QBoxLayout *PlayerRow = nullptr;
};

// Builds the empty frame as the window's central widget. The panels are attached empty and
// filled in place afterwards: with the theme's style sheet, every attach restyles the whole
// attached tree (and lays out the lists in it again).
TWindowFrame BuildWindowFrame(QMainWindow *window);

} // namespace vorlane
