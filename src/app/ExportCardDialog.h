// File > Export Card...: asks for a file (PNG, SVG or PDF) and, for a PNG, the
// resolution and whether the card's white stays behind the objects, then
// writes the card.
// Holds TExportCardOptions.
#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;
class TMainScreen;

// The "Export Card" options of a PNG picture.
class TExportCardOptions : public QDialog
{
    Q_OBJECT

public:
    explicit TExportCardOptions(QWidget *parent = nullptr);

    QSpinBox *DpiSpin;
    QCheckBox *TransparentCheck;
};

// Runs the whole command for the main window's card.
void ExportCardCommand(TMainScreen &main);
