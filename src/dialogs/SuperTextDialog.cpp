// Holds TObjectSampleView, TSuperTextGetSymbol, TSuperTextProperties.
#include "dialogs/SuperTextDialog.h"

#include "dialogs/ImageBrowser.h"
#include "dialogs/SymbolSelector.h"
#include "objects/SuperText.h"
#include "platform/AnsiText.h"
#include "platform/Dialogs.h"
#include "platform/SymbolFonts.h"
#include "widgets/PaletteColorButton.h"
#include "widgets/SpinEdit.h"
#include "widgets/FormHelpTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

std::function<QStringList()> g_symbolFaces;

TDFSColorButton *ColorButton(QWidget *parent, const QString &name)
{
    auto *button = new TDFSColorButton(parent);
    button->setObjectName(name);
    // The custom colours of the colour dialog persist in the settings file.
    button->SetCustomColorsKey(QStringLiteral("Software\\Quorvel"));
    return button;
}

QComboBox *PickList(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

TSpinEdit *Spinner(QWidget *parent, const QString &name)
{
    auto *spin = new TSpinEdit(parent);
    spin->setObjectName(name);
    spin->SetMinValue(0);
    spin->SetMaxValue(10);
    return spin;
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

} // namespace

// ---- TObjectSampleView ----

TObjectSampleView::TObjectSampleView(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void TObjectSampleView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!FSample)
        return;
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.translate(area.topLeft() + QPoint(FSample->Left(), FSample->Top()));
    painter.setClipRect(0, 0, FSample->Width(), FSample->Height());
    FSample->Paint(painter);
}

// ---- TSuperTextGetSymbol ----

