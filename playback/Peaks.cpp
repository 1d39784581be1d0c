#include "playback/Peaks.h"

#include "playback/engine/Source.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vorlane {

namespace {

// Each column is ten level readings in a row, each the peak of the next 20 ms.
constexpr int kReadsPerColumn = 10;
constexpr int kReadsPerSecond = 50;
// The largest level word less one: a full-scale column reaches the strip's edge.
constexpr double kFullLevel = 32766.0;
constexpr int kTitlePointSize = 140;

uint32_t LevelWord(float peak)
{
    return static_cast<uint32_t>(std::lround(std::min(peak, 1.0f) * 32768.0f));
}

} // namespace

std::unique_ptr<TPeakColumns> AnalysePeaks(const QString &path, QSize size,
                                           const std::atomic<bool> *stop, QString *error)
{
    std::unique_ptr<engine::Source> src = engine::Source::OpenFile(path, error);
    if (!src)
        return nullptr;
    auto peaks = std::make_unique<TPeakColumns>();
    peaks->width = std::max(1, size.width());
    peaks->height = std::max(1, size.height());
    const int width = peaks->width;
    const int channels = src->Channels();
    const int window = std::max(1, src->Rate() / kReadsPerSecond);
    const qint64 length = src->Length();
    // Bytes per column; a file shorter than the strip has step 0 and is measured at its start for
    // every column.
    const qint64 step = length / width;
    std::vector<float> buf(static_cast<size_t>(window) * channels);
    std::vector<std::pair<qint64, qint64>> sums(static_cast<size_t>(width) + 1);

    int done = 0;
    for (; done < width; ++done) {
        const qint64 at = done * step;
        if (at <= length)
            src->SetPosition(at, engine::Source::Seek::Coarse); // a failed seek reads on
        for (int r = 0; r < kReadsPerColumn; ++r) {
            const int got = src->Read(buf.data(), window);
            float left = 0, right = 0;
            for (int f = 0; f < got; ++f) {
                const float *s = buf.data() + static_cast<size_t>(f) * channels;
                left = std::max(left, std::fabs(s[0]));
                right = std::max(right, std::fabs(s[channels > 1 ? 1 : 0]));
            }
            sums[done].first += static_cast<qint64>(LevelWord(left)) - 1;
            sums[done].second += static_cast<qint64>(LevelWord(right)) - 1;
        }
        if (stop && stop->load())
            break;
    }
    peaks->complete = done == width;

    const int half = peaks->height / 2;
    peaks->columns.reserve(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i) {
        const auto line = [half](qint64 sum) {
            return static_cast<int>(std::trunc(sum / double(kReadsPerColumn) / kFullLevel * half));
        };
        peaks->columns.emplace_back(line(sums[i].first), line(sums[i].second));
    }
    return peaks;
}

QImage DrawPeaks(const TPeakColumns &peaks, const TPeaksColors &colors)
{
    QImage image(std::max(1, peaks.width), std::max(1, peaks.height), QImage::Format_RGB32);
    image.fill(colors.background);
    const QRgb pen = colors.line.rgb();
    const int w = image.width(), h = image.height();
    const int half = h / 2;
    // The centre line lies one pixel above the middle; a strip one pixel high has none.
    if (half >= 1)
        std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(half - 1)), w, pen);
    if (!peaks.complete)
        return image;
    const int columns = std::min<int>(w, static_cast<int>(peaks.columns.size()));
    for (int x = 0; x < columns; ++x) {
        // From half − top down to half + bottom, the end pixel excluded.
        const int from = std::max(0, half - peaks.columns[x].first);
        const int to = std::min(h, half + peaks.columns[x].second);
        for (int y = from; y < to; ++y)
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = pen;
    }
    return image;
}

