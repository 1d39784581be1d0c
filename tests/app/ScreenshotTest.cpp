#include "app/IndicatorWindow.h"
#include "app/Themes.h"
#include "catalog/Vorlane.h"
#include "tests/app/AppTestSupport.h"

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

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
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
    ASSERT_EQ(w.BrowseLines().size(), 8); // header and seven tracks
    EXPECT_TRUE(w.BrowseLines().first().startsWith("---Folder "))
        << w.BrowseLines().first().toStdString();
    EXPECT_EQ(w.NavigatorLines().value(0), "Computer");
    w.show();
    settle();
    w.InetStartTimerTimer(); // the greeting on the waveform strip
    w.MT->stop();
    w.fLStatusRefresh("Folder list added. Files: 7");
    settle();
    const QImage shot = w.grab().toImage();
    EXPECT_GE(shot.width(), 1000);
    EXPECT_TRUE(shot.save(test::ScreenshotDir() + "/main.png"));

    w.MenuItem("PMCS5")->trigger();
    settle();
    EXPECT_TRUE(w.grab().toImage().save(test::ScreenshotDir() + "/main-dark.png"));
    w.MenuItem("PMCLRus")->trigger();
    w.MTTimer();
    w.MTTimer();
    w.MenuItem("PMCSInternal")->trigger();
    settle();
    EXPECT_TRUE(w.grab().toImage().save(test::ScreenshotDir() + "/main-rus.png"));
    ApplyTheme(kDefaultTheme);
}

TEST(Screenshot, IndicatorWindow)
{
    TIndicatorWindow w;
    w.Timer1->stop();
    w.SetText(QStringLiteral("Aurora Lane — Morning Light"));
    settle();
    const QImage shot = w.grab().toImage();
    EXPECT_GT(shot.width(), TIndicatorWindow::kEmptyWidth);
    EXPECT_TRUE(shot.save(test::ScreenshotDir() + "/indicator.png"));
}

} // namespace
} // namespace vorlane
