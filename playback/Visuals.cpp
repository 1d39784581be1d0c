#include "playback/Visuals.h"

#include "playback/Player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vorlane {

TVisualDrawer::TVisualDrawer(int Width, int Height)
    : VisBuff(std::max(1, Width), std::max(1, Height), QImage::Format_RGB32)
    , BackBmp(VisBuff.size(), QImage::Format_RGB32)
{
    VisBuff.fill(BkgColor);
    BackBmp.fill(BkgColor);
}

void TVisualDrawer::SetBackGround(bool Active, const QImage &Background)
{
    UseBkg = Active;
    if (Background.isNull())
        return;
    BackBmp.fill(BkgColor);
    const QImage src = Background.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < std::min(src.height(), BackBmp.height()); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        std::copy(from, from + std::min(src.width(), BackBmp.width()),
                  reinterpret_cast<QRgb *>(BackBmp.scanLine(y)));
    }
}

void TVisualDrawer::Clear()
{
    if (!FrmClear)
        return;
    if (UseBkg)
        VisBuff = BackBmp.copy();
    else
        VisBuff.fill(BkgColor);
}

void TVisualDrawer::Pixel(int x, int y, QRgb c)
{
    if (x >= 0 && y >= 0 && x < VisBuff.width() && y < VisBuff.height())
        reinterpret_cast<QRgb *>(VisBuff.scanLine(y))[x] = c;
}

void TVisualDrawer::VLine(int x, int y0, int y1, QRgb c)
{
    if (x < 0 || x >= VisBuff.width() || y0 == y1)
        return;
    // y1 is excluded: going up, the covered span is y1+1..y0; going down, y0..y1−1.
    int from = y0 < y1 ? y0 : y1 + 1;
    int to = y0 < y1 ? y1 - 1 : y0;
    from = std::max(from, 0);
    to = std::min(to, VisBuff.height() - 1);
    for (int y = from; y <= to; ++y)
        reinterpret_cast<QRgb *>(VisBuff.scanLine(y))[x] = c;
}

