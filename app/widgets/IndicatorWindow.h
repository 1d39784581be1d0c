#pragma once
// TIndicatorWindow: a short notice in large yellow letters on a rounded light-blue panel in the
// middle of the screen, frameless and above other windows, fading out by itself in 51 steps of
// 80 ms (about 4 s). It announces the playing title while the main window is minimised, the sleep
// timer's settings and warnings, and other notices. Main thread only.

#include <QWidget>

class QLabel;
class QTimer;

namespace vorlane {

class TIndicatorWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kEmptyWidth = 105;
    static constexpr int kEmptyHeight = 51;
    static constexpr int kFadeStep = 5; // opacity lost per tick, of 255
    static constexpr int kTickMs = 80;

    explicit TIndicatorWindow(QWidget *parent = nullptr);

    // Shows value centred on the screen at full opacity; a message during a fade starts anew.
    void SetText(const QString &value);
    QString Text() const;
    // 0 (hidden) .. 255 (opaque).
    int Opacity() const { return vOpacity; }
    // One fade step (the timer's tick).
    void Timer1Timer();

    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyOpacity();

    int vOpacity = 0;
};

} // namespace vorlane
