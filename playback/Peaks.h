#pragma once
// The waveform overview of the current file: one vertical line per pixel column of the strip, the
// left channel's level upwards and the right channel's downwards from a centre line.
//
// The analysis decodes the file a second time, on its own source: for each column it seeks to
// column × (length div width) and measures ten 20 ms peaks in a row, so its cost grows with the
// strip's width, not with the file's length. TPeakAnalysis runs it on a worker; AnalysePeaks is
// the same measurement on the caller's thread (vorlane-cli waveform).

#include <QColor>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

namespace vorlane {

// The measured overview. Each column holds the two line lengths in pixels: top (left channel,
// upwards from the centre) and bottom (right channel, downwards).
struct TPeakColumns {
    int width = 0;
    int height = 0;
    std::vector<std::pair<int, int>> columns;
    // False when the analysis was stopped before its last column: such a result draws no lines.
    bool complete = false;
};

// Measures `path` for a strip of `size`. Null (and a one-line reason in *error) when the file does
// not open; a set `stop` ends the measuring after the current column (the result is then not
// complete). Any thread.
std::unique_ptr<TPeakColumns> AnalysePeaks(const QString &path, QSize size,
                                           const std::atomic<bool> *stop = nullptr,
                                           QString *error = nullptr);

// The strip's colours: the background (the main window's colour) and the lines'.
struct TPeaksColors {
    QColor background = Qt::white;
    QColor line = Qt::black;
};

// The peaks image: the background, the centre line at half − 1, and, for a complete result, each
// column's line from half − top to half + bottom (half = height div 2).
QImage DrawPeaks(const TPeakColumns &peaks, const TPeaksColors &colors = {});

// A text squeezed into the whole strip: written large (size 140 of `family`) and scaled to the
// strip. Without a QGuiApplication (no fonts) the strip is blank.
QImage DrawTextOnPeaks(const QString &text, QSize size, const QString &family,
                       const TPeaksColors &colors = {});

// Inverts column x of the image (the play cursor); a column outside it draws nothing.
void DrawPeaksCursor(QImage &image, int x);

// The worker: one analysis, started by TPeakAnalysis. Its stop token is its own, so stopping it
// can never stop a later worker.
class TVLPeakAnalizerThread : public QThread {
    Q_OBJECT

public:
    TVLPeakAnalizerThread(const QString &FileName, QSize Size, QObject *parent = nullptr);
    ~TVLPeakAnalizerThread() override;

    void RequestStop() { vStop = true; }
    // After finished(): the result (null when the file did not open).
    std::unique_ptr<TPeakColumns> TakeResult() { return std::move(vResult); }

protected:
    void run() override;

private:
    const QString vFileName;
    const QSize vSize;
    std::atomic<bool> vStop{false};
    std::unique_ptr<TPeakColumns> vResult;
};

// The strip's picture and its one analysis at a time, owned by the main window (main thread).
//
// Start shows the title and analyses a local file; when it is done the picture becomes the peaks
// (finished() is emitted). Cancel stops the running analysis: the picture is the blank strip with
// its centre line, and nothing the stopped worker still finishes reaches the picture. A Start
// while a stopped worker is still finishing waits for it, so two analyses never run at once.
class TPeakAnalysis : public QObject {
    Q_OBJECT

public:
    explicit TPeakAnalysis(QObject *parent = nullptr);
    ~TPeakAnalysis() override;

    // The strip's colours and the font family of the titles.
    void SetStyle(const TPeaksColors &colors, const QString &family);

    // Shows `title` and analyses the local file `path` for a strip of `size`. Does nothing (false)
    // while an analysis runs: the caller cancels first.
    bool Start(const QString &path, const QString &title, QSize size);
    void Cancel();
    // The running flag: true from Start until the result is in or the analysis is cancelled.
    bool Running() const { return vRunning; }

    // Shows a text across the strip (the greeting, a network entry's title).
    void ShowText(const QString &text, QSize size);

    // The strip's picture: a text, the blank strip or the peaks.
    const QImage &Image() const { return vImage; }
    // The last complete analysis shown (null while a text is shown).
    const TPeakColumns *Peaks() const { return vPeaks.get(); }

Q_SIGNALS:
    // The peaks of the analysis started last are in Image(), or it found no audio (the title
    // stays).
    void finished();

private:
    void Launch();
    void Finished(TVLPeakAnalizerThread *thread);

    TPeaksColors vColors;
    QString vFamily;
    QImage vImage;
    std::unique_ptr<TPeakColumns> vPeaks;
    bool vRunning = false;
    // The worker whose result is wanted; a cancelled one finishes on its own and is dropped.
    TVLPeakAnalizerThread *vCurrent = nullptr;
    // Workers not yet finished (the current one and cancelled ones).
    std::vector<TVLPeakAnalizerThread *> vThreads;
    // A Start that waits for a cancelled worker to finish.
    QString vPendingPath;
    QSize vPendingSize;
    bool vPending = false;
};

} // namespace vorlane
