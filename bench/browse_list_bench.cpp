// Refilling the browse list with 100,000 entries (event code 9) and reloading it in place after
// one changed line (code 20), against QStringListModel::setStringList of the same lines shown in
// a QListView with uniform item sizes, in one run:
//   refill   TLinesModel::SetLines into the browse list view, laid out and painted
//            vs  setStringList into a plain QListView, laid out and painted (goal <= 1.5)
//   reload   SyncListBoxItems with one line changed, painted
//            vs  our own refill (goal: under 1 %): with the lines sharing the shown texts (a
//            folder list: its lines are its records' texts), and with every line a new string
//            of the same text (a network list, decoded afresh)
// Both views are shown on the same Qt platform (offscreen unless QT_QPA_PLATFORM says otherwise)
// at the same size. Each figure is the median of several runs.

#include "app/BrowseWidgets.h"
#include "app/ListSync.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>
#include <QStringListModel>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kEntries = 100000;
constexpr int kRuns = 7;

QStringList entries(int n, const QString &suffix)
{
    QStringList lines;
    lines.reserve(n + 1);
    lines << QStringLiteral("---Folder Music---");
    for (int i = 0; i < n; ++i) {
        lines << QStringLiteral("Artist %1 - Track number %2 of the library%3")
                     .arg(i / 20)
                     .arg(i)
                     .arg(suffix);
    }
    return lines;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Milliseconds of one fill until the event loop has done what it asked for, as it goes in the
// program: the layout the rows need (a refill lays every row out; a reload in place none) and the
// painting of what changed (the whole view after a refill, the changed rows after a reload).
double timed(QListView &view, const std::function<void()> &fill, bool refill = true)
{
    static PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    QApplication::processEvents(); // nothing left over from the step before
    QElapsedTimer t;
    t.start();
    const int before = counter.paints;
    fill();
    QApplication::processEvents();
    if (refill && counter.paints == before)
        view.viewport()->repaint(); // a refill is always painted whole
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Two sets of lines, so that each refill really changes every row.
    const QStringList a = entries(kEntries, QString()), b = entries(kEntries, QStringLiteral("."));

    QStringListModel plainModel;
    QListView plain;
    plain.setUniformItemSizes(true);
    plain.setModel(&plainModel);
    plain.resize(900, 600);
    plain.show();

    TLinesModel ours;
    TBrowseListView view;
    view.setItemDelegate(new TBrowseDelegate(&view));
    view.setModel(&ours);
    view.SetItemHeight(20);
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();

    std::vector<double> base, refill, reload, reloadFresh;
    for (int run = 0; run < kRuns; ++run) {
        const QStringList &lines = run % 2 ? b : a;
        base.push_back(timed(plain, [&] { plainModel.setStringList(lines); }));
        refill.push_back(timed(view, [&] {
            ours.SetLines(lines);
            view.selectionModel()->setCurrentIndex(ours.index(1), QItemSelectionModel::Select);
        }));
        auto reloadWith = [&](const QStringList &changed) {
            return timed(
                view,
                [&] {
                    SyncListBoxItems(&ours, changed);
                    view.selectionModel()->setCurrentIndex(ours.index(1),
                                                           QItemSelectionModel::Select);
                },
                false);
        };
        QStringList shared = ours.Lines();
        shared[kEntries / 2] = QStringLiteral("Renamed entry");
        reload.push_back(reloadWith(shared));
        QStringList fresh = entries(kEntries, run % 2 ? QStringLiteral(".") : QString());
        fresh[kEntries / 2] = QStringLiteral("Renamed again");
        reloadFresh.push_back(reloadWith(fresh));
    }
    const double bm = median(base), rf = median(refill), rl = median(reload),
                 rn = median(reloadFresh);
    std::printf("QStringListModel + QListView, 100,000 lines  %8.2f ms\n", bm);
    std::printf(
        "browse list refill (code 9)                  %8.2f ms   ratio %.2f (goal <= 1.5)\n", rf,
        rf / bm);
    std::printf("browse list reload, one line changed (20)    %8.2f ms   %.2f %% of the refill "
                "(goal < 1 %%)\n",
                rl, 100.0 * rl / rf);
    std::printf("  the same with every line a new string      %8.2f ms   %.2f %% of the refill\n",
                rn, 100.0 * rn / rf);
    return 0;
}
