// An error no command catches ends only that command: the application shows
// it in an error box with its title and the message followed by "." and goes on.
#include "TestSupport.h"

#include "app/Application.h"
#include "platform/Dialogs.h"

#include <QPushButton>
#include <stdexcept>

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void uncaughtErrorIsShownAndProgramGoesOn()
    {
        QList<platform::TMessageRequest> shown;
        platform::SetMessageBoxForTests([&](const platform::TMessageRequest &r) {
            shown.append(r);
            return platform::mrOk;
        });
        QPushButton button;
        int clicks = 0;
        connect(&button, &QPushButton::clicked, this, [&] {
            ++clicks;
            if (clicks == 1)
                throw std::runtime_error("Stream read error");
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QString("Stream read error."));
        QCOMPARE(shown[0].caption, QString("Quorvel"));
        QCOMPARE(shown[0].icon, platform::miError);
        platform::SetMessageBoxForTests({});
    }
};

static int RunApplicationTests(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TQuorvelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
QUORVEL_TEST_TOPIC(RunApplicationTests)