TSuperTextGetSymbol::TSuperTextGetSymbol(QWidget *parent) : TPropertyDialog(parent, tr("Symbol Selector"), 40005)
{
    setObjectName(QStringLiteral("TSuperTextGetSymbol"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SymbolSets = new QComboBox(this);
    SymbolSets->setObjectName(QStringLiteral("SymbolSets"));
    SymbolSets->setToolTip(tr("Select a symbol font set"));
    SymbolList = new TSymbolListBox(this);
    SymbolList->setObjectName(QStringLiteral("SymbolList"));
    SymbolList->SetColumns(15);
    for (int code = 32; code <= 255; ++code)
        SymbolList->addItem(platform::AnsiToString(QByteArray(1, char(code))));

    QStringList faces = InstalledSymbolFaces();
    faces.sort(Qt::CaseInsensitive);
    SymbolSets->addItems(faces);
    FHasFaces = !faces.isEmpty();
    OKButton->setToolTip(tr("Copy the selected symbol to the label"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SymbolSets);
    layout->addWidget(SymbolList, 1);
    layout->addLayout(ButtonRow());
    resize(560, 400);
    AttachFormHelp(this);

    connect(SymbolSets, &QComboBox::currentIndexChanged, this, [this] { SymbolSetsChange(); });
    connect(SymbolList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            FCharacter = SymbolList->item(row)->text();
    });
    connect(SymbolList, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    if (FHasFaces) {
        int wingdings = 0;
        for (int i = 0; i < SymbolSets->count(); ++i) {
            if (SymbolSets->itemText(i).toUpper().contains(QLatin1String("WINGDING"))) {
                wingdings = i;
                break;
            }
        }
        SymbolSets->setCurrentIndex(wingdings);
        SymbolSetsChange();
        SymbolList->setCurrentRow(0);
    }
    QApplication::restoreOverrideCursor();
    if (!FHasFaces)
        platform::ShowMessageBox({tr("No Symbol fonts installed"), tr("Information")}, this);
}

void TSuperTextGetSymbol::SetSymbolFacesForTests(std::function<QStringList()> faces)
{
    g_symbolFaces = std::move(faces);
}

QStringList TSuperTextGetSymbol::InstalledSymbolFaces()
{
    if (g_symbolFaces)
        return g_symbolFaces();
    QStringList faces;
    for (const QString &family : QFontDatabase::families(QFontDatabase::Symbol)) {
        if (QFontDatabase::isScalable(family) && !faces.contains(family, Qt::CaseInsensitive))
            faces.append(family);
    }
    // The Windows symbol faces the program draws through Unicode.
    for (const QString &face : {QStringLiteral("Wingdings"), QStringLiteral("Symbol")}) {
        if (!faces.contains(face, Qt::CaseInsensitive))
            faces.append(face);
    }
    return faces;
}

void TSuperTextGetSymbol::SymbolSetsChange()
{
    FFaceName = SymbolSets->currentText();
    TFont font;
    font.SetName(FFaceName);
    font.SetCharset(platform::SYMBOL_CHARSET);
    font.SetSize(14);
    font.SetColor(platform::clBlack);
    SymbolList->SetSymbolFont(font);
}

void TSuperTextGetSymbol::accept()
{
    if (FFaceName.isEmpty() && FCharacter.isEmpty())
        return;
    TPropertyDialog::accept();
}

// ---- TSuperTextProperties ----

TSuperTextProperties::TSuperTextProperties(QWidget *parent)
    : TPropertyDialog(parent, tr("SuperText Properties"), 40014), FPreview(new TGSuperText(this))
{
    setObjectName(QStringLiteral("TSuperTextProperties"));
    SamplePanel = new TObjectSampleView(this);
    SamplePanel->setObjectName(QStringLiteral("SamplePanel"));
    SamplePanel->setMinimumSize(460, 130);
    SamplePanel->SetSample(FPreview);
    FPreview->SetBounds(0, 0, 100, 100);

    CaptionText = new QLineEdit(this);
    CaptionText->setObjectName(QStringLiteral("CaptionText"));
    SurfaceTypeCombo = PickList(this, QStringLiteral("SurfaceTypeCombo"),
                                {tr("Normal"), tr("Transparent"), tr("Texture"), tr("Gradient Fill")});
    FillDirectionCombo =
        PickList(this, QStringLiteral("FillDirectionCombo"), {tr("Up"), tr("Down"), tr("Left"), tr("Right")});
    GradientFromcolorButton = ColorButton(this, QStringLiteral("GradientFromcolorButton"));
    GradientToColorButton = ColorButton(this, QStringLiteral("GradientToColorButton"));
    FontColorButton = ColorButton(this, QStringLiteral("FontColorButton"));
    LoadImageButton = new QPushButton(tr("Load Texture"), this);
    LoadImageButton->setObjectName(QStringLiteral("LoadImageButton"));
    OutlineColorButton = ColorButton(this, QStringLiteral("OutlineColorButton"));
    OutlineStyleCombo = PickList(this, QStringLiteral("OutlineStyleCombo"),
                                 {tr("Solid Line"), tr("Dash Line"), tr("Dotted Line"), tr("DashDot Line"),
                                  tr("DashDotDot Line"), tr("Clear")});
    OutLineWidthSpinner = Spinner(this, QStringLiteral("OutLineWidthSpinner"));
    ShadowColorButton = ColorButton(this, QStringLiteral("ShadowColorButton"));
    ShadowOrientationCombo = PickList(this, QStringLiteral("ShadowOrientationCombo"),
                                      {tr("None"), tr("Right"), tr("Left"), tr("Down and Right"), tr("Down and Left"),
                                       tr("Down")});
    ShadowDepthSpinner = Spinner(this, QStringLiteral("ShadowDepthSpinner"));
    Fontbutton = new QPushButton(tr("Select Font"), this);
    Fontbutton->setObjectName(QStringLiteral("Fontbutton"));
    SelectSymbolbutton = new QPushButton(tr("Select Symbol"), this);
    SelectSymbolbutton->setObjectName(QStringLiteral("SelectSymbolbutton"));
    RapidChangeFontSize = new TSpinButton(this);
    RapidChangeFontSize->setObjectName(QStringLiteral("RapidChangeFontSize"));

    // Three panels in one place; the surface type shows one or none.
    SurfacePanels = new QStackedWidget(this);
    SurfacePanels->setObjectName(QStringLiteral("SurfacePanels"));
    auto *gradient = new QWidget(SurfacePanels);
    gradient->setObjectName(QStringLiteral("GradientPanel"));
    auto *gradientLayout = new QHBoxLayout(gradient);
    gradientLayout->addWidget(Labelled(gradient, tr("Fill Direction"), FillDirectionCombo));
    gradientLayout->addWidget(Labelled(gradient, tr("From Color"), GradientFromcolorButton));
    gradientLayout->addWidget(Labelled(gradient, tr("To Color"), GradientToColorButton));
    auto *texture = new QWidget(SurfacePanels);
    texture->setObjectName(QStringLiteral("TexturePanel"));
    (new QHBoxLayout(texture))->addWidget(LoadImageButton);
    auto *fontColor = new QWidget(SurfacePanels);
    fontColor->setObjectName(QStringLiteral("FontColorPanel"));
    (new QHBoxLayout(fontColor))->addWidget(Labelled(fontColor, tr("Font Color"), FontColorButton));
    auto *none = new QWidget(SurfacePanels);
    SurfacePanels->addWidget(gradient);
    SurfacePanels->addWidget(texture);
    SurfacePanels->addWidget(fontColor);
    SurfacePanels->addWidget(none);

    auto *textRow = new QHBoxLayout;
    textRow->addWidget(new QLabel(tr("Text"), this));
    textRow->addWidget(CaptionText, 1);
    textRow->addWidget(Fontbutton);
    textRow->addWidget(RapidChangeFontSize);
    textRow->addWidget(SelectSymbolbutton);

    auto *grid = new QGridLayout;
    grid->addWidget(Labelled(this, tr("Surface Type"), SurfaceTypeCombo), 0, 0);
    grid->addWidget(SurfacePanels, 0, 1, 1, 3);
    grid->addWidget(Labelled(this, tr("Outline Color"), OutlineColorButton), 1, 0);
    grid->addWidget(Labelled(this, tr("OutLine Style"), OutlineStyleCombo), 1, 1);
    grid->addWidget(Labelled(this, tr("Outline Width"), OutLineWidthSpinner), 1, 2);
    grid->addWidget(Labelled(this, tr("Shadow Color"), ShadowColorButton), 2, 0);
    grid->addWidget(Labelled(this, tr("Shadow Orientation"), ShadowOrientationCombo), 2, 1);
    grid->addWidget(Labelled(this, tr("Shadow Depth"), ShadowDepthSpinner), 2, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SamplePanel, 1);
    layout->addLayout(textRow);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow());

    CaptionTimer = new QTimer(this);
    CaptionTimer->setInterval(200);
    connect(CaptionTimer, &QTimer::timeout, this, [this] { CaptionTimerTick(); });

    connect(CaptionText, &QLineEdit::textEdited, this, [this](const QString &text) {
        FPreview->SetCaption(text);
        FCaptionChanged = true;
        SampleChanged();
    });
    connect(SurfaceTypeCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (FActivating || index < 0)
            return;
        FPreview->SetSurfaceType(Fill::TSurfaceType(index));
        if (index == Fill::stBrushImage && !FLastUsedImage.IsEmpty())
            FPreview->Image()->SetBitmap(FLastUsedImage);
        FitSample();
        UpdatePanels();
    });
    connect(FillDirectionCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!FActivating && index >= 0) {
            FPreview->SetFillDirection(Fill::TFillDirection(index));
            SampleChanged();
        }
    });
    const auto colorButton = [this](TDFSColorButton *button, std::function<void(TColor)> apply) {
        connect(button, &TDFSColorButton::ColorChange, this, [this, button, apply] {
            if (FActivating)
                return;
            apply(button->Color());
            SampleChanged();
        });
    };
    colorButton(GradientFromcolorButton, [this](TColor c) { FPreview->SetGradientFromColor(c); });
    colorButton(GradientToColorButton, [this](TColor c) { FPreview->SetGradientToColor(c); });
    colorButton(FontColorButton, [this](TColor c) { FPreview->Font()->SetColor(c); });
    colorButton(OutlineColorButton, [this](TColor c) { FPreview->SetOutlineColor(c); });
    colorButton(ShadowColorButton, [this](TColor c) { FPreview->SetShadowcolor(c); });
    connect(OutlineStyleCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!FActivating && index >= 0) {
            FPreview->SetOutlineStyle(Vcl::TPenStyle(index));
            SampleChanged();
        }
    });
    connect(OutLineWidthSpinner, &QLineEdit::textChanged, this, [this] {
        if (!FActivating) {
            FPreview->SetOutlineWidth(OutLineWidthSpinner->Value());
            SampleChanged();
        }
    });
    connect(ShadowOrientationCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!FActivating && index >= 0) {
            FPreview->SetShadowOrientation(TGSuperText::TShadowOrientation(index));
            SampleChanged();
        }
    });
    connect(ShadowDepthSpinner, &QLineEdit::textChanged, this, [this] {
        if (!FActivating) {
            FPreview->SetShadowDepth(ShadowDepthSpinner->Value());
            SampleChanged();
        }
    });
    connect(Fontbutton, &QPushButton::clicked, this, [this] { FontbuttonClick(); });
    connect(SelectSymbolbutton, &QPushButton::clicked, this, [this] { SelectSymbolbuttonClick(); });
    connect(LoadImageButton, &QPushButton::clicked, this, [this] { LoadImageButtonClick(); });
    connect(RapidChangeFontSize, &TSpinButton::OnUpClick, this, [this] { FontSizeUp(); });
    connect(RapidChangeFontSize, &TSpinButton::OnDownClick, this, [this] { FontSizeDown(); });

    AttachFormHelp(this);
    CaptionText->setFocus();
}

