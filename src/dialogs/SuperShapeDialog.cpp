// Holds TSuperShapeProperties.
#include "dialogs/SuperShapeDialog.h"

#include "dialogs/ImageBrowser.h"
#include "dialogs/SuperTextDialog.h"
#include "objects/SuperShape.h"
#include "platform/Picture.h"
#include "widgets/ColorDropDown.h"
#include "widgets/SpinEdit.h"
#include "widgets/FormHelpTexts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QComboBox *PickList(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

TSpinEdit *Spinner(QWidget *parent, const QString &name, int minimum, int maximum, int step = 1)
{
    auto *spin = new TSpinEdit(parent);
    spin->setObjectName(name);
    spin->SetMinValue(minimum);
    spin->SetMaxValue(maximum);
    spin->SetIncrement(step);
    return spin;
}

TColorDrop *ColorDrop(QWidget *parent, const QString &name)
{
    auto *drop = new TColorDrop(parent);
    drop->setObjectName(name);
    return drop;
}

// A caption above its control.
QWidget *Labelled(QWidget *parent, const QString &caption, QWidget *control)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(caption, box);
    label->setBuddy(control);
    layout->addWidget(label);
    layout->addWidget(control);
    return box;
}

// A panel of the stacked area holding the given captioned controls in a row.
QWidget *Panel(QStackedWidget *stack, const QString &name, const QList<QWidget *> &controls)
{
    auto *panel = new QWidget(stack);
    panel->setObjectName(name);
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *control : controls)
        layout->addWidget(control);
    layout->addStretch(1);
    stack->addWidget(panel);
    return panel;
}

enum { kStarPanel, kRoundingPanel, kNoShapePanel };
enum { kSolidPanel, kGradientPanel, kTexturePanel, kNoSurfacePanel };

} // namespace

