#include "base/Messages.h"

#include <QHash>

namespace vorlane {

namespace {

using Field = QString TMessages::*;

const QHash<QString, Field> &fieldTable()
{
    static const QHash<QString, Field> table = [] {
        QHash<QString, Field> t;
#define VORLANE_MESSAGE_ENTRY(key) t.insert(QStringLiteral(#key), &TMessages::key);
        VORLANE_MESSAGE_KEYS(VORLANE_MESSAGE_ENTRY)
#undef VORLANE_MESSAGE_ENTRY
        return t;
    }();
    return table;
}

} // namespace

TMessages &Msg()
{
    static TMessages messages;
    return messages;
}

const QStringList &MessageKeys()
{
    static const QStringList keys = {
#define VORLANE_MESSAGE_NAME(key) QStringLiteral(#key),
        VORLANE_MESSAGE_KEYS(VORLANE_MESSAGE_NAME)
#undef VORLANE_MESSAGE_NAME
    };
    return keys;
}

bool SetMessage(const QString &key, const QString &text)
{
    const auto it = fieldTable().constFind(key);
    if (it == fieldTable().constEnd())
        return false;
    Msg().*(it.value()) = text;
    return true;
}

void ClearMessages()
{
    Msg() = TMessages{};
}

} // namespace vorlane
