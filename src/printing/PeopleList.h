// The people a card is printed for: a CSV file read into a table (the first
// row names the columns), the matching of its columns to the ten
// personal-information entries, and each person's ten values.
// Holds TPeopleTable and the CSV reader.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <exception>

// A file the reader refuses; Message() names the line at fault.
class EPeopleListError : public std::exception
{
public:
    explicit EPeopleListError(const QString &message) : FMessage(message), FUtf8(message.toUtf8()) {}
    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

struct TPeopleTable {
    QStringList Header;
    // One row per person, each at most as long as the header; the values
    // a short row lacks at its end are empty.
    QList<QStringList> Rows;
    // The file line each row starts on, from 1.
    QList<int> RowLines;
};

namespace people {

// Values longer than this are cut, as the personal-information dialog cuts them.
inline constexpr int kMaxValueLength = 255;
// The most people one list prints for: ten thousand sheets or more are no
// team's cards but a mistake, and would print for hours.
inline constexpr int kMaxPeople = 10000;

// Reads CSV text: UTF-8 with or without a byte-order mark, fields split by
// commas or (when the header holds more of them) semicolons, quoted fields
// with doubled quotes, delimiters and line breaks inside. Blank lines are
// skipped; rows shorter than the header are kept as they are (their
// missing values read as empty).
// Throws EPeopleListError for text that is not UTF-8, a missing header, a
// row longer than the header, a quote left open or more than kMaxPeople rows.
TPeopleTable ReadCsv(const QByteArray &bytes);
TPeopleTable ReadCsvFile(const QString &fileName);

// For each of the ten entries (name, company, title, address 1 to 3,
// phone 1 and 2, e-mail, fax) the column whose name matches it, case,
// spaces, hyphens and underscores aside; -1 where none does.
QList<int> MatchColumns(const QStringList &header);

// Applies one "FIELD=COLUMN" of the command line's --map: the entry FIELD
// names (its key, "Phone1", or caption, "Phone 1", compared as the matching
// compares names) takes the column COLUMN names (its own name, or else a
// name compared so). Throws EPeopleListError naming what is wrong.
void MapColumn(const QStringList &header, const QString &pair, QList<int> &columns);

// The ten values of one row under that matching; empty where unmatched.
QStringList PersonValues(const QStringList &row, const QList<int> &columns);

} // namespace people
