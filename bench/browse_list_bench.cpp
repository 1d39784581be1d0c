// Refilling the browse list with 100,000 entries (event code 9) and reloading it in place after
// one changed line (code 20), against QStringListModel::setStringList of the same lines shown in
// a QListView with uniform item sizes, in one run:
//   refill   TLinesModel::SetLines into the browse list view, laid out and painted
//            vs  setStringList into a plain QListView, laid out and painted (goal <= 1.5)
//   reload   after one file of a 100,000-file folder list was renamed, the window's reload in
//            place (the controller tells the changed line), painted, for several renames in a
//            row and for the first one after a refill
//            vs  our own refill (goal: under 1 %); and the reload a list whose changes the
//            controller cannot tell takes (every line compared), once with the lines sharing the
//            shown texts, once with every line a new string (a network list, decoded afresh)
// Both views are shown on the same Qt platform (offscreen unless QT_QPA_PLATFORM says otherwise)
// at the same size. Each figure is the median of several runs.

#include "app/browse/BrowseWidgets.h"
#include "app/browse/ListSync.h"
#include "catalog/Vorlane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QListView>
#include <QStringListModel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kEntries = 100000;
constexpr int kRuns = 7;
constexpr int kRenames = 15; // per run

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

    // A folder list of kEntries files, shown in mode 2 as the window shows it.
    QTemporaryDir temp;
    const QString folder = temp.path() + QStringLiteral("/Music");
    QDir().mkpath(folder);
    std::printf("generating %d files...\n", kEntries);
    for (int i = 0; i < kEntries; ++i)
        QFile(folder +
              QStringLiteral("/Artist %1 - Track number %2 of the library.mp3").arg(i / 20).arg(i))
            .open(QIODevice::WriteOnly);
    TVorlane vorlane;
    vorlane.SetProgramDataDir(temp.path());
    vorlane.SetMode(bmComputerFiles);
    vorlane.AddList(folder, false, false);
    vorlane.Flags();

    std::vector<double> base, refill, reload, reloadFirst, reloadShared, reloadFresh;
    for (int run = 0; run < kRuns; ++run) {
        const QStringList &lines = run % 2 ? b : a;
        base.push_back(timed(plain, [&] { plainModel.setStringList(lines); }));
        refill.push_back(timed(view, [&] {
            ours.SetLines(lines);
            view.selectionModel()->setCurrentIndex(ours.index(1), QItemSelectionModel::Select);
        }));
        auto reloadBy = [&](const std::function<int()> &sync) {
            return timed(
                view,
                [&] {
                    const int index = sync();
                    view.selectionModel()->setCurrentIndex(ours.index(index + 1),
                                                           QItemSelectionModel::Select);
                },
                false);
        };

        // The controller's lines with the entry to rename current and in sight, as the user
        // left them; then one file after another renamed (F2, a name, Enter), each followed by
        // the window's reload in place.
        ours.SetLines(vorlane.List().List);
        TBrowseStamp stamp = vorlane.BrowseStamp();
        const int entry = kEntries / 2 + run * kRenames;
        vorlane.SetFileIndex(entry);
        view.selectionModel()->setCurrentIndex(ours.index(entry + 1),
                                               QItemSelectionModel::ClearAndSelect);
        QApplication::processEvents();
        for (int k = 0; k < kRenames; ++k) {
            vorlane.SetFileIndex(entry + k);
            view.selectionModel()->setCurrentIndex(ours.index(entry + k + 1),
                                                   QItemSelectionModel::ClearAndSelect);
            vorlane.Edit(QStringLiteral("Renamed entry %1.mp3").arg(entry + k));
            const double ms = reloadBy([&] { return ReloadBrowseInPlace(vorlane, ours, stamp); });
            reload.push_back(ms);
            if (k == 0)
                reloadFirst.push_back(ms);
        }

        // Lines compared one by one: shared texts, then new strings.
        QStringList shared = ours.Lines();
        shared[entry] = QStringLiteral("Renamed again");
        reloadShared.push_back(reloadBy([&] { return SyncListBoxItems(&ours, shared), entry; }));
        QStringList fresh;
        fresh.reserve(shared.size());
        for (const QString &line : std::as_const(shared))
            fresh << QString(line.constData(), line.size());
        fresh[entry] = QStringLiteral("Renamed again");
        reloadFresh.push_back(reloadBy([&] { return SyncListBoxItems(&ours, fresh), entry; }));
    }
    const double bm = median(base), rf = median(refill), rl = median(reload),
                 rs = median(reloadShared), rn = median(reloadFresh);
    std::printf("QStringListModel + QListView, 100,000 lines  %8.2f ms\n", bm);
    std::printf(
        "browse list refill (code 9)                  %8.2f ms   ratio %.2f (goal <= 1.5)\n", rf,
        rf / bm);
    std::printf("browse list reload, one file renamed (20)    %8.3f ms   %.2f %% of the refill "
                "(goal < 1 %%)\n",
                rl, 100.0 * rl / rf);
    std::printf("  the first rename after a refill            %8.3f ms   %.2f %% of the refill\n",
                median(reloadFirst), 100.0 * median(reloadFirst) / rf);
    std::printf("  every line compared, shared texts          %8.3f ms   %.2f %% of the refill\n",
                rs, 100.0 * rs / rf);
    std::printf("  every line compared, new strings           %8.3f ms   %.2f %% of the refill\n",
                rn, 100.0 * rn / rf);
    return 0;
}
