// Plays a scripted whole session in-process on the offscreen platform and
// prints how long the player waits: from validating a name to the quiz
// window painted, and for each click, the handler plus the repaint of what
// changed. Ends with the peak resident memory of the whole run.
// Usage: session_bench [--revise]
#include "auxwindows/Erreur.h"
#include "quiz/France.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Application.h"
#include "shell/Bonjour.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace varnelle;

// The player's answer to the revision question, the same every time.
class FixedAnswer : public YesNoQuestion {
public:
    explicit FixedAnswer(int answer) : answer_(answer) {}
    int ask(QWidget*, const QString&, const QString&) override { return answer_; }

private:
    int answer_;
};

class Silent : public SoundPlayer {
public:
    void playFile(const QString&) override {}
    void stop() override {}
};

// Counts the paints of one window, so the timing stops once it is drawn.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

double milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Delivers a click and lets the event loop repaint what it dirtied.
double timedClick(QWidget* control)
{
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    QCoreApplication::processEvents();
    return milliseconds(timer);
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values.at(index);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    setUpApplication(application);
    // With --revise the player revises the cities: the revision map stays
    // open beside the quiz window until the end.
    FixedAnswer question(QCoreApplication::arguments().contains(QStringLiteral("--revise")) ? YesNoQuestion::kYes
                                                                                            : YesNoQuestion::kNo);
    Silent sound;
    Platform platform{question, sound, [] {}};
    Windows forms(platform);
    forms.bonjour.setVisible(true);
    if (!QTest::qWaitForWindowExposed(&*forms.bonjour)) {
        std::fprintf(stderr, "the welcome window was never exposed\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&forms.bonjour->nj(), Qt::Key_Return);
    PaintCounter carte;
    forms.france->controls().Carte->inner()->installEventFilter(&carte);
    while (carte.paints == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double validation = milliseconds(timer);

    // One wrong click in every theme, so the error window is part of the timing.
    std::vector<double> clicks;
    const CarteControls& controls = forms.france->controls();
    for (int theme = 0; theme < 5; ++theme) {
        clicks.push_back(timedClick(controls.DEPART));
        const int first = forms.france->session().ItemEnCours;
        clicks.push_back(timedClick(&controls.Check(first + 1)));
        while (!controls.DEPART->isVisible()) {
            const int sought = forms.france->session().ItemEnCours;
            clicks.push_back(timedClick(&controls.Check(sought)));
        }
    }
    clicks.push_back(timedClick(controls.DEPART));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("validation_to_painted_quiz_ms %.2f\n", validation);
    std::printf("clicks %zu\n", clicks.size());
    std::printf("click_median_ms %.3f\n", percentile(clicks, 0.5));
    std::printf("click_p99_ms %.3f\n", percentile(clicks, 0.99));
    std::printf("peak_rss_mib %.1f\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
