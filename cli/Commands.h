#pragma once
// The subcommands of vorlane-cli. Each takes the arguments after its name and returns the
// process exit status; messages for the user go to standard error, results to standard output.

#include <QStringList>

namespace vorlane::cli {

// scan DIR [--subfolders] [--all-files] [--sort name|name-desc|title|date]: the folder's list in
// the list line format (cursor line, then one full path per line). 0; 1 for a missing folder.
int RunScan(const QStringList &args);

// Effects shared by play and render: --eq G0,...,G9 (dB per band, 12-semitone bands),
// --echo MIX,DELAY_MS, --compressor THRESHOLD_DB,RATIO, --tempo PERCENT.
// play FILE|URL [effects] [--seconds S]: plays through the engine, printing the status text once
// a second. 0; 1 when the source cannot be opened; 2 for bad arguments.
int RunPlay(const QStringList &args);
// render FILE OUT.wav [effects] [--from SECONDS] [--seconds S]: the same chain without output,
// written as a 32-bit float WAV. 0; 1 when the source cannot be opened or OUT not written.
int RunRender(const QStringList &args);
// info [--json] FILE|URL: decoded length in bytes and seconds, rate, channels, bit rate; with
// --json one object {"bytes":N,"seconds":S,"rate":R,"channels":C,"bitrate":K}. 0; 1 when the
// source cannot be opened.
int RunInfo(const QStringList &args);

} // namespace vorlane::cli
