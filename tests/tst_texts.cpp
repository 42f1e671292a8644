// Guards every fixed text of the five windows and every target's caption
// against a wrong entry in the program's own tables: the texts below are
// typed from the design, not taken from the program, and compared with what
// the windows show.
#include "QuizPlayer.h"
#include "TestSupport.h"

#include "shell/Controls.h"

#include <QTest>

using namespace varnelle;
using varnelle::test::App;
using varnelle::test::QuizPlayer;
using varnelle::test::Window;

namespace {

// What a control shows as its text; the window's title for no control.
QString shownText(QWidget& window, const QString& control)
{
    if (control.isEmpty())
        return window.windowTitle();
    auto* widget = window.findChild<QWidget*>(control);
    if (!widget)
        return QStringLiteral("<no control %1>").arg(control);
    if (auto* label = dynamic_cast<Label*>(widget))
        return label->Caption();
    if (auto* button = dynamic_cast<CommandButton*>(widget))
        return button->Caption();
    return QStringLiteral("<%1 shows no text>").arg(control);
}

} // namespace

class TextsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void fixedTexts_data();
    void fixedTexts();
    void targetCaptions_data();
    void targetCaptions();
};

void TextsTest::fixedTexts_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("control"); // empty for the window's title
    QTest::addColumn<QString>("text");

    const auto add = [](const char* tag, Window window, const char* control, const QString& text) {
        QTest::newRow(tag) << window << QString::fromLatin1(control) << text;
    };
    add("Bonjour title", Window::Bonjour, "", QStringLiteral("      Varnelle - Accueil des participant(e)s au test"));
    add("Bonjour Accueil", Window::Bonjour, "Accueil",
        QStringLiteral("Bonjour, bienvenue à toi. Tu vas pouvoir tester tes connaissances sur la géographie de la "
                       "France. Il me faut tout d'abord  connaître ton nom avant de lancer les tests de "
                       "connaissance..."));
    add("Bonjour Accueil2", Window::Bonjour, "Accueil2", QStringLiteral("Tape ton NOM ici  >>>"));
    add("Bonjour Accueil3", Window::Bonjour, "Accueil3",
        QStringLiteral("Puis valide avec la touche  ") + QLatin1Char('"') + QStringLiteral("ENTRÉE") +
            QLatin1Char('"') + QStringLiteral(" ou clique ici >"));
    add("Bonjour Entree", Window::Bonjour, "Entree", QStringLiteral("<<<"));

    add("France title", Window::France, "",
        QStringLiteral("    Varnelle par Brindaz - Evaluation des connaissances géographiques "));
    add("France DEPART", Window::France, "DEPART", QStringLiteral("Clique ici pour commencer"));
    add("France Test", Window::France, "Test", QStringLiteral("Evaluation effectuée par"));
    add("France NOM", Window::France, "NOM", QString());
    add("France Rubrique", Window::France, "Rubrique", QString());
    add("France Label2", Window::France, "Label2", QString());
    add("France Theme", Window::France, "Theme", QStringLiteral("Thème de travail :"));
    add("France NomTheme", Window::France, "NomTheme", QString());
    add("France Demande", Window::France, "Demande", QStringLiteral("Objectif à trouver"));
    add("France Objectif", Window::France, "Objectif", QString());
    add("France Notation", Window::France, "Notation", QStringLiteral("Progression du test   Item en cours"));
    add("France Note", Window::France, "Note", QStringLiteral("0"));
    add("France sur", Window::France, "sur", QStringLiteral("sur 54 "));
    add("France Erreurs", Window::France, "Erreurs", QStringLiteral("Aucune erreur"));
    add("France Label1", Window::France, "Label1", QStringLiteral("Label1"));

    add("Erreur title", Window::Erreur, "", QStringLiteral("Erreur de localisation"));
    add("Erreur Label1", Window::Erreur, "Label1", QStringLiteral("ERREUR ! Essaie encore"));
    add("VillesDeFrance title", Window::VillesDeFrance, "",
        QStringLiteral("Villes de France - Carte destinée à la révision des emplacements des villes principales"));
    add("CoupeVainqueur title", Window::CoupeVainqueur, "", QStringLiteral("Coupe du vainqueur"));
    add("CoupeVainqueur Label1", Window::CoupeVainqueur, "Label1", QStringLiteral(" 54 items sur 54 résolus !"));
}

