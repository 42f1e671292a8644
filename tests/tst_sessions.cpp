// Guards whole sessions as a child plays them, through visible controls only:
// a session that cannot be finished by clicks, an end sentence that miscounts
// the wrong clicks, and a closing click that ends on the wrong window or
// leaves the application running.
#include "QuizPlayer.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"

#include <QRegularExpression>

using namespace varnelle;
using varnelle::test::QuizPlayer;

namespace {

// A wrong box that a player can click while `sought` is asked: the last box
// of its theme, still unfound and on the map.
int wrongBoxFor(int sought)
{
    static constexpr int kLast[] = {7, 11, 16, 22, 54};
    for (int last : kLast) {
        if (sought <= last)
            return sought == last ? last - 1 : last;
    }
    return 0;
}

} // namespace

class SessionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void wholeSession_data();
    void wholeSession();
};

void SessionsTest::wholeSession_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("wrongWhileSeeking");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("closing");

    QTest::newRow("perfect") << QString() << QList<int>() << QList<int>{7}
                             << QStringLiteral("Tu n'as commis aucune erreur de localisation !");
    QTest::newRow("one wrong click") << QString() << QList<int>{5} << QList<int>{7}
                                     << QStringLiteral("Tu n'as commis qu'une seule erreur de localisation ...");
    QTest::newRow("three wrong clicks") << QString() << QList<int>{2, 13, 30} << QList<int>{7}
                                        << QStringLiteral("Tu as commis  3 erreurs de localisation ...");
    QTest::newRow("two wrong clicks on one target, revised once")
        << QStringLiteral("Jos\u00e9") << QList<int>{1, 1} << QList<int>{6, 7}
        << QStringLiteral("Tu as commis  2 erreurs de localisation ...");
    QTest::newRow("a wrong click in every theme, revised twice")
        << QStringLiteral("Ma\u00eblle") << QList<int>{1, 8, 12, 17, 23} << QList<int>{6, 6, 7}
        << QStringLiteral("Tu as commis  5 erreurs de localisation ...");
}

void SessionsTest::wholeSession()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, wrongWhileSeeking);
    QFETCH(QList<int>, answers);
    QFETCH(QString, closing);

    QuizPlayer player;
    player.app.question.answers = answers;
    player.enterName(name);
    const QString row = QString::fromLatin1(QTest::currentDataTag())
                            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
    int themesOpened = 0;
    for (int step = 0; step < 200 && player.session().Etape < CloseSession; ++step) {
        if (player.departShown()) {
            QVERIFY(player.clickDepart());
            if (!player.departShown())
                test::saveGrab(&player.france(), QStringLiteral("session-%1-theme%2").arg(row).arg(++themesOpened));
            continue;
        }
        const int sought = player.session().ItemEnCours;
        while (wrongWhileSeeking.removeOne(sought)) {
            QVERIFY(player.clickBox(wrongBoxFor(sought)));
            QVERIFY(player.app.forms.erreur->isVisible());
        }
        QVERIFY(player.clickBox(sought));
    }
    QCOMPARE(themesOpened, 5);
    QVERIFY(wrongWhileSeeking.isEmpty());
    QCOMPARE(player.app.question.prompts.size(), answers.size());
    test::saveGrab(&player.france(), QStringLiteral("session-%1-end").arg(row));

    const QString shownName = name.isEmpty() ? QStringLiteral("Utilisateur Anonyme") : name;
    QCOMPARE(player.controls().Rubrique->Caption(),
             shownName +
                 QStringLiteral(", \r\ntu es parvenu(e) \u00e0 la fin de cette session de v\u00e9rification de tes "
                                "connaissances.\r\n") +
                 closing);
    QCOMPARE(player.controls().DEPART->Caption(), QStringLiteral("Clique ici pour sortir"));
    const bool perfect = player.session().NbErreurs == 0;
    // A revision map left open does not keep a session with errors alive.
    const bool revised = answers.size() > 1;
    QCOMPARE(player.app.forms.villesDeFrance.loaded() != nullptr, revised);
    QCOMPARE(player.broken, QStringList());

    QVERIFY(player.clickDepart());
    if (perfect) {
        QVERIFY(player.app.forms.france.loaded());
        QTRY_VERIFY(!player.france().isVisible());
        QVERIFY(player.app.forms.coupeVainqueur.loaded());
        QVERIFY(player.app.forms.coupeVainqueur->isVisible());
        QCOMPARE(player.app.sound.events, QStringList{QStringLiteral("play Marseillaise.wav")});
        test::saveGrab(&*player.app.forms.coupeVainqueur, QStringLiteral("session-%1-cup").arg(row));
        QCOMPARE(player.app.quits, 0);
    } else {
        QCOMPARE(player.app.quits, 1);
        QVERIFY(player.app.forms.hasEnded());
        QVERIFY(!player.app.forms.bonjour.loaded());
        QVERIFY(!player.app.forms.france.loaded());
        QVERIFY(!player.app.forms.erreur.loaded());
        QVERIFY(!player.app.forms.villesDeFrance.loaded());
        QVERIFY(!player.app.forms.coupeVainqueur.loaded());
        QVERIFY(player.app.sound.events.isEmpty());
    }
    QCOMPARE(player.broken, QStringList());
}

QTEST_MAIN(SessionsTest)
#include "tst_sessions.moc"
