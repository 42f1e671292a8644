// Varnelle tests: a PulseAudio of the test's own on a null sink, a recorder of
// what that sink plays, and the anthem files the tests write for the cup window.
#pragma once

#include "TestSupport.h"

#include "auxwindows/CanberraSound.h"
#include "auxwindows/CoupeVainqueur.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace varnelle::test {

inline constexpr int kRecordRate = 8000; // mono 16-bit samples from the monitor
inline constexpr qint64 kBytesPerSecond = 2 * kRecordRate;

// The anthem's name, in the current directory where the cup window looks for it.
inline const QString kAnthem = QString::fromLatin1(CoupeVainqueur::kAnthem);
// The anthem's own format; sox would otherwise write 32-bit samples.
inline const QStringList kPcm16{QStringLiteral("-b"), QStringLiteral("16")};

// A PulseAudio daemon in a directory of its own, with a null sink kept busy by
// a silent stream so that its monitor delivers samples all the time. Its log
// says which streams the player created and freed, and under which names.
class AudioServer {
public:
    AudioServer() = default;
    ~AudioServer();
    AudioServer(const AudioServer&) = delete;
    AudioServer& operator=(const AudioServer&) = delete;

    // Starts the server and points this process's sound clients at it.
    // Returns why it could not, or nothing. A machine meant to run the tests
    // has PulseAudio: a server that cannot start is a failure of the set-up,
    // never a reason to skip.
    QString startForThisProcess();

    QString server() const;
    QString log() const;
    // The names of the streams created (or freed) since the server started.
    QStringList streams(const char* what) const;
    // The media role of the last stream created under that name, as the
    // server logs each new stream's properties on the lines after it.
    QString roleOf(const QString& name) const;

    static inline const QString kSink = QStringLiteral("varnelle");

private:
    QString start();

    QTemporaryDir directory_;
    QString socket_;
    QString log_;
    QProcess daemon_;
    QProcess silence_;
};

// Samples of the sink's monitor, from the start of the recording.
class Recorder {
public:
    explicit Recorder(const QString& server);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    qint64 size() const { return samples_.size(); }
    // Waits, the event loop running, until the recording reaches that length.
    bool reach(qint64 bytes);

    struct Level {
        double rms = 0;
        double toneShare = 0; // share of the energy at 440 Hz
    };
    // The level of the recording from `from` bytes on, for that many seconds.
    Level level(qint64 from, double seconds) const;

    // Waits for a quarter of a second, within `seconds` from `from` on, whose
    // level meets `wanted`; returns where it starts, or -1.
    qint64 waitFor(qint64 from, const std::function<bool(const Level&)>& wanted, int seconds);

private:
    QProcess parec_;
    QByteArray samples_;
};

// The window set of a run, with the real sound player.
struct SoundRun {
    ScriptedQuestion question;
    CanberraSound sound;
    int quits = 0;
    Platform platform{question, sound, [this] { ++quits; }};
    Windows forms{platform};
};

// A directory of its own made current for each test case, so that the
// anthem a case writes is the one the cup window finds; emptied after it.
class AnthemDirectory {
public:
    [[nodiscard]] bool enter();
    void leave();

private:
    QTemporaryDir work_;
    QString home_ = QDir::currentPath();
};

// A RIFF/WAVE header for 16-bit stereo PCM at 44.1 kHz with that many data bytes.
QByteArray pcmHeader(quint32 dataBytes);

// Writes a 440 Hz sine at half scale, stereo at 44.1 kHz, in that encoding.
[[nodiscard]] bool tone(const QString& path, const QStringList& encoding, int seconds);

[[nodiscard]] bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace varnelle::test
