// The baseline of the start-up benchmark: the smallest Qt Widgets program that shows a window
// with a list, reporting its first paint the way vorlane does (VORLANE_REPORT_FIRST_PAINT=exit).

#include <QApplication>
#include <QListWidget>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

namespace {

class TReporter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::fputs("first-paint\n", stdout);
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *list = new QListWidget(&window);
    list->addItems({QStringLiteral("one"), QStringLiteral("two")});
    window.setCentralWidget(list);
    TReporter reporter;
    list->viewport()->installEventFilter(&reporter);
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
