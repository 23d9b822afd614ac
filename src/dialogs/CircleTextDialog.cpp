// Holds TCircleTextProperties.
#include "dialogs/CircleTextDialog.h"

#include "dialogs/SuperTextDialog.h"
#include "objects/CircleText.h"
#include "platform/Dialogs.h"
#include "platform/Rounding.h"
#include "widgets/PaletteColorButton.h"
#include "widgets/SpinEdit.h"
#include "widgets/FormHelpTexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QSlider *QuarterBar(QWidget *parent, const QString &name)
{
    auto *bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(1, 4);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    return bar;
}

QString DegreesText(int position) { return QStringLiteral("%1 degrees").arg(position * 90); }

} // namespace

TCircleTextProperties::TCircleTextProperties(QWidget *parent)
    : TPropertyDialog(parent, tr("CircleText Properties"), 40017), FPreview(new TGPCircleText(this))
{
    setObjectName(QStringLiteral("TCircleTextProperties"));
    FPreview->SetBounds(0, 0, 100, 100);
    SampleBox = new QScrollArea(this);
    SampleBox->setObjectName(QStringLiteral("SampleBox"));
    SamplePanel = new TObjectSampleView;
    SamplePanel->setObjectName(QStringLiteral("SamplePanel"));
    SamplePanel->setFrameStyle(QFrame::NoFrame);
    SamplePanel->SetSample(FPreview);
    SampleBox->setWidget(SamplePanel);
    SampleBox->setMinimumSize(320, 240);

    CaptionText = new QLineEdit(this);
    CaptionText->setObjectName(QStringLiteral("CaptionText"));
    DegreesBar = QuarterBar(this, QStringLiteral("DegreesBar"));
    DegreesLabel = new QLabel(this);
    DegreesLabel->setObjectName(QStringLiteral("DegreesLabel"));
    StartingAngleBar = QuarterBar(this, QStringLiteral("StartingAngleBar"));
    StartingAngleLabel = new QLabel(this);
    StartingAngleLabel->setObjectName(QStringLiteral("StartingAngleLabel"));
    cbDrawLettersAngled = new QCheckBox(tr("Angled Characters"), this);
    cbDrawLettersAngled->setObjectName(QStringLiteral("cbDrawLettersAngled"));
    cbMirrored = new QCheckBox(tr("Mirrored"), this);
    cbMirrored->setObjectName(QStringLiteral("cbMirrored"));
    FontColorButton = new TDFSColorButton(this);
    FontColorButton->setObjectName(QStringLiteral("FontColorButton"));
    FontColorButton->SetCustomColorsKey(QStringLiteral("Software\\Quorvel"));
    Fontbutton = new QPushButton(tr("Select Font"), this);
    Fontbutton->setObjectName(QStringLiteral("Fontbutton"));
    RapidChangeFontSize = new TSpinButton(this);
    RapidChangeFontSize->setObjectName(QStringLiteral("RapidChangeFontSize"));
    ZoomPlusButton = new QPushButton(QStringLiteral("+"), this);
    ZoomPlusButton->setObjectName(QStringLiteral("ZoomPlusButton"));
    ZoomMinusButton = new QPushButton(QStringLiteral("-"), this);
    ZoomMinusButton->setObjectName(QStringLiteral("ZoomMinusButton"));
    ZoomLabel = new QLabel(QStringLiteral("100%"), this);
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));

    auto *zoomRow = new QHBoxLayout;
    zoomRow->addWidget(ZoomMinusButton);
    zoomRow->addWidget(ZoomLabel);
    zoomRow->addWidget(ZoomPlusButton);
    zoomRow->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Text"), this), 0, 0);
    grid->addWidget(CaptionText, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Degrees"), this), 1, 0);
    grid->addWidget(DegreesBar, 1, 1);
    grid->addWidget(DegreesLabel, 1, 2);
    grid->addWidget(new QLabel(tr("Starting Angle"), this), 2, 0);
    grid->addWidget(StartingAngleBar, 2, 1);
    grid->addWidget(StartingAngleLabel, 2, 2);
    grid->addWidget(cbDrawLettersAngled, 3, 1);
    grid->addWidget(cbMirrored, 3, 2);
    grid->addWidget(new QLabel(tr("Font Color"), this), 4, 0);
    grid->addWidget(FontColorButton, 4, 1);
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(Fontbutton);
    fontRow->addWidget(RapidChangeFontSize);
    grid->addLayout(fontRow, 4, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SampleBox, 1);
    layout->addLayout(zoomRow);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow());

    CaptionTimer = new QTimer(this);
    CaptionTimer->setInterval(200);
    // The circle text needs no follow-up when its text changes: the flag only
    // records the change.
    connect(CaptionTimer, &QTimer::timeout, this, [this] { FCaptionChanged = false; });

    connect(CaptionText, &QLineEdit::textEdited, this, [this](const QString &text) {
        FPreview->SetCaption(text);
        FCaptionChanged = true;
        SampleChanged();
    });
    connect(DegreesBar, &QSlider::valueChanged, this, [this](int position) {
        DegreesLabel->setText(DegreesText(position));
        if (FActivating)
            return;
        FPreview->SetDegrees(TGPCircleText::TDegrees(position - 1));
        SampleChanged();
    });
    connect(StartingAngleBar, &QSlider::valueChanged, this, [this](int position) {
        StartingAngleLabel->setText(DegreesText(position));
        if (FActivating)
            return;
        FPreview->SetStartingVector(TGPCircleText::TDegrees(position - 1));
        SampleChanged();
    });
    connect(cbDrawLettersAngled, &QCheckBox::toggled, this, [this](bool on) {
        if (!FActivating) {
            FPreview->SetDrawLettersAngled(on);
            SampleChanged();
        }
    });
    connect(cbMirrored, &QCheckBox::toggled, this, [this](bool on) {
        if (!FActivating) {
            FPreview->SetMirror(on);
            SampleChanged();
        }
    });
    connect(FontColorButton, &TDFSColorButton::ColorChange, this, [this] {
        if (!FActivating) {
            FPreview->Font()->SetColor(FontColorButton->Color());
            SampleChanged();
        }
    });
    connect(Fontbutton, &QPushButton::clicked, this, [this] {
        TFont chosen;
        chosen.Assign(*FPreview->Font());
        if (!platform::ChooseFont(chosen, this))
            return;
        FPreview->Font()->Assign(chosen);
        SampleChanged();
    });
    connect(RapidChangeFontSize, &TSpinButton::OnUpClick, this, [this] { FontSizeUp(); });
    connect(RapidChangeFontSize, &TSpinButton::OnDownClick, this, [this] { FontSizeDown(); });
    connect(ZoomPlusButton, &QPushButton::clicked, this, [this] { ZoomIn(); });
    connect(ZoomMinusButton, &QPushButton::clicked, this, [this] { ZoomOut(); });

    AttachFormHelp(this);
    CaptionText->setFocus();
}

