#pragma once
// TMiniPlayerWindow: the narrow always-on-top strip that stands in for the main window while it
// is minimised (with the PMCShowMiniPlayer option on), at the bottom-right of the work area. It
// repeats the player controls and the title and has no player logic of its own: its buttons,
// volume slider and position bar forward to the player panel's, and the panel's tick and
// fOpenFile feed it. It fades while the pointer is away. A click on its title brings the main
// window back (restoreRequested); closing it closes the program (closeRequested). Main thread
// only.

#include <QWidget>

class QLineEdit;
class QProgressBar;
class QSlider;
class QTimer;
class QToolButton;

namespace vorlane {

class TTextScroller;

class TMiniPlayerWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 488;
    static constexpr int kHeight = 33;
    static constexpr int kFadeMs = 100;
    static const QString kCaption;   // "Vorlane Kestrio Mini"
    static const QString kIdleTitle; // "------Vorlane Kestrio Mini Player-------"

    explicit TMiniPlayerWindow(QWidget *parent = nullptr);

    // Shows the strip in place of the main window, fully opaque (PlayerShowed).
    void ShowInPlace();
    // Hides it; it no longer stands in.
    void HideStrip();
    bool PlayerShowed() const { return vPlayerShowed; }

    // Opacity 0..255 and one fade step (the MPT timer's tick); `pointerPresent` overrides the
    // pointer test for tests.
    int Opacity() const { return vOpacity; }
    void MPTTimer();
    void FadeStep(bool pointerPresent);

    QToolButton *sSBPlayerStop = nullptr;
    QToolButton *sSBPlayerPlay = nullptr;
    QToolButton *sSBPlayerUp = nullptr;
    QToolButton *sSBPlayerDown = nullptr;
    TTextScroller *TSFileName = nullptr;
    QSlider *sTBVolume = nullptr;
    QProgressBar *sPBPositionRegulator = nullptr;
    QLineEdit *sETimeIndicator = nullptr;
    QTimer *MPT = nullptr;

Q_SIGNALS:
    // The title was clicked: the main window comes back.
    void restoreRequested();
    // The strip was closed: so is the program.
    void closeRequested();
    // The position bar: dragged with the left button (the main window's vPositionChange), and
    // released at byte position `bytes` (a seek for the left button).
    void positionDragged();
    void positionReleased(qint64 bytes, bool seek);

protected:
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRect workArea() const;
    void applyOpacity();

    bool vPlayerShowed = false;
    int vOpacity = 200;
    bool vSnapping = false;
};

} // namespace vorlane
