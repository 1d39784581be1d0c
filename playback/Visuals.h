#pragma once
// The three drawings of the visual indicator: a spectrum, an oscilloscope trace and a two-channel
// VU meter. Each drawer owns an off-screen image (VisBuff) and keeps the fall-off state between
// frames, so bars and peaks decay smoothly without history buffers. Draw() renders one whole
// frame from the player's data into VisBuff and returns it; the caller copies it to the screen in
// one piece, so a half-drawn frame is never seen.
//
// Pixels follow fixed pen rules, so frames are exact to the pixel: a line from y0 to y1 covers y0
// up to but not including y1, and a rectangle (l, t)-(r, b) covers l..r−1 × t..b−1 with its outline
// in the pen colour and its inside in the brush colour. Points outside the image are clipped.
//
// Main thread (or any one thread per drawer).

#include <QColor>
#include <QImage>

#include <array>
#include <cstdint>

namespace vorlane {

// What all three share: the buffer, its background and the pen.
class TVisualDrawer {
public:
    TVisualDrawer(int Width, int Height);
    virtual ~TVisualDrawer() = default;

    // Clears by copying `Background` (scaled to the buffer when its size differs) instead of
    // filling with BkgColor while Active.
    void SetBackGround(bool Active, const QImage &Background);
    const QImage &Buffer() const { return VisBuff; }

    QImage VisBuff;
    QImage BackBmp;
    QColor BkgColor = Qt::black;
    QColor PenColor = Qt::white;
    bool FrmClear = true;
    bool UseBkg = false;

protected:
    void Clear();
    void Pixel(int x, int y, QRgb c);
    // Vertical line from y0 towards y1, y1 itself excluded.
    void VLine(int x, int y0, int y1, QRgb c);
    void Line(int x0, int y0, int x1, int y1, QRgb c);
    void FillRect(int l, int t, int r, int b, QRgb c);
    // Outline in `pen`, inside in `brush`.
    void Rectangle(int l, int t, int r, int b, QRgb pen, QRgb brush);
};

class TSpectrum : public TVisualDrawer {
public:
    static constexpr int kBars = 146;
    // The first bins are skipped: they hold the hum and the DC offset, not music.
    static constexpr int kFirstBin = 5;
    // Bin magnitude to pixels.
    static constexpr float kScale = 800.0f;

    TSpectrum(int Width, int Height);

    // FFTData: the player's spectrum (TPlayer::kSpectrumSize floats). Bars start at (X, Y).
    const QImage &Draw(const float *FFTData, int X = 0, int Y = 0);

    int SpecHeight;
    QColor PeakColor = QColor(0xFF, 0xFF, 0x00);
    int DrawType = 0; // 0 lines one pixel wide, 1 columns ColWidth wide
    int DrawRes = 1;  // bins per bar step
    int PeakFall = 1;
    int LineFall = 3;
    int ColWidth = 5;
    bool ShowPeak = true;
    std::array<int, kBars> FFTPeacks{};
    std::array<int, kBars> FFTFallOff{};
};

class TOcilloScope : public TVisualDrawer {
public:
    static constexpr int kPoints = 256;

    TOcilloScope(int Width, int Height);

    // WaveData: the player's wave words (TPlayer::kWaveWords; left sample in the low half, right
    // in the high half). The trace is centred on Y.
    const QImage &Draw(const uint32_t *WaveData, int X = 0, int Y = 12);

    int ScopeOff = 50; // pixels of a full-scale sum of both channels, halved
    int DrawType = 0;  // 0 a connected line, 1 vertical lines from Y, 2 points
    int DrawRes = 1;   // words per point
};

class TVUMeter : public TVisualDrawer {
public:
    TVUMeter(int Width, int Height);

    // Channels: the player's level word, left in the low 16 bits, right in the high, 0..32768.
    const QImage &Draw(uint32_t Channels);

    // Pixels a bar falls per frame, and a peak mark.
    static constexpr int kBarFall = 6;
    static constexpr int kMarkFall = 1;

    int ScopeOff = 50;
    int DrawType = 0;
    int OldXpos1 = 0, OldXPos2 = 0; // peak marks
    int XPos1 = 0, XPos2 = 0;       // bars
    QColor BarColor = QColor(0x00, 0x80, 0x00);
    QColor MarkColor = QColor(0xFF, 0x00, 0x00);
};

class TPlayer;

// The indicator's three drawers as the player panel shows them (black on white; a one-pixel
// spectrum; the trace three words per point, 100 pixels for a full-scale sum), fed from the player
// by the main timer's tick.
class TVisualSet {
public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 26;
    // The trace's centre line.
    static constexpr int kScopeY = 12;

    explicit TVisualSet(int Width = kWidth, int Height = kHeight);

    // Takes from the player what view `Mode` draws (1 spectrum, 2 oscilloscope, 3 VU meter) and
    // draws the frame. Null for any other view: view 0 is the title, which the window writes.
    const QImage *DrawFrame(int Mode, const TPlayer &Player);

    TSpectrum Spectrum;
    TOcilloScope Scope;
    TVUMeter Meter;
};

} // namespace vorlane
