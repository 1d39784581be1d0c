// Screenshots of the tag sheet with a cover and of the tools' windows, in English and Russian,
// into <build>/screenshots for a look by eye.

#include "app/shell/Themes.h"
#include "app/tools/TagPanel.h"
#include "app/tools/ToolDialogs.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>

namespace vorlane {
namespace {

// A cover picture: an evening sky over hills, as an album might have.
QImage makeCover()
{
    QImage image(500, 500, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 500);
    sky.setColorAt(0, QColor(38, 52, 120));
    sky.setColorAt(0.55, QColor(214, 98, 96));
    sky.setColorAt(1, QColor(250, 196, 120));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 232, 170));
    p.drawEllipse(QPointF(330, 300), 70, 70);
    p.setBrush(QColor(44, 36, 70));
    QPainterPath hills;
    hills.moveTo(0, 500);
    hills.cubicTo(120, 330, 260, 430, 500, 360);
    hills.lineTo(500, 500);
    p.drawPath(hills);
    p.setPen(QColor(255, 255, 255, 230));
    QFont f = p.font();
    f.setPixelSize(42);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 40, 500, 60), Qt::AlignCenter, QStringLiteral("AURORA LANE"));
    return image;
}

class ToolScreenshots : public test::WindowTest {
protected:
    void SetUp() override
    {
        OpenTracks({{"Aurora Lane - Morning Light.mp3",
                     test::Tag("Aurora Lane", "Morning Light", "Evening Hills", "1")},
                    {"Aurora Lane - Paper Boats.mp3",
                     test::Tag("Aurora Lane", "Paper Boats", "Evening Hills", "2")},
                    {"Aurora Lane - Slow River.mp3",
                     test::Tag("Aurora Lane", "Slow River", "Evening Hills", "3")}});
        if (!window)
            return;
        const QString cover = folders.Root.path() + "/cover.jpg";
        ASSERT_TRUE(makeCover().save(cover, "JPEG", 90));
        TTagEditor editor;
        for (const char *name : {"Aurora Lane - Morning Light.mp3", "Aurora Lane - Paper Boats.mp3",
                                 "Aurora Lane - Slow River.mp3"}) {
            editor.SetFile(path(name));
            TTag more;
            more.Genre = "Ambient";
            more.Year = "2014";
            editor.SetTagV2(more);
            ASSERT_TRUE(editor.SetCoverArt(cover));
        }
    }
    // Saves the picture of w, which must show something.
    void shoot(QWidget *w, const QString &name)
    {
        test::Settle();
        const QImage shot = w->grab().toImage();
        EXPECT_TRUE(test::NonBlank(shot)) << name.toStdString();
        EXPECT_TRUE(shot.save(test::ScreenshotDir() + "/" + name)) << name.toStdString();
    }
    void language(QAction *item)
    {
        item->trigger();
        drain();
    }
};

TEST_F(ToolScreenshots, TagPanelWithACover)
{
    ASSERT_TRUE(window);
    window->resize(1180, 720);
    window->show();
    showSheet(3);
    window->Frame().sSpCentral->setSizes({760, 320});
    test::Settle();
    openEntry(1);
    test::Settle();
    EXPECT_EQ(window->TagPanel()->sETagTitle->text(), "Paper Boats");
    // The cover is drawn in its box.
    EXPECT_FALSE(window->TagPanel()->ITagCoverImage->Image().isNull());
    shoot(window->Frame().sPRight, "tag-panel.png");
    shoot(window.get(), "main-tags.png");
    language(menus().PMCLRus);
    window->NamingTools().ShowID3Tags();
    shoot(window->Frame().sPRight, "tag-panel-rus.png");
    ApplyTheme(QStringLiteral("05"));
    window->NamingTools().ShowID3Tags();
    shoot(window->Frame().sPRight, "tag-panel-dark.png");
    ApplyTheme(kDefaultTheme);
}

TEST_F(ToolScreenshots, TheToolWindows)
{
    ASSERT_TRUE(window);
    window->show();
    openEntry(0);
    for (QAction *lang : {menus().PMCLEng, menus().PMCLRus, menus().PMCLUkr}) {
        language(lang);
        const QString suffix = TMenus::LanguageOf(lang);

        window->CatalogTools().sSBNewPlaylistClick();
        TAddPlaylistWindow *playlist = window->AddPlaylistWindow();
        playlist->sEAPWName->setText(QStringLiteral("Evening drive"));
        shoot(playlist, "dialog-playlist-" + suffix + ".png");
        playlist->reject();

        window->NamingTools().PMERenameFromTagClick();
        TCustomizeTemplateWindow *t = window->CustomizeTemplateWindow();
        t->sCBCTNumber->click();
        shoot(t, "dialog-template-" + suffix + ".png");
        t->sCBCTNumber->click();
        t->hide();

        window->NamingTools().sEEdit->setText(
            QStringLiteral("Aurora Lane feat. Mira - Morning Light.mp3"));
        window->NamingTools().sEEdit->setSelection(12, 5);
        window->NamingTools().PMEChangeExpressionClick();
        TChangeExpressionWindow *e = window->ChangeExpressionWindow();
        e->sENewExpression->setText(QStringLiteral("ft."));
        shoot(e, "dialog-expression-" + suffix + ".png");
        e->hide();

        // The two questions, as the delete and duplicate-search tools put them.
        const std::unique_ptr<QMessageBox> del(
            CreateQuestionBox(window.get(), Msg().SM_FILESDELETED, Msg().SM_DELETEDAREYOUSURE));
        del->show();
        shoot(del.get(), "question-delete-" + suffix + ".png");
        const std::unique_ptr<QMessageBox> dup(
            CreateQuestionBox(window.get(), Msg().SM_DUPLICATESERCHCOMP, Msg().SM_WANTSEERESULTS));
        dup->show();
        shoot(dup.get(), "question-duplicates-" + suffix + ".png");
    }
    language(menus().PMCLEng);
}

} // namespace
} // namespace vorlane
