// Guards against hostile input breaking a run: odd names that crash, hang or
// get altered on their way to NOM, repeated clicks that count twice, and clicks
// that slip past the modal revision question into the quiz window.
#include "Invariants.h"
#include "TestSupport.h"

#include "quiz/France.h"
#include "shell/Bonjour.h"
#include "shell/Controls.h"
#include "shell/MessageBoxQuestion.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace varnelle;

namespace {

// The program's own revision question, which clicks DEPART through the
// window system while it is shown, then answers with one of its buttons. A
// click that modality fails to block runs DEPART again, which asks again.
class ClickingQuestion : public YesNoQuestion {
public:
    explicit ClickingQuestion(France*& france) : france_(france)
    {
        deadline_.setSingleShot(true);
        deadline_.setInterval(kDeadlineMs);
        QObject::connect(&deadline_, &QTimer::timeout, &deadline_, [this] {
            expired = true;
            answerEveryQuestionNo();
        });
    }

    int ask(QWidget* parent, const QString& prompt, const QString& title) override
    {
        ++asked;
        // Asked while a question is shown: a click got past it. Answered at
        // once, not shown: each question shown clicks DEPART behind it, so a
        // question that does not block would nest questions without end.
        if (showing_) {
            ++askedBehind;
            return kNo;
        }
        const QString answer = answers.isEmpty() ? QStringLiteral("Non") : answers.takeFirst();
        QTimer::singleShot(0, [this, answer] {
            QMessageBox* box = newQuestionShown();
            if (!box)
                return;
            shownTitles.append(box->windowTitle());
            clickDepartAsTheWindowSystem();
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == answer)
                    button->click();
            }
        });
        showing_ = true;
        deadline_.start();
        const int answered = real_.ask(parent, prompt, title);
        deadline_.stop();
        showing_ = false;
        return answered;
    }

    // A click where DEPART lies, delivered to the quiz window's native window
    // as the window system delivers the player's clicks.
    void clickDepartAsTheWindowSystem()
    {
        QWidget* depart = france_->controls().DEPART;
        const QPoint centre = depart->mapTo(france_, depart->rect().center());
        departUnderClick = depart->isVisible() && france_->childAt(centre) == depart;
        QTest::mouseClick(france_->windowHandle(), Qt::LeftButton, {}, centre);
    }

    // Looked for among all windows, not as the modal one: a question that
    // fails to be modal must still be answered, or the test would hang.
    QMessageBox* newQuestionShown()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (box && box->isVisible() && !handled_.contains(box)) {
                handled_.append(box);
                return box;
            }
        }
        return nullptr;
    }

    QStringList answers; // the buttons to press, from the front; then Non
    int asked = 0;
    int askedBehind = 0;  // askings from a click behind a question shown
    bool expired = false; // a question left unanswered until the deadline
    QStringList shownTitles;
    bool departUnderClick = false;

private:
    // Far longer than a question takes to show and be answered, far shorter
    // than the test's own time-out: a question the test cannot find or answer
    // fails the test instead of blocking it.
    static constexpr int kDeadlineMs = 20000;

    void answerEveryQuestionNo()
    {
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible() && box->button(QMessageBox::No))
                box->button(QMessageBox::No)->click();
        }
    }

    MessageBoxQuestion real_;
    France*& france_;
    QList<QPointer<QMessageBox>> handled_;
    bool showing_ = false;
    QTimer deadline_;
};

// A double click as the window system delivers it: a click, then a press
// that arrives as a double click, and its release.
void doubleClick(QWidget* control)
{
    QTest::mouseClick(control, Qt::LeftButton);
    QTest::mouseDClick(control, Qt::LeftButton);
}

} // namespace

class HostileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void namesReachNomUnchanged_data();
    void namesReachNomUnchanged();
    void repeatedClicksCountOnce();
    void clicksDuringTheQuestionAreBlocked();
};

void HostileTest::namesReachNomUnchanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pasted");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks") << QStringLiteral("   ") << false;
    QTest::newRow("100000 characters") << QString(100000, QLatin1Char('A')) << true;
    QTest::newRow("emoji") << QStringLiteral("L\u00e9a \U0001F600\U0001F1EB\U0001F1F7") << false;
    QTest::newRow("right to left") << QStringLiteral("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627")
                                   << false;
    QTest::newRow("combining accents") << QStringLiteral("Zoe\u0301 A\u0308\u0323") << false;
    QTest::newRow("control characters") << QStringLiteral("a\u0007b\u001bc\u0000d") << true;
    QTest::newRow("pasted line breaks") << QStringLiteral("Jean\r\nPierre\nPaul") << true;
}

