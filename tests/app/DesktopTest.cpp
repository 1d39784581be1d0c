// The program in the desktop session: the media-player interface on a private session bus,
// driven as desktop panels and media keys drive it; notifications without a tray; the names
// screen readers give the drawn controls.

#include "app/desktop/DesktopPresence.h"
#include "app/desktop/Mpris.h"
#include "app/desktop/MprisRules.h"
#include "app/player/PlayerWidgets.h"
#include "app/widgets/TextScroller.h"
#include "tests/app/ProgramRun.h"
#include "tests/app/WindowTest.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QImage>
#include <QProgressBar>
#include <QSlider>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QThread>
#include <QUrl>

#include <functional>

namespace vorlane {
namespace {

using test::Settle;
using test::Tag;
using test::WindowTest;

// Runs the event loop until `done` or the timeout.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 30000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

// What the program tells the bus: PropertiesChanged of the player and Seeked.
class TBusRecorder : public QObject {
    Q_OBJECT

public:
    QList<QVariantMap> Changed;
    QList<qlonglong> Seeks;
    bool Told(const QString &key, const QVariant &value) const
    {
        for (const QVariantMap &m : Changed) {
            if (m.contains(key) && m.value(key) == value)
                return true;
        }
        return false;
    }

public Q_SLOTS:
    void propertiesChanged(const QString &, const QVariantMap &changed, const QStringList &)
    {
        Changed << changed;
    }
    void seeked(qlonglong position) { Seeks << position; }
};

// A notification service of the test's own: what the program asked it to show.
class TFakeNotifications : public QObject {
    Q_OBJECT

public:
    QStringList Shown; // summary + "|" + body
    QList<uint> Replaced;

public Q_SLOTS:
    uint Notify(const QString &, uint replacesId, const QString &, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &, int)
    {
        Shown << summary + "|" + body;
        Replaced << replacesId;
        return uint(Shown.size());
    }
};

class Desktop : public ProgramRun {
protected:
    void TearDown() override
    {
        if (!clientName_.isEmpty())
            QDBusConnection::disconnectFromBus(clientName_);
    }
    // Connects the test to the bus; false when there is no dbus-daemon.
    bool Connect()
    {
        if (bus_.Address().isEmpty())
            return false;
        clientName_ = "desktop-test-client";
        client_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(bus_.Address(), clientName_));
        env_.insert("DBUS_SESSION_BUS_ADDRESS", bus_.Address());
        return client_->isConnected();
    }
    std::unique_ptr<QDBusInterface> Interface(const char *name)
    {
        return std::make_unique<QDBusInterface>(kMprisService, kMprisPath, name, *client_);
    }

