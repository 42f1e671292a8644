// Guards the forms runtime that every handler relies on: single window
// instances, hiding versus unloading, the nested Click of a check box set in
// code, the Yes/No question that only its buttons answer, and the end of the run.
#include "TestSupport.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/France.h"
#include "shell/Bonjour.h"
#include "shell/Controls.h"
#include "shell/MessageBoxQuestion.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace varnelle;
using varnelle::test::App;

namespace {

// A check box of an answer box's size, on screen where a player can click it.
struct BoxOnScreen {
    BoxOnScreen()
    {
        parent.resize(100, 100);
        box.setGeometry(10, 10, 13, 13);
        parent.show();
    }

    QWidget parent;
    CheckBox box{&parent, kButtonFace, kButtonText, QStringLiteral("Check1")};
};

// How a run comes to its end.
enum class Ending { CloseBonjour, CloseFranceWithErreur, CloseFranceWithVillesDeFrance, CloseCoupeVainqueur, End };

// How the player answers the question once its dismissals were refused.
enum class Answer { OuiClicked, NonClicked, EnterKey };

} // namespace

Q_DECLARE_METATYPE(Ending)
Q_DECLARE_METATYPE(Answer)

class FormsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void firstUseCreatesOnce();
    void hidingKeepsStateClosingReloadsFresh();
    void codeSetValueRaisesClickNestedOncePerChange();
    void handlerThatGraysItsBoxRunsTwicePerUserClick();
    void playerNeverClicksIntoGrayed_data();
    void playerNeverClicksIntoGrayed();
    void questionAnswersOnlyByItsButtons_data();
    void questionAnswersOnlyByItsButtons();
    void endOfRun_data();
    void endOfRun();
};

void FormsTest::firstUseCreatesOnce()
{
    App app;
    QVERIFY(!app.forms.erreur.loaded());
    app.forms.erreur.setVisible(false);
    Erreur* first = app.forms.erreur.loaded();
    QVERIFY(first);
    QVERIFY(!first->isVisible());
    app.forms.erreur.setVisible(true);
    app.forms.erreur.setVisible(false);
    QCOMPARE(app.forms.erreur.loaded(), first);
    QVERIFY(!app.forms.france.loaded());
    QVERIFY(!app.forms.coupeVainqueur.loaded());
    QVERIFY(app.sound.events.isEmpty());
}

void FormsTest::hidingKeepsStateClosingReloadsFresh()
{
    App app;
    app.forms.france.setVisible(true);
    France* first = app.forms.france.loaded();
    first->NOM().setCaption(QStringLiteral("Zo\u00e9"));
    app.forms.france.setVisible(false);
    app.forms.france.setVisible(true);
    QCOMPARE(app.forms.france.loaded(), first);
    QCOMPARE(app.forms.france->NOM().Caption(), QStringLiteral("Zo\u00e9"));

    // Keep the run alive while the quiz window is closed from its title bar.
    app.forms.villesDeFrance.setVisible(true);
    QVERIFY(first->close());
    QVERIFY(!app.forms.france.loaded());
    QCOMPARE(app.quits, 0);
    app.forms.france.setVisible(true);
    QVERIFY(app.forms.france.loaded() != first);
    QCOMPARE(app.forms.france->NOM().Caption(), QString());
}

void FormsTest::codeSetValueRaisesClickNestedOncePerChange()
{
    QWidget parent;
    CheckBox box(&parent, kButtonFace, kButtonText, QStringLiteral("Check1"));
    int clicks = 0;
    bool insideSetter = false;
    bool allNested = true;
    QObject::connect(&box, &CheckBox::Click, [&] {
        ++clicks;
        allNested = allNested && insideSetter;
    });
    const struct {
        int value;
        int clicksAfter;
    } steps[] = {{2, 1}, {2, 1}, {0, 2}, {0, 2}, {1, 3}, {2, 4}};
    for (const auto& step : steps) {
        insideSetter = true;
        box.setValue(step.value);
        insideSetter = false;
        QCOMPARE(box.Value(), step.value);
        QCOMPARE(clicks, step.clicksAfter);
    }
    QVERIFY(allNested);
}

void FormsTest::handlerThatGraysItsBoxRunsTwicePerUserClick()
{
    BoxOnScreen shown;
    CheckBox& box = shown.box;
    int runs = 0;
    QObject::connect(&box, &CheckBox::Click, [&] {
        ++runs;
        box.setValue(2);
    });
    QVERIFY(test::clickAsPlayer(&box));
    QCOMPARE(runs, 2);
    QCOMPARE(box.Value(), 2);
    // Clicked again while grayed: out of grayed, then grayed again in code.
    QVERIFY(test::clickAsPlayer(&box));
    QCOMPARE(runs, 4);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    QCOMPARE(runs, 6);
    QCOMPARE(box.Value(), 2);
}

void FormsTest::playerNeverClicksIntoGrayed_data()
{
    QTest::addColumn<bool>("bySpaceBar");
    QTest::newRow("mouse") << false;
    QTest::newRow("space bar") << true;
}

void FormsTest::playerNeverClicksIntoGrayed()
{
    QFETCH(bool, bySpaceBar);
    BoxOnScreen shown;
    CheckBox& box = shown.box;
    int clicks = 0;
    QObject::connect(&box, &CheckBox::Click, [&] { ++clicks; });
    const int expected[] = {1, 0, 1, 0};
    for (int value : expected) {
        if (bySpaceBar) {
            box.setFocus();
            QTest::keyClick(&box, Qt::Key_Space);
        } else {
            QVERIFY(test::clickAsPlayer(&box));
        }
        QCOMPARE(box.Value(), value);
        QCOMPARE(box.checkState(), value ? Qt::Checked : Qt::Unchecked);
    }
    QCOMPARE(clicks, 4);
    box.setValue(2);
    QVERIFY(test::clickAsPlayer(&box));
    QCOMPARE(box.Value(), 1);
}

