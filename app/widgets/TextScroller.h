#pragma once
// TTextScroller: a one-line text control that slides a text too long for it back and forth, one
// step per call of ScrollText (the main timer calls it every 50 ms). The main window's status
// line and the mini player's title are scrollers. Main thread only.

#include <QWidget>

#include <algorithm>

namespace vorlane {

class TTextScroller : public QWidget {
    Q_OBJECT

public:
    explicit TTextScroller(QWidget *parent = nullptr);

    // A new text starts at the left edge; the same text again changes nothing (the scrolling goes
    // on). An empty text is kept as " ".
    void SetText(const QString &value);
    QString Text() const { return vText; }
    // One step: a text more than 5 pixels too wide for the text area moves by ScrollVector and
    // turns at either end (XPos between XMin - 1 and 2); a text that fits stands at XPos 1.
    void ScrollText();
    void SetVector(int value) { vScrollVector = value; }
    int ScrollVector() const { return vScrollVector; }
    // Where the text is drawn; each coordinate at least 0.
    void SetTextPosition(int x, int y);

    // The text area: the control less kInset pixels on either side, where XPos 0 is its left edge.
    static constexpr int kInset = 6;
    int TextAreaWidth() const { return std::max(0, width() - 2 * kInset); }

    int XPos() const { return vXPos; }
    int YPos() const { return vYPos; }
    int XMin() const { return vXMin; }
    int TextWidth() const { return vTextWidth; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString vText = QStringLiteral(" ");
    int vScrollVector = 1;
    int vXPos = 0;
    int vYPos = 0;
    int vXMin = 0;
    int vTextWidth = 0;
};

} // namespace vorlane
