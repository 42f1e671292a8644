// Varnelle tests: plays the quiz as a child would, through visible controls
// only, and checks the session invariants after every event.
#pragma once

#include "Invariants.h"
#include "TestSupport.h"

#include "quiz/France.h"
#include "shell/Bonjour.h"
#include "shell/Controls.h"

#include <QTest>

namespace varnelle::test {

class QuizPlayer {
public:
    App app;
    // Each invariant broken after an event, prefixed with that event.
    QStringList broken;

    // Types the name on the welcome window and validates it with Enter.
    void enterName(const QString& name)
    {
        app.forms.bonjour.setVisible(true);
        typeText(&app.forms.bonjour->nj(), name);
        QTest::keyClick(&app.forms.bonjour->nj(), Qt::Key_Return);
        after(QStringLiteral("name validated"));
    }

    France& france() { return *app.forms.france.loaded(); }
    const Session& session() { return france().session(); }
    const CarteControls& controls() { return france().controls(); }
    CheckBox& box(int number) { return controls().Check(number); }
    bool departShown() { return !controls().DEPART->isHidden(); }

    [[nodiscard]] bool clickDepart() { return click(controls().DEPART, QStringLiteral("DEPART")); }
    [[nodiscard]] bool clickBox(int number) { return click(&box(number), QStringLiteral("Check%1").arg(number)); }

    // Toggles a box from the keyboard, the way that still reaches a box
    // lying under its reward picture.
    void pressSpaceOn(int number)
    {
        box(number).setFocus(Qt::TabFocusReason);
        QTest::keyClick(&box(number), Qt::Key_Space);
        after(QStringLiteral("space on Check%1").arg(number));
    }

    // Answers right, and opens the themes as they come (No to the revision
    // question unless scripted otherwise), until target `number` is sought
    // in its running theme; 55 plays until every target is found.
    [[nodiscard]] bool playTo(int number)
    {
        return playWhile([&] { return session().ItemEnCours != number || (number < 55 && departShown()); });
    }

    // Answers right and clicks DEPART until DEPART waits in phase `etape`.
    [[nodiscard]] bool reachPhase(Phase etape)
    {
        return playWhile([&] { return session().Etape != etape || !departShown(); });
    }

    // Answers right until the running theme is done and DEPART shows.
    [[nodiscard]] bool finishTheme()
    {
        return playWhile([&] { return !departShown(); });
    }

private:
    bool click(QWidget* control, const QString& what)
    {
        if (!clickAsPlayer(control))
            return false;
        after(QStringLiteral("click on ") + what);
        return true;
    }

    void after(const QString& event)
    {
        for (const QString& fault : invariants_.check(app.forms))
            broken.append(event + QStringLiteral(": ") + fault);
    }

    template <class Condition> bool playWhile(Condition goOn)
    {
        // A whole session takes 54 right clicks and 8 clicks on DEPART.
        for (int step = 0; step < 100; ++step) {
            if (!goOn())
                return true;
            // The click in phase 7 ends the session: only a test decides on it.
            if (session().Etape == CloseSession)
                return false;
            if (!(departShown() ? clickDepart() : clickBox(session().ItemEnCours)))
                return false;
        }
        return false;
    }

    SessionInvariants invariants_;
};

} // namespace varnelle::test
