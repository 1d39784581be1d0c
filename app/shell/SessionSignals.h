#pragma once
// The end of a session as the system asks for it: SIGTERM (a logout, a shutdown), SIGINT
// (Ctrl+C in a terminal) and SIGHUP (the terminal closed). The handlers only write the signal's
// number into a pipe; a notifier on the main thread reads it and emits endRequested, so the
// program closes from its event loop as the Close command does. One object per process, made on
// the main thread; destroying it restores the default handlers.

#include <QObject>

class QSocketNotifier;

namespace vorlane {

class TSessionSignals : public QObject {
    Q_OBJECT

public:
    explicit TSessionSignals(QObject *parent = nullptr);
    ~TSessionSignals() override;

    // False when the pipe or the handlers could not be set up (the defaults then stay).
    bool Ok() const { return vNotifier != nullptr; }

Q_SIGNALS:
    void endRequested(int signal);

private:
    void onReadable();

    QSocketNotifier *vNotifier = nullptr;
};

} // namespace vorlane
