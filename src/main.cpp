#include "auxwindows/CanberraSound.h"
#include "shell/Application.h"
#include "shell/Bonjour.h"
#include "shell/MessageBoxQuestion.h"
#include "shell/Windows.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    varnelle::choosePlatform();
    QApplication application(argc, argv);
    varnelle::setUpApplication(application);
    // The forms decide when the run ends (see Forms), not the last window.
    QApplication::setQuitOnLastWindowClosed(false);

    varnelle::MessageBoxQuestion question;
    varnelle::CanberraSound sound;
    varnelle::Platform platform{question, sound, [] { QCoreApplication::quit(); }};
    varnelle::Windows windows(platform);
    windows.bonjour.setVisible(true);
    return QApplication::exec();
}