void TextsTest::fixedTexts()
{
    QFETCH(Window, window);
    QFETCH(QString, control);
    QFETCH(QString, text);
    App app;
    Form& form = test::load(app, window);
    form.setVisible(true);
    QCOMPARE(shownText(form, control), text);
}

void TextsTest::targetCaptions_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("caption");

    const QString captions[] = {
        QStringLiteral("Allemagne"),
        QStringLiteral("Belgique"),
        QStringLiteral("Espagne"),
        QStringLiteral("Grande-Bretagne"),
        QStringLiteral("Italie"),
        QStringLiteral("Luxembourg"),
        QStringLiteral("Suisse"),
        QStringLiteral("Océan Atlantique"),
        QStringLiteral("Manche"),
        QStringLiteral("Mer Méditerranée"),
        QStringLiteral("Mer du Nord"),
        QStringLiteral("Garonne"),
        QStringLiteral("Loire"),
        QStringLiteral("Rhin"),
        QStringLiteral("Rhône"),
        QStringLiteral("Seine"),
        QStringLiteral("ALPES") + QChar(13) + QChar(10) + QStringLiteral("Mont-Blanc 4810m"),
        QStringLiteral("Corse - Monte Cinto 2706m"),
        QStringLiteral("Jura - Crêt de la Neige 1723m"),
        QStringLiteral("Massif Central - Puy de Sancy 1885m"),
        QStringLiteral("Pyrénées - Mont Vignemale 3298m"),
        QStringLiteral("Vosges - Grand Ballon 1424m"),
        QStringLiteral("Ajaccio"),
        QStringLiteral("Amiens"),
        QStringLiteral("ARLES"),
        QStringLiteral("Bastia"),
        QStringLiteral("Bayonne"),
        QStringLiteral("Besançon"),
        QStringLiteral("Bordeaux"),
        QStringLiteral("BREST"),
        QStringLiteral("Clermont-Ferrand"),
        QStringLiteral("DIJON"),
        QStringLiteral("Grenoble"),
        QStringLiteral("Le Havre"),
        QStringLiteral("LILLE"),
        QStringLiteral("Limoges"),
        QStringLiteral("LYON"),
        QStringLiteral("Marseille"),
        QStringLiteral("METZ"),
        QStringLiteral("Montpellier"),
        QStringLiteral("NANCY"),
        QStringLiteral("Nantes"),
        QStringLiteral("NICE"),
        QStringLiteral("Nîmes"),
        QStringLiteral("Orléans"),
        QStringLiteral("PARIS"),
        QStringLiteral("Poitiers"),
        QStringLiteral("RENNES"),
        QStringLiteral("ROUEN"),
        QStringLiteral("Saint-Etienne"),
        QStringLiteral("Saint-Nazaire"),
        QStringLiteral("Strasbourg"),
        QStringLiteral("Toulon"),
        QStringLiteral("Toulouse"),
    };
    int number = 0;
    for (const QString& caption : captions) {
        ++number;
        QTest::addRow("%d %s", number, qPrintable(QString(caption).replace(QChar(13), u' ').remove(QChar(10))))
            << number << caption;
    }
}

// The caption as Objectif shows it while the target is sought, in a
// session played right up to that target.
void TextsTest::targetCaptions()
{
    QFETCH(int, number);
    QFETCH(QString, caption);
    QuizPlayer player;
    player.enterName(QString());
    QVERIFY(player.playTo(number));
    QCOMPARE(player.controls().Objectif->Caption(), caption);
}

QTEST_MAIN(TextsTest)
#include "tst_texts.moc"