void TVisualDrawer::Line(int x0, int y0, int x1, int y1, QRgb c)
{
    // Bresenham; the end point is left to the next segment.
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        Pixel(x0, y0, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void TVisualDrawer::FillRect(int l, int t, int r, int b, QRgb c)
{
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, VisBuff.width());
    b = std::min(b, VisBuff.height());
    for (int y = t; y < b; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(VisBuff.scanLine(y));
        std::fill(row + std::min(l, r), row + r, c);
    }
}

void TVisualDrawer::Rectangle(int l, int t, int r, int b, QRgb pen, QRgb brush)
{
    if (r <= l || b <= t)
        return;
    FillRect(l, t, r, b, pen);
    FillRect(l + 1, t + 1, r - 1, b - 1, brush);
}

// ---- Spectrum -------------------------------------------------------------------------------

TSpectrum::TSpectrum(int Width, int Height)
    : TVisualDrawer(Width, Height)
    , SpecHeight(Height)
{
}

const QImage &TSpectrum::Draw(const float *FFTData, int X, int Y)
{
    Clear();
    const int h = VisBuff.height();
    const QRgb pen = PenColor.rgb();
    const QRgb peakPen = PeakColor.rgb();
    const int res = std::max(1, DrawRes);
    for (int i = 0; i < kBars; ++i) {
        // The player's spectrum has 1025 values: a coarse resolution runs out of bins first.
        const int bin = kFirstBin + i * res;
        const float magnitude = bin < 1025 ? std::fabs(FFTData[bin]) : 0.0f;
        const int v =
            static_cast<int>(std::min(magnitude * kScale, static_cast<float>(SpecHeight)));
        FFTPeacks[i] = v < FFTPeacks[i] ? std::max(0, FFTPeacks[i] - PeakFall) : v;
        FFTFallOff[i] = v < FFTFallOff[i] ? std::max(0, FFTFallOff[i] - LineFall) : v;
        const int line = FFTFallOff[i], peak = FFTPeacks[i];
        if (DrawType == 0) {
            VLine(X + i, Y + h, Y + h - line, pen);
            if (ShowPeak && peak > 0)
                Pixel(X + i, Y + h - peak, pen);
        } else {
            const int left = X + i * (ColWidth + 1);
            if (ShowPeak && peak > 0)
                FillRect(left, Y + h - peak, left + ColWidth, Y + h - peak + 1, peakPen);
            FillRect(left, Y + h - line, left + ColWidth, Y + h, pen);
        }
    }
    return VisBuff;
}

// ---- Oscilloscope ---------------------------------------------------------------------------

TOcilloScope::TOcilloScope(int Width, int Height)
    : TVisualDrawer(Width, Height)
{
}

const QImage &TOcilloScope::Draw(const uint32_t *WaveData, int X, int Y)
{
    Clear();
    const QRgb pen = PenColor.rgb();
    const int res = std::max(1, DrawRes);
    auto y = [&](int word) {
        const uint32_t w = word < 2049 ? WaveData[word] : 0;
        const int left = static_cast<int16_t>(w & 0xFFFF);
        const int right = static_cast<int16_t>(w >> 16);
        return static_cast<int>((left + right) / 131070.0 * ScopeOff);
    };
    int px = X, py = Y + y(0);
    for (int i = 1; i <= kPoints; ++i) {
        const int ny = Y + y(i * res);
        switch (DrawType) {
        case 0: Line(px, py, X + i, ny, pen); break;
        case 1: VLine(X + i, Y, ny == Y ? Y + 1 : ny, pen); break;
        default: Pixel(X + i, ny, pen); break;
        }
        px = X + i;
        py = ny;
    }
    if (DrawType == 0)
        Pixel(px, py, pen);
    return VisBuff;
}

// ---- VU meter -------------------------------------------------------------------------------

TVUMeter::TVUMeter(int Width, int Height)
    : TVisualDrawer(Width, Height)
{
}

const QImage &TVUMeter::Draw(uint32_t Channels)
{
    Clear();
    const int w = VisBuff.width(), h = VisBuff.height();
    const int m = h / 2;
    // A level word never exceeds 32768; a larger one is clamped so a bar stays inside the image.
    const auto bar = [w](uint32_t level) {
        return static_cast<int>(static_cast<qint64>(w) * std::min<uint32_t>(level, 32768) / 32768);
    };
    XPos1 = std::max(XPos1, bar(Channels & 0xFFFF));
    XPos2 = std::max(XPos2, bar(Channels >> 16));
    const QRgb pen = PenColor.rgb();
    // A mark at rest (0) is not drawn: the meter of a silent stream is empty.
    if (OldXpos1 > 0)
        Rectangle(OldXpos1, 2, OldXpos1 + 4, m, pen, MarkColor.rgb());
    if (OldXPos2 > 0)
        Rectangle(OldXPos2, m + 1, OldXPos2 + 4, h - 2, pen, MarkColor.rgb());
    Rectangle(0, 2, XPos1, m, pen, BarColor.rgb());
    Rectangle(0, m + 1, XPos2, h - 2, pen, BarColor.rgb());
    // Bars and marks fall after the frame is drawn, so a full-scale level shows a full bar.
    OldXpos1 = std::max(0, std::max(OldXpos1, XPos1) - kMarkFall);
    OldXPos2 = std::max(0, std::max(OldXPos2, XPos2) - kMarkFall);
    XPos1 = std::max(0, XPos1 - kBarFall);
    XPos2 = std::max(0, XPos2 - kBarFall);
    return VisBuff;
}

// ---- The indicator's set --------------------------------------------------------------------

TVisualSet::TVisualSet(int Width, int Height)
    : Spectrum(Width, Height)
    , Scope(Width, Height)
    , Meter(Width, Height)
{
    for (TVisualDrawer *d :
         {static_cast<TVisualDrawer *>(&Spectrum), static_cast<TVisualDrawer *>(&Scope),
          static_cast<TVisualDrawer *>(&Meter)}) {
        d->PenColor = Qt::black;
        d->BkgColor = Qt::white;
        d->VisBuff.fill(d->BkgColor);
    }
    Spectrum.PeakColor = Qt::black;
    Spectrum.ColWidth = 1;
    Scope.DrawRes = 3;
    Scope.ScopeOff = 100;
}

const QImage *TVisualSet::DrawFrame(int Mode, const TPlayer &Player)
{
    switch (Mode) {
    case 1: {
        std::array<float, TPlayer::kSpectrumSize> fft;
        Player.GetSpectrum(fft.data());
        return &Spectrum.Draw(fft.data());
    }
    case 2: {
        std::array<uint32_t, TPlayer::kWaveWords> wave;
        Player.GetWave(wave.data());
        return &Scope.Draw(wave.data(), 0, kScopeY);
    }
    case 3: return &Meter.Draw(Player.GetChannels());
    default: return nullptr;
    }
}

} // namespace vorlane
