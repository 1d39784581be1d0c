#pragma once
// The file name of a recorded network stream.

#include <QDateTime>
#include <QString>

namespace vorlane {

// "dd_mm_yy-hh_mm_ss.mp3" of the given local time (two-digit year, 24-hour clock), e.g.
// "07_12_26-23_55_01.mp3".
QString RecordedStreamName(const QDateTime &when);

} // namespace vorlane
