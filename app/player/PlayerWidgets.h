#pragma once
// Small drawing surfaces of the main window: the waveform strip across the top (PBPeaksIndicator)
// and the visual indicator of the player panel (IVisualIndicator). They draw what the player
// panel's tick hands them and report clicks; they hold no player logic. Main thread only.

#include <QImage>
#include <QWidget>

#include <optional>

namespace vorlane {

// The overview of the current file with the play position. Until an overview is handed in (and
// for network entries) it shows a text, the greeting or the title, squeezed into the strip.
class TPeaksStrip : public QWidget {
    Q_OBJECT

public:
    // Inner margins of the drawing area.
    static constexpr int kMarginX = 6;
    static constexpr int kMarginY = 3;

    explicit TPeaksStrip(QWidget *parent = nullptr);

    // Shows a text; any overview goes.
    void SetText(const QString &text);
    QString Text() const { return vText; }
    // Shows an overview image (one column per pixel of the drawing area, as the analysis made it).
    void SetImage(const QImage &image);
    bool HasImage() const { return !vImage.isNull(); }
    // The drawing area's size: what an analysis is made for.
    QSize AreaSize() const;
    // The play cursor's column (PeaksCursorColumn of the area width), none for no cursor.
    void SetCursorColumn(std::optional<int> column);
    std::optional<int> CursorColumn() const { return vCursor; }

Q_SIGNALS:
    // The user released the left button at column x of the drawing area `width` wide.
    void seekRequested(int x, int width);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect area() const;

    QString vText;
    QImage vImage;
    std::optional<int> vCursor;
};

// The 150 x 26 picture of the player panel: view 0 the product title, 1 a spectrum, 2 an
// oscilloscope trace, 3 a VU meter. A click shows the next view (VisMode); the player tick hands
// in each frame of the chosen view, which is copied onto the screen in one piece.
class TVisualIndicator : public QWidget {
    Q_OBJECT

public:
    static const QString kTitleText; // "Vorlane Kestrio 2015"

    explicit TVisualIndicator(QWidget *parent = nullptr);

    QSize sizeHint() const override { return {150, 26}; }

    int VisMode() const { return vMode; }
    // A stored view out of range shows the title.
    void SetVisMode(int mode);
    // The frame of the current view, or null (the title, or nothing playing yet).
    void ShowFrame(const QImage *frame);
    const QImage &Frame() const { return vFrame; }

Q_SIGNALS:
    void visModeChanged(int mode);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int vMode = 0;
    QImage vFrame;
};

} // namespace vorlane
