#pragma once
// TIniFile: the settings files of the program (Config.ini, lang.ini) as classic INI text.
//
// The file is read once into memory; reads and writes work on that copy and Save() writes the
// whole file back in one atomic rename. The rules are those of the classic profile-string
// functions the files were first written with:
// - "[Section]" lines open sections; "key=value" lines belong to the last section opened. Lines
//   before the first section, comment lines (";" or "#") and anything else are kept as they are.
// - Section and key names are matched without regard to case, after trimming spaces and tabs;
//   the first matching section and the first matching key in it win.
// - A value is the text after the first "=", trimmed; one pair of matching quotes around it
//   ("..." or '...') is removed.
// - Integers are decimal (optional sign; "0x"/"$" hexadecimal is accepted too); booleans are read
//   as integers, any non-zero value meaning true, and written as "1" or "0". A missing key or a
//   value that is not a number gives the caller's default.
// - Writing a key replaces its line in place ("key=value"); a new key goes after the last entry of
//   its section; a new section is appended at the end. Keys never written keep the file's text,
//   and every other line, comment and blank line keeps its place.
// Text encoding: read by the program's text-file rules (byte-order mark, UTF-8, else the legacy
// code page); written UTF-8 without a mark, lines ended by CR LF.
// A line of more than kMaxIniLine characters is damaged (no setting or text needs such a value):
// it reads as a blank line, costs no memory while the file is read, and is gone when the file is
// saved (base/TextFile.h).
//
// Not thread-safe, reads included (they build a lookup index): one owner at a time (the main
// window at start and exit).

#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QString>
#include <QStringList>

namespace vorlane {

inline constexpr qsizetype kMaxIniLine = 64 * 1024;

class TIniFile {
public:
    TIniFile() = default;
    // Reads path; a missing or unreadable file gives an empty document (Exists() false).
    explicit TIniFile(const QString &path);

    bool Load(const QString &path);
    // Reads a document from a device (FileName() becomes empty). False when the device cannot be
    // read.
    bool Load(QIODevice &device);
    // Takes the lines of a document from text (tests, lang.ini handed in memory).
    void SetText(const QString &text);

    QString FileName() const { return vFileName; }
    bool Exists() const { return vExists; }

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // The keys of a section in file order (first occurrence of each).
    QStringList ReadSection(const QString &section) const;

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // The document's lines as they would be written.
    const QStringList &Lines() const { return vLines; }
    bool Modified() const { return vModified; }

    // Writes the document to FileName() (or to path) atomically: the old file stays whole until
    // the new one is complete. False when it cannot be written.
    bool Save();
    bool SaveAs(const QString &path);

    // A value text as an integer; false when it is not one.
    static bool ParseInteger(const QString &text, int &value);

private:
    struct Span {
        int Header = -1; // line of "[Section]"
        int End = 0;     // one past the section's last line
    };
    bool findSection(const QString &section, Span &span) const;
    int findKey(const Span &span, const QString &key) const;
    // The lookups by name, made on first use and dropped whenever the lines change: a language
    // file is asked for hundreds of keys in a row. Names are matched there in lower case, which
    // is the case-blind match only for plain ASCII; other names are searched line by line.
    struct TIndex {
        bool Built = false;
        bool LinearSections = false;          // a section name that is not plain ASCII
        QHash<QString, Span> Sections;        // lower-case name -> first such section
        QHash<int, QHash<QString, int>> Keys; // section header -> lower-case key -> line
        QSet<int> LinearKeys;                 // sections with a key not in plain ASCII
    };
    void buildSectionIndex() const;
    const QHash<QString, int> *keyIndex(const Span &span) const;

    QString vFileName;
    QStringList vLines;
    bool vExists = false;
    bool vModified = false;
    mutable TIndex vIndex;
};

} // namespace vorlane