bool TSuperTextProperties::Execute(QWidget *parent, TGSuperText &text)
{
    TSuperTextProperties dialog(parent);
    dialog.Preview()->CopyAppearance(text);
    dialog.SetRememberedPath(text.LastBitmapFileNameandPath());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text.TakeFromSample(*dialog.Preview(), dialog.RememberedPath());
    return true;
}

void TSuperTextProperties::FormActivate()
{
    FActivating = true;
    SurfaceTypeCombo->setCurrentIndex(int(FPreview->SurfaceType()));
    FillDirectionCombo->setCurrentIndex(int(FPreview->FillDirection()));
    GradientFromcolorButton->SetColor(FPreview->GradientFromColor());
    GradientToColorButton->SetColor(FPreview->GradientToColor());
    FontColorButton->SetColor(FPreview->Font()->Color());
    OutlineColorButton->SetColor(FPreview->OutlineColor());
    ShadowColorButton->SetColor(FPreview->Shadowcolor());
    OutlineStyleCombo->setCurrentIndex(int(FPreview->OutlineStyle()));
    OutLineWidthSpinner->SetValue(FPreview->OutlineWidth());
    ShadowOrientationCombo->setCurrentIndex(int(FPreview->ShadowOrientation()));
    ShadowDepthSpinner->SetValue(FPreview->ShadowDepth());
    FActivating = false;
    UpdatePanels();
    if (FPreview->Image()->Width() > 0)
        FLastUsedImage = FPreview->Image()->Bitmap();
    CaptionText->setText(FPreview->Caption());
    ShowFaceInCaption();
    CaptionTimer->start();
    SampleChanged();
}

