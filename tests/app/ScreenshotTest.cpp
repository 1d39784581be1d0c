#include "app/shell/Themes.h"
#include "app/widgets/IndicatorWindow.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"
#include "tests/app/WindowTest.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>

namespace vorlane {
namespace {

QString demoLibrary()
{
    return QStringLiteral(VORLANE_BUILD_DIR "/demo/Music");
}

// The main window as a first start with the demo library shows it, and a dark theme.
TEST(Screenshot, MainWindowWithTheDemoLibrary)
{
    if (!QFileInfo(demoLibrary()).isDir())
        GTEST_SKIP() << "no demo library (ffmpeg missing at build time)";
    test::TWindowFolders f;
    TMainWindowOptions o = f.Options();
    o.FirstStartFolder = demoLibrary();
    TMainWindow w(o);
    ASSERT_TRUE(w.Ok());
    ASSERT_TRUE(w.SeededThisStart());
    w.CreateWindowSet();
    // Listed, in the chosen language, before the first paint.
    ASSERT_EQ(w.Browse().BrowseLines().size(), 8); // header and seven tracks
    EXPECT_TRUE(w.Browse().BrowseLines().first().startsWith("---Folder "))
        << w.Browse().BrowseLines().first().toStdString();
    EXPECT_EQ(w.Browse().NavigatorLines().value(0), "Computer");
    w.show();
    test::Settle();
    w.InetStartTimerTimer(); // the greeting on the waveform strip
    w.MainTimer()->stop();
    w.fLStatusRefresh("Folder list added. Files: 7");
    test::Settle();
    const QImage shot = w.grab().toImage();
    EXPECT_GE(shot.width(), 1000);
    EXPECT_TRUE(shot.save(test::ScreenshotDir() + "/main.png"));

    // The theme's colours reach the window's background.
    const QPoint corner(2, shot.height() - 2);
    test::SkinItem(w, BuiltInThemes().at(5).Name)->trigger();
    test::Settle();
    const QImage dark = w.grab().toImage();
    EXPECT_NE(dark.pixelColor(corner), shot.pixelColor(corner));
    EXPECT_TRUE(dark.save(test::ScreenshotDir() + "/main-dark.png"));
    w.Menus().PMCLRus->trigger();
    w.MTTimer();
    w.MTTimer();
    EXPECT_EQ(w.Browse().NavigatorLines().value(0), Msg().SM_COMPUTER);
    EXPECT_NE(Msg().SM_COMPUTER, "Computer");
    test::SkinItem(w, kDefaultTheme)->trigger();
    test::Settle();
    EXPECT_TRUE(w.grab().toImage().save(test::ScreenshotDir() + "/main-rus.png"));
    ApplyTheme(kDefaultTheme);
}

TEST(Screenshot, IndicatorWindow)
{
    TIndicatorWindow w;
    w.Timer1->stop();
    w.SetText(QStringLiteral("Aurora Lane — Morning Light"));
    test::Settle();
    const QImage shot = w.grab().toImage();
    EXPECT_GT(shot.width(), TIndicatorWindow::kEmptyWidth);
    EXPECT_TRUE(shot.save(test::ScreenshotDir() + "/indicator.png"));
}

} // namespace
} // namespace vorlane
