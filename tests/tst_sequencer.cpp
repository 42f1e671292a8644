// Guards the theme sequencer: a phase run on the wrong click of DEPART, an
// instruction text, title or caption that differs by a blank or a line
// break, boxes of the wrong theme left on the map, and a revision question
// that asks the wrong thing or moves the session on after a Yes.
#include "QuizPlayer.h"

#include "auxwindows/VillesDeFrance.h"

#include <QApplication>
#include <QImage>

using namespace varnelle;
using varnelle::test::QuizPlayer;

namespace {

const QString kHead = QStringLiteral("Utilisateur Anonyme, \r\n");
const QString kPassOn = QStringLiteral(" Clique ici pour passer \u00e0 la suite");
const QString kFinish = QStringLiteral(" Clique ici pour terminer cette session");
const QString kPrompt =
    QStringLiteral("Souhaites-tu r\u00e9viser la position des principales\r\n villes de France avant de continuer ?");
const QString kQuestionTitle = QStringLiteral("R\u00e9viser ou Continuer imm\u00e9diatement");

QString instructions(const QString& name, const QString& sentence, const QString& wayTo)
{
    return name + QStringLiteral(", \r\n") + sentence + QStringLiteral("\r\n") + wayTo +
           QStringLiteral("\r\nOBJECTIF \u00e0 trouver ...");
}

QString wayTo(const QString& what)
{
    return QStringLiteral(" Pour cela, tu vas devoir cliquer dans la case correspondante \u00e0 chaque ") + what +
           QStringLiteral(", au fur et \u00e0 mesure de la demande affich\u00e9e ci-dessous sous la case...");
}

QList<int> range(int first, int last)
{
    QList<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers.append(n);
    return numbers;
}

QList<int> shownBoxes(QuizPlayer& player)
{
    QList<int> shown;
    for (int n = 1; n <= 54; ++n) {
        if (!player.box(n).isHidden())
            shown.append(n);
    }
    return shown;
}

int revisionWindows()
{
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<VillesDeFrance*>(window))
            ++count;
    }
    return count;
}

// Horizontal bands of dark ink in a label, from top to bottom: one per line
// of text.
int inkBands(QWidget* label)
{
    const QImage image = label->grab().toImage();
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 80;
        if (ink && !inBand)
            ++bands;
        inBand = ink;
    }
    return bands;
}

} // namespace

class SequencerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void phasesKeepTheirDesignedValues_data();
    void phasesKeepTheirDesignedValues();
    void phases_data();
    void phases();
    void revisionQuestion_data();
    void revisionQuestion();
    void nameTakenAtStartAndSeas_data();
    void nameTakenAtStartAndSeas();
    void objectifLines_data();
    void objectifLines();
};

void SequencerTest::phasesKeepTheirDesignedValues_data()
{
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<int>("designed");
    QTest::newRow("no session") << NoSession << 0;
    QTest::newRow("countries running") << CountriesRun << 1;
    QTest::newRow("seas to open") << OpenSeas << 2;
    QTest::newRow("rivers to open") << OpenRivers << 3;
    QTest::newRow("summits to open") << OpenSummits << 4;
    QTest::newRow("revision question") << AskRevision << 5;
    QTest::newRow("end texts to show") << ShowEndTexts << 6;
    QTest::newRow("session to close") << CloseSession << 7;
}

void SequencerTest::phasesKeepTheirDesignedValues()
{
    QFETCH(Phase, phase);
    QFETCH(int, designed);
    Session session;
    session.Etape = phase;
    QCOMPARE(int(session.Etape), designed);
}

