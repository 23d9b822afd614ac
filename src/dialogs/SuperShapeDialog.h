// The "Super Shape Properties" dialog: every setting of a SuperShape tried on
// a live sample shape; the edited object takes the sample back on OK.
// Holds TSuperShapeProperties.
#pragma once

#include "dialogs/PropertyDialog.h"
#include "platform/Picture.h"

#include <QImage>
#include <functional>

class QComboBox;
class QPushButton;
class QStackedWidget;
class TColorDrop;
class TObjectSampleView;
class TSpinEdit;
class TSuperShape;

class TSuperShapeProperties : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TSuperShapeProperties(QWidget *parent = nullptr);

    // Loads the sample from the shape, runs the dialog and on OK gives the
    // sample back to the shape.
    static bool Execute(QWidget *parent, TSuperShape &shape);

    TSuperShape *Sample() const { return FSample; }
    QString RememberedPath() const { return FRememberedPath; }
    void SetRememberedPath(const QString &v) { FRememberedPath = v; }

    TObjectSampleView *ScrollBox1;
    QComboBox *ShapeCombo;
    QStackedWidget *ShapePanels;
    TSpinEdit *PointsOnStar;
    TSpinEdit *PercentinVector;
    TSpinEdit *RoundPercent;
    QComboBox *SurfaceTypeCombo;
    QStackedWidget *SurfacePanels;
    TColorDrop *BackGroundColorCombo;
    QComboBox *FillDirectionCombo;
    TColorDrop *BackGroundColorCombo2;
    TColorDrop *GradientToColorCombo;
    QPushButton *LoadImageButton;
    TColorDrop *ShadowColorCombo;
    QComboBox *ShadowOrientationCombo;
    TSpinEdit *ShadowDepthSpinner;
    TColorDrop *OutlineColorCombo;
    QComboBox *OutlineStyleCombo;
    TSpinEdit *OutLineWidthSpinner;

    // The "Load Texture" button's work.
    void LoadTexture();

private:
    void FormActivate() override;
    void UpdatePanels();
    void SampleChanged();
    void ConnectControls();

    TSuperShape *FSample;
    QString FRememberedPath;
    // The most recent texture: the sample drops its texture whenever the
    // surface type changes, and "Texture" chosen again brings it back.
    TBitmap FLastUsedImage;
    bool FActivating = false;
};
