#include "Sound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

#include <cmath>

#include <csignal>
#include <sys/prctl.h>

namespace varnelle::test {

namespace {

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

} // namespace

AudioServer::~AudioServer()
{
    stopProcess(silence_);
    stopProcess(daemon_);
}

QString AudioServer::startForThisProcess()
{
    QString why = start();
    if (why.isEmpty())
        qputenv("PULSE_SERVER", server().toLocal8Bit());
    return why;
}

QString AudioServer::start()
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

QString AudioServer::server() const
{
    return QStringLiteral("unix:") + socket_;
}

QString AudioServer::log() const
{
    QFile file(log_);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList AudioServer::streams(const char* what) const
{
    QStringList names;
    const QRegularExpression line(QString::fromLatin1(what) + QStringLiteral(" input \\d+ \"([^\"]*)\""));
    for (auto match = line.globalMatch(log()); match.hasNext();)
        names.append(match.next().captured(1));
    return names;
}

QString AudioServer::roleOf(const QString& name) const
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

Recorder::Recorder(const QString& server)
{
    QObject::connect(&parec_, &QProcess::readyReadStandardOutput, &parec_, [this] { samples_ += parec_.readAll(); });
    endWithTheTest(parec_);
    parec_.start(QStringLiteral("parec"),
                 {QStringLiteral("-s"), server, QStringLiteral("-d"), AudioServer::kSink + QStringLiteral(".monitor"),
                  QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                  QStringLiteral("--rate=%1").arg(kRecordRate), QStringLiteral("--latency-msec=20")});
}

Recorder::~Recorder()
{
    stopProcess(parec_);
}

bool Recorder::reach(qint64 bytes)
{
    QElapsedTimer waited;
    waited.start();
    while (samples_.size() < bytes && waited.elapsed() < 30000)
        QTest::qWait(20);
    return samples_.size() >= bytes;
}

Recorder::Level Recorder::level(qint64 from, double seconds) const
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

qint64 Recorder::waitFor(qint64 from, const std::function<bool(const Level&)>& wanted, int seconds)
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

bool AnthemDirectory::enter()
{
    return work_.isValid() && QDir::setCurrent(work_.path());
}

void AnthemDirectory::leave()
{
    QDir::setCurrent(home_);
    QDir(work_.path()).removeRecursively();
    QDir().mkpath(work_.path());
}

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

} // namespace varnelle::test
