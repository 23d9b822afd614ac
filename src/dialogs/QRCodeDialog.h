// The "QR Code" properties dialog: the text to encode (typed, or a vCard of
// the personal information), the error-correction level, the colours and the
// quiet zone, tried on a sample code that repaints with every change. The
// code on the card changes only on OK.
// Holds TQRCodeSampleView, TQRCodeProperties.
#pragma once

#include "dialogs/PropertyDialog.h"

#include <QFrame>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class TColorDrop;
class TGQRCode;

// The framed panel the sample code is painted in, as large as it fits.
class TQRCodeSampleView : public QFrame
{
    Q_OBJECT

public:
    explicit TQRCodeSampleView(QWidget *parent = nullptr);
    TGQRCode *Sample() const { return FSample; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TGQRCode *FSample;
};

class TQRCodeProperties : public TPropertyDialog
{
    Q_OBJECT

public:
    TQRCodeProperties(TGQRCode &code, const QStringList &personalInfo, QWidget *parent = nullptr);

    static bool Execute(QWidget *parent, TGQRCode &code, const QStringList &personalInfo);

    TQRCodeSampleView *SamplePanel;
    TGQRCode *Sample;
    QPlainTextEdit *TextEdit;
    QPushButton *PersonalInfoButton;
    QComboBox *LevelCombo;
    TColorDrop *ForeColorCombo;
    TColorDrop *BackColorCombo;
    QCheckBox *TransparentCheck;
    QSpinBox *QuietZoneSpin;
    // Says why no code is shown; empty while the text makes a code.
    QLabel *MessageLabel;

public slots:
    void accept() override;

private:
    void TakeCode();
    void SampleChanged();

    TGQRCode &FCode;
    QStringList FPersonalInfo;
};
