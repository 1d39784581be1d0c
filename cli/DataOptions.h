#pragma once
// What the commands that read a data folder's Config.ini share: the "--data DIR" option, the
// default data folder, the settings file and the output stream.

#include "base/IniFile.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vorlane::cli {

// The arguments that are not options, and the data folder (ending in "/"): "--data DIR", by
// default the one the program itself would use (the working folder when it holds
// VL4Conf/Config.ini, else the user's application-data folder).
struct TDataOptions {
    QStringList Positional;
    QString DataDir;
};

// Splits "--data DIR" from the other arguments; false for an unknown option.
bool ParseDataOptions(const QStringList &args, TDataOptions &o);

// VL4Conf/Config.ini of the data folder.
QString ConfigPath(const QString &dataDir);

// Config.ini of the data folder, with its code page applied to the text files read after.
TIniFile ReadDataConfig(const QString &dataDir);

// Standard output as UTF-8.
QTextStream &Output();

} // namespace vorlane::cli
