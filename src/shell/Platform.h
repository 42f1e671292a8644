// Varnelle: the seams where the outside world enters, which main() fills and tests replace.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace varnelle {

// The modal Yes/No question: a prompt, a title, the buttons Yes and No (Yes the
// default), no icon; it can be answered only by one of its two buttons.
class YesNoQuestion {
public:
    static constexpr int kYes = 6;
    static constexpr int kNo = 7;

    virtual ~YesNoQuestion() = default;
    virtual int ask(QWidget* parent, const QString& prompt, const QString& title) = 0;
};

// Plays a sound file in the background, and stops it.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the WAV file of that bare name, looked for in the current working
    // directory, once, in the background; falls back to the desktop's default
    // sound when the file cannot be played. Reports nothing.
    virtual void playFile(const QString& bareName) = 0;
    // Stops whatever this player plays; does nothing when nothing plays.
    virtual void stop() = 0;
};

struct Platform {
    YesNoQuestion& question;
    SoundPlayer& sound;
    // Ends the run of the event loop, once every window has been unloaded.
    std::function<void()> quit;
};

} // namespace varnelle
