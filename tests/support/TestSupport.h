// Varnelle tests: the seams replaced by recording doubles, and helpers that act as a player would.
#pragma once

#include "quiz/Session.h"
#include "shell/Windows.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QWidget;

namespace varnelle::test {

// Answers the Yes/No question from a script, and records every asking.
class ScriptedQuestion : public YesNoQuestion {
public:
    int ask(QWidget* parent, const QString& prompt, const QString& title) override;

    QList<int> answers; // taken from the front; an empty script answers No
    QStringList prompts;
    QStringList titles;
};

// Records what the program asked of the sound player.
class RecordingSound : public SoundPlayer {
public:
    void playFile(const QString& bareName) override { events.append(QStringLiteral("play ") + bareName); }
    void stop() override { events.append(QStringLiteral("stop")); }

    QStringList events;
};

// The five windows with recording seams, as main() sets them up.
struct App {
    App();

    ScriptedQuestion question;
    RecordingSound sound;
    int quits = 0;
    Platform platform;
    Windows forms;
};

// The five windows, for tables of cases that pick one: a switch over them
// cannot miss a window or misspell one, as a name compared in a test could.
enum class Window { Bonjour, France, Erreur, VillesDeFrance, CoupeVainqueur };
inline constexpr std::array kWindows{Window::Bonjour, Window::France, Window::Erreur, Window::VillesDeFrance,
                                     Window::CoupeVainqueur};

// The name the window is designed under, for row names and grabs.
const char* nameOf(Window window);

// That window of the run, loaded as its first use loads it.
Form& load(App& app, Window window);

// Registers fonts and pins the style, as the program does at start-up.
void setUpOnce();

// Clicks a control with the mouse as a player could: it must be visible and
// be the control found under its centre (not covered by another one).
// Returns false, after recording why, when no player could click there.
[[nodiscard]] bool clickAsPlayer(QWidget* control);

// Types text into a control key by key, accents and emoji included, as a keyboard would.
void typeText(QWidget* control, const QString& text);

// Saves a grab of a window to $VARNELLE_GRABS/<name>.png for a person to look at.
void saveGrab(QWidget* window, const QString& name);

} // namespace varnelle::test

// Phases and windows stand in tables of cases under their names.
Q_DECLARE_METATYPE(varnelle::Phase)
Q_DECLARE_METATYPE(varnelle::test::Window)
