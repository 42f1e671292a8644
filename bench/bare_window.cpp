// The floor to compare start-up against: a bare Qt Widgets window of the
// welcome window's size, built with the same compiler and flags.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(575, 185);
    window.show();
    return QApplication::exec();
}
