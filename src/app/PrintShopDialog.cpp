// Holds TPrintShopDialog.
#include "app/PrintShopDialog.h"

#include "app/AppHelpers.h"
#include "app/CardExport.h"
#include "app/MainWindow.h"
#include "objects/PrintShopRules.h"
#include "platform/Dialogs.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardObject.h"
#include "widgets/FormHelpTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>

using namespace printshop;

namespace {

constexpr int kHelpContext = 2047;
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

// What the user chose last, for the next export and the guides of this session.
struct TLastPrintShop {
    double Bleed = kDefaultBleedInches;
    TLengthUnit Unit = luInches;
    bool CropMarks = true;
    double SafeMargin = kDefaultSafeMarginInches;
    bool Sheet = false;
    int SheetCards = 8;
    int Paper = 0;
    QString Folder;
} g_last;

QPageSize PaperOf(int index) { return QPageSize(index == 1 ? QPageSize::A4 : QPageSize::Letter); }

int SafeMarginPixels(double inches) { return platform::Round(inches * platform::ScreenPixelsPerInch()); }

} // namespace

double PrintShopSafeMargin() { return g_last.SafeMargin; }

void ShowSafeAreaGuides(TGBasePanel &panel, bool show)
{
    if (!show) {
        panel.SetSafeAreaGuides(-1, nullptr);
        return;
    }
    const int margin = SafeMarginPixels(g_last.SafeMargin);
    TGBasePanel *on = &panel;
    panel.SetSafeAreaGuides(margin, [on, margin](const TGGraphicControl *o) {
        return CrossesSafeLine(o, on->CardSize(), margin);
    });
}

