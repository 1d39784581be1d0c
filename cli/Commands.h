#pragma once
// The subcommands of vorlane-cli. Each takes the arguments after its name and returns the
// process exit status; messages for the user go to standard error, results to standard output.

#include <QStringList>

namespace vorlane::cli {

} // namespace vorlane::cli
