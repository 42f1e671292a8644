// Guards the cup window against a sound system that is missing or refuses
// it: opening and closing the window must neither hang nor make the program
// complain.
#include "ProcessState.h"
#include "Sound.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace varnelle;
using varnelle::test::EnvironmentFor;
using varnelle::test::kAnthem;
using varnelle::test::kPcm16;
using varnelle::test::SoundRun;
using varnelle::test::StandardErrorCapture;
using varnelle::test::tone;
using varnelle::test::writeFile;

namespace {

// Where the sound clients are told to find the sound server.
enum class ServerAddress {
    MissingSocket,
    Refused,
    None, // none configured, and none running where one would be looked for
};

} // namespace

Q_DECLARE_METATYPE(ServerAddress)

class SoundServerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { QVERIFY(directory_.enter()); }
    void cleanup() { directory_.leave(); }
    void noSoundServer_data();
    void noSoundServer();

private:
    test::AnthemDirectory directory_;
};

void SoundServerTest::initTestCase()
{
    test::setUpOnce();
}

void SoundServerTest::noSoundServer_data()
{
    QTest::addColumn<ServerAddress>("where");
    QTest::newRow("socket that does not exist") << ServerAddress::MissingSocket;
    QTest::newRow("address that refuses the connection") << ServerAddress::Refused;
    QTest::newRow("no server configured nor running") << ServerAddress::None;
}

void SoundServerTest::noSoundServer()
{
    QFETCH(ServerAddress, where);
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const QString clientConfig = empty.filePath(QStringLiteral("client.conf"));
    // The library would otherwise start a daemon of its own for a user.
    QVERIFY(writeFile(clientConfig, "autospawn = no\n"));
    QVERIFY(tone(kAnthem, kPcm16, 1));
    std::optional<QByteArray> server;
    switch (where) {
    case ServerAddress::MissingSocket:
        server = "unix:" + QFile::encodeName(empty.filePath(QStringLiteral("native")));
        break;
    case ServerAddress::Refused:
        server = "tcp:127.0.0.1:1";
        break;
    case ServerAddress::None:
        break;
    }
    const QByteArray directory = QFile::encodeName(empty.path());
    EnvironmentFor nowhere{{"PULSE_SERVER", server},
                           {"PULSE_CLIENTCONFIG", QFile::encodeName(clientConfig)},
                           {"XDG_RUNTIME_DIR", directory},
                           {"PULSE_RUNTIME_PATH", directory},
                           {"HOME", directory},
                           {"DBUS_SESSION_BUS_ADDRESS", std::nullopt},
                           {"DISPLAY", std::nullopt}};

    StandardErrorCapture errors;
    QElapsedTimer timer;
    {
        SoundRun run;
        timer.start();
        run.forms.coupeVainqueur.setVisible(true);
        QVERIFY(run.forms.coupeVainqueur->isVisible());
        QVERIFY(run.forms.coupeVainqueur->close());
        QCOMPARE(run.quits, 1);
    }
    const qint64 elapsed = timer.elapsed();
    const QByteArray reported = errors.release();
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("opening and closing took %1 ms").arg(elapsed)));
    QVERIFY2(reported.isEmpty(), reported.constData());
}

QTEST_MAIN(SoundServerTest)
#include "tst_sound_server.moc"
