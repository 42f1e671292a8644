// Guards the anthem against a sound file or a sound system that would crash,
// hang or make the program complain, and against an anthem that does not start
// with the cup window, plays on after it closed, or leaves no default sound in
// place of a file that cannot be played. Runs a PulseAudio of its own, on a
// null sink whose monitor it records.
#include "TestSupport.h"

#include "auxwindows/CanberraSound.h"
#include "auxwindows/CoupeVainqueur.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <optional>

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace varnelle;

namespace {

constexpr int kRecordRate = 8000; // mono 16-bit samples from the monitor
constexpr qint64 kBytesPerSecond = 2 * kRecordRate;
// Longer than any wait of the test: silence after the close can only come
// from the stop, not from the tone's own end.
constexpr int kToneSeconds = 20;

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A helper process ends with the test even when the test dies before its
// clean-up: no daemon is left behind by a crash.
void endWithTheTest(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void stopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// A PulseAudio daemon in a directory of its own, with a null sink kept busy by
// a silent stream so that its monitor delivers samples all the time. Its log
// says which streams the player created and freed, and under which names.
class AudioServer {
public:
    ~AudioServer()
    {
        stopProcess(silence_);
        stopProcess(daemon_);
    }

    QString start()
    {
        if (!directory_.isValid())
            return QStringLiteral("no temporary directory");
        const QString base = directory_.path();
        for (const char* sub : {"home", "run", "config", "state"})
            QDir(base).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(base + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        socket_ = base + QStringLiteral("/run/native");
        log_ = base + QStringLiteral("/pulseaudio.log");

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), base + QStringLiteral("/home"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), base + QStringLiteral("/run"));
        environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), base + QStringLiteral("/run"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/config"));
        environment.insert(QStringLiteral("PULSE_STATE_PATH"), base + QStringLiteral("/state"));
        for (const char* name : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER"})
            environment.remove(QString::fromLatin1(name));
        daemon_.setProcessEnvironment(environment);
        endWithTheTest(daemon_);
        daemon_.setStandardOutputFile(QProcess::nullDevice());
        daemon_.setStandardErrorFile(log_);
        // No start-up script (-n): only the modules named here. As root, a
        // per-user daemon needs --system=no said outright.
        daemon_.start(QStringLiteral("pulseaudio"),
                      {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=no"),
                       QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                       QStringLiteral("--log-target=stderr"), QStringLiteral("--log-level=info"),
                       QStringLiteral("--log-meta=no"), QStringLiteral("--log-time=no"), QStringLiteral("-L"),
                       QStringLiteral("module-null-sink sink_name=varnelle"), QStringLiteral("-L"),
                       QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket_});
        if (!daemon_.waitForStarted(10000))
            return QStringLiteral("pulseaudio does not start: ") + daemon_.errorString();
        QElapsedTimer waited;
        waited.start();
        while (!run(QStringLiteral("pactl"), {QStringLiteral("-s"), server(), QStringLiteral("info")})) {
            if (daemon_.state() == QProcess::NotRunning || waited.elapsed() > 20000)
                return QStringLiteral("pulseaudio does not answer: ") + log();
            QTest::qWait(100);
        }
        endWithTheTest(silence_);
        silence_.setStandardInputFile(QStringLiteral("/dev/zero"));
        silence_.start(QStringLiteral("pacat"),
                       {QStringLiteral("-s"), server(), QStringLiteral("--playback"), QStringLiteral("--raw"),
                        QStringLiteral("--latency-msec=20"), QStringLiteral("-d"), kSink});
        if (!silence_.waitForStarted(10000))
            return QStringLiteral("pacat does not start: ") + silence_.errorString();
        return {};
    }

    QString server() const { return QStringLiteral("unix:") + socket_; }
    QString log() const
    {
        QFile file(log_);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // The names of the streams created (or freed) since the server started.
    QStringList streams(const char* what) const
    {
        QStringList names;
        const QRegularExpression line(QString::fromLatin1(what) + QStringLiteral(" input \\d+ \"([^\"]*)\""));
        for (auto match = line.globalMatch(log()); match.hasNext();)
            names.append(match.next().captured(1));
        return names;
    }

    // The media role of the last stream created under that name, as the
    // server logs each new stream's properties on the lines after it.
    QString roleOf(const QString& name) const
    {
        QString last;
        const QRegularExpression stream(
            QStringLiteral("Created input \\d+ \"%1\"[^\\n]*\\n((?:[^\\n]*sink-input\\.c:     [^\\n]*\\n)*)")
                .arg(QRegularExpression::escape(name)));
        const QRegularExpression role(QStringLiteral("media\\.role = \"([^\"]*)\""));
        for (auto match = stream.globalMatch(log()); match.hasNext();) {
            const QRegularExpressionMatch found = role.match(match.next().captured(1));
            last = found.captured(1);
        }
        return last;
    }

    static inline const QString kSink = QStringLiteral("varnelle");

private:
    QTemporaryDir directory_;
    QString socket_;
    QString log_;
    QProcess daemon_;
    QProcess silence_;
};

// Samples of the sink's monitor, from the start of the recording.
class Recorder {
public:
    explicit Recorder(const QString& server)
    {
        QObject::connect(&parec_, &QProcess::readyReadStandardOutput, &parec_,
                         [this] { samples_ += parec_.readAll(); });
        endWithTheTest(parec_);
        parec_.start(QStringLiteral("parec"),
                     {QStringLiteral("-s"), server, QStringLiteral("-d"),
                      AudioServer::kSink + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                      QStringLiteral("--rate=%1").arg(kRecordRate), QStringLiteral("--latency-msec=20")});
    }
    ~Recorder() { stopProcess(parec_); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    qint64 size() const { return samples_.size(); }
    // Waits, the event loop running, until the recording reaches that length.
    bool reach(qint64 bytes)
    {
        QElapsedTimer waited;
        waited.start();
        while (samples_.size() < bytes && waited.elapsed() < 30000)
            QTest::qWait(20);
        return samples_.size() >= bytes;
    }

    struct Level {
        double rms = 0;
        double toneShare = 0; // share of the energy at 440 Hz
    };
    // The level of the recording from `from` bytes on, for that many seconds.
    Level level(qint64 from, double seconds) const
    {
        const qint64 count = static_cast<qint64>(seconds * kRecordRate);
        const auto* data = reinterpret_cast<const qint16*>(samples_.constData() + (from & ~qint64(1)));
        const double omega = 2 * M_PI * 440.0 / kRecordRate;
        double energy = 0, s1 = 0, s2 = 0;
        for (qint64 i = 0; i < count; ++i) {
            const double x = qFromLittleEndian(data[i]) / 32768.0;
            energy += x * x;
            const double s0 = x + 2 * std::cos(omega) * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double tone = s1 * s1 + s2 * s2 - 2 * std::cos(omega) * s1 * s2;
        Level level;
        level.rms = std::sqrt(energy / double(count));
        level.toneShare = energy > 0 ? 2 * tone / (double(count) * energy) : 0;
        return level;
    }

    // Waits for a quarter of a second, within `seconds` from `from` on, whose
    // level meets `wanted`; returns where it starts, or -1.
    qint64 waitFor(qint64 from, const std::function<bool(const Level&)>& wanted, int seconds)
    {
        constexpr qint64 kStretch = kBytesPerSecond / 4;
        for (qint64 at = from & ~qint64(1); at + kStretch <= from + seconds * kBytesPerSecond; at += kStretch / 2) {
            if (!reach(at + kStretch))
                return -1;
            if (wanted(level(at, 0.25)))
                return at;
        }
        return -1;
    }

private:
    QProcess parec_;
    QByteArray samples_;
};

// Sets or removes environment variables for a while.
class EnvironmentFor {
public:
    EnvironmentFor(std::initializer_list<std::pair<const char*, std::optional<QByteArray>>> values)
    {
        for (const auto& [name, value] : values) {
            saved_.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    ~EnvironmentFor()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    EnvironmentFor(const EnvironmentFor&) = delete;
    EnvironmentFor& operator=(const EnvironmentFor&) = delete;

private:
    QList<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

// Collects what the process writes to its standard error for a while: the
// player must report nothing, neither through Qt nor from the sound libraries.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        file_.open();
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { release(); }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    QByteArray release()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
            saved_ = -1;
        }
        file_.seek(0);
        return file_.readAll();
    }

private:
    QTemporaryFile file_;
    int saved_ = -1;
};

// Root reads every file whatever its mode; without these two capabilities
// this thread is refused an unreadable file as any player would be.
class WithoutReadOverride {
public:
    WithoutReadOverride()
    {
        if (::geteuid() != 0)
            return;
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        dropped_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutReadOverride()
    {
        if (dropped_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

// The window set of a run, with the real sound player.
struct Run {
    test::ScriptedQuestion question;
    CanberraSound sound;
    int quits = 0;
    Platform platform{question, sound, [this] { ++quits; }};
    Windows forms{platform};
};

// A RIFF/WAVE header for 16-bit stereo PCM at 44.1 kHz with that many data bytes.
QByteArray pcmHeader(quint32 dataBytes)
{
    QByteArray header;
    auto put32 = [&header](quint32 value) { header.append(reinterpret_cast<const char*>(&value), 4); };
    auto put16 = [&header](quint16 value) { header.append(reinterpret_cast<const char*>(&value), 2); };
    header.append("RIFF");
    put32(36 + dataBytes);
    header.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(44100);
    put32(44100 * 4);
    put16(4);
    put16(16);
    header.append("data");
    put32(dataBytes);
    return header;
}

// The anthem's own format; sox would otherwise write 32-bit samples.
const QStringList kPcm16{QStringLiteral("-b"), QStringLiteral("16")};

bool tone(const QString& path, const QStringList& encoding, int seconds)
{
    return run(QStringLiteral("sox"),
               QStringList{QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                           QStringLiteral("2")} +
                   encoding +
                   QStringList{path, QStringLiteral("synth"), QString::number(seconds), QStringLiteral("sine"),
                               QStringLiteral("440"), QStringLiteral("vol"), QStringLiteral("0.5")});
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString kAnthem = QString::fromLatin1(CoupeVainqueur::kAnthem);

} // namespace

class SoundTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void fileThatCannotBePlayed_data();
    void fileThatCannotBePlayed();
    void noSoundServer_data();
    void noSoundServer();
    void anthemHeardWhileTheCupIsOpen();
    void anthemPlaysOnceAndItsEndStaysSilent();

private:
    AudioServer server_;
    QTemporaryDir work_;
    QString home_ = QDir::currentPath();
};

void SoundTest::initTestCase()
{
    test::setUpOnce();
    // A machine meant to run the tests has PulseAudio: if it cannot start,
    // that is a failure of the set-up, never a reason to skip.
    const QString why = server_.start();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    qputenv("PULSE_SERVER", server_.server().toLocal8Bit());
}

void SoundTest::init()
{
    QVERIFY(work_.isValid());
    QVERIFY(QDir::setCurrent(work_.path()));
}

void SoundTest::cleanup()
{
    QDir::setCurrent(home_);
    QDir(work_.path()).removeRecursively();
    QDir().mkpath(work_.path());
}

void SoundTest::fileThatCannotBePlayed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("played"); // the file itself, else the default sound
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("empty") << "empty" << false;
    QTest::newRow("header cut short") << "truncated" << false;
    QTest::newRow("random bytes") << "random" << false;
    QTest::newRow("a directory of that name") << "directory" << false;
    QTest::newRow("a FIFO, which blocks whoever opens it") << "fifo" << false;
    QTest::newRow("a link to an endless device") << "device" << false;
    QTest::newRow("unreadable") << "unreadable" << false;
    QTest::newRow("24-bit samples") << "24-bit" << false;
    QTest::newRow("floating-point samples") << "float" << false;
    QTest::newRow("IMA ADPCM") << "adpcm" << false;
    QTest::newRow("data longer than the format allows") << "oversized" << false;
    QTest::newRow("very large, 1 GiB of samples") << "large" << false;
    QTest::newRow("16-bit PCM, as the anthem") << "good" << true;
}

void SoundTest::fileThatCannotBePlayed()
{
    QFETCH(QString, kind);
    QFETCH(bool, played);
    const QString path = QDir::current().absoluteFilePath(kAnthem);
    if (kind == QLatin1String("empty")) {
        QVERIFY(writeFile(path, {}));
    } else if (kind == QLatin1String("truncated")) {
        QVERIFY(writeFile(path, pcmHeader(44100 * 4).left(20)));
    } else if (kind == QLatin1String("random")) {
        QRandomGenerator random(6);
        QByteArray bytes(64 * 1024, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QVERIFY(writeFile(path, bytes));
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (kind == QLatin1String("device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == QLatin1String("unreadable")) {
        QVERIFY(tone(path, kPcm16, 1));
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (kind == QLatin1String("24-bit")) {
        QVERIFY(tone(path, {QStringLiteral("-b"), QStringLiteral("24")}, 1));
    } else if (kind == QLatin1String("float")) {
        QVERIFY(tone(
            path, {QStringLiteral("-e"), QStringLiteral("floating-point"), QStringLiteral("-b"), QStringLiteral("32")},
            1));
    } else if (kind == QLatin1String("adpcm")) {
        QVERIFY(tone(path, {QStringLiteral("-e"), QStringLiteral("ima-adpcm")}, 1));
    } else if (kind == QLatin1String("oversized")) {
        QVERIFY(writeFile(path, pcmHeader(0xFFFFFF00U) + QByteArray(4096, '\0')));
    } else if (kind == QLatin1String("large")) {
        // Sparse: 1 GiB of silent samples that take no room on the disk, more
        // than libcanberra reads (64 MiB).
        QVERIFY(writeFile(path, pcmHeader(0x40000000U)));
        QVERIFY(QFile::resize(path, 44 + 0x40000000LL));
    } else if (kind == QLatin1String("good")) {
        QVERIFY(tone(path, kPcm16, 1));
    }
    const QString expected = played ? path : QString::fromLatin1(CanberraSound::kDefaultSound);
    const qsizetype before = server_.streams("Created").size();

    StandardErrorCapture errors;
    QElapsedTimer shown;
    {
        WithoutReadOverride asAPlayer;
        Run run;
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
    if (kind == QLatin1String("unreadable"))
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

void SoundTest::noSoundServer_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("socket that does not exist") << "socket";
    QTest::newRow("address that refuses the connection") << "refused";
    QTest::newRow("no server configured nor running") << "none";
}

void SoundTest::noSoundServer()
{
    QFETCH(QString, where);
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const QString clientConfig = empty.filePath(QStringLiteral("client.conf"));
    // The library would otherwise start a daemon of its own for a user.
    QVERIFY(writeFile(clientConfig, "autospawn = no\n"));
    QVERIFY(tone(kAnthem, kPcm16, 1));
    std::optional<QByteArray> server;
    if (where == QLatin1String("socket"))
        server = "unix:" + QFile::encodeName(empty.filePath(QStringLiteral("native")));
    else if (where == QLatin1String("refused"))
        server = "tcp:127.0.0.1:1";
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
        Run run;
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

void SoundTest::anthemHeardWhileTheCupIsOpen()
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
        Run run;
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
        Run run;
        run.forms.coupeVainqueur.setVisible(true);
        QVERIFY(run.forms.coupeVainqueur->isVisible());
        QVERIFY2(recorder.waitFor(recorder.size(), otherSound, 5) >= 0, "no default sound for a missing anthem");
        QVERIFY(run.forms.coupeVainqueur->close());
    }
}

void SoundTest::anthemPlaysOnceAndItsEndStaysSilent()
{
    const auto tone440 = [](const Recorder::Level& level) { return level.rms > 0.1 && level.toneShare > 0.9; };
    const auto silent = [](const Recorder::Level& level) { return level.rms < 0.001; };
    const QString path = QDir::current().absoluteFilePath(kAnthem);
    QVERIFY(tone(path, kPcm16, 1));
    Recorder recorder(server_.server());
    QVERIFY(recorder.reach(kBytesPerSecond));
    const qsizetype before = server_.streams("Created").size();

    Run run;
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

QTEST_MAIN(SoundTest)
#include "tst_sound.moc"
