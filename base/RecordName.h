#pragma once
// The file name of a recorded network stream.

#include <QDateTime>
#include <QString>

#include <functional>

namespace vorlane {

// "dd_mm_yy-hh_mm_ss.mp3" of the given local time (two-digit year, 24-hour clock), e.g.
// "07_12_26-23_55_01.mp3".
QString RecordedStreamName(const QDateTime &when);

// A recording in progress is written as its name + ".part". The name a part file left by a
// crash is kept under: its own stamp without ".part", or with "-2", "-3", ... before ".mp3" when
// `taken` says the name is in use. Empty for a name that is not one of our part files.
QString RecoveredRecordingName(const QString &partName,
                               const std::function<bool(const QString &)> &taken);

} // namespace vorlane
