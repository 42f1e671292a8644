// Guards the welcome window: the name reaches the quiz window exactly as
// typed (or as "Utilisateur Anonyme"), only Enter or the button validates,
// and the welcome window never comes back, nor keeps its native window.
#include "TestSupport.h"

#include "auxwindows/Erreur.h"
#include "quiz/France.h"
#include "shell/Bonjour.h"
#include "shell/Controls.h"

#include <QTest>

using namespace varnelle;
using varnelle::test::App;

class BonjourTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void startsAloneWithFocusInName();
    void validation_data();
    void validation();
    void typingWithoutEnterOpensNothing();
    void looksAsDesigned();
};

void BonjourTest::startsAloneWithFocusInName()
{
    App app;
    app.forms.bonjour.setVisible(true);
    QVERIFY(QTest::qWaitForWindowActive(&*app.forms.bonjour));
    QCOMPARE(QApplication::focusWidget(), &app.forms.bonjour->nj());
    QCOMPARE(app.forms.bonjour->size(), QSize(575, 185));
    QCOMPARE(app.forms.bonjour->windowTitle(), QStringLiteral("      Varnelle - Accueil des participant(e)s au test"));
    const QRect screen = app.forms.bonjour->screen()->availableGeometry();
    QCOMPARE(app.forms.bonjour->geometry().center(), screen.center());
    QVERIFY(!app.forms.france.loaded());
    QVERIFY(!app.forms.erreur.loaded());
}

void BonjourTest::validation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("shown");
    const QString anonymous = QStringLiteral("Utilisateur Anonyme");
    QTest::newRow("empty, Enter") << QString() << false << anonymous;
    QTest::newRow("empty, button") << QString() << true << anonymous;
    QTest::newRow("accents and capitals, Enter")
        << QStringLiteral("Ma\u00eblle \u00c9LODIE") << false << QStringLiteral("Ma\u00eblle \u00c9LODIE");
    QTest::newRow("accents and capitals, button")
        << QStringLiteral("J\u00e9r\u00f4me") << true << QStringLiteral("J\u00e9r\u00f4me");
    QTest::newRow("three blanks stay blanks") << QStringLiteral("   ") << true << QStringLiteral("   ");
    QTest::newRow("blanks around are kept") << QStringLiteral(" L\u00e9a ") << false << QStringLiteral(" L\u00e9a ");
}

void BonjourTest::validation()
{
    QFETCH(QString, typed);
    QFETCH(bool, byButton);
    QFETCH(QString, shown);
    App app;
    app.forms.bonjour.setVisible(true);
    Bonjour& bonjour = *app.forms.bonjour;
    test::typeText(&bonjour.nj(), typed);
    QCOMPARE(bonjour.nj().text(), typed);
    if (byButton)
        QVERIFY(test::clickAsPlayer(&bonjour.Entree()));
    else
        QTest::keyClick(&bonjour.nj(), Qt::Key_Return);
    QVERIFY(!bonjour.Visible());
    QTRY_VERIFY(!bonjour.isVisible());
    // Hidden for good, it gives back its native window but keeps its values.
    QVERIFY(!bonjour.windowHandle());
    QCOMPARE(bonjour.nj().text(), typed);
    QVERIFY(app.forms.bonjour.loaded());
    QVERIFY(app.forms.france.loaded());
    QVERIFY(app.forms.france->isVisible());
    QCOMPARE(app.forms.france->NOM().Caption(), shown);
    // Nothing in the quiz brings the welcome window back.
    app.forms.france->DEPART_Click();
    QVERIFY(!bonjour.isVisible());
}

void BonjourTest::typingWithoutEnterOpensNothing()
{
    App app;
    app.forms.bonjour.setVisible(true);
    QTest::keyClicks(&app.forms.bonjour->nj(), QStringLiteral("Paul"));
    QTest::keyClick(&app.forms.bonjour->nj(), Qt::Key_Tab);
    QTest::keyClick(&app.forms.bonjour->nj(), Qt::Key_Backspace);
    QVERIFY(app.forms.bonjour->isVisible());
    QVERIFY(!app.forms.france.loaded());
}

void BonjourTest::looksAsDesigned()
{
    App app;
    app.forms.bonjour.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(&*app.forms.bonjour));
    test::saveGrab(&*app.forms.bonjour, QStringLiteral("Bonjour"));
    const QImage image = app.forms.bonjour->grab().toImage();
    QCOMPARE(image.size(), QSize(575, 185));
    // The prompt is red, the greeting and the hint navy, on the window colour.
    auto countNear = [&](QRect area, QColor colour) {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (qAbs(pixel.red() - colour.red()) + qAbs(pixel.green() - colour.green()) +
                        qAbs(pixel.blue() - colour.blue()) <
                    60)
                    ++found;
            }
        }
        return found;
    };
    QVERIFY(countNear({0, 96, 225, 33}, Qt::red) > 100);
    QVERIFY(countNear({8, 8, 553, 81}, QColor(0, 0, 128)) > 500);
    QVERIFY(countNear({0, 144, 465, 25}, QColor(0, 0, 128)) > 200);
}

QTEST_MAIN(BonjourTest)
#include "tst_bonjour.moc"
