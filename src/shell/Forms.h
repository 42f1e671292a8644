// Varnelle: the forms runtime, which gives windows classic form semantics on Qt.
//
// How it fits together, for a newcomer:
// - The runtime knows no window of the application. A window is a Form built
//   from its layout's FormSpec; the application reaches each of its windows
//   through a FormRef, and gathers them in an object derived from Forms (see
//   shell/Windows.h), created once in main() and handed to every window.
// - A FormRef creates its window on first use: any operation on a window that
//   is not loaded loads it (builds it from its layout and runs its Form_Load).
//   Setting Visible shows the window modeless, or hides it; hiding never
//   unloads, so controls and variables keep their values. A window that its
//   layout says is never shown again also gives back its native window and
//   backing store once hidden.
// - A title-bar close unloads the window: its Form_Unload runs, the window is
//   destroyed, and the next use builds a fresh one in its initial state.
// - Forms holds every loaded form. End() ends the application: every loaded
//   window is unloaded, then the run ends. The run also ends when the player
//   closes a window and no window that keeps the run alive (FormSpec) is left
//   on screen: a process never lives on with nothing visible.
// - Handlers run one at a time on the one thread; the exceptions are a check
//   box whose Value is set in code, which raises its Click nested inside the
//   setter (see CheckBox), and the Yes/No question, which blocks until answered.
#pragma once

#include "shell/FormSpec.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace varnelle {

class Forms;

// The base of every window: fixed client size, title bar with the caption
// and a close control only, centred the first time it is shown after loading.
// A desktop may still force the window to another size (full screen,
// maximised): the design then stays whole in the middle of it.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(Forms& forms, const FormSpec& design);
    ~Form() override;

    bool Visible() const { return visible_; }
    void setVisible(bool visible) override;
    bool isUnloaded() const { return unloaded_; }
    bool keepsRunAlive() const { return keepsRunAlive_; }
    // Unloads the window as the runtime does: Form_Unload, then destruction.
    void unload();

protected:
    virtual void Form_Unload() {}
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window the desktop sees: this form, or the view that draws it
    // scaled down on a small screen.
    QWidget* topLevel();
    void showNatively(bool visible);
    void mapNatively(bool visible);
    // Gives back the native window of a window hidden that is never shown
    // again.
    void releaseIfHiddenForGood();
    void bringToFront();
    void minimisedBy(QEvent* event);
    void resizedBy(QEvent* event);
    void hideOnceLeft();
    void centreDesign();
    void centreOnceFramed(QWidget* shown);

    WhenMinimised whenMinimised_;
    QSize designSize_;
    // Where the design's corner stands in a window larger than the design.
    QPoint designCorner_;
    // Where the window was placed when first shown after loading, and where
    // its client area stood when it was last hidden.
    QRect placedAt_;
    QRect shownAt_;

    Forms& owner_;
    bool keepsRunAlive_ = true;
    bool shownAgain_ = true;
    bool visible_ = false;
    bool hidePending_ = false;
    bool leavingForcedSize_ = false;
    bool unloaded_ = false;
    bool shownSinceLoad_ = false;
    bool centreWhenFramed_ = false;
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

// The loaded forms of the run, in the order they were loaded, and its end.
class Forms {
public:
    // `quit` ends the run of the event loop, once every form has been unloaded.
    explicit Forms(std::function<void()> quit);
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    // Ends the application: closes every window and ends the run.
    void End();
    bool hasEnded() const { return ended_; }

    // Called by a window the player closed, once it is unloaded.
    void formClosedByPlayer();

protected:
    ~Forms() = default;

private:
    friend class Form;

    QList<Form*> loaded_;
    std::function<void()> quit_;
    bool ended_ = false;
};

} // namespace varnelle