TSuperShapeProperties::TSuperShapeProperties(QWidget *parent)
    : TPropertyDialog(parent, tr("Super Shape Properties"), 40011), FSample(new TSuperShape(this))
{
    setObjectName(QStringLiteral("TSuperShapeProperties"));
    ScrollBox1 = new TObjectSampleView(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setMinimumSize(300, 200);
    ScrollBox1->SetSample(FSample);
    FSample->SetBounds(10, 10, 96, 96);

    // The list has no entry for the polygon: a stored polygon shows none.
    ShapeCombo = PickList(this, QStringLiteral("ShapeCombo"),
                          {tr("Rectangle"), tr("Round Rectangle"), tr("Ellipse"), tr("Diamond"), tr("Star"),
                           tr("Triangle Left"), tr("Triangle Right"), tr("Triangle Up"), tr("Triangle Down")});
    PointsOnStar = Spinner(this, QStringLiteral("PointsOnStar"), 5, 20);
    PercentinVector = Spinner(this, QStringLiteral("PercentinVector"), 0, 90, 5);
    RoundPercent = Spinner(this, QStringLiteral("RoundPercent"), 0, 90, 5);
    SurfaceTypeCombo = PickList(this, QStringLiteral("SurfaceTypeCombo"),
                                {tr("Transparent"), tr("Solid"), tr("Texture"), tr("Gradient Fill")});
    BackGroundColorCombo = ColorDrop(this, QStringLiteral("BackGroundColorCombo"));
    FillDirectionCombo =
        PickList(this, QStringLiteral("FillDirectionCombo"), {tr("Up"), tr("Down"), tr("Left"), tr("Right")});
    BackGroundColorCombo2 = ColorDrop(this, QStringLiteral("BackGroundColorCombo2"));
    GradientToColorCombo = ColorDrop(this, QStringLiteral("GradientToColorCombo"));
    LoadImageButton = new QPushButton(tr("Load Texture"), this);
    LoadImageButton->setObjectName(QStringLiteral("LoadImageButton"));
    ShadowColorCombo = ColorDrop(this, QStringLiteral("ShadowColorCombo"));
    ShadowOrientationCombo =
        PickList(this, QStringLiteral("ShadowOrientationCombo"),
                 {tr("None"), tr("Lower Right"), tr("Upper Right"), tr("Upper Left"), tr("Lower Left")});
    ShadowDepthSpinner = Spinner(this, QStringLiteral("ShadowDepthSpinner"), 0, 10);
    OutlineColorCombo = ColorDrop(this, QStringLiteral("OutlineColorCombo"));
    OutlineStyleCombo = PickList(this, QStringLiteral("OutlineStyleCombo"),
                                 {tr("Solid Line"), tr("Dash Line"), tr("Dotted Line"), tr("DashDot Line"),
                                  tr("DashDotDot Line"), tr("Clear")});
    OutLineWidthSpinner = Spinner(this, QStringLiteral("OutLineWidthSpinner"), 0, 10);

    // The shape's and the surface's own settings, one panel at a time.
    ShapePanels = new QStackedWidget(this);
    ShapePanels->setObjectName(QStringLiteral("ShapePanels"));
    Panel(ShapePanels, QStringLiteral("StarPanel"),
          {Labelled(this, tr("Points On Star"), PointsOnStar), Labelled(this, tr("% of Inward Vector"), PercentinVector)});
    Panel(ShapePanels, QStringLiteral("RoundingPanel"), {Labelled(this, tr("Round Percentage"), RoundPercent)});
    Panel(ShapePanels, QStringLiteral("NoShapePanel"), {});
    SurfacePanels = new QStackedWidget(this);
    SurfacePanels->setObjectName(QStringLiteral("SurfacePanels"));
    Panel(SurfacePanels, QStringLiteral("SolidPanel"), {Labelled(this, tr("Background Color"), BackGroundColorCombo)});
    Panel(SurfacePanels, QStringLiteral("GradientPanel"),
          {Labelled(this, tr("Fill Direction"), FillDirectionCombo),
           Labelled(this, tr("From Color"), BackGroundColorCombo2),
           Labelled(this, tr("To Color"), GradientToColorCombo)});
    Panel(SurfacePanels, QStringLiteral("TexturePanel"), {LoadImageButton});
    Panel(SurfacePanels, QStringLiteral("NoSurfacePanel"), {});

    auto *sampleBox = new QVBoxLayout;
    sampleBox->addWidget(new QLabel(tr("Sample"), this));
    sampleBox->addWidget(ScrollBox1, 1);

    auto *grid = new QGridLayout;
    grid->addWidget(Labelled(this, tr("Shape"), ShapeCombo), 0, 0);
    grid->addWidget(ShapePanels, 0, 1, 1, 2);
    grid->addWidget(Labelled(this, tr("Surface Type"), SurfaceTypeCombo), 1, 0);
    grid->addWidget(SurfacePanels, 1, 1, 1, 2);
    grid->addWidget(Labelled(this, tr("Shadow Color"), ShadowColorCombo), 2, 0);
    grid->addWidget(Labelled(this, tr("Shadow Orientation"), ShadowOrientationCombo), 2, 1);
    grid->addWidget(Labelled(this, tr("Shadow Depth"), ShadowDepthSpinner), 2, 2);
    grid->addWidget(Labelled(this, tr("Outline Color"), OutlineColorCombo), 3, 0);
    grid->addWidget(Labelled(this, tr("OutLine Style"), OutlineStyleCombo), 3, 1);
    grid->addWidget(Labelled(this, tr("Outline Width"), OutLineWidthSpinner), 3, 2);

    auto *top = new QHBoxLayout;
    top->addLayout(sampleBox, 1);
    top->addLayout(grid);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(ButtonRow());

    ConnectControls();

    AttachFormHelp(this);
}

void TSuperShapeProperties::ConnectControls()
{
    const auto pickList = [this](QComboBox *combo, std::function<void(int)> apply) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, apply](int index) {
            if (FActivating || index < 0)
                return;
            apply(index);
            UpdatePanels();
            SampleChanged();
        });
    };
    // A spin edit applies whatever it shows, also the clamped value it shows
    // after loading a setting outside its range. A number typed beyond the
    // range counts as the range's end, which the edit shows once it loses
    // the focus: the sample never holds what the field cannot show.
    const auto spinner = [this](TSpinEdit *spin, std::function<void(int)> apply) {
        connect(spin, &QLineEdit::textChanged, this, [this, spin, apply] {
            apply(std::clamp(spin->Value(), spin->MinValue(), spin->MaxValue()));
            SampleChanged();
        });
    };
    const auto colorDrop = [this](TColorDrop *drop, std::function<void(TColor)> apply) {
        connect(drop, &TColorDrop::Change, this, [this, drop, apply] {
            if (FActivating)
                return;
            apply(drop->SelectedColor());
            SampleChanged();
        });
    };

    pickList(ShapeCombo, [this](int i) { FSample->SetShape(TSuperShape::TGPShapeType(i)); });
    pickList(SurfaceTypeCombo, [this](int i) {
        FSample->SetSurfaceType(Fill::TSurfaceType(i));
        if (i == Fill::stBrushImage && !FLastUsedImage.IsEmpty())
            FSample->Image()->SetBitmap(FLastUsedImage);
    });
    pickList(FillDirectionCombo, [this](int i) { FSample->SetFillDirection(Fill::TFillDirection(i)); });
    pickList(ShadowOrientationCombo, [this](int i) { FSample->SetShadowOrient(TSuperShape::TShadowOrient(i)); });
    pickList(OutlineStyleCombo, [this](int i) { FSample->SetOutlineStyle(Vcl::TPenStyle(i)); });

    spinner(PointsOnStar, [this](int v) { FSample->SetVectors(v * 2); });
    spinner(PercentinVector, [this](int v) { FSample->SetInVectorPercent(v); });
    spinner(RoundPercent, [this](int v) { FSample->SetRoundPerc(v); });
    spinner(ShadowDepthSpinner, [this](int v) { FSample->SetShadowDepth(v); });
    spinner(OutLineWidthSpinner, [this](int v) { FSample->SetOutlineWidth(v); });

    // The solid colour and the gradient's "from" colour are one setting.
    colorDrop(BackGroundColorCombo, [this](TColor c) {
        FSample->SetBackColor(c);
        BackGroundColorCombo2->SetSelectedColor(c);
    });
    colorDrop(BackGroundColorCombo2, [this](TColor c) {
        FSample->SetBackColor(c);
        BackGroundColorCombo->SetSelectedColor(c);
    });
    colorDrop(GradientToColorCombo, [this](TColor c) { FSample->SetGradientToColor(c); });
    colorDrop(ShadowColorCombo, [this](TColor c) { FSample->SetShadowColor(c); });
    colorDrop(OutlineColorCombo, [this](TColor c) { FSample->SetOutlineColor(c); });

    connect(LoadImageButton, &QPushButton::clicked, this, [this] { LoadTexture(); });
}

