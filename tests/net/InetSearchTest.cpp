#include "net/InetSearch.h"
#include "net/Services.h"
#include "net/UrlReads.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace vorlane;

namespace {

// A first-site block and a second-site track as the sites write them.
QString block(const QString &id, const QString &name)
{
    return QStringLiteral("<div class=\"block\" data-url=\"%1\" data-resource=\"r\">"
                          "<span>&laquo;%2&raquo;</span></div>\n")
        .arg(id, name);
}

QString track(const QString &address, const QString &artist, const QString &song)
{
    return QStringLiteral("<li class=\"track\" data-mp3=\"%1\" data-duration=\"215\">"
                          "<a class=\"playlist-title\" href=\"/a\"><span>%2</span></a> - "
                          "<a href=\"/s\"><span>%3</span></a></li>\n")
        .arg(address, artist, song);
}

const QString kContent = QStringLiteral("<div class=\"content\">\n");
const QString kTracks =
    QStringLiteral("<div class=\"xblock\"><h1 class=\"xblock-title\">Hits</h1>");

QStringList lines(const TFileList &list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.At(i).DirName + list.At(i).FileName + u'?' + list.At(i).Title;
    return out;
}

} // namespace

TEST(ScrapeBuffer, BetweenFollowsThePositionRule)
{
    struct Case {
        const char *buffer, *from, *to, *expected;
    } cases[] = {
        {"x[ab]y", "[", "]", "ab"},   {"x[]y", "[", "]", ""}, // nothing between
        {"x]a[b", "[", "]", ""},                              // the end marker comes first
        {"x[ab", "[", "]", ""},                               // no end marker
        {"abc]def", "[[", "]", "bc"}, // no start marker: counted as if at position 0
        {"[a]b[c]", "[", "]", "a"},   // the first of each
        {"<<a>>", "<<", ">>", "a"},
    };
    for (const Case &c : cases) {
        const QString page = QString::fromUtf8(c.buffer);
        TScrapeBuffer b(page);
        EXPECT_EQ(b.Between(QString::fromUtf8(c.from), QString::fromUtf8(c.to)),
                  QString::fromUtf8(c.expected))
            << c.buffer;
        EXPECT_EQ(b.Offset(), 0); // nothing consumed
    }
}

TEST(ScrapeBuffer, SkipToOnlyMovesForward)
{
    const QString page = QStringLiteral("aXbXc");
    TScrapeBuffer b(page);
    EXPECT_TRUE(b.SkipTo(u"X"));
    EXPECT_EQ(b.Offset(), 1);
    EXPECT_TRUE(b.SkipTo(u"X")); // already at the front: stays
    EXPECT_EQ(b.Offset(), 1);
    EXPECT_TRUE(b.SkipTo(u"b"));
    EXPECT_TRUE(b.SkipTo(u"X"));
    EXPECT_EQ(b.Offset(), 3);
    EXPECT_FALSE(b.SkipTo(u"a")); // behind: not found again
    EXPECT_EQ(b.Offset(), 3);
    EXPECT_EQ(b.Between(u"X", u"c"), QString());
}

TEST(FirstSiteScraper, BlocksAfterTheContentMarker)
{
    const QString site = QStringLiteral("http://one.test");
    const QString page = block("0", "Menu") + kContent + block("11", "Artist - Song") +
                         block("12", "Группа - Песня") + block("11", "Artist - Song") +
                         block("13", "") + block("14", "A &amp; B");
    TFileList list;
    ScrapeFirstSite(page, site, list);
    EXPECT_EQ(lines(list),
              QStringList({"http://one.test/download/11/Artist - Song.mp3?Artist - Song",
                           "http://one.test/download/12/Группа - Песня.mp3?Группа - Песня",
                           "http://one.test/download/14/A &amp; B.mp3?A &amp; B"}));
    // Without the content marker the page is read from its beginning.
    TFileList whole;
    ScrapeFirstSite(QString(block("0", "Menu") + block("1", "One")), site, whole);
    EXPECT_EQ(whole.Count(), 2);
}

TEST(FirstSiteScraper, AnUnclosedBlockEndsThePage)
{
    const QString page =
        kContent + block("1", "One") +
        "<div class=\"block\" data-url=\"2\" data-resource=\"r\">&laquo;Two&raquo;" +
        "<div class=\"block\" data-url=\"3\" data-resource=\"r\">&laquo;Three&raquo;";
    TFileList list;
    ScrapeFirstSite(page, "http://one.test", list); // returns: the same block is not found forever
    EXPECT_EQ(lines(list), QStringList({"http://one.test/download/1/One.mp3?One",
                                        "http://one.test/download/2/Two.mp3?Two"}));
}

