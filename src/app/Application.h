// The application object: an error that no command catches ends only that
// command and is shown in an error box; the program goes on.
#pragma once

#include <QApplication>

class TQuorvelApplication : public QApplication
{
    Q_OBJECT

public:
    TQuorvelApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
