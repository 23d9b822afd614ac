#include "platform/IniFile.h"

#include "platform/InputFiles.h"
#include "platform/OutputFiles.h"

#include <QStringDecoder>
#include <limits>

namespace {

QString DecodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes); // written by an older program in a single-byte code page
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// Values keep their own spelling, but a line break would split the entry.
QString OneLine(QString value)
{
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

TIniFile::TIniFile(const QString &fileName) : FFileName(fileName) { Load(); }

TIniFile::~TIniFile()
{
    if (FModified)
        UpdateFile();
}

void TIniFile::Load()
{
    std::optional<QByteArray> bytes;
    try {
        bytes = platform::ReadInputFileIfPresent(FFileName, platform::TInputKind::SettingsFile);
    } catch (const platform::EInputFileError &e) {
        FUnreadable = e.Message();
        return;
    }
    if (!bytes)
        return;
    const QString text = DecodeText(*bytes);
    if (text.contains(QLatin1String("\r\n")))
        FLineEnd = QStringLiteral("\r\n");
    // Lines end at CR, LF or CR LF.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
            ++end;
        FLines.append(text.mid(start, end - start));
        if (end < text.size() && text.at(end) == QLatin1Char('\r') && end + 1 < text.size()
            && text.at(end + 1) == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
}

// The key of a "Key=Value" line, empty when the line holds none.
QStringView TIniFile::KeyOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq <= 0 ? QStringView() : QStringView(line).left(eq).trimmed();
}

// A hash that ignores case, taken without copying the key.
size_t TIniFile::FoldedHash(QStringView key)
{
    size_t hash = 1469598103934665603ull;
    for (const QChar c : key) {
        hash ^= c.toCaseFolded().unicode();
        hash *= 1099511628211ull;
    }
    return hash;
}

bool TIniFile::IsSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool TIniFile::SplitKeyValue(const QString &line, QString *key, QString *value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    if (key->isEmpty())
        return false;
    *value = line.mid(eq + 1).trimmed();
    return true;
}

void TIniFile::IndexSections() const
{
    if (FIndexed)
        return;
    FSections.clear();
    FFirstSectionNamed.clear();
    for (int i = 0; i < FLines.size(); ++i) {
        QString name;
        if (!IsSectionLine(FLines[i], &name))
            continue;
        FFirstSectionNamed.insert(name.toCaseFolded(), FFirstSectionNamed.value(name.toCaseFolded(), int(FSections.size())));
        FSections.append(SectionEntry{i, std::nullopt});
    }
    FIndexed = true;
}

void TIniFile::ForgetIndex() const
{
    FIndexed = false;
    FSections.clear();
    FFirstSectionNamed.clear();
}

TIniFile::Range TIniFile::FindSection(const QString &section) const
{
    IndexSections();
    Range r;
    const auto found = FFirstSectionNamed.constFind(section.trimmed().toCaseFolded());
    if (found == FFirstSectionNamed.constEnd())
        return r;
    r.entry = found.value();
    r.header = FSections[r.entry].header;
    r.first = r.header + 1;
    r.last = r.entry + 1 < FSections.size() ? FSections[r.entry + 1].header : int(FLines.size());
    return r;
}

int TIniFile::FindKey(const Range &range, const QString &key) const
{
    if (range.header < 0)
        return -1;
    SectionEntry &section = FSections[range.entry];
    if (!section.keys) {
        section.keys.emplace();
        section.keys->reserve(range.last - range.first);
        // From the last line up, so the first line with a key is what stays.
        for (int i = range.last - 1; i >= range.first; --i) {
            const QStringView k = KeyOf(FLines[i]);
            if (!k.isEmpty())
                section.keys->insert(FoldedHash(k), i - range.header);
        }
    }
    // The first line of the section with this key, as a rescan would find it.
    const QStringView wanted = QStringView(key).trimmed();
    const auto found = section.keys->constFind(FoldedHash(wanted));
    if (found == section.keys->constEnd())
        return -1;
    if (KeyOf(FLines[range.header + found.value()]).compare(wanted, Qt::CaseInsensitive) == 0)
        return range.header + found.value();
    for (int i = range.first; i < range.last; ++i)
        if (KeyOf(FLines[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A key line inserted into a section's body moves every later section down.
void TIniFile::NoteKeyInserted(const Range &range, int line, const QString &key)
{
    for (qsizetype i = range.entry + 1; i < FSections.size(); ++i)
        ++FSections[i].header;
    SectionEntry &section = FSections[range.entry];
    const size_t hash = FoldedHash(QStringView(key).trimmed());
    if (section.keys && !section.keys->contains(hash))
        section.keys->insert(hash, line - range.header);
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int at = FindKey(FindSection(section), key);
    if (at < 0)
        return defaultValue;
    QString k, v;
    SplitKeyValue(FLines[at], &k, &v);
    return v;
}

bool TIniFile::ParseInteger(const QString &text, int &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong n = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+')))
            return false;
        const qulonglong u = digits.toULongLong(&ok, 16);
        // Eight hex digits cover the whole 32-bit pattern, negative numbers included.
        if (!ok || u > 0xFFFFFFFFull)
            return false;
        value = int(uint32_t(u));
        return true;
    }
    n = t.toLongLong(&ok, 10);
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return false;
    value = int(n);
    return true;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    if (!ParseInteger(ReadString(section, key, QString()), value))
        return defaultValue;
    return value;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key.trimmed() + QLatin1Char('=') + OneLine(value);
    Range r = FindSection(section);
    if (r.header < 0) {
        if (!FLines.isEmpty() && !FLines.last().trimmed().isEmpty())
            FLines.append(QString());
        FLines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        FLines.append(entry);
        FModified = true;
        ForgetIndex();
        return;
    }
    const int at = FindKey(r, key);
    if (at >= 0) {
        // The key keeps the spelling the file gives it.
        QString existingKey, oldValue;
        SplitKeyValue(FLines[at], &existingKey, &oldValue);
        const QString replaced = existingKey + QLatin1Char('=') + OneLine(value);
        if (FLines[at] != replaced) {
            FLines[at] = replaced;
            FModified = true;
        }
        return;
    }
    // A new key goes after the section's last non-blank line, so the blank
    // line that separates it from the next section stays where it is.
    int insertAt = r.last;
    while (insertAt > r.first && FLines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    FLines.insert(insertAt, entry);
    NoteKeyInserted(r, insertAt, key);
    FModified = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString &section) const { return FindSection(section).header >= 0; }

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return FindKey(FindSection(section), key) >= 0;
}

QStringList TIniFile::Sections() const
{
    QStringList names;
    for (const QString &line : FLines) {
        QString name;
        if (IsSectionLine(line, &name))
            names.append(name);
    }
    return names;
}

QStringList TIniFile::ReadSectionLines(const QString &section) const
{
    QStringList lines;
    const Range r = FindSection(section);
    if (r.header < 0)
        return lines;
    for (int i = r.first; i < r.last; ++i)
        if (!FLines[i].trimmed().isEmpty())
            lines.append(FLines[i]);
    return lines;
}

void TIniFile::EraseSection(const QString &section)
{
    for (;;) {
        Range r = FindSection(section);
        if (r.header < 0)
            return;
        // The blank lines before a following section stay, to keep sections apart.
        int end = r.last;
        if (r.last < FLines.size())
            while (end > r.first && FLines[end - 1].trimmed().isEmpty())
                --end;
        FLines.remove(r.header, end - r.header);
        FModified = true;
        ForgetIndex();
    }
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    const int at = FindKey(FindSection(section), key);
    if (at < 0)
        return;
    FLines.removeAt(at);
    FModified = true;
    ForgetIndex();
}

bool TIniFile::UpdateFile()
{
    if (!FModified)
        return true;
    if (!FUnreadable.isEmpty()) {
        FError = QStringLiteral("the file was not read: %1").arg(FUnreadable);
        return false;
    }
    QString text;
    for (const QString &line : FLines) {
        text += line;
        text += FLineEnd;
    }
    try {
        platform::WriteOutputFile(FFileName, text.toUtf8());
    } catch (const platform::EOutputFileError &e) {
        FError = e.Message();
        return false;
    }
    FModified = false;
    FError.clear();
    return true;
}

qint64 TIniFile::MaxFileSize() { return platform::InputFileLimit(platform::TInputKind::SettingsFile); }