TPrintShopDialog::TPrintShopDialog(TGBasePanel *panel, QSizeF card, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), FPanel(panel), FCard(card)
{
    setObjectName(QStringLiteral("TPrintShopDialog"));
    setWindowTitle(tr("Export for a Print Shop"));
    FUnit = g_last.Unit;

    BleedEdit = new QDoubleSpinBox(this);
    BleedEdit->setObjectName(QStringLiteral("BleedEdit"));
    UnitCombo = new QComboBox(this);
    UnitCombo->setObjectName(QStringLiteral("UnitCombo"));
    UnitCombo->addItems({tr("mm"), tr("in")});
    UnitCombo->setCurrentIndex(FUnit == luMillimetres ? 0 : 1);
    CropMarksCheck = new QCheckBox(tr("&Crop marks at the corners"), this);
    CropMarksCheck->setObjectName(QStringLiteral("CropMarksCheck"));
    CropMarksCheck->setChecked(g_last.CropMarks);
    SafeMarginEdit = new QDoubleSpinBox(this);
    SafeMarginEdit->setObjectName(QStringLiteral("SafeMarginEdit"));
    SheetCheck = new QCheckBox(tr("A &sheet of"), this);
    SheetCheck->setObjectName(QStringLiteral("SheetCheck"));
    SheetCheck->setChecked(g_last.Sheet);
    SheetCardsSpin = new QSpinBox(this);
    SheetCardsSpin->setObjectName(QStringLiteral("SheetCardsSpin"));
    SheetCardsSpin->setSuffix(tr(" cards"));
    PaperCombo = new QComboBox(this);
    PaperCombo->setObjectName(QStringLiteral("PaperCombo"));
    PaperCombo->addItems({tr("on Letter (8.5 x 11 in)"), tr("on A4 (210 x 297 mm)")});
    PaperCombo->setCurrentIndex(g_last.Paper);
    SafeLineList = new QListWidget(this);
    SafeLineList->setObjectName(QStringLiteral("SafeLineList"));
    SafeLineList->setMaximumHeight(90);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("&Export..."), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancelbutton"));
    QPushButton *help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("Helpbutton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(kHelpContext); });

    auto *bleedRow = new QHBoxLayout;
    bleedRow->addWidget(BleedEdit, 1);
    bleedRow->addWidget(UnitCombo);
    auto *sheetRow = new QHBoxLayout;
    sheetRow->addWidget(SheetCheck);
    sheetRow->addWidget(SheetCardsSpin);
    sheetRow->addWidget(PaperCombo, 1);
    auto *form = new QFormLayout(this);
    auto *bleedLabel = new QLabel(tr("&Bleed past the cut:"), this);
    bleedLabel->setBuddy(BleedEdit);
    form->addRow(bleedLabel, bleedRow);
    form->addRow(QString(), CropMarksCheck);
    form->addRow(tr("Sa&fe margin inside the cut:"), SafeMarginEdit);
    form->addRow(QString(), sheetRow);
    form->addRow(new QLabel(tr("Text and pictures over the safe line:"), this));
    form->addRow(SafeLineList);
    form->addRow(MakeMouseHelpButton(this), buttons);

    UnitChanged();
    BleedEdit->setValue(Shown(g_last.Bleed));
    SafeMarginEdit->setValue(Shown(g_last.SafeMargin));
    SheetChanged();
    SheetCardsSpin->setValue(g_last.SheetCards);
    connect(UnitCombo, &QComboBox::currentIndexChanged, this, [this] {
        const double bleed = Inches(BleedEdit->value()), margin = Inches(SafeMarginEdit->value());
        FUnit = UnitCombo->currentIndex() == 0 ? luMillimetres : luInches;
        UnitChanged();
        BleedEdit->setValue(Shown(bleed));
        SafeMarginEdit->setValue(Shown(margin));
    });
    // The room a sheet has for cards depends on the bleed, the marks and the paper.
    connect(SheetCheck, &QCheckBox::toggled, this, &TPrintShopDialog::SheetChanged);
    connect(PaperCombo, &QComboBox::currentIndexChanged, this, &TPrintShopDialog::SheetChanged);
    connect(CropMarksCheck, &QCheckBox::toggled, this, &TPrintShopDialog::SheetChanged);
    connect(BleedEdit, &QDoubleSpinBox::valueChanged, this, &TPrintShopDialog::SheetChanged);
    connect(SafeMarginEdit, &QDoubleSpinBox::valueChanged, this, &TPrintShopDialog::ListObjectsOverTheSafeLine);
    ListObjectsOverTheSafeLine();
    AttachFormHelp(this);
}

double TPrintShopDialog::Inches(double shown) const { return FUnit == luMillimetres ? shown / kMmPerInch : shown; }
double TPrintShopDialog::Shown(double inches) const { return FUnit == luMillimetres ? inches * kMmPerInch : inches; }

void TPrintShopDialog::UnitChanged()
{
    const bool mm = FUnit == luMillimetres;
    for (QDoubleSpinBox *edit : {BleedEdit, SafeMarginEdit}) {
        edit->setDecimals(mm ? 2 : 3);
        edit->setSingleStep(mm ? 0.5 : 0.0625);
        edit->setSuffix(mm ? tr(" mm") : tr(" in"));
    }
    BleedEdit->setRange(0.0, mm ? kMostBleedMm : std::floor(kMostBleedMm / kMmPerInch * 1000) / 1000);
    SafeMarginEdit->setRange(0.0, Shown(kMostSafeMarginInches));
}

void TPrintShopDialog::SheetChanged()
{
    printshop::TPrintShopExport sheet = Choices();
    sheet.CardSize = FCard;
    const int most = qMax(1, CardsPerSheet(sheet));
    SheetCardsSpin->setRange(1, most);
    SheetCardsSpin->setEnabled(SheetCheck->isChecked());
    PaperCombo->setEnabled(SheetCheck->isChecked());
}

void TPrintShopDialog::ListObjectsOverTheSafeLine()
{
    SafeLineList->clear();
    if (FPanel)
        for (const TGGraphicControl *o : ObjectsCrossingSafeLine(*FPanel, SafeMarginPixels(SafeMargin())))
            SafeLineList->addItem(ObjectDescription(o));
    if (SafeLineList->count() == 0)
        SafeLineList->addItem(tr("None"));
}

double TPrintShopDialog::SafeMargin() const { return Inches(SafeMarginEdit->value()); }

printshop::TPrintShopExport TPrintShopDialog::Choices() const
{
    printshop::TPrintShopExport what;
    what.Bleed = qMin(Inches(BleedEdit->value()), kMostBleedMm / kMmPerInch);
    what.CropMarks = CropMarksCheck->isChecked();
    what.SheetCards = SheetCheck->isChecked() ? SheetCardsSpin->value() : 0;
    what.SheetPaper = PaperOf(PaperCombo->currentIndex());
    return what;
}

void ExportForPrintShopCommand(TMainScreen &main)
{
    TGBusinessCardPanel32 *panel = main.BusinessCardPanel();
    const QSizeF card(main.Layout().Width, main.Layout().Height);
    TPrintShopDialog options(panel, card, &main);
    if (ExecDialog(options) != QDialog::Accepted)
        return;
    printshop::TPrintShopExport what = options.Choices();
    g_last.Bleed = what.Bleed;
    g_last.Unit = options.UnitCombo->currentIndex() == 0 ? luMillimetres : luInches;
    g_last.CropMarks = what.CropMarks;
    g_last.SafeMargin = options.SafeMargin();
    g_last.Sheet = options.SheetCheck->isChecked();
    g_last.SheetCards = options.SheetCardsSpin->value();
    g_last.Paper = options.PaperCombo->currentIndex();
    if (panel && panel->SafeAreaMargin() >= 0)
        ShowSafeAreaGuides(*panel, true);

    QFileDialog dialog(&main, QStringLiteral("Export for a Print Shop"));
    dialog.setObjectName(QStringLiteral("PrintShopFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kPdfFilter});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString cardFile = main.CardFileName();
    dialog.setDirectory(!g_last.Folder.isEmpty() ? g_last.Folder
                        : !cardFile.isEmpty()    ? QFileInfo(cardFile).absolutePath()
                                                 : CardFolder());
    const QString baseName = cardFile.isEmpty() ? QStringLiteral("Card") : QFileInfo(cardFile).completeBaseName();
    dialog.selectFile(baseName + QStringLiteral(" for print.pdf"));
    const std::optional<QString> chosen = RunFileDialog(dialog);
    if (!chosen)
        return;
    QString fileName = *chosen;
    if (ExportFormatOf(fileName) != efPdf)
        fileName += QStringLiteral(".pdf");
    g_last.Folder = QFileInfo(fileName).absolutePath();
    what.Panel = panel;
    what.CardSize = card;
    // The side on the screen is the one exported, with its own art.
    what.BackgroundPath = main.ShownSide() == TCardSide::Back ? main.BackArtPath() : main.BackgroundArtPath();
    try {
        ExportForPrintShop(what, fileName);
    } catch (const ECardExportError &e) {
        platform::ShowMessageBox(
            {e.Message(), QStringLiteral("Export for a Print Shop"), platform::miError, platform::mbOK}, &main);
    }
}
