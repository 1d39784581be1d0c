#pragma once
// Where the program keeps its configuration folder VL4Conf (Config.ini, the list files, the
// playlists, the cache), and the first start that puts one there.
//
// The data folder is the working folder when it holds VL4Conf/Config.ini (a portable install),
// else the user's application-data folder. When neither holds the file, the application-data
// folder is seeded from the bundled defaults (data/VL4Conf of the installation) and used.

#include <QString>

namespace vorlane {

struct TDataFolder {
    QString Dir;         // the data folder, ending in "/"; empty when none could be had
    bool Seeded = false; // this start copied the bundled defaults into it
    QString Error;       // why there is none (for standard error)
};

// The folder (ending in "/") among the two that holds VL4Conf/Config.ini, the working folder
// first; empty when neither does.
QString ChooseDataFolder(const QString &workingDir, const QString &appDataDir);

// Copies bundledDir/VL4Conf (files and sub-folders, empty ones included) into
// targetDir/VL4Conf, leaving files already there alone. False with a reason when the bundled
// defaults are missing or a file or folder cannot be made.
bool SeedDataFolder(const QString &targetDir, const QString &bundledDir, QString *error);

// The start-up rule above in one call.
TDataFolder FindDataFolder(const QString &workingDir, const QString &appDataDir,
                           const QString &bundledDir);

} // namespace vorlane
