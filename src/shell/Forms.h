// Varnelle: the forms runtime, which gives the five windows classic form semantics on Qt.
//
// How it fits together, for a newcomer:
// - Forms owns one FormRef per window (Bonjour, France, Erreur, VillesDeFrance,
//   CoupeVainqueur) and the seams to the outside world (the Yes/No question,
//   the end of the application, the sound player). It is created once in main()
//   and handed to every window, which reaches the others through it.
// - A FormRef creates its window on first use: any operation on a window that
//   is not loaded loads it (builds it from its layout and runs its Form_Load).
//   Setting Visible shows the window modeless, or hides it; hiding never
//   unloads, so controls and variables keep their values.
// - A title-bar close unloads the window: its Form_Unload runs, the window is
//   destroyed, and the next use builds a fresh one in its initial state.
// - End() ends the application: every loaded window is unloaded, then the run
//   ends. The run also ends when the player closes a window and no window is
//   left on screen but the error window: a process never lives on with
//   nothing visible, while a city revision window left open keeps the run.
// - Handlers run one at a time on the one thread; the exceptions are a check
//   box whose Value is set in code, which raises its Click nested inside the
//   setter (see CheckBox), and the Yes/No question, which blocks until answered.
#pragma once

#include "shell/FormSpec.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace varnelle {

class Forms;

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

// The base of the five windows: fixed client size, title bar with the caption
// and a close control only, centred the first time it is shown after loading.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(Forms& forms, const FormSpec& design);

    bool Visible() const { return visible_; }
    void setVisible(bool visible) override;
    bool isUnloaded() const { return unloaded_; }
    // Unloads the window as the runtime does: Form_Unload, then destruction.
    void unload();

protected:
    virtual void Form_Unload() {}
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Forms& forms_;

private:
    // The window the desktop sees: this form, or the view that draws it
    // scaled down on a small screen.
    QWidget* topLevel();
    void showNatively(bool visible);
    void bringToFront();
    void minimisedBy(QEvent* event);

    WhenMinimised whenMinimised_;

    bool visible_ = false;
    bool hidePending_ = false;
    bool unloaded_ = false;
    bool shownSinceLoad_ = false;
};

// One window instance for the whole run, created at its first use.
template <class W> class FormRef {
public:
    explicit FormRef(std::function<W*()> load) : load_(std::move(load)) {}
    ~FormRef() { delete instance_.data(); }
    FormRef(const FormRef&) = delete;
    FormRef& operator=(const FormRef&) = delete;

    W& operator*() { return get(); }
    W* operator->() { return &get(); }

    void setVisible(bool visible) { get().setVisible(visible); }
    // The window if it is loaded, without loading it.
    W* loaded() const { return instance_ && !instance_->isUnloaded() ? instance_.data() : nullptr; }

private:
    W& get()
    {
        if (!loaded())
            instance_ = load_();
        return *instance_;
    }

    std::function<W*()> load_;
    QPointer<W> instance_;
};

class Bonjour;
class France;
class Erreur;
class VillesDeFrance;
class CoupeVainqueur;

class Forms {
public:
    explicit Forms(Platform& platform);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    Platform& platform() { return platform_; }

    // Ends the application: closes every window and ends the run.
    void End();
    bool hasEnded() const { return ended_; }

    // Called by a window the player closed, once it is unloaded.
    void formClosedByPlayer();

    FormRef<Bonjour> bonjour;
    FormRef<France> france;
    FormRef<Erreur> erreur;
    FormRef<VillesDeFrance> villesDeFrance;
    FormRef<CoupeVainqueur> coupeVainqueur;

private:
    QList<Form*> loadedForms() const;

    Platform& platform_;
    bool ended_ = false;
};

} // namespace varnelle
