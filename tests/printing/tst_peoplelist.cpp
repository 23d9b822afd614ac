// Reading the list of people a card is printed for: CSV as spreadsheets
// write it (BOM, semicolons, quoting, line breaks inside values), messages
// that name the line of a file that cannot be used, and columns found by
// their names.
#include "printing/PeopleList.h"

#include <QtTest>

using Rows = QList<QStringList>;

class TestPeopleList : public QObject
{
    Q_OBJECT

private slots:
    void readsThePeopleAsWritten_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("commas, CRLF") << QByteArray("Name,Company\r\nAnn Lee,Acme\r\nBob Ray,Bolt\r\n")
                                      << QStringList{"Name", "Company"}
                                      << Rows{{"Ann Lee", "Acme"}, {"Bob Ray", "Bolt"}};
        QTest::newRow("BOM, semicolons, comma inside")
            << QByteArray("\xEF\xBB\xBFName;Phone 1\nAnn;+1 555 0100\nBob;\"0,5; x\"\n")
            << QStringList{"Name", "Phone 1"} << Rows{{"Ann", "+1 555 0100"}, {"Bob", "0,5; x"}};
        QTest::newRow("quotes inside quotes")
            << QByteArray("Name,Title\n\"Doe, Jane\",\"The \"\"Boss\"\"\"\n\"\",x\n")
            << QStringList{"Name", "Title"} << Rows{{"Doe, Jane", "The \"Boss\""}, {"", "x"}};
        QTest::newRow("line break inside a value")
            << QByteArray("Name,Address 1,Fax\nAnn,\"12 Road\r\nTown\",9\rBob,\"a\n\nb\",8")
            << QStringList{"Name", "Address 1", "Fax"} << Rows{{"Ann", "12 Road\nTown", "9"}, {"Bob", "a\n\nb", "8"}};
        QTest::newRow("short rows kept short, blank lines skipped")
            << QByteArray("Name,Company,Fax\n\nAnn\n\r\nBob,Bolt") << QStringList{"Name", "Company", "Fax"}
            << Rows{{"Ann"}, {"Bob", "Bolt"}};
        QTest::newRow("non-ASCII text") << QByteArray("Name\nJos\xC3\xA9 M\xC3\xBCller\n\xE6\x9D\x8E\n")
                                        << QStringList{"Name"}
                                        << Rows{{QString::fromUtf8("José Müller")}, {QString::fromUtf8("李")}};
        QTest::newRow("long values cut like the dialog cuts them")
            << QByteArray("Name\n" + QByteArray(300, 'x') + "\n\"" + QByteArray(300, 'y') + "\"\n")
            << QStringList{"Name"} << Rows{{QString(255, 'x')}, {QString(255, 'y')}};
    }
    void readsThePeopleAsWritten()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, header);
        QFETCH(Rows, rows);
        const TPeopleTable table = people::ReadCsv(csv);
        QCOMPARE(table.Header, header);
        QCOMPARE(table.Rows, rows);
    }

    void unusableFilesAreRefusedNamingTheLine_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << "Line 1: the file has no header row";
        QTest::newRow("only blank lines") << QByteArray("\r\n\n") << "Line 1: the file has no header row";
        QTest::newRow("binary") << QByteArray("Name\nAnn\n\x89PNG\x00\x01", 15) << "Line 3: the file is not text";
        QTest::newRow("Latin-1") << QByteArray("Name\nAnn\nJos\xE9\n") << "Line 3: the file is not UTF-8 text";
        QTest::newRow("row longer than header")
            << QByteArray("Name,Company\nAnn,Acme\nBob,Bolt,extra\n") << "Line 3: the row has 3 values but the header names only 2";
        QTest::newRow("counted across a line break in a value")
            << QByteArray("Name,Address 1\n\"A\nB\",x\nC,d,e\n") << "Line 4: the row has 3";
        QTest::newRow("quote never closed") << QByteArray("Name\nAnn\n\"Bob\nCy\n") << "Line 3: a quoted value is never closed";
        QTest::newRow("more people than a printing is for")
            << QByteArray("Name\n") + QByteArray("Ann\n").repeated(people::kMaxPeople + 1)
            << QStringLiteral("Line %1: the file lists more than %2 people").arg(people::kMaxPeople + 2).arg(people::kMaxPeople);
        QTest::newRow("text after a closing quote") << QByteArray("Name,Fax\n\"Ann\"x,1\n") << "Line 2: text follows a closing quote";
    }
    void unusableFilesAreRefusedNamingTheLine()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        try {
            people::ReadCsv(csv);
            QFAIL("the file was read");
        } catch (const EPeopleListError &e) {
            QVERIFY2(e.Message().startsWith(message), qPrintable(e.Message()));
        }
    }

    void columnsAreFoundByName_data()
    {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QList<int>>("columns");
        QTest::newRow("case, spaces and hyphens aside")
            << QStringList{"NAME", " company ", "E-mail", "Address 1", "phone2", "Notes"}
            << QList<int>{0, 1, -1, 3, -1, -1, -1, 4, 2, -1};
        QTest::newRow("first of two alike wins, unknown left out")
            << QStringList{"Fax", "Title", "fax", "Address_3", "Phone 1"}
            << QList<int>{-1, -1, 1, -1, -1, 3, 4, -1, -1, 0};
    }
    void columnsAreFoundByName()
    {
        QFETCH(QStringList, header);
        QFETCH(QList<int>, columns);
        QCOMPARE(people::MatchColumns(header), columns);
    }

    // A header of 100,000 columns over a thousand rows of one value: each
    // person's values are those the row holds, the rest empty.
    void wideHeaderOverShortRows()
    {
        constexpr int kColumns = 100000;
        QByteArray csv;
        for (int c = 0; c < kColumns - 1; ++c)
            csv += "Column" + QByteArray::number(c) + ',';
        csv += "Name\n";
        for (int r = 0; r < 999; ++r)
            csv += "only " + QByteArray::number(r) + '\n';
        csv += QByteArray(kColumns - 1, ',') + "Ann Lee\n";
        const TPeopleTable table = people::ReadCsv(csv);
        QCOMPARE(table.Header.size(), kColumns);
        QCOMPARE(table.Rows.size(), 1000);
        QCOMPARE(table.Rows.first(), QStringList{QStringLiteral("only 0")});
        const QList<int> columns = people::MatchColumns(table.Header);
        QCOMPARE(columns.first(), kColumns - 1);
        QCOMPARE(people::PersonValues(table.Rows.first(), columns), QStringList(10));
        QCOMPARE(people::PersonValues(table.Rows.last(), columns).first(), QStringLiteral("Ann Lee"));
    }
};

QTEST_GUILESS_MAIN(TestPeopleList)
#include "tst_peoplelist.moc"
