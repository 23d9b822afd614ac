// Holds TPeopleTable and the CSV reader.
#include "printing/PeopleList.h"

#include "objects/BusinessCardLabel.h"
#include "platform/InputFiles.h"

namespace people {

namespace {

EPeopleListError LineError(int line, const QString &what)
{
    return EPeopleListError(QStringLiteral("Line %1: %2").arg(line).arg(what));
}

// Decodes line by line so that a byte that is not UTF-8 is reported with
// the line it stands on.
QString DecodeUtf8(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QString text;
    text.reserve(bytes.size());
    int line = 1;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView piece(bytes.constData() + start, end - start);
        if (piece.contains('\0'))
            throw LineError(line, QStringLiteral("the file is not text (it holds a zero byte)"));
        if (!piece.isValidUtf8())
            throw LineError(line, QStringLiteral("the file is not UTF-8 text"));
        text += QString::fromUtf8(piece);
        if (end < bytes.size())
            text += QLatin1Char('\n');
        start = end + 1;
        ++line;
    }
    return text;
}

// The delimiter of the first record: a semicolon when it holds more
// semicolons than commas outside quotes.
QChar DetectDelimiter(const QString &text)
{
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

struct TRecord {
    QStringList Fields;
    int Line = 1;
};

// RFC 4180 records; line breaks may be LF, CRLF or CR.
QList<TRecord> SplitRecords(const QString &text, QChar delimiter)
{
    QList<TRecord> records;
    TRecord record;
    QString field;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto endField = [&] {
        record.Fields.append(field.left(kMaxValueLength));
        field.clear();
    };
    auto endRecord = [&] {
        endField();
        const bool blank = record.Fields.size() == 1 && record.Fields.first().isEmpty();
        if (!blank)
            records.append(record);
        record = TRecord();
        record.Line = line;
    };
    auto atLineBreak = [&](qsizetype at) { return text[at] == QLatin1Char('\n') || text[at] == QLatin1Char('\r'); };
    auto skipLineBreak = [&] {
        if (text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        if (field.isEmpty() && text[i] == QLatin1Char('"')) {
            const int opened = line;
            ++i;
            for (;;) {
                if (i >= n)
                    throw LineError(opened, QStringLiteral("a quoted value is never closed"));
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (atLineBreak(i)) {
                    // A line break inside a value is kept as one LF.
                    field += QLatin1Char('\n');
                    skipLineBreak();
                    continue;
                }
                field += text[i++];
            }
            if (i < n && text[i] != delimiter && !atLineBreak(i))
                throw LineError(line, QStringLiteral("text follows a closing quote"));
            continue;
        }
        if (text[i] == delimiter) {
            endField();
            ++i;
        } else if (atLineBreak(i)) {
            skipLineBreak();
            endRecord();
        } else {
            field += text[i++];
        }
    }
    if (!field.isEmpty() || !record.Fields.isEmpty())
        endRecord();
    return records;
}

QString ColumnKey(const QString &name)
{
    QString key;
    for (const QChar c : name)
        if (!c.isSpace() && c != QLatin1Char('-') && c != QLatin1Char('_') && c != QLatin1Char('.'))
            key += c.toLower();
    return key;
}

} // namespace

TPeopleTable ReadCsv(const QByteArray &bytes)
{
    const QString text = DecodeUtf8(bytes);
    const QList<TRecord> records = SplitRecords(text, DetectDelimiter(text));
    if (records.isEmpty())
        throw LineError(1, QStringLiteral("the file has no header row naming the columns"));
    TPeopleTable table;
    table.Header = records.first().Fields;
    const qsizetype columns = table.Header.size();
    for (qsizetype r = 1; r < records.size(); ++r) {
        if (r > kMaxPeople)
            throw LineError(records[r].Line,
                            QStringLiteral("the file lists more than %1 people; one printing is for %1 at most")
                                .arg(kMaxPeople));
        const QStringList &row = records[r].Fields;
        if (row.size() > columns)
            throw LineError(records[r].Line, QStringLiteral("the row has %1 values but the header names only %2 columns")
                                                 .arg(row.size())
                                                 .arg(columns));
        // A short row stays short: a header of many columns over rows of
        // few values costs no more than the values themselves.
        table.Rows.append(row);
        table.RowLines.append(records[r].Line);
    }
    return table;
}

TPeopleTable ReadCsvFile(const QString &fileName)
{
    QByteArray bytes;
    try {
        bytes = platform::ReadInputFile(fileName, platform::TInputKind::PeopleList);
    } catch (const platform::EInputFileError &e) {
        throw EPeopleListError(QStringLiteral("Cannot open %1: %2").arg(fileName, e.Message()));
    }
    try {
        return ReadCsv(bytes);
    } catch (const EPeopleListError &e) {
        throw EPeopleListError(fileName + QStringLiteral(": ") + e.Message());
    }
}

QList<int> MatchColumns(const QStringList &header)
{
    const QStringList captions = TGBusinessCardLabel::PersonalInfoCaptions();
    const QStringList keys = TGBusinessCardLabel::PersonalFieldKeys();
    QList<int> columns(keys.size(), -1);
    for (qsizetype entry = 0; entry < keys.size(); ++entry)
        for (qsizetype c = 0; c < header.size() && columns[entry] < 0; ++c) {
            const QString name = ColumnKey(header[c]);
            if (name == ColumnKey(keys[entry]) || name == ColumnKey(captions[entry]))
                columns[entry] = int(c);
        }
    return columns;
}

void MapColumn(const QStringList &header, const QString &pair, QList<int> &columns)
{
    const qsizetype equals = pair.indexOf(QLatin1Char('='));
    if (equals <= 0 || equals == pair.size() - 1)
        throw EPeopleListError(
            QStringLiteral("--map takes FIELD=COLUMN, as --map Phone1=Phone, not %1").arg(pair));
    const QString field = pair.left(equals).trimmed();
    const QString column = pair.mid(equals + 1).trimmed();
    const QStringList keys = TGBusinessCardLabel::PersonalFieldKeys();
    const QStringList captions = TGBusinessCardLabel::PersonalInfoCaptions();
    qsizetype entry = -1;
    for (qsizetype e = 0; e < keys.size() && entry < 0; ++e)
        if (ColumnKey(field) == ColumnKey(keys[e]) || ColumnKey(field) == ColumnKey(captions[e]))
            entry = e;
    if (entry < 0)
        throw EPeopleListError(QStringLiteral("--map %1: no field is named %2; the fields are %3")
                                   .arg(pair, field, keys.join(QStringLiteral(", "))));
    // The column's own name first; then as the automatic matching compares names.
    qsizetype at = header.indexOf(column);
    for (qsizetype c = 0; c < header.size() && at < 0; ++c)
        if (ColumnKey(header[c]) == ColumnKey(column))
            at = c;
    if (at < 0)
        throw EPeopleListError(QStringLiteral("--map %1: the list has no column %2; it has %3")
                                   .arg(pair, column, header.join(QStringLiteral(", "))));
    while (columns.size() < keys.size())
        columns.append(-1);
    columns[entry] = int(at);
}

QStringList PersonValues(const QStringList &row, const QList<int> &columns)
{
    QStringList values;
    for (const int c : columns)
        values.append(c >= 0 && c < row.size() ? row[c] : QString());
    return values;
}

} // namespace people
