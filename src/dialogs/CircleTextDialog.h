// The "CircleText Properties" dialog: text, font, colour, arc length,
// starting angle, angled letters and mirroring of a circle text, tried on a
// live sample that can be zoomed out to see large circles whole.
// Holds TCircleTextProperties.
#pragma once

#include "dialogs/PropertyDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSlider;
class QTimer;
class TDFSColorButton;
class TGPCircleText;
class TObjectSampleView;
class TSpinButton;

class TCircleTextProperties : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TCircleTextProperties(QWidget *parent = nullptr);

    // Copies the object's settings into the sample, runs the dialog and on OK
    // gives the sample, back at 100 %, to the object.
    static bool Execute(QWidget *parent, TGPCircleText &text);

    TGPCircleText *Preview() const { return FPreview; }

    QScrollArea *SampleBox;
    TObjectSampleView *SamplePanel;
    QLineEdit *CaptionText;
    QSlider *DegreesBar;
    QLabel *DegreesLabel;
    QSlider *StartingAngleBar;
    QLabel *StartingAngleLabel;
    QCheckBox *cbDrawLettersAngled;
    QCheckBox *cbMirrored;
    TDFSColorButton *FontColorButton;
    QPushButton *Fontbutton;
    TSpinButton *RapidChangeFontSize;
    QPushButton *ZoomPlusButton;
    QPushButton *ZoomMinusButton;
    QLabel *ZoomLabel;
    QTimer *CaptionTimer;

    void FontSizeUp();
    void FontSizeDown();
    void ZoomIn();
    void ZoomOut();

public slots:
    void accept() override;

private:
    void FormActivate() override;
    void SampleChanged();
    void ShowZoom();

    TGPCircleText *FPreview;
    bool FCaptionChanged = false;
    bool FActivating = false;
};
