#include "app/widgets/IndicatorWindow.h"
#include "app/widgets/TextScroller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace vorlane {
namespace {

TEST(TextScroller, ATextThatFitsStandsStill)
{
    TTextScroller s;
    s.resize(400, 20);
    s.SetText("short");
    for (int i = 0; i < 5; ++i)
        s.ScrollText();
    EXPECT_EQ(s.XPos(), 1);
    s.SetText(QString());
    EXPECT_EQ(s.Text(), " ");
}

TEST(TextScroller, ALongTextSwingsBetweenItsEnds)
{
    TTextScroller s;
    s.resize(120, 20);
    s.SetText(QString(60, u'W'));
    const int xMin = s.TextAreaWidth() - s.TextWidth();
    ASSERT_LT(xMin, -5);
    int lowest = 0, highest = 0;
    for (int i = 0; i < 4 * (s.TextWidth() + 10); ++i) {
        s.ScrollText();
        lowest = std::min(lowest, s.XPos());
        highest = std::max(highest, s.XPos());
    }
    EXPECT_EQ(lowest, xMin - 1);
    EXPECT_EQ(highest, 2);
}

TEST(TextScroller, TheSameTextAgainDoesNotRestart)
{
    TTextScroller s;
    s.resize(100, 20);
    s.SetText(QString(50, u'x'));
    for (int i = 0; i < 7; ++i)
        s.ScrollText();
    const int x = s.XPos();
    ASSERT_NE(x, 0);
    s.SetText(QString(50, u'x'));
    EXPECT_EQ(s.XPos(), x);
    s.SetText("other");
    EXPECT_EQ(s.XPos(), 0);
}

TEST(IndicatorWindow, FadesOutIn51TicksAndRestartsOnANewMessage)
{
    TIndicatorWindow w;
    EXPECT_EQ(w.Opacity(), 0);
    EXPECT_FALSE(w.isVisible());
    w.Timer1->stop(); // ticks by hand
    w.SetText("Paused");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Opacity(), 255);
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.Label1->font().pixelSize(), 36);
    for (int i = 0; i < 20; ++i)
        w.Timer1Timer();
    EXPECT_EQ(w.Opacity(), 155);
    w.SetText("Next message");
    EXPECT_EQ(w.Opacity(), 255);
    for (int i = 0; i < 50; ++i)
        w.Timer1Timer();
    EXPECT_TRUE(w.isVisible());
    w.Timer1Timer();
    EXPECT_EQ(w.Opacity(), 0);
    EXPECT_FALSE(w.isVisible());
}

TEST(IndicatorWindow, AClickHidesItAtOnce)
{
    TIndicatorWindow w;
    w.Timer1->stop();
    w.SetText("Hello");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.Label1, &press);
    EXPECT_EQ(w.Opacity(), 0);
    EXPECT_FALSE(w.isVisible());
}

} // namespace
} // namespace vorlane
