// Guards against any sequence of a child's clicks and keys driving the session
// into a wrong state: a count that drifts, a label that lies, a hidden or
// covered answer box judged by a mouse click, a crash or a dangling window.
#include "Invariants.h"
#include "TestSupport.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/France.h"
#include "shell/Bonjour.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <random>

using namespace varnelle;

namespace {

constexpr int kSequences = 80;
constexpr int kEventsPerSequence = 400;

// A click at a place of the window, delivered to whatever control lies on top
// there, as the mouse would: a covered or hidden box never receives it.
void clickPlace(QWidget* window, QPoint place)
{
    QWidget* target = window->childAt(place);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, place));
}

// Runs one sequence of random events from a seed, adding the events played.
void playSequence(unsigned seed, int& played, int& finished)
{
    std::mt19937 random(seed);
    auto below = [&random](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); };

    test::App app;
    Bonjour& bonjour = *app.forms.bonjour;
    bonjour.setVisible(true);
    test::typeText(&bonjour.nj(), QStringLiteral("Zo\u00e9 %1").arg(seed));
    bonjour.Entree_Click();
    France& france = *app.forms.france;
    const CarteControls& controls = france.controls();

    // Every judging of a box, the player's click and the nested one alike.
    QList<int> judged;
    for (int n = 1; n <= 54; ++n)
        QObject::connect(&controls.Check(n), &CheckBox::Click, &france, [&judged, n] { judged.append(n); });

    test::SessionInvariants invariants;
    int wrongClicks = 0;
    for (int events = 0; events < kEventsPerSequence && !app.forms.hasEnded(); ++events) {
        const std::int16_t sought = france.session().ItemEnCours;
        judged.clear();
        bool mouseOnBox = false;
        bool boxReachable = false;
        const int kind = below(100);
        if (kind < 55) {
            // Half the time the box sought, so that sequences travel the whole session.
            const int number = below(2) == 0 && sought >= 1 && sought <= 54 ? sought : 1 + below(54);
            CheckBox& box = controls.Check(number);
            mouseOnBox = true;
            QWidget* window = box.window();
            const QPoint centre = box.mapTo(window, box.rect().center());
            QWidget* under = window->childAt(centre);
            boxReachable = box.isVisible() && (under == &box || box.isAncestorOf(under));
            // The player's way when the box can be reached, the raw place otherwise.
            if (!boxReachable || !test::clickAsPlayer(&box))
                clickPlace(window, centre);
        } else if (kind < 63) {
            PictureBox* picture = controls.rewardOver(1 + below(11));
            if (picture->isVisible())
                QVERIFY(test::clickAsPlayer(picture));
        } else if (kind < 78) {
            app.question.answers = {below(3) == 0 ? YesNoQuestion::kYes : YesNoQuestion::kNo};
            if (controls.DEPART->isVisible())
                QVERIFY(test::clickAsPlayer(controls.DEPART));
        } else if (kind < 86) {
            if (QWidget* focused = france.focusWidget(); focused && focused->isVisible())
                QTest::keyClick(focused, Qt::Key_Space);
        } else if (kind < 94) {
            QTest::keyClick(france.focusWidget() ? france.focusWidget() : &france, Qt::Key_Tab);
        } else {
            const std::array<Form*, 3> auxiliary{app.forms.erreur.loaded(), app.forms.villesDeFrance.loaded(),
                                                 app.forms.coupeVainqueur.loaded()};
            if (Form* window = auxiliary.at(static_cast<std::size_t>(below(3))); window && window->Visible())
                window->close();
        }

        ++played;
        if (!judged.isEmpty() && judged.first() != sought)
            ++wrongClicks;
        if (mouseOnBox && !boxReachable)
            QVERIFY2(
                judged.isEmpty(),
                qPrintable(
                    QStringLiteral("seed %1: a hidden or covered box %2 was judged").arg(seed).arg(judged.value(0))));
        if (app.forms.hasEnded())
            break;
        const QStringList broken = invariants.check(france);
        QVERIFY2(
            broken.isEmpty(),
            qPrintable(
                QStringLiteral("seed %1, event %2: %3").arg(seed).arg(events).arg(broken.join(QStringLiteral("; ")))));
        QVERIFY2(france.session().NbErreurs == 2 * wrongClicks,
                 qPrintable(QStringLiteral("seed %1: NbErreurs %2 after %3 wrong clicks")
                                .arg(seed)
                                .arg(france.session().NbErreurs)
                                .arg(wrongClicks)));
    }
    if (app.forms.hasEnded() || app.forms.coupeVainqueur.loaded())
        ++finished;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class RandomPlayTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void randomSequencesKeepTheInvariants();
};

void RandomPlayTest::randomSequencesKeepTheInvariants()
{
    int events = 0;
    int finished = 0;
    for (unsigned seed = 1; seed <= kSequences; ++seed) {
        playSequence(seed, events, finished);
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("%d events played in %d sequences, %d of them to the end of the session", events, kSequences, finished);
    QVERIFY(finished > kSequences / 4);
}

QTEST_MAIN(RandomPlayTest)
#include "tst_random_play.moc"