QImage DrawTextOnPeaks(const QString &text, QSize size, const QString &family,
                       const TPeaksColors &colors)
{
    const QSize strip(std::max(1, size.width()), std::max(1, size.height()));
    // Fonts need a GUI application; without one (the command-line tool) the strip stays blank.
    if (text.isEmpty() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QImage blank(strip, QImage::Format_RGB32);
        blank.fill(colors.background);
        return blank;
    }
    QFont font(family);
    font.setPointSize(kTitlePointSize);
    const QFontMetrics metrics(font);
    QImage scratch(std::max(1, metrics.horizontalAdvance(text)), std::max(1, metrics.height()),
                   QImage::Format_RGB32);
    scratch.fill(colors.background);
    {
        QPainter p(&scratch);
        p.setFont(font);
        p.setPen(colors.line);
        p.drawText(0, metrics.ascent(), text);
    }
    // Smooth scaling keeps the strokes, which are thick at this size, visible when squeezed.
    return scratch.scaled(strip, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void DrawPeaksCursor(QImage &image, int x)
{
    if (x < 0 || x >= image.width())
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb &px = reinterpret_cast<QRgb *>(image.scanLine(y))[x];
        px ^= 0x00FFFFFFu;
    }
}

// ---- Worker ---------------------------------------------------------------------------------

TVLPeakAnalizerThread::TVLPeakAnalizerThread(const QString &FileName, QSize Size, QObject *parent)
    : QThread(parent)
    , vFileName(FileName)
    , vSize(Size)
{
}

TVLPeakAnalizerThread::~TVLPeakAnalizerThread()
{
    RequestStop();
    wait();
}

void TVLPeakAnalizerThread::run()
{
    vResult = AnalysePeaks(vFileName, vSize, &vStop);
}

// ---- Owner ----------------------------------------------------------------------------------

TPeakAnalysis::TPeakAnalysis(QObject *parent)
    : QObject(parent)
{
}

TPeakAnalysis::~TPeakAnalysis()
{
    for (TVLPeakAnalizerThread *t : vThreads)
        t->RequestStop();
    for (TVLPeakAnalizerThread *t : vThreads)
        t->wait();
}

void TPeakAnalysis::SetStyle(const TPeaksColors &colors, const QString &family)
{
    vColors = colors;
    vFamily = family;
}

bool TPeakAnalysis::Start(const QString &path, const QString &title, QSize size)
{
    if (vRunning)
        return false;
    vImage = DrawTextOnPeaks(title, size, vFamily, vColors);
    vPeaks.reset();
    vRunning = true;
    vPendingPath = path;
    vPendingSize = size;
    // A cancelled worker may still be measuring its last column: this one starts after it.
    if (vThreads.empty())
        Launch();
    else
        vPending = true;
    return true;
}

void TPeakAnalysis::Launch()
{
    vPending = false;
    auto *thread = new TVLPeakAnalizerThread(vPendingPath, vPendingSize, this);
    vCurrent = thread;
    vThreads.push_back(thread);
    connect(thread, &QThread::finished, this, [this, thread] { Finished(thread); });
    thread->start();
}

void TPeakAnalysis::Cancel()
{
    if (!vRunning)
        return;
    vRunning = false;
    vPending = false;
    if (vCurrent) {
        vCurrent->RequestStop();
        vCurrent = nullptr;
    }
    TPeakColumns blank;
    blank.width = vPendingSize.width();
    blank.height = vPendingSize.height();
    vImage = DrawPeaks(blank, vColors);
    vPeaks.reset();
}

void TPeakAnalysis::ShowText(const QString &text, QSize size)
{
    vImage = DrawTextOnPeaks(text, size, vFamily, vColors);
    vPeaks.reset();
}

void TPeakAnalysis::Finished(TVLPeakAnalizerThread *thread)
{
    std::erase(vThreads, thread);
    std::unique_ptr<TPeakColumns> result = thread->TakeResult();
    thread->deleteLater();
    if (thread == vCurrent) {
        vCurrent = nullptr;
        vRunning = false;
        // A file with no audio keeps its title.
        if (result && result->complete) {
            vImage = DrawPeaks(*result, vColors);
            vPeaks = std::move(result);
        }
        Q_EMIT finished();
    }
    if (vPending && vThreads.empty())
        Launch();
}

} // namespace vorlane
