// Guards the judging of answer box clicks: a click judged against the wrong
// target, a wrong click counted once instead of twice, Note, Erreurs,
// Objectif or the error window out of step, a theme that does not hand over
// to DEPART, and an error tally that wraps at the top of its range.
#include "QuizPlayer.h"

#include "auxwindows/Erreur.h"

#include <QRegularExpression>

namespace varnelle {

// Reaches the session state of the quiz window, to start from a tally that
// no child would reach by hand.
class FranceTestAccess {
public:
    static Session& session(France& france) { return france.session_; }
};

} // namespace varnelle

using namespace varnelle;
using varnelle::test::QuizPlayer;

namespace {

const QString kPassOn = QStringLiteral(" Clique ici pour passer \u00e0 la suite");
const QString kFinish = QStringLiteral(" Clique ici pour terminer cette session");

bool erreurShown(QuizPlayer& player)
{
    return player.app.forms.erreur.loaded() && player.app.forms.erreur.loaded()->Visible();
}

} // namespace

class AnswersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void clicks_data();
    void clicks();
    void lastTargetOfTheme_data();
    void lastTargetOfTheme();
    void noteCountsEveryTarget();
    void coveredBoxFromKeyboard_data();
    void coveredBoxFromKeyboard();
    void tallyHeldAtItsBound_data();
    void tallyHeldAtItsBound();
};

void AnswersTest::clicks_data()
{
    QTest::addColumn<int>("sought");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("tally");
    QTest::addColumn<QString>("erreurs");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("objectif");
    QTest::addColumn<bool>("erreurWindow");
    QTest::addColumn<int>("lastValue");
    QTest::addColumn<bool>("lastShown");

    const QString none = QStringLiteral("Aucune erreur...");
    const QString one = QStringLiteral("Une erreur");
    QTest::newRow("first click right") << 1 << QList<int>{1} << 2 << 0 << none << QStringLiteral(" 1")
                                       << QStringLiteral("Belgique") << false << 1 << true;
    QTest::newRow("first click wrong") << 1 << QList<int>{3} << 1 << 2 << one << QStringLiteral("0")
                                       << QStringLiteral("Allemagne") << true << 2 << true;
    QTest::newRow("second wrong click") << 1 << QList<int>{3, 5} << 1 << 4 << QStringLiteral(" 2 erreurs")
                                        << QStringLiteral("0") << QStringLiteral("Allemagne") << true << 2 << true;
    QTest::newRow("third wrong click") << 1 << QList<int>{3, 5, 6} << 1 << 6 << QStringLiteral(" 3 erreurs")
                                       << QStringLiteral("0") << QStringLiteral("Allemagne") << true << 2 << true;
    QTest::newRow("right click after a wrong one") << 1 << QList<int>{4, 1} << 2 << 2 << one << QStringLiteral(" 1")
                                                   << QStringLiteral("Belgique") << false << 1 << true;
    QTest::newRow("grayed box clicked when its target is sought")
        << 1 << QList<int>{2, 1, 2} << 3 << 2 << one << QStringLiteral(" 2") << QStringLiteral("Espagne") << false << 1
        << true;
    QTest::newRow("grayed box clicked while another is sought")
        << 1 << QList<int>{2, 2} << 1 << 4 << QStringLiteral(" 2 erreurs") << QStringLiteral("0")
        << QStringLiteral("Allemagne") << true << 2 << true;
    QTest::newRow("wrong click on the first sea") << 8 << QList<int>{10} << 8 << 2 << one << QStringLiteral(" 7")
                                                  << QStringLiteral("Oc\u00e9an Atlantique") << true << 2 << true;
    QTest::newRow("wrong click on the first river") << 12 << QList<int>{14} << 12 << 2 << one << QStringLiteral(" 11")
                                                    << QStringLiteral("Garonne") << true << 2 << true;
    QTest::newRow("right river hides its box") << 12 << QList<int>{12} << 13 << 0 << none << QStringLiteral(" 12")
                                               << QStringLiteral("Loire") << false << 1 << false;
    QTest::newRow("grayed river box found") << 12 << QList<int>{13, 12, 13} << 14 << 2 << one << QStringLiteral(" 13")
                                            << QStringLiteral("Rhin") << false << 1 << false;
    QTest::newRow("wrong click on the first summit")
        << 17 << QList<int>{20} << 17 << 2 << one << QStringLiteral(" 16")
        << QStringLiteral("ALPES\r\nMont-Blanc 4810m") << true << 2 << true;
    QTest::newRow("Mont-Blanc found") << 17 << QList<int>{17} << 18 << 0 << none << QStringLiteral(" 17")
                                      << QStringLiteral("Corse - Monte Cinto 2706m") << false << 1 << false;
    QTest::newRow("wrong click on the first city") << 23 << QList<int>{54} << 23 << 2 << one << QStringLiteral(" 22")
                                                   << QStringLiteral("Ajaccio") << true << 2 << true;
    QTest::newRow("PARIS found, Poitiers sought") << 46 << QList<int>{46} << 47 << 0 << none << QStringLiteral(" 46")
                                                  << QStringLiteral("Poitiers") << false << 1 << false;
    QTest::newRow("Saint-Etienne found, Saint-Nazaire sought")
        << 50 << QList<int>{50} << 51 << 0 << none << QStringLiteral(" 50") << QStringLiteral("Saint-Nazaire") << false
        << 1 << false;
}

