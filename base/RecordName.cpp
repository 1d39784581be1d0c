#include "base/RecordName.h"

#include <QRegularExpression>

namespace vorlane {

QString RecordedStreamName(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd_MM_yy-HH_mm_ss")) + QStringLiteral(".mp3");
}

QString RecoveredRecordingName(const QString &partName,
                               const std::function<bool(const QString &)> &taken)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d\\d_\\d\\d_\\d\\d-\\d\\d_\\d\\d_\\d\\d)\\.mp3\\.part$"));
    const QRegularExpressionMatch match = pattern.match(partName);
    if (!match.hasMatch())
        return {};
    const QString stamp = match.captured(1);
    QString name = stamp + QStringLiteral(".mp3");
    for (int n = 2; taken(name); ++n)
        name = stamp + u'-' + QString::number(n) + QStringLiteral(".mp3");
    return name;
}

} // namespace vorlane