bool TCircleTextProperties::Execute(QWidget *parent, TGPCircleText &text)
{
    TCircleTextProperties dialog(parent);
    dialog.Preview()->CopySettings(text);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.Preview()->SetZoom(1.0f);
    text.CopySettings(*dialog.Preview());
    return true;
}

void TCircleTextProperties::FormActivate()
{
    FActivating = true;
    DegreesBar->setValue(int(FPreview->Degrees()) + 1);
    DegreesLabel->setText(DegreesText(DegreesBar->value()));
    StartingAngleBar->setValue(int(FPreview->StartingVector()) + 1);
    StartingAngleLabel->setText(DegreesText(StartingAngleBar->value()));
    cbDrawLettersAngled->setChecked(FPreview->DrawLettersAngled());
    cbMirrored->setChecked(FPreview->Mirror());
    FontColorButton->SetColor(FPreview->Font()->Color());
    CaptionText->setText(FPreview->Caption());
    FActivating = false;
    CaptionTimer->start();
    SampleChanged();
}

void TCircleTextProperties::SampleChanged()
{
    SamplePanel->resize(FPreview->Left() + FPreview->Width() + 2, FPreview->Top() + FPreview->Height() + 2);
    SamplePanel->update();
}

void TCircleTextProperties::FontSizeUp()
{
    StepFontSize(*FPreview->Font(), true);
    SampleChanged();
}

void TCircleTextProperties::FontSizeDown()
{
    StepFontSize(*FPreview->Font(), false);
    SampleChanged();
}

void TCircleTextProperties::ZoomIn()
{
    // Single precision, as the object keeps its factor: nine steps up from
    // 0.5 stop just below 1.0 and a tenth is refused there.
    const float zoom = float(FPreview->ZoomFactor());
    if (zoom < 1.0f - 1e-4f)
        FPreview->SetZoom(zoom + 0.1f);
    ShowZoom();
}

void TCircleTextProperties::ZoomOut()
{
    const float zoom = float(FPreview->ZoomFactor());
    if (zoom > 0.5f + 1e-4f)
        FPreview->SetZoom(zoom - 0.1f);
    ShowZoom();
}

void TCircleTextProperties::ShowZoom()
{
    ZoomLabel->setText(QStringLiteral("%1%").arg(platform::Round(FPreview->ZoomFactor() * 100)));
    SampleChanged();
}

void TCircleTextProperties::accept()
{
    if (CaptionText->text().isEmpty()) {
        platform::ShowMessageBox({tr("Please enter some text"), tr("Information")}, this);
        CaptionText->setFocus();
        return;
    }
    CaptionTimer->stop();
    TPropertyDialog::accept();
}
