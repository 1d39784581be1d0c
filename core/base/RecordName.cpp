#include "core/base/RecordName.h"

namespace vorlane {

QString RecordedStreamName(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd_MM_yy-HH_mm_ss")) + QStringLiteral(".mp3");
}

} // namespace vorlane
