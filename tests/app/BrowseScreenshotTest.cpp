// The browse list as the user sees it, grabbed to build/screenshots: the root menu (mode 0), the
// files of a folder list (mode 2) and the files of a playlist (mode 8), over the demo library.

#include "catalog/Vorlane.h"
#include "tests/app/WindowTest.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTimer>

namespace vorlane {
namespace {

TEST(BrowseScreenshot, RootMenuFolderFilesAndPlaylistFiles)
{
    const QString demo = QStringLiteral(VORLANE_BUILD_DIR "/demo/Music");
    if (!QFileInfo(demo).isDir())
        GTEST_SKIP() << "no demo library (ffmpeg missing at build time)";
    test::TWindowFolders f;
    TMainWindowOptions o = f.Options();
    o.FirstStartFolder = demo;
    TMainWindow w(o);
    ASSERT_TRUE(w.Ok());
    w.CreateWindowSet();
    w.SetPlayer(std::make_unique<test::TScriptedPlayer>());
    TVorlane &v = *w.Controller();
    const auto drain = [&] {
        for (int i = 0; i < 12; ++i)
            w.MTTimer();
    };
    v.SetMode(bmComputerLists);
    v.SetVisibleListIndex(0);
    v.SetMode(bmComputerFiles);
    drain();
    ASSERT_TRUE(v.AddPlayList("Evening"));
    drain();
    v.SetMode(bmComputerFiles);
    drain();
    v.AddFileToPlayList({0, 2, 5}, 1);
    drain();
    w.resize(1200, 720);
    w.show();
    w.MainTimer()->stop();
    test::Settle();

    const auto shoot = [&](TBrowseMode mode, int visibleList, const char *name, int rows) {
        if (visibleList >= 0) {
            v.SetMode(mode == bmComputerFiles ? bmComputerLists : bmPlayLists);
            v.SetVisibleListIndex(visibleList);
        }
        v.SetMode(mode);
        drain();
        test::Settle();
        EXPECT_EQ(w.Browse().BrowseLines().size(), rows) << name;
        const QImage shot = w.grab().toImage();
        EXPECT_GE(shot.width(), 1000);
        EXPECT_TRUE(shot.save(test::ScreenshotDir() + "/" + name));
    };
    shoot(bmRoot, -1, "browse-mode0.png", 6);
    // One file chosen, so the selection shows too.
    v.SetMode(bmComputerLists);
    v.SetVisibleListIndex(0);
    v.SetMode(bmComputerFiles);
    v.SetFileIndex(2);
    drain();
    shoot(bmComputerFiles, -1, "browse-mode2.png", 8);
    shoot(bmPlayListFiles, 1, "browse-mode8.png", 4);
}

} // namespace
} // namespace vorlane
