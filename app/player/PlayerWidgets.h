#pragma once
// Small drawing surfaces of the main window: the waveform strip across the top (PBPeaksIndicator)
// and the visual indicator of the player panel (IVisualIndicator). Main thread only.

#include <QWidget>

namespace vorlane {

// The overview of the current file with the play position. Until an overview is handed in, it
// shows a text (the greeting, or the title of a network entry) squeezed into the strip.
class TPeaksStrip : public QWidget {
    Q_OBJECT

public:
    explicit TPeaksStrip(QWidget *parent = nullptr);

    void SetText(const QString &text);
    QString Text() const { return vText; }
    // Per pixel column, left and right levels 0..1; empty shows the text.
    void SetPeaks(const QList<QPair<float, float>> &peaks);
    // Play position as a share of the length (0..1), negative for none.
    void SetPosition(double share);

Q_SIGNALS:
    // The user released the mouse at this share of the strip's width.
    void seekRequested(double share);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString vText;
    QList<QPair<float, float>> vPeaks;
    double vPosition = -1;
};

// 150 x 26 picture of the player panel. It shows the product title; the spectrum, oscilloscope
// and VU meter pictures that a click will cycle through come with the visualisations, which the
// player tick will feed.
class TVisualIndicator : public QWidget {
    Q_OBJECT

public:
    static const QString kTitleText; // "Vorlane Kestrio 2015"
    explicit TVisualIndicator(QWidget *parent = nullptr);

    QSize sizeHint() const override { return {150, 26}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vorlane
