// The About dialog: the program's picture, its version and word size.
// Holds TSplashform.
#pragma once

#include <QDialog>

class QLabel;

class TSplashform : public QDialog
{
    Q_OBJECT

public:
    explicit TSplashform(QWidget *parent = nullptr);
    QString VersionText() const;
    QString BuildText() const;

private:
    QLabel *FVersion;
    QLabel *FBuild;
};
