// The recent-files list: most recent first, at most five, a path listed once
// whatever its letters' case, numbered menu entries, and its settings section.
#include "TestSupport.h"

#include "platform/IniFile.h"
#include "widgets/RecentFiles.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestMRUList : public QObject
{
    Q_OBJECT

    static QStringList Paths(std::initializer_list<const char *> names)
    {
        QStringList l;
        for (const char *n : names)
            l.append(QLatin1String(n));
        return l;
    }

private slots:
    void addKeepsMostRecentFirst_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new paths go on top") << Paths({"/a.qrv", "/b.qrv"}) << Paths({"/b.qrv", "/a.qrv"});
        QTest::newRow("sixth drops the oldest")
            << Paths({"/1.qrv", "/2.qrv", "/3.qrv", "/4.qrv", "/5.qrv", "/6.qrv"})
            << Paths({"/6.qrv", "/5.qrv", "/4.qrv", "/3.qrv", "/2.qrv"});
        QTest::newRow("reopen moves to top")
            << Paths({"/1.qrv", "/2.qrv", "/3.qrv", "/1.qrv"}) << Paths({"/1.qrv", "/3.qrv", "/2.qrv"});
        QTest::newRow("case does not matter")
            << Paths({"/cards/BC0001.QRV", "/x.qrv", "/Cards/bc0001.qrv"}) << Paths({"/Cards/bc0001.qrv", "/x.qrv"});
        QTest::newRow("reopen of the oldest of five keeps five")
            << Paths({"/1.qrv", "/2.qrv", "/3.qrv", "/4.qrv", "/5.qrv", "/1.qrv"})
            << Paths({"/1.qrv", "/5.qrv", "/4.qrv", "/3.qrv", "/2.qrv"});
    }
    void addKeepsMostRecentFirst()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, expected);
        TMRUFileList list;
        for (const QString &p : added)
            list.Add(p);
        QCOMPARE(list.Items(), expected);
    }

    void menuShowsNumberedEntriesAfterSeparator()
    {
        QMenu menu;
        menu.addAction(QStringLiteral("E&xit"));
        TMRUFileList list;
        list.AttachTo(&menu);
        QCOMPARE(menu.actions().size(), 1); // nothing added while the list is empty
        list.Add(QStringLiteral("/home/u/saved/old.qrv"));
        list.Add(QStringLiteral("/home/u/saved/R&D.qrv"));
        const QList<QAction *> actions = menu.actions();
        QCOMPARE(actions.size(), 4);
        QVERIFY(actions[1]->isSeparator());
        QCOMPARE(actions[2]->text(), QString("&1 /home/u/saved/R&&D.qrv"));
        QCOMPARE(actions[3]->text(), QString("&2 /home/u/saved/old.qrv"));
        list.Clear();
        QCOMPARE(menu.actions().size(), 1);
    }

    void clickedEntryLeavesListBeforeHandler()
    {
        QMenu menu;
        TMRUFileList list;
        list.AttachTo(&menu);
        list.Add(QStringLiteral("/a.qrv"));
        list.Add(QStringLiteral("/b.qrv"));
        QStringList seenDuringClick;
        QString clicked;
        connect(&list, &TMRUFileList::OnClick, this, [&](const QString &path) {
            clicked = path;
            seenDuringClick = list.Items();
        });
        list.MenuActions().at(1)->trigger(); // "&2 /a.qrv"
        testsupport::Flush();
        QCOMPARE(clicked, QString("/a.qrv"));
        QCOMPARE(seenDuringClick, QStringList({"/b.qrv"}));
        QCOMPARE(list.LastClickedIndex(), 1);
        list.Insert(list.LastClickedIndex(), clicked);
        QCOMPARE(list.Items(), QStringList({"/b.qrv", "/a.qrv"}));
    }

    void savedAsF0ToF4AndLoadedInFileOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qrv.ini"));
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("[Layout]\nWidth=3500\n\n[mru]\nF3=/old/stale.qrv\nF0=/x.qrv\n");
        }
        TMRUFileList list;
        list.Load(TIniFile(path));
        QCOMPARE(list.Items(), QStringList({"/old/stale.qrv", "/x.qrv"}));
        list.Add(QStringLiteral("/new.qrv"));
        {
            TIniFile ini(path);
            list.Save(ini);
            QVERIFY(ini.UpdateFile());
        }
        const TIniFile ini(path);
        QCOMPARE(ini.ReadSectionLines(QStringLiteral("MRU")),
                 QStringList({"F0=/new.qrv", "F1=/old/stale.qrv", "F2=/x.qrv"}));
        QCOMPARE(ini.ReadInteger(QStringLiteral("Layout"), QStringLiteral("Width"), 0), 3500);
    }

    void loadTakesTextAfterFirstEqualsAndAtMostFive()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qrv.ini"));
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("[MRU]\nF0=/odd=name.qrv\nno equals sign\nF1=\nF2=/2.qrv\nF3=/3.qrv\nF4=/4.qrv\nF5=/5.qrv\n"
                    "F6=/6.qrv\n");
        }
        TMRUFileList list;
        list.Load(TIniFile(path));
        QCOMPARE(list.Items(), QStringList({"/odd=name.qrv", "/2.qrv", "/3.qrv", "/4.qrv", "/5.qrv"}));
    }
};

QTEST_MAIN(TestMRUList)
#include "tst_recentfiles.moc"