void AnswersTest::clicks()
{
    QFETCH(int, sought);
    QFETCH(QList<int>, clicks);
    QFETCH(int, item);
    QFETCH(int, tally);
    QFETCH(QString, erreurs);
    QFETCH(QString, note);
    QFETCH(QString, objectif);
    QFETCH(bool, erreurWindow);
    QFETCH(int, lastValue);
    QFETCH(bool, lastShown);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.playTo(sought));
    for (int number : clicks)
        QVERIFY(player.clickBox(number));

    QCOMPARE(player.session().ItemEnCours, item);
    QCOMPARE(player.session().NbErreurs, tally);
    QCOMPARE(player.controls().Erreurs->Caption(), erreurs);
    QCOMPARE(player.controls().Note->Caption(), note);
    QCOMPARE(player.controls().Objectif->Caption(), objectif);
    // Every answer handling loads the error window, shown or not.
    QVERIFY(player.app.forms.erreur.loaded());
    QCOMPARE(erreurShown(player), erreurWindow);
    QCOMPARE(player.box(clicks.last()).Value(), lastValue);
    QCOMPARE(player.box(clicks.last()).isVisible(), lastShown);
    QVERIFY(!player.departShown());
    QCOMPARE(player.broken, QStringList());
}

void AnswersTest::lastTargetOfTheme_data()
{
    QTest::addColumn<int>("last");
    QTest::addColumn<Phase>("etape");
    QTest::addColumn<QString>("depart");
    QTest::addColumn<QString>("objectif");
    QTest::addColumn<QString>("note");

    QTest::newRow("countries") << 7 << OpenSeas << kPassOn << QStringLiteral("Suisse") << QStringLiteral(" 7");
    QTest::newRow("seas") << 11 << OpenRivers << kPassOn << QStringLiteral("Mer du Nord") << QStringLiteral(" 11");
    QTest::newRow("rivers") << 16 << OpenSummits << kPassOn << QStringLiteral("Seine") << QStringLiteral(" 16");
    QTest::newRow("summits") << 22 << AskRevision << kPassOn << QStringLiteral("Vosges - Grand Ballon 1424m")
                             << QStringLiteral(" 22");
    QTest::newRow("cities") << 54 << ShowEndTexts << kFinish << QStringLiteral("Toulouse") << QStringLiteral(" 54");
}

void AnswersTest::lastTargetOfTheme()
{
    QFETCH(int, last);
    QFETCH(Phase, etape);
    QFETCH(QString, depart);
    QFETCH(QString, objectif);
    QFETCH(QString, note);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.playTo(last));
    QVERIFY(!player.departShown());
    QCOMPARE(player.session().Etape, etape - 1);
    QVERIFY(player.clickBox(last));

    QCOMPARE(player.session().ItemEnCours, last + 1);
    QCOMPARE(player.session().Etape, etape);
    QVERIFY(player.controls().DEPART->isVisible());
    QCOMPARE(player.controls().DEPART->Caption(), depart);
    QCOMPARE(player.controls().Objectif->Caption(), objectif);
    QCOMPARE(player.controls().Note->Caption(), note);
    QCOMPARE(player.broken, QStringList());
}

