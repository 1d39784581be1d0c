// The vorlane program.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationName(QStringLiteral("Vorlane"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vorlane"));
    window.resize(1100, 700);
    window.show();
    return app.exec();
}