void FormsTest::questionAnswersOnlyByItsButtons_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("expected");
    QTest::newRow("Oui clicked") << Answer::OuiClicked << YesNoQuestion::kYes;
    QTest::newRow("Non clicked") << Answer::NonClicked << YesNoQuestion::kNo;
    QTest::newRow("Enter takes the default, Oui") << Answer::EnterKey << YesNoQuestion::kYes;
}

void FormsTest::questionAnswersOnlyByItsButtons()
{
    QFETCH(Answer, answer);
    QFETCH(int, expected);
    // The button is clicked by its caption: a caption on the wrong button
    // gives the other answer.
    const QString caption = answer == Answer::NonClicked ? QStringLiteral("Non") : QStringLiteral("Oui");
    bool captionFound = false;
    bool survivedDismissals = false;
    QString title;
    QString text;
    QStringList buttons;
    bool hasIcon = true;
    QStringList families;
    bool titleShows = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        hasIcon = box->icon() != QMessageBox::NoIcon;
        for (const QWidget* part : box->findChildren<QWidget*>())
            families.append(part->fontInfo().family());
        test::saveGrab(box,
                       QStringLiteral("Question-") + (answer == Answer::EnterKey ? QStringLiteral("Enter") : caption));
        QFont titleFont = QApplication::font();
        titleFont.setPointSizeF(std::max(titleFont.pointSizeF(), 12.0));
        titleFont.setBold(true);
        titleShows = box->width() > QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + 64;
        for (QAbstractButton* button : box->buttons())
            buttons.append(button->text());
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::keyClick(box, Qt::Key_N);
        box->close();
        QApplication::processEvents();
        survivedDismissals = box->isVisible();
        if (answer == Answer::EnterKey) {
            captionFound = true;
            QTest::keyClick(box, Qt::Key_Return);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == caption) {
                captionFound = true;
                button->click();
                return;
            }
        }
        // No button bears that caption: answered anyway, so that the test
        // fails below instead of waiting on a question nobody answers.
        box->button(QMessageBox::No)->click();
    });
    MessageBoxQuestion question;
    const int result = question.ask(nullptr, QStringLiteral("Premi\u00e8re ligne\r\n seconde ligne"),
                                    QStringLiteral("R\u00e9viser ou Continuer imm\u00e9diatement"));
    QVERIFY(survivedDismissals);
    QVERIFY2(captionFound, qPrintable(QStringLiteral("no button of the question reads %1").arg(caption)));
    QCOMPARE(result, expected);
    QCOMPARE(title, QStringLiteral("R\u00e9viser ou Continuer imm\u00e9diatement"));
    QCOMPARE(text, QStringLiteral("Premi\u00e8re ligne\r\n seconde ligne"));
    QVERIFY(!hasIcon);
    // Text and buttons in the bundled face, whatever the desktop's font.
    families.removeDuplicates();
    QCOMPARE(families, QStringList{fontFor(FontSpec{}).family()});
    // Wide enough for its title in a bold title-bar font of at least 12
    // points, beside an icon and three title-bar buttons.
    QVERIFY(titleShows);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("Non"), QStringLiteral("Oui")}));
}

void FormsTest::endOfRun_data()
{
    QTest::addColumn<Ending>("path");
    QTest::addColumn<int>("quits");
    QTest::newRow("welcome window closed before a name") << Ending::CloseBonjour << 1;
    QTest::newRow("quiz window closed, error window shown") << Ending::CloseFranceWithErreur << 1;
    QTest::newRow("quiz window closed, revision map open") << Ending::CloseFranceWithVillesDeFrance << 0;
    QTest::newRow("cup window closed") << Ending::CloseCoupeVainqueur << 1;
    QTest::newRow("application ended") << Ending::End << 1;
}

void FormsTest::endOfRun()
{
    QFETCH(Ending, path);
    QFETCH(int, quits);
    App app;
    app.forms.bonjour.setVisible(true);
    if (path == Ending::CloseBonjour) {
        app.forms.bonjour->close();
    } else {
        app.forms.bonjour.setVisible(false);
        app.forms.france.setVisible(true);
        switch (path) {
        case Ending::CloseFranceWithErreur:
            app.forms.erreur.setVisible(true);
            app.forms.france->close();
            break;
        case Ending::CloseFranceWithVillesDeFrance:
            app.forms.villesDeFrance.setVisible(true);
            app.forms.france->close();
            break;
        case Ending::CloseCoupeVainqueur:
            app.forms.france.setVisible(false);
            app.forms.coupeVainqueur.setVisible(true);
            app.forms.coupeVainqueur->close();
            QCOMPARE(app.sound.events, (QStringList{QStringLiteral("play Marseillaise.wav"), QStringLiteral("stop")}));
            break;
        case Ending::CloseBonjour:
        case Ending::End:
            app.forms.erreur.setVisible(true);
            app.forms.coupeVainqueur.setVisible(true);
            app.forms.End();
            QCOMPARE(app.sound.events.last(), QStringLiteral("stop"));
            break;
        }
    }
    QCOMPARE(app.quits, quits);
    QCOMPARE(app.forms.hasEnded(), quits == 1);
    if (quits == 1) {
        QVERIFY(!app.forms.bonjour.loaded());
        QVERIFY(!app.forms.france.loaded());
        QVERIFY(!app.forms.erreur.loaded());
        QVERIFY(!app.forms.villesDeFrance.loaded());
        QVERIFY(!app.forms.coupeVainqueur.loaded());
    }
}

QTEST_MAIN(FormsTest)
#include "tst_forms.moc"
