// Guards the quiz window's drawing work: a map decoded again on the way,
// and a caption change that repaints more than its own label.
#include "QuizWindow.h"
#include "TestSupport.h"

#include "quiz/France.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QTest>

using namespace varnelle;
using varnelle::test::shownFrance;

class QuizRepaintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::setUpOnce(); }
    void mapIsDecodedOnceAtCreation();
    void captionChangeRepaintsOnlyItsLabel();
};

void QuizRepaintTest::mapIsDecodedOnceAtCreation()
{
    test::App app;
    France& france = *app.forms.france;
    const QPixmap& map = france.controls().Carte->Picture();
    QCOMPARE(map.size(), QSize(950, 860));
    const qint64 decoded = map.cacheKey();
    app.forms.france.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(&france));
    france.grab();
    france.controls().Note->setCaption(QStringLiteral(" 3"));
    france.grab();
    QCOMPARE(france.controls().Carte->Picture().cacheKey(), decoded);
}

void QuizRepaintTest::captionChangeRepaintsOnlyItsLabel()
{
    France* france = nullptr;
    const auto app = shownFrance(france);
    QApplication::processEvents();
    Label* note = france->controls().Note;

    test::PaintCounter counter;
    qApp->installEventFilter(&counter);
    note->setCaption(QStringLiteral(" 7"));
    QTRY_VERIFY(counter.painted.contains(note));
    qApp->removeEventFilter(&counter);

    // Lines over the label's edges repaint with it; nothing else does.
    for (QObject* painted : std::as_const(counter.painted)) {
        auto* widget = qobject_cast<QWidget*>(painted);
        QVERIFY(widget);
        const bool lineOverNote = dynamic_cast<Line*>(widget) && widget->geometry().intersects(note->geometry());
        QVERIFY2(widget == note || lineOverNote, qPrintable(widget->objectName()));
    }
}

QTEST_MAIN(QuizRepaintTest)
#include "tst_layout_repaint.moc"
