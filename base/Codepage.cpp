#include "base/Codepage.h"

#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vorlane {

namespace {

// Guards currentName only; decoders are made per call, they are cheap and not thread-safe.
QMutex nameMutex;
QString currentName;

bool isKnown(const QString &name)
{
    QStringDecoder probe(name.toLatin1().constData());
    return probe.isValid();
}

} // namespace

QString DefaultLegacyCodePage()
{
    const QLocale::Script script = QLocale::system().script();
    return script == QLocale::CyrillicScript ? QStringLiteral("windows-1251")
                                             : QStringLiteral("windows-1252");
}

QString LegacyCodePage()
{
    QMutexLocker lock(&nameMutex);
    if (currentName.isEmpty())
        currentName = DefaultLegacyCodePage();
    return currentName;
}

bool SetLegacyCodePage(const QString &name)
{
    const QString chosen = name.trimmed().isEmpty() ? DefaultLegacyCodePage() : name.trimmed();
    if (!isKnown(chosen))
        return false;
    QMutexLocker lock(&nameMutex);
    currentName = chosen;
    return true;
}

QString DecodeLegacy(const QByteArray &bytes)
{
    QStringDecoder decoder(LegacyCodePage().toLatin1().constData());
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray EncodeLegacy(const QString &text)
{
    QStringEncoder encoder(LegacyCodePage().toLatin1().constData());
    if (!encoder.isValid())
        return text.toLatin1();
    // The ICU encoder substitutes unmappable characters itself; make the substitute a plain "?"
    // so ID3v1 fields never carry the 0x1A control character.
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        QByteArray one = encoder.encode(QStringView(&c, 1));
        if (one.size() != 1 || one.at(0) == '\x1a')
            one = "?";
        out += one;
    }
    return out;
}

} // namespace vorlane
