// Guards the anthem against a sound file that would crash or hang the
// program, make it complain, or be played as an alert: a file that cannot be
// played leaves the default sound in its place, the anthem itself plays as
// music. Runs a PulseAudio of its own, whose log names the streams.
#include "ProcessState.h"
#include "Sound.h"
#include "TestSupport.h"

#include "auxwindows/CanberraSound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <sys/stat.h>

using namespace varnelle;
using varnelle::test::AudioServer;
using varnelle::test::kAnthem;
using varnelle::test::kPcm16;
using varnelle::test::pcmHeader;
using varnelle::test::SoundRun;
using varnelle::test::StandardErrorCapture;
using varnelle::test::tone;
using varnelle::test::WithoutReadOverride;
using varnelle::test::writeFile;

namespace {

// What stands where the cup window looks for its anthem.
enum class AnthemFile {
    Missing,
    Empty,
    Truncated,
    Random,
    Directory,
    Fifo,
    Device,
    Unreadable,
    Samples24Bit,
    FloatSamples,
    ImaAdpcm,
    Oversized,
    Large,
    Pcm16,
};

} // namespace

Q_DECLARE_METATYPE(AnthemFile)

class SoundFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { QVERIFY(directory_.enter()); }
    void cleanup() { directory_.leave(); }
    void fileThatCannotBePlayed_data();
    void fileThatCannotBePlayed();

private:
    test::AudioServer server_;
    test::AnthemDirectory directory_;
};

void SoundFilesTest::initTestCase()
{
    test::setUpOnce();
    const QString why = server_.startForThisProcess();
    QVERIFY2(why.isEmpty(), qPrintable(why));
}

void SoundFilesTest::fileThatCannotBePlayed_data()
{
    QTest::addColumn<AnthemFile>("kind");
    QTest::addColumn<bool>("played"); // the file itself, else the default sound
    using enum AnthemFile;
    QTest::newRow("missing") << Missing << false;
    QTest::newRow("empty") << Empty << false;
    QTest::newRow("header cut short") << Truncated << false;
    QTest::newRow("random bytes") << Random << false;
    QTest::newRow("a directory of that name") << Directory << false;
    QTest::newRow("a FIFO, which blocks whoever opens it") << Fifo << false;
    QTest::newRow("a link to an endless device") << Device << false;
    QTest::newRow("unreadable") << Unreadable << false;
    QTest::newRow("24-bit samples") << Samples24Bit << false;
    QTest::newRow("floating-point samples") << FloatSamples << false;
    QTest::newRow("IMA ADPCM") << ImaAdpcm << false;
    QTest::newRow("data longer than the format allows") << Oversized << false;
    QTest::newRow("very large, 1 GiB of samples") << Large << false;
    QTest::newRow("16-bit PCM, as the anthem") << Pcm16 << true;
}

void SoundFilesTest::fileThatCannotBePlayed()
{
    QFETCH(AnthemFile, kind);
    QFETCH(bool, played);
    const QString path = QDir::current().absoluteFilePath(kAnthem);
    switch (kind) {
    case AnthemFile::Missing:
        break;
    case AnthemFile::Empty:
        QVERIFY(writeFile(path, {}));
        break;
    case AnthemFile::Truncated:
        QVERIFY(writeFile(path, pcmHeader(44100 * 4).left(20)));
        break;
    case AnthemFile::Random: {
        QRandomGenerator random(6);
        QByteArray bytes(64 * 1024, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QVERIFY(writeFile(path, bytes));
        break;
    }
    case AnthemFile::Directory:
        QVERIFY(QDir().mkdir(path));
        break;
    case AnthemFile::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        break;
    case AnthemFile::Device:
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case AnthemFile::Unreadable:
        QVERIFY(tone(path, kPcm16, 1));
        QVERIFY(QFile::setPermissions(path, {}));
        break;
    case AnthemFile::Samples24Bit:
        QVERIFY(tone(path, {QStringLiteral("-b"), QStringLiteral("24")}, 1));
        break;
    case AnthemFile::FloatSamples:
        QVERIFY(tone(
            path, {QStringLiteral("-e"), QStringLiteral("floating-point"), QStringLiteral("-b"), QStringLiteral("32")},
            1));
        break;
    case AnthemFile::ImaAdpcm:
        QVERIFY(tone(path, {QStringLiteral("-e"), QStringLiteral("ima-adpcm")}, 1));
        break;
    case AnthemFile::Oversized:
        QVERIFY(writeFile(path, pcmHeader(0xFFFFFF00U) + QByteArray(4096, '\0')));
        break;
    case AnthemFile::Large:
        // Sparse: 1 GiB of silent samples that take no room on the disk, more
        // than libcanberra reads (64 MiB).
        QVERIFY(writeFile(path, pcmHeader(0x40000000U)));
        QVERIFY(QFile::resize(path, 44 + 0x40000000LL));
        break;
    case AnthemFile::Pcm16:
        QVERIFY(tone(path, kPcm16, 1));
        break;
    }
    const QString expected = played ? path : QString::fromLatin1(CanberraSound::kDefaultSound);
    const qsizetype before = server_.streams("Created").size();

    StandardErrorCapture errors;
    QElapsedTimer shown;
    {
        WithoutReadOverride asAPlayer;
        SoundRun run;
        shown.start();
        run.forms.coupeVainqueur.setVisible(true);
        const qint64 elapsed = shown.elapsed();
        QVERIFY(run.forms.coupeVainqueur->isVisible());
        QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("Load took %1 ms").arg(elapsed)));
        QTRY_VERIFY2_WITH_TIMEOUT(
            server_.streams("Created").mid(before).contains(expected),
            qPrintable(server_.streams("Created").mid(before).join(u',') + server_.log().right(2000)), 10000);
        QVERIFY(!server_.streams("Created").mid(before).contains(
            played ? QString::fromLatin1(CanberraSound::kDefaultSound) : path));
        // The desktop's volume for alert sounds must not silence the anthem:
        // it plays as music, and only the default sound as an alert.
        QTRY_COMPARE_WITH_TIMEOUT(server_.roleOf(expected), played ? QStringLiteral("music") : QStringLiteral("event"),
                                  5000);
        QVERIFY(run.forms.coupeVainqueur->close());
        QCOMPARE(run.quits, 1);
    }
    if (played)
        QTRY_VERIFY_WITH_TIMEOUT(server_.streams("Freeing").contains(path), 10000);
    const QByteArray reported = errors.release();
    QVERIFY2(reported.isEmpty(), reported.constData());
    if (kind == AnthemFile::Unreadable)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_MAIN(SoundFilesTest)
#include "tst_sound_files.moc"
