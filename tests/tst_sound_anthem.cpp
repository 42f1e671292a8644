// Guards what the player hears: an anthem that does not start with the cup
// window, plays on after it closed, starts over once it ended, or leaves no
// default sound in place of a missing file. Runs a PulseAudio of its own, on
// a null sink whose monitor it records.
#include "Sound.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace varnelle;
using varnelle::test::kAnthem;
using varnelle::test::kBytesPerSecond;
using varnelle::test::kPcm16;
using varnelle::test::Recorder;
using varnelle::test::SoundRun;
using varnelle::test::tone;

namespace {

// Longer than any wait of the test: silence after the close can only come
// from the stop, not from the tone's own end.
constexpr int kToneSeconds = 20;

} // namespace

class SoundAnthemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { QVERIFY(directory_.enter()); }
    void cleanup() { directory_.leave(); }
    void anthemHeardWhileTheCupIsOpen();
    void anthemPlaysOnceAndItsEndStaysSilent();

private:
    test::AudioServer server_;
    test::AnthemDirectory directory_;
};

void SoundAnthemTest::initTestCase()
{
    test::setUpOnce();
    const QString why = server_.startForThisProcess();
    QVERIFY2(why.isEmpty(), qPrintable(why));
}

void SoundAnthemTest::anthemHeardWhileTheCupIsOpen()
{
    const auto tone440 = [](const Recorder::Level& level) { return level.rms > 0.1 && level.toneShare > 0.9; };
    const auto silent = [](const Recorder::Level& level) { return level.rms < 0.001; };
    const auto otherSound = [](const Recorder::Level& level) { return level.rms > 0.005 && level.toneShare < 0.5; };
    const QString path = QDir::current().absoluteFilePath(kAnthem);
    QVERIFY(tone(path, kPcm16, kToneSeconds));
    Recorder recorder(server_.server());
    QVERIFY(recorder.reach(kBytesPerSecond));
    QVERIFY(silent(recorder.level(recorder.size() - kBytesPerSecond / 2, 0.5)));

    {
        SoundRun run;
        run.forms.coupeVainqueur.setVisible(true);
        const qint64 heard = recorder.waitFor(recorder.size(), tone440, 5);
        QVERIFY2(heard >= 0, "the anthem is not heard while the cup window opens");
        QVERIFY(recorder.reach(heard + 5 * kBytesPerSecond / 4));
        QVERIFY2(tone440(recorder.level(heard, 1.0)), "the anthem does not go on playing");

        QVERIFY(run.forms.coupeVainqueur->close());
        const qint64 quiet = recorder.waitFor(recorder.size(), silent, 3);
        QVERIFY2(quiet >= 0, "the anthem plays on after the cup window closed");
        QVERIFY(recorder.reach(quiet + 5 * kBytesPerSecond / 4));
        QVERIFY2(silent(recorder.level(quiet, 1.0)), "sound after the cup window closed");
        QVERIFY(server_.streams("Freeing").contains(path));
    }

    QVERIFY(QFile::remove(path));
    {
        SoundRun run;
        run.forms.coupeVainqueur.setVisible(true);
        QVERIFY(run.forms.coupeVainqueur->isVisible());
        QVERIFY2(recorder.waitFor(recorder.size(), otherSound, 5) >= 0, "no default sound for a missing anthem");
        QVERIFY(run.forms.coupeVainqueur->close());
    }
}

void SoundAnthemTest::anthemPlaysOnceAndItsEndStaysSilent()
{
    const auto tone440 = [](const Recorder::Level& level) { return level.rms > 0.1 && level.toneShare > 0.9; };
    const auto silent = [](const Recorder::Level& level) { return level.rms < 0.001; };
    const QString path = QDir::current().absoluteFilePath(kAnthem);
    QVERIFY(tone(path, kPcm16, 1));
    Recorder recorder(server_.server());
    QVERIFY(recorder.reach(kBytesPerSecond));
    const qsizetype before = server_.streams("Created").size();

    SoundRun run;
    run.forms.coupeVainqueur.setVisible(true);
    const qint64 heard = recorder.waitFor(recorder.size(), tone440, 5);
    QVERIFY2(heard >= 0, "the anthem is not heard while the cup window opens");
    const qint64 ended = recorder.waitFor(heard, silent, 4);
    QVERIFY2(ended >= 0, "the one-second anthem does not end");
    // Played once: the window stays open and silent, the anthem does not start over.
    QVERIFY(recorder.reach(ended + 3 * kBytesPerSecond));
    QVERIFY2(silent(recorder.level(ended, 3.0)), "sound after the anthem ended: it plays again");
    QCOMPARE(server_.streams("Created").mid(before), QStringList{path});
    QVERIFY(run.forms.coupeVainqueur->isVisible());

    // Closing the window once the anthem has ended makes no sound.
    QVERIFY(run.forms.coupeVainqueur->close());
    const qint64 closed = recorder.size();
    QVERIFY(recorder.reach(closed + 2 * kBytesPerSecond));
    QVERIFY2(silent(recorder.level(closed, 2.0)), "closing the cup window after the anthem made a sound");
    QCOMPARE(server_.streams("Created").mid(before), QStringList{path});
}

QTEST_MAIN(SoundAnthemTest)
#include "tst_sound_anthem.moc"
