// The indicator's drawings, checked on the images they draw.

#include "playback/Visuals.h"

#include <gtest/gtest.h>

#include <array>

using namespace vorlane;

namespace {

// Pixels of the image that are not the background.
int Drawn(const TVisualDrawer &d)
{
    int n = 0;
    const QImage &img = d.Buffer();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) != d.BkgColor.rgb();
    return n;
}

TEST(Visuals, SilenceDecaysTheSpectrumToEmpty)
{
    TSpectrum spectrum(150, 26);
    std::array<float, 1025> loud;
    loud.fill(1.0f);
    const std::array<float, 1025> silence{};
    spectrum.Draw(loud.data());
    EXPECT_EQ(Drawn(spectrum), 146 * 26) << "every bar at full height";
    spectrum.Draw(silence.data());
    const int after = Drawn(spectrum);
    EXPECT_GT(after, 0) << "bars fall, they are not cut";
    EXPECT_LT(after, 146 * 26);
    for (int i = 0; i < 30; ++i)
        spectrum.Draw(silence.data());
    EXPECT_EQ(Drawn(spectrum), 0);
}

TEST(Visuals, SilenceDecaysTheMeterToEmptyAndFullScaleFillsTheBar)
{
    TVUMeter meter(150, 26);
    meter.Draw(32768u | (32768u << 16));
    const QImage &img = meter.Buffer();
    const int left = 7, right = 20; // a row inside each bar
    EXPECT_EQ(img.pixel(0, left), meter.PenColor.rgb());
    EXPECT_EQ(img.pixel(149, left), meter.PenColor.rgb()) << "the outline at the right edge";
    for (int x = 1; x < 149; ++x) {
        ASSERT_EQ(img.pixel(x, left), meter.BarColor.rgb()) << "left bar at " << x;
        ASSERT_EQ(img.pixel(x, right), meter.BarColor.rgb()) << "right bar at " << x;
    }
    meter.Draw(0);
    EXPECT_GT(Drawn(meter), 0);
    // A bar falls 6 pixels a frame, a peak mark 1.
    for (int i = 0; i < 160; ++i)
        meter.Draw(0);
    EXPECT_EQ(Drawn(meter), 0);
}

TEST(Visuals, SilenceDrawsAFlatTraceAtY)
{
    TOcilloScope scope(150, 26);
    std::array<uint32_t, 2049> wave{};
    // A loud frame first, so the flat line is a new frame and not what was left.
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = (i % 2) ? 0x7FFF7FFFu : 0x80008000u;
    scope.Draw(wave.data(), 0, 12);
    wave.fill(0);
    scope.Draw(wave.data(), 0, 12);
    const QImage &img = scope.Buffer();
    for (int x = 0; x < 150; ++x)
        ASSERT_EQ(img.pixel(x, 12), scope.PenColor.rgb()) << x;
    EXPECT_EQ(Drawn(scope), 150);
}

} // namespace