    TPrivateBus bus_;
    QString clientName_;
    std::unique_ptr<QDBusConnection> client_;
};

QVariant property(QDBusInterface &i, const char *name)
{
    return i.property(name);
}

// Two tagged tracks with a cover, opened, paused, sought and turned up and down over the bus;
// then the same through playerctl where it is installed, and a stream by its address.
TEST_F(Desktop, MediaPlayerInterfaceDrivesThePlayer)
{
    if (!Connect())
        GTEST_SKIP() << "dbus-daemon is not installed";
    const QString music = home_.path() + "/Music";
    QDir().mkpath(music);
    ASSERT_TRUE(test::WriteFile(home_.path() + "/cover.png", test::TinyPng()));
    ASSERT_TRUE(test::MakeMedia(music + "/a.mp3", {"-f",
                                                   "lavfi",
                                                   "-i",
                                                   "sine=frequency=440:duration=30",
                                                   "-i",
                                                   home_.path() + "/cover.png",
                                                   "-map",
                                                   "0:a",
                                                   "-map",
                                                   "1:v",
                                                   "-c:a",
                                                   "libmp3lame",
                                                   "-b:a",
                                                   "64k",
                                                   "-c:v",
                                                   "png",
                                                   "-id3v2_version",
                                                   "3",
                                                   "-metadata",
                                                   "title=Harbour",
                                                   "-metadata",
                                                   "artist=Tester",
                                                   "-metadata",
                                                   "album=Bench"}));
    ASSERT_TRUE(
        test::MakeMedia(music + "/b.mp3", {"-f", "lavfi", "-i", "sine=frequency=660:duration=30",
                                           "-c:a", "libmp3lame", "-b:a", "64k"}));
    QProcess program;
    Start(program);
    ASSERT_TRUE(waitUntil([&] {
        return client_->interface()->isServiceRegistered(kMprisService).value();
    })) << program.readAllStandardError().toStdString();

    auto root = Interface("org.mpris.MediaPlayer2");
    EXPECT_EQ(property(*root, "Identity").toString(), "Vorlane");
    EXPECT_EQ(property(*root, "DesktopEntry").toString(), "vorlane");
    EXPECT_TRUE(property(*root, "CanRaise").toBool());
    EXPECT_TRUE(property(*root, "CanQuit").toBool());
    EXPECT_FALSE(property(*root, "HasTrackList").toBool());
    EXPECT_EQ(property(*root, "SupportedUriSchemes").toStringList(),
              QStringList({"file", "http", "https", "ftp"}));
    // The sound types of the menu entry, as it lists them.
    QStringList listed;
    const QByteArray entry =
        test::ReadFile(test::TestsSourceDir() + "/../data/desktop/vorlane.desktop");
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith("MimeType="))
            for (const QByteArray &type : line.mid(9).trimmed().split(';'))
                if (type.startsWith("audio/"))
                    listed << QString::fromUtf8(type);
    }
    EXPECT_EQ(property(*root, "SupportedMimeTypes").toStringList(), listed);
    EXPECT_TRUE(root->call("Raise").errorName().isEmpty());

    auto player = Interface("org.mpris.MediaPlayer2.Player");
    TBusRecorder recorder;
    ASSERT_TRUE(client_->connect(kMprisService, kMprisPath, "org.freedesktop.DBus.Properties",
                                 "PropertiesChanged", &recorder,
                                 SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    ASSERT_TRUE(client_->connect(kMprisService, kMprisPath, "org.mpris.MediaPlayer2.Player",
                                 "Seeked", &recorder, SLOT(seeked(qlonglong))));
    EXPECT_EQ(property(*player, "PlaybackStatus").toString(), "Stopped");
    EXPECT_TRUE(property(*player, "CanControl").toBool());
    EXPECT_FALSE(property(*player, "CanPause").toBool());

    // Asked before the player has arrived, it plays once it has.
    player->call("OpenUri", QUrl::fromLocalFile(music + "/a.mp3").toString());
    ASSERT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Playing"; }, 60000))
        << program.readAllStandardError().toStdString();
    QVariantMap meta = qdbus_cast<QVariantMap>(property(*player, "Metadata"));
    EXPECT_EQ(meta.value("xesam:title").toString(), "Harbour");
    EXPECT_EQ(meta.value("xesam:artist").toStringList(), QStringList({"Tester"}));
    EXPECT_EQ(meta.value("xesam:album").toString(), "Bench");
    EXPECT_EQ(meta.value("xesam:url").toString(), QUrl::fromLocalFile(music + "/a.mp3").toString());
    EXPECT_NEAR(meta.value("mpris:length").toLongLong() / 1e6, 30.0, 0.5);
    const QString trackId = qdbus_cast<QDBusObjectPath>(meta.value("mpris:trackid")).path();
    EXPECT_FALSE(trackId.isEmpty());
    const QUrl art(meta.value("mpris:artUrl").toString());
    ASSERT_TRUE(art.isLocalFile());
    EXPECT_FALSE(QImage(art.toLocalFile()).isNull());
    for (const char *can : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"})
        EXPECT_TRUE(property(*player, can).toBool()) << can;
    EXPECT_TRUE(waitUntil([&] { return recorder.Told("PlaybackStatus", "Playing"); }));

    player->call("Pause");
    EXPECT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Paused"; }));
    EXPECT_TRUE(waitUntil([&] { return recorder.Told("PlaybackStatus", "Paused"); }));
    player->call("PlayPause");
    EXPECT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Playing"; }));

    // Seeks: each is told with Seeked; another track's id moves nothing.
    player->call("SetPosition", QVariant::fromValue(QDBusObjectPath(trackId)), qlonglong(12000000));
    ASSERT_TRUE(waitUntil([&] { return !recorder.Seeks.isEmpty(); }));
    EXPECT_NEAR(recorder.Seeks.last() / 1e6, 12.0, 1.0);
    player->call("Seek", qlonglong(5000000));
    ASSERT_TRUE(waitUntil([&] { return recorder.Seeks.size() >= 2; }));
    EXPECT_NEAR(recorder.Seeks.last() / 1e6, 17.0, 1.5);
    EXPECT_GE(property(*player, "Position").toLongLong(), 16000000);
    player->call("SetPosition", QVariant::fromValue(QDBusObjectPath("/org/vorlane/track/999")),
                 qlonglong(1000000));
    QThread::msleep(300);
    EXPECT_GE(property(*player, "Position").toLongLong(), 16000000);

    // The volume both ways, on the 1-128 slider.
    for (const double volume : {0.25, 0.9, 0.0}) {
        EXPECT_TRUE(player->setProperty("Volume", volume));
        EXPECT_NEAR(property(*player, "Volume").toDouble(), volume, 0.005);
        EXPECT_TRUE(waitUntil([&] {
            for (const QVariantMap &m : recorder.Changed)
                if (m.contains("Volume") && std::abs(m.value("Volume").toDouble() - volume) < 0.005)
                    return true;
            return false;
        })) << volume;
    }
    player->setProperty("Volume", 7.0);
    EXPECT_DOUBLE_EQ(property(*player, "Volume").toDouble(), 1.0);

    // Next and back within the folder list.
    player->call("Next");
    EXPECT_TRUE(waitUntil([&] {
        return qdbus_cast<QVariantMap>(property(*player, "Metadata")).value("xesam:title") == "b";
    }));
    player->call("Previous");
    EXPECT_TRUE(waitUntil([&] {
        return qdbus_cast<QVariantMap>(property(*player, "Metadata")).value("xesam:title") ==
               "Harbour";
    }));
    EXPECT_TRUE(waitUntil([&] {
        for (const QVariantMap &m : recorder.Changed)
            if (qdbus_cast<QVariantMap>(m.value("Metadata")).value("xesam:title") == "b")
                return true;
        return false;
    }));

    player->call("Stop");
    EXPECT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Stopped"; }));
    EXPECT_TRUE(qdbus_cast<QVariantMap>(property(*player, "Metadata")).isEmpty());
    player->call("Play");
    EXPECT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Playing"; }));

    const QString playerctl = QStandardPaths::findExecutable("playerctl");
    if (!playerctl.isEmpty()) {
        const auto run = [&](const QStringList &args) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("DBUS_SESSION_BUS_ADDRESS", bus_.Address());
            p.setProcessEnvironment(env);
            p.start(playerctl, QStringList{"--player=vorlane"} + args);
            // The program answers while the test waits: keep the test's own connection served.
            waitUntil([&] { return p.state() == QProcess::NotRunning; }, 20000);
            return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        };
        // A second Play refills the metadata on the next tick: wait for it before asking.
        ASSERT_TRUE(waitUntil(
            [&] { return !qdbus_cast<QVariantMap>(property(*player, "Metadata")).isEmpty(); }));
        EXPECT_EQ(run({"status"}), "Playing");
        EXPECT_EQ(run({"metadata", "title"}), "Harbour");
        EXPECT_EQ(run({"metadata", "album"}), "Bench");
        run({"pause"});
        EXPECT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Paused"; }));
        run({"play"});
        EXPECT_TRUE(waitUntil([&] { return property(*player, "PlaybackStatus") == "Playing"; }));
        run({"volume", "0.5"});
        EXPECT_NEAR(property(*player, "Volume").toDouble(), 0.5, 0.005);
        EXPECT_NEAR(run({"volume"}).toDouble(), 0.5, 0.005);
        run({"position", "20"});
        ASSERT_TRUE(
            waitUntil([&] { return property(*player, "Position").toLongLong() >= 19500000; }));
    }

    // A network address plays as the search list's single link.
    test::HttpServer server(music);
    ASSERT_TRUE(server.Ok());
    player->call("OpenUri", server.Url("b.mp3"));
    EXPECT_TRUE(waitUntil([&] {
        return qdbus_cast<QVariantMap>(property(*player, "Metadata")).value("xesam:url") ==
                   server.Url("b.mp3") &&
               property(*player, "PlaybackStatus") == "Playing";
    }));

    root->call("Quit");
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

// Without a session bus the program runs and says nothing of it.
TEST_F(ProgramRun, NoSessionBusIsNoError)
{
    env_.remove("DBUS_SESSION_BUS_ADDRESS");
    env_.insert("VORLANE_REPORT_FIRST_PAINT", "1");
    QProcess p;
    Start(p);
    ASSERT_TRUE(
        waitUntil([&] { return p.canReadLine() || p.state() != QProcess::Running; }, 60000));
    EXPECT_EQ(p.readLine().trimmed(), "first-paint");
    QThread::msleep(500);
    EXPECT_EQ(p.state(), QProcess::Running);
    Stop(p);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_FALSE(p.readAllStandardError().toLower().contains("bus"));
}

// Without a tray, a minimised window stays in the task bar, and the notice of a new track becomes
// a desktop notification where a notification service is on the bus.
TEST_F(WindowTest, WithoutATrayNoticesBecomeDesktopNotifications)
{
    TPrivateBus bus;
    if (bus.Address().isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QDBusConnection service = QDBusConnection::connectToBus(bus.Address(), "fake-notifications");
    TFakeNotifications fake;
    ASSERT_TRUE(service.registerObject("/org/freedesktop/Notifications",
                                       "org.freedesktop.Notifications", &fake,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
    OpenTracks({{"one.mp3", Tag("A", "One")}, {"two.mp3", Tag("B", "Two")}});
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().toUtf8());
    window->Desktop().Start();
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_TRUE(window->Desktop().OnBus());
    EXPECT_NE(window->Desktop().Mpris(), nullptr);

    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    window->show();
    Settle();
    window->showMinimized();
    Settle();
    EXPECT_TRUE(window->isVisible()); // in the task bar, not hidden where nobody finds it
    window->Menus().PMCShowIndicator->setChecked(false);
    openEntry(0);
    ASSERT_TRUE(waitUntil([&] { return fake.Shown.size() == 1; }, 10000));
    EXPECT_EQ(fake.Shown[0], TMainWindow::kTitle + "|one");
    waitUntil([] { return false; }, 1000); // the service's answer (its id) comes back
    openEntry(1);
    ASSERT_TRUE(waitUntil([&] { return fake.Shown.size() == 2; }, 10000));
    EXPECT_EQ(fake.Replaced[1], 1u); // the second replaces the first

    // A window on screen needs no notification.
    window->showNormal();
    Settle();
    openEntry(0);
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(fake.Shown.size(), 2);
    window.reset(); // leaves the bus before the service does
    QDBusConnection::disconnectFromBus("fake-notifications");
}

TEST_F(WindowTest, DrawnControlsAreNamedForScreenReaders)
{
    OpenWindow();
    TPlayerPanel &p = window->PlayerPanel();
    const auto names = [&] {
        return QStringList{window->Browse().sPAlphabet->accessibleName(),
                           p.PBPeaksIndicator->accessibleName(),
                           p.IVisualIndicator->accessibleName(),
                           window->Frame().TSStatus->accessibleName(),
                           p.sPBPositionRegulator->accessibleName(),
                           p.sTBPlaySpeed->accessibleName(),
                           p.sTBVolume->accessibleName()};
    };
    EXPECT_EQ(names(),
              QStringList({"Letter bar", "Waveform of the playing track", "Sound indicator",
                           "Status line", "Playing position", "Playback speed", "Volume"}));
    window->SetCurLanguage("Rus");
    window->SetLanguage();
    EXPECT_EQ(names().first(), QString::fromUtf8("Панель букв"));
    EXPECT_EQ(names().last(), QString::fromUtf8("Громкость"));
}

TEST(MprisRules, VolumePositionsAndSeeks)
{
    EXPECT_EQ(VolumeFromBus(0.0), 1);
    EXPECT_EQ(VolumeFromBus(1.0), 128);
    EXPECT_EQ(VolumeFromBus(-3), 1);
    EXPECT_EQ(VolumeFromBus(std::nan("")), 1);
    for (int v = 1; v <= 128; ++v)
        EXPECT_EQ(VolumeFromBus(VolumeToBus(v)), v);
    // 176400 bytes a second (CD sound): 1.5 s.
    EXPECT_EQ(BytesToMicroseconds(264600, 176400, 1.0), 1500000);
    EXPECT_EQ(MicrosecondsToBytes(1500000, 176400, 1.0), 264600);
    EXPECT_EQ(BytesToMicroseconds(264600, 176400, -1.0), 0); // nothing open
    EXPECT_EQ(SeekLanding(5000000, -9000000, 30000000), 0);
    EXPECT_EQ(SeekLanding(5000000, 26000000, 30000000), -1); // past the end: the next track
    EXPECT_EQ(SeekLanding(5000000, 26000000, 0), 31000000);  // a stream without a length
    EXPECT_TRUE(TrackMetadata({}).isEmpty());
    TTrackFacts t;
    t.TrackId = "/org/vorlane/track/1";
    t.Title = "x";
    const QVariantMap m = TrackMetadata(t);
    EXPECT_EQ(m.keys(), QStringList({"mpris:trackid", "xesam:title"}));
}

} // namespace
} // namespace vorlane

#include "DesktopTest.moc"
