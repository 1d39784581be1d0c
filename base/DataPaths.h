#pragma once
// Where the program's bundled data (lang.ini, DefCover.png, the default VL4Conf) is found.

#include <QString>

namespace vorlane {

// The bundled data folder, ending in "/": $VORLANE_DATA_DIR when set, else the installed
// share/vorlane beside the program, else the source tree's data/ of a development build.
// Empty when none of them exists.
QString BundledDataDir();

// A file of the bundled data looked up first in the current folder, then in BundledDataDir().
// Empty when neither holds it.
QString FindDataFile(const QString &name);

} // namespace vorlane
