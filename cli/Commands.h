#pragma once
// The subcommands of vorlane-cli. Each takes the arguments after its name and returns the
// process exit status; messages for the user go to standard error, results to standard output.

#include <QStringList>

namespace vorlane::cli {

using TCommandFunction = int (*)(const QStringList &args);

// play, render, info and waveform are built into a module of their own, vorlane-cli-playback.so,
// with the audio engine (FFmpeg, SDL): vorlane-cli loads it for those four only, so that the other
// commands start without binding the two hundred libraries the engine brings. The module's one
// entry point (kPlaybackCommandSymbol) gives the command of a name, or null for another name.
using TPlaybackCommandLookup = TCommandFunction (*)(const char *name);
inline constexpr const char *kPlaybackCommandSymbol = "VorlaneCliPlaybackCommand";

// scan DIR [--subfolders] [--all-files] [--sort name|name-desc|title|date]: the folder's list in
// the list line format (cursor line, then one full path per line). Files the list cannot hold
// (a line break in the path, a name that is not valid text) are left out, and when there are any
// one line on standard error says how many. 0; 1 for a missing folder.
int RunScan(const QStringList &args);

// Effects shared by play and render: --eq G0,...,G9 (dB per band, 12-semitone bands),
// --echo MIX,DELAY_MS, --compressor THRESHOLD_DB,RATIO, --tempo PERCENT.
// play FILE|URL [effects] [--seconds S]: plays through the engine, printing the status text once
// a second. 0; 1 when the source cannot be opened; 2 for bad arguments.
int RunPlay(const QStringList &args);
// render FILE OUT.wav [effects] [--from SECONDS] [--seconds S]: the same chain without output,
// written as a 32-bit float WAV while it is rendered. 0; 1 when the source cannot be opened or
// OUT not written whole (no file is left then), or when OUT is the source itself.
int RunRender(const QStringList &args);
// info [--json] FILE|URL: decoded length in bytes and seconds, rate, channels, bit rate; with
// --json one object {"bytes":N,"seconds":S,"rate":R,"channels":C,"bitrate":K}. 0; 1 when the
// source cannot be opened.
int RunInfo(const QStringList &args);

// waveform FILE [--width N] [--height H] [--png OUT] [--json]: the waveform strip's analysis of a
// file for a strip N × H pixels (default 800 × 60). Per column the two line lengths in pixels, top
// (left channel) and bottom (right channel): one "top bottom" line per column, or with --json one
// object {"width":N,"height":H,"columns":[[top,bottom],...]}; --png writes the peaks image, and
// alone prints nothing. 0; 1 when the file does not open or OUT cannot be written; 2 for bad
// arguments (N and H are whole numbers from 1 to 16384 and to 4096).
int RunWaveform(const QStringList &args);

// tags show [--json] FILE...: each file's ID3v1 fields, ID3v2 version and six fields, frames
//   (identifier, size) and pictures (MIME type, picture type, description, bytes); with --json
//   one object per line.
// tags set [--v1|--v2] [--title T] [--artist A] [--album B] [--track N] [--genre G] [--year Y]
//   FILE...: empty fields stay as they are; --v2 by default.
// tags copy --to-v1|--to-v2 FILE...: copies the fields between the tag versions of MP3 files.
// tags cover IMAGE FILE...: makes the picture the front cover of MP3 files.
// MP3 files go through the tag editor; .wav/.aif/.aiff/.aifc files have their ID3v2 tag chunk
// read and written directly. Only regular files are opened (a FIFO, device or folder is refused
// at once) and no file is ever created. 0; 1 when a file cannot be read or written: missing, not
// a regular file, read-only (for root too, when no write bit is set), a damaged ID3v2 tag (a size
// that is not valid or runs past the end of the file: the file is left as it is), an IMAGE that
// is not a picture, or a failed write (the file then is as it was); 2 for bad usage.
int RunTags(const QStringList &args);

// rename DIR (--from-v2|--from-v1 [--template number,artist,album,name,year] | --format |
//   --to-latin | --to-cyrillic | --number | --replace OLD NEW) [--subfolders]: renames the
//   folder's audio files, in natural name order, by one naming tool (the template defaults to
//   artist,name); prints "OLD -> NEW" (paths below DIR) per renamed file. Only files that
//   really lie inside DIR are renamed: one reached through a link that leads out of DIR is left
//   alone. 0; 1 for a missing folder, when a rename was refused (the new name taken or not
//   allowed) or a file was left alone; 2 for bad usage.
int RunRename(const QStringList &args);
// tags from-names DIR: writes "Artist - Title" and the position in natural name order as
//   artist, title and track of each MP3 of the folder; prints "NAME -> track N, artist A,
//   title T" per file. A name that is not text in the system's encoding is reported and skipped;
//   a link to a file outside DIR is left alone. 0; 1 for a missing folder, a skipped name, a file
//   left alone or a tag that could not be written; 2 for bad usage. Dispatched from RunTags.
int RunTagsFromNames(const QStringList &args);

// The internet catalogue and search read Config.ini of a data folder: --data DIR names the folder
// that holds VL4Conf/, by default the one the program itself would use (the working folder when it
// holds VL4Conf/Config.ini, else the user's application-data folder).
// catalogue refresh [--data DIR]: the connection check's read of the index (ServerName), then
//   the cache refresh, synchronously: one line per index line, "updated NAME", "kept NAME",
//   "failed NAME" (NAME: the cache file) or "skipped LINE" for a line that names no cache file.
//   0 when the index was read; 1 when the catalogue is off (no ServerName), the index does not
//   answer with a length or cannot be downloaded.
// catalogue lists [--data DIR]: the internet lists' display names, one per line, from the cache.
// catalogue show N [--data DIR]: the entries of internet list N (from 0) from the cache, one per
//   line: the address, then "?" and the title when there is one. 1 when there is no list N.
// 2 for bad usage.
int RunCatalogue(const QStringList &args);
// search QUERY [--data DIR]: both search sites of the "Services" section as the program's search
//   runs them; one result per line, address + "?" + title, in the order found. 0, also with no
//   results (a site that is not set is named on standard error); 1 when neither site is set;
//   2 for bad usage.
int RunSearch(const QStringList &args);

// The account commands read the account server's settings of the "Services" section (--data as
// above) and log in as the program does: the account is named by login and password alone. The
// password comes from the environment variable VORLANE_PASSWORD, else from the first line of
// standard input; it is never an argument. Each command first makes the connection check: the
// catalogue index (ServerName) answers with a length, or with ServerName empty the account server
// accepts the login.
// account create LOGIN [--data DIR]: creates the account unless it exists (an existing account's
//   file is left as it is). 0 when the account exists afterwards; 1 otherwise (service off, no
//   connection, the server refused).
// account show LOGIN [--data DIR]: logs in and prints the account as loaded: the cursor, the
//   playlist's entries in the list line format, one per line, a line "Bookmarks:", then five
//   lines per bookmark of the account file (Name, FileName, PlayPosition, ListName, RootDir).
//   0; 1 when the login fails (no such account, server unreachable, service off).
// 2 for bad usage or no password.
int RunAccount(const QStringList &args);
// feedback TEXT [--data DIR]: appends one message to this computer's feedback file of the day on
//   the account server. 0 when it was stored; 1 otherwise (service off, no connection, the upload
//   failed); 2 for bad usage.
int RunFeedback(const QStringList &args);

} // namespace vorlane::cli
