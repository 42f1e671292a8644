// Guards the strings that Qt itself draws in the program's windows: the name
// field's context menu and the revision question's buttons speak French, as
// the rest of the program does, and every window still reads left to right.
// Qt's French strings are read when first asked for, so this program opens
// the context menu before anything else has asked Qt for a string.
#include "TestSupport.h"

#include "shell/Bonjour.h"
#include "shell/Controls.h"
#include "shell/MessageBoxQuestion.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace varnelle;
using varnelle::test::App;

class QtStringsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void nameFieldMenuIsFrench();
    void questionButtonsAreFrench();
};

void QtStringsTest::nameFieldMenuIsFrench()
{
    App app;
    app.forms.bonjour.setVisible(true);
    Bonjour& bonjour = *app.forms.bonjour;
    QVERIFY(QTest::qWaitForWindowExposed(&bonjour));
    TextBox& nj = bonjour.nj();
    // A right click on the field, through the window as the platform delivers it.
    QTest::mouseClick(bonjour.windowHandle(), Qt::RightButton, {}, nj.mapTo(&bonjour, nj.rect().center()));
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList items;
    for (const QAction* action : menu->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text().section(QLatin1Char('\t'), 0, 0));
    test::saveGrab(menu, QStringLiteral("NameFieldMenu"));
    const bool menuLeftToRight = menu->layoutDirection() == Qt::LeftToRight;
    menu->close();
    // As Qt's French translation words them; the shortcuts after the tab
    // are the platform's own.
    const QStringList french{
        QStringLiteral("&Annuler"),
        QStringLiteral("&R\u00e9tablir"),
        QStringLiteral("-"),
        QStringLiteral("Co&uper"),
        QStringLiteral("Cop&ier"),
        QStringLiteral("Co&ller"),
        QStringLiteral("Supprimer"),
        QStringLiteral("-"),
        QStringLiteral("Tout s\u00e9lectionner"),
    };
    QCOMPARE(items, french);
    QVERIFY(menuLeftToRight);
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    QCOMPARE(bonjour.layoutDirection(), Qt::LeftToRight);
}

void QtStringsTest::questionButtonsAreFrench()
{
    QStringList buttons;
    bool leftToRight = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        // In the order the question shows them, left to right.
        QList<QAbstractButton*> shown = box->buttons();
        std::sort(shown.begin(), shown.end(), [box](QAbstractButton* a, QAbstractButton* b) {
            return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
        });
        for (const QAbstractButton* button : shown)
            buttons.append(button->text());
        leftToRight = box->layoutDirection() == Qt::LeftToRight;
        box->button(QMessageBox::No)->click();
    });
    MessageBoxQuestion question;
    QCOMPARE(question.ask(nullptr, QStringLiteral("Veux-tu r\u00e9viser ?"), QStringLiteral("R\u00e9viser")),
             YesNoQuestion::kNo);
    QCOMPARE(buttons, (QStringList{QStringLiteral("Oui"), QStringLiteral("Non")}));
    QVERIFY(leftToRight);
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
}

QTEST_MAIN(QtStringsTest)
#include "tst_qtstrings.moc"