bool TSuperShapeProperties::Execute(QWidget *parent, TSuperShape &shape)
{
    TSuperShapeProperties dialog(parent);
    dialog.Sample()->CopySettings(shape);
    dialog.SetRememberedPath(shape.LastBitmapFileNameandPath());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    shape.TakeFromSample(*dialog.Sample(), dialog.RememberedPath());
    return true;
}

void TSuperShapeProperties::FormActivate()
{
    FActivating = true;
    const int shape = int(FSample->Shape());
    ShapeCombo->setCurrentIndex(shape < ShapeCombo->count() ? shape : -1);
    SurfaceTypeCombo->setCurrentIndex(int(FSample->SurfaceType()));
    FillDirectionCombo->setCurrentIndex(int(FSample->FillDirection()));
    BackGroundColorCombo->SetSelectedColor(FSample->BackColor());
    BackGroundColorCombo2->SetSelectedColor(FSample->BackColor());
    GradientToColorCombo->SetSelectedColor(FSample->GradientToColor());
    OutlineColorCombo->SetSelectedColor(FSample->OutlineColor());
    OutlineStyleCombo->setCurrentIndex(int(FSample->OutlineStyle()));
    ShadowColorCombo->SetSelectedColor(FSample->ShadowColor());
    ShadowOrientationCombo->setCurrentIndex(int(FSample->ShadowOrient()));
    FActivating = false;
    // Spin edits show their setting clamped to their range; where that
    // changes the text, the shown value goes to the sample.
    PointsOnStar->SetValue(FSample->Vectors() / 2);
    PercentinVector->SetValue(FSample->InVectorPercent());
    RoundPercent->SetValue(FSample->RoundPerc());
    OutLineWidthSpinner->SetValue(FSample->OutlineWidth());
    ShadowDepthSpinner->SetValue(FSample->ShadowDepth());
    UpdatePanels();
    FLastUsedImage = FSample->Image()->Bitmap();
    SampleChanged();
}

void TSuperShapeProperties::UpdatePanels()
{
    switch (FSample->Shape()) {
    case TSuperShape::gstStar: ShapePanels->setCurrentIndex(kStarPanel); break;
    case TSuperShape::gstRoundRect: ShapePanels->setCurrentIndex(kRoundingPanel); break;
    default: ShapePanels->setCurrentIndex(kNoShapePanel); break;
    }
    switch (FSample->SurfaceType()) {
    case Fill::stBrushTransparent: SurfacePanels->setCurrentIndex(kSolidPanel); break;
    case Fill::stGradientFill: SurfacePanels->setCurrentIndex(kGradientPanel); break;
    case Fill::stBrushImage: SurfacePanels->setCurrentIndex(kTexturePanel); break;
    case Fill::stNormal: SurfacePanels->setCurrentIndex(kNoSurfacePanel); break;
    }
}

void TSuperShapeProperties::SampleChanged() { ScrollBox1->update(); }

void TSuperShapeProperties::LoadTexture()
{
    QString fileName = FRememberedPath;
    TBitmap texture;
    // The example is a copy of the sample wearing the texture.
    const auto example = [this](QPainter &painter, const QSize &size, const TBitmap &candidate) {
        TSuperShape shape;
        shape.CopySettings(*FSample);
        shape.SetBounds(0, 0, size.width(), size.height());
        shape.Image()->SetBitmap(candidate);
        shape.Paint(painter);
    };
    if (TGBrushImageBrowser::Execute(this, fileName, texture, example)) {
        FSample->Image()->SetBitmap(texture);
        FLastUsedImage = texture;
        FRememberedPath = fileName;
    }
    SampleChanged();
}