void SequencerTest::phases_data()
{
    QTest::addColumn<Phase>("etape");
    QTest::addColumn<QString>("nomTheme");
    QTest::addColumn<QString>("objectif");
    QTest::addColumn<QString>("rubrique");
    QTest::addColumn<QList<int>>("boxes");
    QTest::addColumn<int>("item");
    QTest::addColumn<Phase>("etapeAfter");
    QTest::addColumn<QString>("depart");

    QTest::newRow("session start") << NoSession << QStringLiteral("Pays Frontaliers") << QStringLiteral("Allemagne")
                                   << instructions(QStringLiteral("Utilisateur Anonyme"),
                                                   QStringLiteral("pour commencer, tu vas devoir localiser les sept "
                                                                  "pays frontaliers qui entourent la France. "),
                                                   wayTo(QStringLiteral("pays")))
                                   << range(1, 7) << 1 << CountriesRun << QString();
    QTest::newRow("seas") << OpenSeas << QStringLiteral("Mers et oc\u00e9ans")
                          << QStringLiteral("Oc\u00e9an Atlantique")
                          << instructions(QStringLiteral("Utilisateur Anonyme"),
                                          QStringLiteral("pour continuer, tu vas devoir localiser les quatre mers ou "
                                                         "oc\u00e9ans qui baignent les c\u00f4tes de France. "),
                                          wayTo(QStringLiteral("mer ou oc\u00e9an")))
                          << range(8, 11) << 8 << OpenSeas << QString();
    QTest::newRow("rivers") << OpenRivers << QStringLiteral("Fleuves de France") << QStringLiteral("Garonne")
                            << instructions(QStringLiteral("Utilisateur Anonyme"),
                                            QStringLiteral("pour continuer, tu vas devoir localiser les cinq fleuves "
                                                           "qui arrosent la France. "),
                                            wayTo(QStringLiteral("fleuve")))
                            << range(12, 16) << 12 << OpenRivers << QString();
    // The river boxes hid themselves one by one; none is left.
    QTest::newRow("summits") << OpenSummits << QStringLiteral("Montagnes de France")
                             << QStringLiteral("ALPES\r\nMont-Blanc 4810m")
                             << instructions(QStringLiteral("Utilisateur Anonyme"),
                                             QStringLiteral("pour continuer, tu vas devoir localiser six sommets des "
                                                            "montagnes de France. "),
                                             wayTo(QStringLiteral("sommet")))
                             << range(17, 22) << 17 << OpenSummits << QString();
    QTest::newRow("cities, after No") << AskRevision << QStringLiteral("VILLES de FRANCE") << QStringLiteral("Ajaccio")
                                      << instructions(QStringLiteral("Utilisateur Anonyme"),
                                                      QStringLiteral("pour continuer, tu vas devoir localiser 32 "
                                                                     "villes de France. "),
                                                      wayTo(QStringLiteral("ville")))
                                      << range(23, 54) << 23 << AskRevision << QString();
    QTest::newRow("end texts") << ShowEndTexts << QStringLiteral("FIN DE SESSION")
                               << QStringLiteral("Tests termin\u00e9s !")
                               << QStringLiteral("Utilisateur Anonyme, \r\ntu es parvenu(e) \u00e0 la fin de cette "
                                                 "session de v\u00e9rification de tes connaissances.\r\nTu n'as "
                                                 "commis aucune erreur de localisation !")
                               << QList<int>() << 55 << CloseSession << QStringLiteral("Clique ici pour sortir");
}

void SequencerTest::phases()
{
    QFETCH(Phase, etape);
    QFETCH(QString, nomTheme);
    QFETCH(QString, objectif);
    QFETCH(QString, rubrique);
    QFETCH(QList<int>, boxes);
    QFETCH(int, item);
    QFETCH(Phase, etapeAfter);
    QFETCH(QString, depart);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.reachPhase(etape));
    QCOMPARE(player.session().Etape, etape);
    QVERIFY(player.clickDepart());

    const CarteControls& controls = player.controls();
    QCOMPARE(controls.NomTheme->Caption(), nomTheme);
    QCOMPARE(controls.Objectif->Caption(), objectif);
    QVERIFY(controls.Rubrique->Caption().startsWith(kHead));
    QCOMPARE(controls.Rubrique->Caption(), rubrique);
    QCOMPARE(player.session().TexteRubrique, rubrique);
    QCOMPARE(controls.Erreurs->Caption(), QStringLiteral("Aucune erreur..."));
    QCOMPARE(shownBoxes(player), boxes);
    QCOMPARE(player.session().ItemEnCours, item);
    QCOMPARE(player.session().Etape, etapeAfter);
    QCOMPARE(player.departShown(), !depart.isEmpty());
    if (!depart.isEmpty())
        QCOMPARE(controls.DEPART->Caption(), depart);
    QCOMPARE(player.app.question.prompts.size(), etape >= AskRevision ? 1 : 0);
    QCOMPARE(player.broken, QStringList());
}

void SequencerTest::revisionQuestion_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("windows");

    QTest::newRow("No at once") << QList<int>{7} << 0;
    QTest::newRow("Yes, Yes, No") << QList<int>{6, 6, 7} << 1;
}

