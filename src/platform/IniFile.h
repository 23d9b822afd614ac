// A plain INI file read and written the way the classic private-profile
// functions do: "[Section]" lines open sections, "Key=Value" lines hold
// values, section and key names are compared without regard to case, values
// are taken as written (no quoting or escaping of their own), and every line
// the program does not touch (unknown sections, comments, odd lines) is kept
// as it was. A missing or garbled file reads as empty, so every value falls
// back to its default.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TIniFile
{
public:
    // Reads the file at once; it is written by UpdateFile (or when the object
    // is destroyed with unwritten changes).
    explicit TIniFile(const QString &fileName);
    ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &FileName() const { return FFileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal text, or hexadecimal after "0x"/"0X"; anything else gives the default.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // Any integer other than 0 is true.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    // Written as "1" or "0".
    void WriteBool(const QString &section, const QString &key, bool value);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // Section names in file order, as written.
    QStringList Sections() const;
    // The non-empty lines of a section in file order, as written.
    QStringList ReadSectionLines(const QString &section) const;
    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);

    // Writes the file atomically when something changed; false when it
    // could not be written (ErrorString says why). A file that could not be
    // read is never written over: the user's lines in it would be lost.
    bool UpdateFile();
    bool Modified() const { return FModified; }
    QString ErrorString() const { return FError; }
    // Why a file that is there was read as empty (not a regular file, over
    // the size a settings file can have); empty when it was read or missing.
    QString Unreadable() const { return FUnreadable; }
    // The largest file read, in bytes.
    static qint64 MaxFileSize();

    // Integer text as the private-profile functions read it (exposed for the
    // values other settings code parses).
    static bool ParseInteger(const QString &text, int &value);

private:
    // The range of lines [first, last) of a section's body; first == -1 when
    // missing. entry is the section's place in the index of sections.
    struct Range {
        int header = -1;
        int first = -1;
        int last = -1;
        int entry = -1;
    };
    // One "[Section]" line of the file, with the first line of its body
    // holding each key hash (as an offset from the header), collected when
    // the section is first read. Two different keys sharing a hash are rare;
    // looking up the second one falls back to scanning the section.
    struct SectionEntry {
        int header = -1;
        std::optional<QHash<size_t, int>> keys;
    };
    Range FindSection(const QString &section) const;
    int FindKey(const Range &range, const QString &key) const;
    static bool IsSectionLine(const QString &line, QString *name = nullptr);
    static bool SplitKeyValue(const QString &line, QString *key, QString *value);
    static QStringView KeyOf(const QString &line);
    static size_t FoldedHash(QStringView key);
    void Load();
    // Looking a key up never rescans the file: the section headers are
    // indexed once, and each section's keys when the section is first read.
    void IndexSections() const;
    void ForgetIndex() const;
    void NoteKeyInserted(const Range &range, int line, const QString &key);

    QString FFileName;
    QStringList FLines;
    mutable bool FIndexed = false;
    mutable QList<SectionEntry> FSections;
    mutable QHash<QString, int> FFirstSectionNamed; // lower-case name -> entry
    QString FLineEnd = QStringLiteral("\n");
    bool FModified = false;
    QString FUnreadable;
    QString FError;
};