void HostileTest::namesReachNomUnchanged()
{
    QFETCH(QString, name);
    QFETCH(bool, pasted);
    test::App app;
    Bonjour& bonjour = *app.forms.bonjour;
    bonjour.setVisible(true);
    if (pasted) {
        QGuiApplication::clipboard()->setText(name);
        QTest::keyClick(&bonjour.nj(), Qt::Key_V, Qt::ControlModifier);
    } else {
        test::typeText(&bonjour.nj(), name);
    }
    // Compared with what the player gave, not with what the field kept: a
    // field that cut or changed the name would otherwise pass.
    QCOMPARE(bonjour.nj().text().size(), name.size());
    QCOMPARE(bonjour.nj().text(), name);
    QTest::keyClick(&bonjour.nj(), Qt::Key_Return);

    QVERIFY(app.forms.france.loaded() && app.forms.france->isVisible());
    France& france = *app.forms.france;
    const QString expected = name.isEmpty() ? QStringLiteral("Utilisateur Anonyme") : name;
    QCOMPARE(france.NOM().Caption().size(), expected.size());
    QCOMPARE(france.NOM().Caption(), expected);
    france.DEPART_Click();
    QCOMPARE(france.session().NomJoueur, expected);
    QVERIFY(france.controls().Rubrique->Caption().startsWith(expected + QStringLiteral(", \r\n")));
    test::saveGrab(&france, QStringLiteral("hostile-%1").arg(QTest::currentDataTag()));
}

void HostileTest::repeatedClicksCountOnce()
{
    test::App app;
    app.forms.bonjour.setVisible(true);
    app.forms.bonjour->Entree_Click();
    France& france = *app.forms.france;
    const CarteControls& controls = france.controls();
    test::SessionInvariants invariants;

    doubleClick(controls.DEPART);
    QCOMPARE(invariants.check(france), QStringList());
    QCOMPARE(france.session().Etape, CountriesRun);

    // A double click on the box sought: the first click finds it and the
    // reward picture takes the second one.
    doubleClick(&controls.Check(1));
    QCOMPARE(invariants.check(france), QStringList());
    QCOMPARE(france.session().ItemEnCours, 2);
    QCOMPARE(france.session().NbErreurs, 0);

    // A triple click on a wrong box: every click the box takes is one wrong
    // click, judged twice, and none is lost or counted once.
    int judged = 0;
    QObject::connect(&controls.Check(5), &CheckBox::Click, &france, [&judged] { ++judged; });
    doubleClick(&controls.Check(5));
    QTest::mouseClick(&controls.Check(5), Qt::LeftButton);
    QCOMPARE(invariants.check(france), QStringList());
    QVERIFY(judged >= 4);
    QCOMPARE(france.session().NbErreurs, judged);
}

void HostileTest::clicksDuringTheQuestionAreBlocked()
{
    France* france = nullptr;
    ClickingQuestion question(france);
    test::RecordingSound sound;
    Platform platform{question, sound, [] {}};
    Windows forms(platform);
    forms.bonjour.setVisible(true);
    forms.bonjour->Entree_Click();
    france = &*forms.france;
    QVERIFY(QTest::qWaitForWindowExposed(france));
    test::SessionInvariants invariants;
    france->DEPART_Click();
    for (int theme = 0; theme < 4; ++theme) {
        for (int n = france->session().ItemEnCours; n <= 22 && !france->controls().DEPART->isVisible(); ++n)
            france->Check_Click(n);
        QCOMPARE(invariants.check(*france), QStringList());
        if (theme < 3)
            france->DEPART_Click();
    }
    QCOMPARE(france->session().Etape, AskRevision);

    // Yes: the click on DEPART behind the question must not ask it again.
    question.answers = {QStringLiteral("Oui")};
    france->DEPART_Click();
    QVERIFY2(!question.expired, "the revision question was not answered: the test did not find it shown");
    QVERIFY2(question.askedBehind == 0,
             "a click behind the revision question reached DEPART and asked again: the question does not block "
             "the quiz window");
    QCOMPARE(question.asked, 1);
    QCOMPARE(question.shownTitles, QStringList{QString::fromUtf8(kRevisionTitle)});
    QVERIFY2(question.departUnderClick, "the click behind the question did not aim at a shown DEPART");
    QCOMPARE(france->session().Reponse, YesNoQuestion::kYes);
    QCOMPARE(france->session().ItemEnCours, 23);
    QCOMPARE(invariants.check(*france), QStringList());

    // The same click with no question shown runs DEPART, which asks again;
    // this time No, and the click behind it is blocked once more.
    QVERIFY(france->controls().DEPART->isVisible());
    question.clickDepartAsTheWindowSystem();
    QVERIFY2(!question.expired, "the revision question was not answered: the test did not find it shown");
    QVERIFY2(question.askedBehind == 0,
             "a click behind the revision question reached DEPART and asked again: the question does not block "
             "the quiz window");
    QCOMPARE(question.asked, 2);
    QCOMPARE(france->session().Reponse, YesNoQuestion::kNo);
    QVERIFY(!france->controls().DEPART->isVisible());
    QCOMPARE(france->session().NbErreurs, 0);
    QCOMPARE(france->session().ItemEnCours, 23);
    QCOMPARE(invariants.check(*france), QStringList());
}

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