void SequencerTest::revisionQuestion()
{
    QFETCH(QList<int>, answers);
    QFETCH(int, windows);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.reachPhase(AskRevision));
    const QString rubrique = player.controls().Rubrique->Caption();
    player.app.question.answers = answers;
    for (int asked = 1; asked <= answers.size(); ++asked) {
        QVERIFY(player.clickDepart());
        QCOMPARE(player.app.question.prompts.size(), asked);
        QCOMPARE(player.app.question.prompts.last(), kPrompt);
        QCOMPARE(player.app.question.titles.last(), kQuestionTitle);
        QCOMPARE(player.session().ItemEnCours, 23);
        QCOMPARE(player.session().Etape, AskRevision);
        QCOMPARE(player.session().Reponse, answers.at(asked - 1));
        if (asked < answers.size()) {
            // Yes opens the revision map and leaves the quiz window as it was.
            QVERIFY(player.app.forms.villesDeFrance.loaded());
            QVERIFY(player.app.forms.villesDeFrance.loaded()->isVisible());
            QVERIFY(player.controls().DEPART->isVisible());
            QCOMPARE(player.controls().DEPART->Caption(), kPassOn);
            QCOMPARE(player.controls().NomTheme->Caption(), QStringLiteral("Montagnes de France"));
            QCOMPARE(player.controls().Objectif->Caption(), QStringLiteral("Vosges - Grand Ballon 1424m"));
            QCOMPARE(player.controls().Rubrique->Caption(), rubrique);
            QCOMPARE(shownBoxes(player), QList<int>());
        }
    }
    QCOMPARE(revisionWindows(), windows);
    QVERIFY(!player.departShown());
    QCOMPARE(player.controls().NomTheme->Caption(), QStringLiteral("VILLES de FRANCE"));
    QCOMPARE(player.controls().Objectif->Caption(), QStringLiteral("Ajaccio"));
    QCOMPARE(shownBoxes(player), range(23, 54));
    QVERIFY(player.clickBox(23));
    QCOMPARE(player.controls().Objectif->Caption(), QStringLiteral("Amiens"));
    QCOMPARE(player.broken, QStringList());
}

void SequencerTest::nameTakenAtStartAndSeas_data()
{
    QTest::addColumn<Phase>("renamedIn");
    QTest::addColumn<Phase>("opened");
    QTest::addColumn<QString>("greeted");

    QTest::newRow("renamed before the seas open") << OpenSeas << OpenSeas << QStringLiteral("Autre, \r\n");
    QTest::newRow("renamed before the rivers open") << OpenRivers << OpenRivers << QStringLiteral("L\u00e9a, \r\n");
    QTest::newRow("renamed before the cities open") << OpenRivers << AskRevision << QStringLiteral("L\u00e9a, \r\n");
    QTest::newRow("renamed before the end texts") << OpenRivers << ShowEndTexts << QStringLiteral("L\u00e9a, \r\n");
}

void SequencerTest::nameTakenAtStartAndSeas()
{
    QFETCH(Phase, renamedIn);
    QFETCH(Phase, opened);
    QFETCH(QString, greeted);

    QuizPlayer player;
    player.enterName(QStringLiteral("L\u00e9a"));
    QVERIFY(player.reachPhase(renamedIn));
    player.france().NOM().setCaption(QStringLiteral("Autre"));
    QVERIFY(player.reachPhase(opened));
    QVERIFY(player.clickDepart());
    QVERIFY(player.controls().Rubrique->Caption().startsWith(greeted));
}

void SequencerTest::objectifLines_data()
{
    QTest::addColumn<int>("sought");
    QTest::addColumn<int>("lines");

    QTest::newRow("Allemagne") << 1 << 1;
    QTest::newRow("ALPES above Mont-Blanc") << 17 << 2;
    QTest::newRow("Garonne") << 12 << 1;
}

void SequencerTest::objectifLines()
{
    QFETCH(int, sought);
    QFETCH(int, lines);

    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.playTo(sought));
    QCOMPARE(inkBands(player.controls().Objectif), lines);
    if (sought == 17) {
        QCOMPARE(player.session().SommetCherche, QStringLiteral("ALPES\r\nMont-Blanc 4810m"));
        test::saveGrab(&player.france(), QStringLiteral("France-summits"));
    }
}

QTEST_MAIN(SequencerTest)
#include "tst_sequencer.moc"
