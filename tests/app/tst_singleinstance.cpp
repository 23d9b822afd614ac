// The single-instance guard: the first copy holds the program folder, a
// later one finds it, hands over its card file and is told to end.
#include "TestSupport.h"

#include "app/SingleInstance.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestJustOne : public QObject
{
    Q_OBJECT

private slots:
    void secondCopyHandsItsCardToTheFirst_data()
    {
        QTest::addColumn<QString>("card");
        QTest::newRow("no card") << QString();
        QTest::newRow("a card") << QStringLiteral("/home/u/saved/BC0001.QRV");
        QTest::newRow("spaces and letters beyond ASCII") << QString::fromUtf8("/home/u/My Cards/Müller.qrv");
    }
    void secondCopyHandsItsCardToTheFirst()
    {
        QFETCH(QString, card);
        QTemporaryDir folder;
        TJustOne first(folder.path());
        QVERIFY(first.IsFirstInstance());
        QSignalSpy activate(&first, &TJustOne::ActivateRequested);
        QSignalSpy open(&first, &TJustOne::OpenRequested);

        TJustOne second(folder.path());
        QVERIFY(!second.IsFirstInstance());
        QVERIFY(second.SendToRunningInstance(card, 3000));
        QTRY_COMPARE(activate.size(), 1);
        if (card.isEmpty()) {
            QTest::qWait(50);
            QCOMPARE(open.size(), 0);
        } else {
            QTRY_COMPARE(open.size(), 1);
            QCOMPARE(open.at(0).at(0).toString(), card);
        }
    }

    void folderIsFreeAgainWhenFirstCopyEnds()
    {
        QTemporaryDir folder;
        {
            TJustOne first(folder.path());
            QVERIFY(first.IsFirstInstance());
        }
        TJustOne next(folder.path());
        QVERIFY(next.IsFirstInstance());
    }

    void separateFoldersDoNotMeet()
    {
        QTemporaryDir a;
        QTemporaryDir b;
        TJustOne first(a.path());
        TJustOne other(b.path());
        QVERIFY(first.IsFirstInstance());
        QVERIFY(other.IsFirstInstance());
        QVERIFY(first.SocketName() != other.SocketName());
    }

    void unreachableCopyGivesUp()
    {
        QTemporaryDir folder;
        // A lock held by a live process that does not listen.
        QLockFile lock(folder.filePath(QStringLiteral("quorvel.lock")));
        QVERIFY(lock.tryLock(0));
        TJustOne second(folder.path());
        QVERIFY(!second.IsFirstInstance());
        QElapsedTimer t;
        t.start();
        QVERIFY(!second.SendToRunningInstance(QString(), 300));
        QVERIFY(t.elapsed() < 3000);
    }

    void deepFolderStillGetsASocket()
    {
        QTemporaryDir base;
        const QString deep = base.path() + QLatin1Char('/') + QString(120, QLatin1Char('d'));
        TJustOne first(deep);
        QVERIFY(first.IsFirstInstance());
        QVERIFY(first.SocketName().toLocal8Bit().size() < 104);
        TJustOne second(deep);
        QSignalSpy activate(&first, &TJustOne::ActivateRequested);
        QVERIFY(second.SendToRunningInstance(QString(), 3000));
        QTRY_COMPARE(activate.size(), 1);
    }
};

QTEST_MAIN(TestJustOne)
#include "tst_singleinstance.moc"
