#include "app/shell/Language.h"
#include "app/tools/TagPanel.h"
#include "app/tools/ToolDialogs.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

namespace vorlane {
namespace {

// Every text the language can change, by component name.
QMap<QString, QString> textsOf(TMainWindow &w)
{
    QMap<QString, QString> texts;
    for (QAction *a : w.findChildren<QAction *>()) {
        if (!a->objectName().isEmpty())
            texts[a->objectName()] = a->text();
    }
    for (QToolButton *b : w.findChildren<QToolButton *>())
        texts[b->objectName()] = b->toolTip();
    for (QLabel *l : w.findChildren<QLabel *>())
        texts[l->objectName()] = l->text();
    for (int i = 0; i < w.Side().sPCExtentedControls->count(); ++i)
        texts[w.Side().sPCExtentedControls->widget(i)->objectName()] =
            w.Side().sPCExtentedControls->tabText(i);
    return texts;
}

QStringList messages()
{
    QStringList all;
    const TMessages &m = Msg();
#define VORLANE_COLLECT(key) all << m.key;
    VORLANE_MESSAGE_KEYS(VORLANE_COLLECT)
#undef VORLANE_COLLECT
    return all;
}

TEST(Language, SwitchingTwiceGivesTheSameTextsAsOnce)
{
    test::TWindowFolders f;
    TMainWindow w(f.Options());
    ASSERT_TRUE(w.Ok());
    w.CreateWindowSet(); // applies "eng" from the seeded configuration
    const QMap<QString, QString> english = textsOf(w);
    const QStringList englishMessages = messages();
    EXPECT_EQ(Msg().SM_COMPUTER, "Computer");
    EXPECT_EQ(w.Menus().PMCPlayFiles->text(), "Play chosen files");

    w.Menus().PMCLRus->trigger();
    const QMap<QString, QString> russian = textsOf(w);
    const QStringList russianMessages = messages();
    EXPECT_EQ(Msg().SM_COMPUTER, "Компьютер");
    EXPECT_EQ(w.CurLanguage(), "rus");
    EXPECT_TRUE(w.Menus().PMCLRus->isChecked());
    EXPECT_FALSE(w.Menus().PMCLEng->isChecked());

    w.Menus().PMCLRus->trigger();
    EXPECT_EQ(textsOf(w), russian);
    EXPECT_EQ(messages(), russianMessages);

    w.Menus().PMCLUkr->trigger();
    EXPECT_EQ(Msg().SM_COMPUTER, "Комп'ютер");
    EXPECT_EQ(w.Side().sPCExtentedControls->tabText(1), "Теки");
    w.Menus().PMCLEng->trigger();
    EXPECT_EQ(textsOf(w), english);
    EXPECT_EQ(messages(), englishMessages);
}

TEST(Language, TheSheetAndWindowsMadeAfterTheFirstPaintTakeTheLanguageToo)
{
    test::TWindowFolders early, late;
    TMainWindow a(early.Options());
    TMainWindowOptions o = late.Options();
    o.WindowSetAfterFirstPaint = true;
    TMainWindow b(o);
    ASSERT_TRUE(a.Ok() && b.Ok());
    for (TMainWindow *w : {&a, &b}) {
        w->SetCurLanguage("ukr");
        w->CreateWindowSet();
    }
    // Before the first paint: a stand-in under the tag sheet's name and caption.
    ASSERT_EQ(b.Side().sPCExtentedControls->count(), 4);
    EXPECT_EQ(b.Side().sPCExtentedControls->widget(3)->objectName(), "sTSTag");
    EXPECT_EQ(b.Side().sPCExtentedControls->tabText(3), a.Side().sPCExtentedControls->tabText(3));
    EXPECT_EQ(b.findChild<QLineEdit *>("sETagTitle"), nullptr);

    b.show();
    for (int i = 0; i < 100 && !b.findChild<QLineEdit *>("sETagTitle"); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_NE(b.findChild<QLineEdit *>("sETagTitle"), nullptr);
    EXPECT_EQ(b.Side().sPCExtentedControls->widget(3), static_cast<QWidget *>(b.TagPanel()));
    EXPECT_EQ(b.Side().sPCExtentedControls->currentIndex(), 1);
    EXPECT_EQ(textsOf(b), textsOf(a));
    ASSERT_NE(b.AddPlaylistWindow(), nullptr);
    EXPECT_EQ(b.AddPlaylistWindow()->windowTitle(), a.AddPlaylistWindow()->windowTitle());
    EXPECT_EQ(b.ChangeExpressionWindow()->findChild<QLabel *>("sLOldExpression")->text(),
              a.ChangeExpressionWindow()->findChild<QLabel *>("sLOldExpression")->text());
    EXPECT_NE(b.IndicatorWindow(), nullptr);
}

TEST(Language, EveryMessageHasATextInEveryLanguage)
{
    const TIniFile ini(test::BundledData() + "/lang.ini");
    ASSERT_TRUE(ini.Exists());
    for (const char *section : {"eng", "rus", "ukr"}) {
        for (const QString &key : MessageKeys())
            EXPECT_FALSE(ini.ReadString(section, key, QString()).isEmpty())
                << section << " " << key.toStdString();
        for (const char *window :
             {"SoundProcWindow", "TimerWindow", "ChangeExpressionWindow", "AccountWindow",
              "AddPlaylistWindow", "CustomizeTemplateWindow", "FeedbackWindow"})
            EXPECT_FALSE(ini.ReadString(section, window, QString()).isEmpty()) << window;
    }
    // The three sections carry the same keys.
    EXPECT_EQ(ini.ReadSection("eng"), ini.ReadSection("rus"));
    EXPECT_EQ(ini.ReadSection("eng"), ini.ReadSection("ukr"));
    // Spaces at the ends of a text survive the file.
    EXPECT_EQ(ini.ReadString("eng", "SM_WITHINCLUDES", ""), " (with subfolders)");
}

TEST(Language, EveryNamedControlOfTheWindowsHasAText)
{
    test::TWindowFolders f;
    TMainWindow w(f.Options());
    ASSERT_TRUE(w.Ok());
    w.CreateWindowSet();
    const TIniFile ini(test::BundledData() + "/lang.ini");
    QStringList missing;
    for (QAction *a : w.findChildren<QAction *>()) {
        if (a->objectName().startsWith("PM") &&
            ini.ReadString("eng", a->objectName(), "").isEmpty())
            missing << a->objectName();
    }
    for (QToolButton *b : w.findChildren<QToolButton *>()) {
        if (b->objectName().startsWith("sSB") &&
            ini.ReadString("eng", b->objectName(), "").isEmpty())
            missing << b->objectName();
    }
    for (QMenu *m : w.findChildren<QMenu *>()) {
        if (m->objectName().startsWith("PM") &&
            ini.ReadString("eng", m->objectName(), "").isEmpty())
            missing << m->objectName();
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(' ').toStdString();
}

TEST(Language, EmptyValuesLeaveTextsAndAMissingSectionEmptiesTheMessages)
{
    test::TWindowFolders f;
    ASSERT_TRUE(test::WriteFile(f.Work() + "/lang.ini",
                                "[eng]\r\nPMCPlayFiles=\r\nsTSTag=Labels\r\nSM_EXIT=Leave\r\n"
                                "AddPlaylistWindow=\r\nsLAPWName=\r\n"));
    TMainWindow w(f.Options());
    ASSERT_TRUE(w.Ok());
    const QString before = w.Menus().PMCPlayFiles->text();
    w.CreateWindowSet();
    EXPECT_EQ(w.Menus().PMCPlayFiles->text(), before);
    EXPECT_EQ(w.Side().sPCExtentedControls->tabText(3), "Labels");
    EXPECT_EQ(Msg().SM_EXIT, "Leave");
    EXPECT_TRUE(Msg().SM_COMPUTER.isEmpty());
    // The playlist-name window's caption and label take the file's text even when it is empty.
    QWidget *playlist = w.AddPlaylistWindow();
    ASSERT_NE(playlist, nullptr);
    EXPECT_TRUE(playlist->windowTitle().isEmpty());
    EXPECT_TRUE(playlist->findChild<QLabel *>("sLAPWName")->text().isEmpty());

    w.SetCurLanguage("deu");
    w.SetLanguage();
    EXPECT_EQ(w.Side().sPCExtentedControls->tabText(3), "Labels");
    EXPECT_TRUE(Msg().SM_EXIT.isEmpty());
}

} // namespace
} // namespace vorlane
