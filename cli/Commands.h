#pragma once
// The subcommands of vorlane-cli. Each takes the arguments after its name and returns the
// process exit status; messages for the user go to standard error, results to standard output.

#include <QStringList>

namespace vorlane::cli {

// scan DIR [--subfolders] [--all-files] [--sort name|name-desc|title|date]: the folder's list in
// the list line format (cursor line, then one full path per line). 0; 1 for a missing folder.
int RunScan(const QStringList &args);

} // namespace vorlane::cli