TEST(SecondSiteScraper, TracksWithTheListenRuleAppliedOnce)
{
    const QString page = track("http://x/zero.mp3", "Before", "Header") + kTracks + "<ul>" +
                         track("http://two.test/File/1/a.mp3", "Art", "Song") +
                         track("http://two.test/x/FILE/2/file/b.mp3", "Б", "В") +
                         track("http://two.test/File/1/a.mp3", "Art", "Again") +
                         track("", "No", "Address") + track("http://two.test/c.mp3", "", "") +
                         "</ul>";
    TFileList list;
    ScrapeSecondSite(page, list);
    EXPECT_EQ(lines(list), QStringList({"http://two.test/listen/1/a.mp3?Art - Song",
                                        "http://two.test/x/listen/2/file/b.mp3?Б - В",
                                        "http://two.test/c.mp3? - "}));
    TFileList endless;
    ScrapeSecondSite(QString(kTracks + "<li class=\"track\" data-mp3=\"http://two.test/a.mp3\" "
                                       "data-duration=\"1\">"),
                     endless);
    EXPECT_EQ(endless.Count(), 1); // no inner marker follows: the page ends
}

TEST(PercentEncodeAddress, WholeAddressAsUtf8)
{
    EXPECT_EQ(PercentEncodeAddress("http://h:8/search/a b/"), "http://h:8/search/a%20b/");
    EXPECT_EQ(PercentEncodeAddress("http://h/q/кино/"), "http://h/q/%D0%BA%D0%B8%D0%BD%D0%BE/");
    EXPECT_EQ(PercentEncodeAddress("http://h/q/100%#1\"<>/"), "http://h/q/100%25%231%22%3C%3E/");
    EXPECT_EQ(PercentEncodeAddress("http://h/q/a-b_c.d~e?x=1&y=(2)/"),
              "http://h/q/a-b_c.d~e?x=1&y=(2)/");
}

namespace {

// Both sites served from one folder: the first site's pages under search/QUERY/, the second's
// under q/QUERY/.
class ServedSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<test::HttpServer>(served.path());
        ASSERT_TRUE(server->Ok());
        site = server->Url("").chopped(1);
    }
    void TearDown() override { ConfigureServices({}); }
    void page(const QString &path, const QString &html)
    {
        ASSERT_TRUE(test::WriteFile(served.filePath(path + "/index.html"), html.toUtf8()));
    }

    QTemporaryDir served;
    std::unique_ptr<test::HttpServer> server;
    QString site;
};

} // namespace

TEST_F(ServedSearch, BothSitesInOrderWithACyrillicQuery)
{
    page("search/кино группа", kContent + block("7", "Кино - Группа крови"));
    page("q/кино группа", kTracks + track(site + "/file/9/k.mp3", "Кино", "Звезда"));
    TServices s;
    s.SearchSite1 = site;
    s.SearchSite2 = site;
    const TFileList list = RunInetSearch("кино группа", s);
    EXPECT_EQ(lines(list), QStringList({site + "/download/7/Кино - Группа крови.mp3?Кино - "
                                               "Группа крови",
                                        site + "/listen/9/k.mp3?Кино - Звезда"}));
    const QStringList requests = server->Requests();
    ASSERT_GE(requests.size(), 2);
    EXPECT_TRUE(requests.at(0).startsWith(
        "GET /search/%D0%BA%D0%B8%D0%BD%D0%BE%20%D0%B3%D1%80%D1%83%D0%BF%D0%BF%D0%B0/ "))
        << requests.at(0).toStdString();
    EXPECT_TRUE(requests.at(1).startsWith("GET /q/%D0%BA%D0%B8%D0%BD%D0%BE%20"));
}

TEST_F(ServedSearch, FirstSiteRedirectRefusedSecondFollowed)
{
    page("search/x", kContent + block("1", "One"));
    page("q/x", kTracks + track(site + "/a.mp3", "A", "B"));
    TServices s;
    s.SearchSite1 = site + "/redirect";
    s.SearchSite2 = site + "/redirect";
    EXPECT_EQ(lines(RunInetSearch("x", s)), QStringList({site + "/a.mp3?A - B"}));

    // A first site that does not answer leaves the second; a site that is off is not asked.
    s.SearchSite1 = QStringLiteral("http://127.0.0.1:1");
    s.SearchSite2 = site;
    EXPECT_EQ(RunInetSearch("x", s).Count(), 1);
    s.SearchSite1 = site;
    s.SearchSite2.clear();
    EXPECT_EQ(lines(RunInetSearch("x", s)), QStringList({site + "/download/1/One.mp3?One"}));
}

TEST_F(ServedSearch, PagesAreReadUpToTheLimit)
{
    page("search/big", kContent + block("1", "One") + QString(4000, u'x'));
    QByteArray body;
    EXPECT_TRUE(ReadPage({site + "/search/big/", false, 8000, nullptr}, body));
    EXPECT_FALSE(ReadPage({site + "/search/big/", false, 1000, nullptr}, body));
    EXPECT_TRUE(body.isEmpty());
    EXPECT_FALSE(ReadPage({site + "/status/500", true, 1000, nullptr}, body));
}