void TSuperTextProperties::UpdatePanels()
{
    switch (FPreview->SurfaceType()) {
    case Fill::stGradientFill: SurfacePanels->setCurrentIndex(0); break;
    case Fill::stBrushImage: SurfacePanels->setCurrentIndex(1); break;
    case Fill::stNormal: SurfacePanels->setCurrentIndex(2); break;
    case Fill::stBrushTransparent: SurfacePanels->setCurrentIndex(3); break;
    }
}

void TSuperTextProperties::SampleChanged() { SamplePanel->update(); }

void TSuperTextProperties::FitSample()
{
    FPreview->FitToText();
    SampleChanged();
}

void TSuperTextProperties::ShowFaceInCaption()
{
    QFont face = CaptionText->font();
    face.setFamily(FPreview->Font()->Name());
    CaptionText->setFont(face);
}

void TSuperTextProperties::CaptionTimerTick()
{
    if (!FCaptionChanged)
        return;
    CaptionTimer->stop();
    FitSample();
    FCaptionChanged = false;
    CaptionTimer->start();
}

void TSuperTextProperties::FontSizeUp()
{
    StepFontSize(*FPreview->Font(), true);
    FitSample();
}

void TSuperTextProperties::FontSizeDown()
{
    StepFontSize(*FPreview->Font(), false);
    FitSample();
}

void TSuperTextProperties::FontbuttonClick()
{
    TFont chosen;
    chosen.Assign(*FPreview->Font());
    if (!platform::ChooseFont(chosen, this))
        return;
    FPreview->Font()->Assign(chosen);
    FitSample();
    ShowFaceInCaption();
}

void TSuperTextProperties::SelectSymbolbuttonClick()
{
    TSuperTextGetSymbol picker(this);
    const bool ok = picker.HasFaces() && picker.exec() == QDialog::Accepted;
    if (!ok)
        return;
    CaptionText->setText(picker.Character());
    FPreview->SetCaption(picker.Character());
    FPreview->Font()->SetName(picker.FaceName());
    FitSample();
    ShowFaceInCaption();
}

void TSuperTextProperties::accept()
{
    if (CaptionText->text().isEmpty()) {
        platform::ShowMessageBox({tr("Please enter some text"), tr("Information")}, this);
        CaptionText->setFocus();
        return;
    }
    CaptionTimer->stop();
    TPropertyDialog::accept();
}

void TSuperTextProperties::LoadImageButtonClick()
{
    QString fileName = FRememberedPath;
    TBitmap texture;
    // The example is the preview's text as "Text", wearing the texture.
    const auto example = [this](QPainter &painter, const QSize &size, const TBitmap &candidate) {
        TGSuperText text;
        text.CopyAppearance(*FPreview);
        text.SetCaption(QStringLiteral("Text"));
        text.SetSurfaceType(Fill::stBrushImage);
        text.Image()->SetBitmap(candidate);
        text.SetBounds(0, 0, size.width(), size.height());
        text.Paint(painter);
    };
    if (TSuperTextBrushImageBrowser::Execute(this, fileName, texture, example)) {
        FPreview->Image()->SetBitmap(texture);
        FLastUsedImage = texture;
        FRememberedPath = fileName;
    }
    FitSample();
    SampleChanged();
}