void AnswersTest::noteCountsEveryTarget()
{
    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.clickDepart());
    QCOMPARE(player.controls().Note->Caption(), QStringLiteral("0"));
    for (int number = 1; number <= 54; ++number) {
        if (player.departShown())
            QVERIFY(player.clickDepart());
        // Opening a theme leaves the count as the last right click left it.
        const QString before = number == 1 ? QStringLiteral("0") : QStringLiteral(" %1").arg(number - 1);
        QCOMPARE(player.controls().Note->Caption(), before);
        QVERIFY(player.clickBox(number));
        QCOMPARE(player.controls().Note->Caption(), QStringLiteral(" %1").arg(number));
    }
    QCOMPARE(player.broken, QStringList());
}

void AnswersTest::coveredBoxFromKeyboard_data()
{
    QTest::addColumn<int>("sought");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<Phase>("etape");
    QTest::addColumn<QString>("objectif");

    QTest::newRow("Allemagne's box after the seventh country") << 1 << 1 << OpenSeas << QStringLiteral("Suisse");
    QTest::newRow("Suisse's own box after the seventh country") << 1 << 7 << OpenSeas << QStringLiteral("Suisse");
    QTest::newRow("Manche's box after the fourth sea") << 8 << 9 << OpenRivers << QStringLiteral("Mer du Nord");
}

void AnswersTest::coveredBoxFromKeyboard()
{
    QFETCH(int, sought);
    QFETCH(int, pressed);
    QFETCH(Phase, etape);
    QFETCH(QString, objectif);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.playTo(sought));
    QVERIFY(player.finishTheme());
    const int item = player.session().ItemEnCours;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Check%1 is covered").arg(pressed)));
    QVERIFY(!test::clickAsPlayer(&player.box(pressed)));

    player.pressSpaceOn(pressed);
    QCOMPARE(player.session().NbErreurs, 2);
    QCOMPARE(player.controls().Erreurs->Caption(), QStringLiteral("Une erreur"));
    QVERIFY(erreurShown(player));
    QCOMPARE(player.box(pressed).Value(), 2);
    QCOMPARE(player.session().ItemEnCours, item);
    QCOMPARE(player.session().Etape, etape);
    QCOMPARE(player.controls().Objectif->Caption(), objectif);
    QVERIFY(player.controls().DEPART->isVisible());
    QCOMPARE(player.controls().DEPART->Caption(), kPassOn);
    QCOMPARE(player.broken, QStringList());
}

void AnswersTest::tallyHeldAtItsBound_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("wrongClicks");
    QTest::addColumn<int>("tally");
    QTest::addColumn<QString>("erreurs");

    QTest::newRow("16383rd wrong click, the last counted in full")
        << 32764 << 1 << 32766 << QStringLiteral(" 16383 erreurs");
    QTest::newRow("16384th wrong click stops at the bound") << 32766 << 1 << 32767 << QStringLiteral(" 16383 erreurs");
    QTest::newRow("wrong clicks at the bound") << 32766 << 4 << 32767 << QStringLiteral(" 16383 erreurs");
}

void AnswersTest::tallyHeldAtItsBound()
{
    QFETCH(int, start);
    QFETCH(int, wrongClicks);
    QFETCH(int, tally);
    QFETCH(QString, erreurs);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.clickDepart());
    FranceTestAccess::session(player.france()).NbErreurs = static_cast<std::int16_t>(start);
    for (int click = 0; click < wrongClicks; ++click) {
        QVERIFY(player.clickBox(7));
        QVERIFY(player.session().NbErreurs > 0);
    }
    QCOMPARE(player.session().NbErreurs, tally);
    QCOMPARE(player.controls().Erreurs->Caption(), erreurs);
    QVERIFY(erreurShown(player));
    QCOMPARE(player.session().ItemEnCours, 1);

    // The session goes on to its end, and its last words count the clicks.
    QVERIFY(player.playTo(55));
    QVERIFY(player.clickDepart());
    QCOMPARE(player.controls().Rubrique->Caption().section(QStringLiteral("\r\n"), 2),
             QStringLiteral("Tu as commis  16383 erreurs de localisation ..."));
    QVERIFY(player.clickDepart());
    QCOMPARE(player.app.quits, 1);
    QCOMPARE(player.broken, QStringList());
}

QTEST_MAIN(AnswersTest)
#include "tst_answers.moc"
