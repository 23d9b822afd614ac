// Holds TEditCardLayout.
#include "printing/SheetLayoutDialog.h"

#include "platform/Rounding.h"
#include "printing/DialogKit.h"
#include "printing/NudgeSample.h"
#include "surface/CardPanel.h"
#include "widgets/NumericEdit.h"
#include "widgets/SpinEdit.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <cmath>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeF>
#include <QToolButton>
#include <QVBoxLayout>

namespace sheetlayout {
namespace {

struct PredefinedLayout {
    const char *name;
    const char *part;
    int papersize;
    float height, width, topMargin, leftMargin, vPitch;
};

// Every one of these sheets holds 2 x 5 cards with no gap between columns.
const PredefinedLayout kPredefined[kPredefinedLayoutCount] = {
    {"Avery Business Card 5371 (Letter Size Paper)", "5371", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 5372 (Letter Size Paper)", "5372", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 5376 - Ivory (Letter Size Paper)", "5376", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 5377 - Gray (Letter Size Paper)", "5377", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 5911 (Letter Size Paper)", "5911", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 8371 Ink Jet (Letter Size Paper)", "8371", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 8372 Ink Jet (Letter Size Paper)", "8372", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 8376 Ink Jet - Ivory (Letter Size Paper)", "8376", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card 8377 Ink Jet - Gray (Letter Size Paper)", "8377", 1, 2.0f, 3.5f, 0.5f, 0.75f, 2.0f},
    {"Avery Business Card L7413 (A4 Size Paper)", "L7413", 9, 2.0f, 3.543f, 0.846f, 0.591f, 2.0f},
    {"Avery Business Card L7414 (A4 Size Paper)", "L7414", 9, 2.047f, 3.543f, 0.728f, 0.591f, 2.047f},
    {"Avery Business Card L7415 (A4 Size Paper)", "L7415", 9, 2.047f, 3.543f, 0.728f, 0.591f, 2.047f},
    {"Avery Business Card L7417 (A4 Size Paper)", "L7417", 9, 2.126f, 3.543f, 0.531f, 0.591f, 2.126f},
    {"Avery Business Card L7419 (A4)", "L7419", 9, 2.126f, 3.543f, 0.531f, 0.591f, 2.126f},
};

} // namespace

QStringList PredefinedLayoutNames()
{
    QStringList names;
    for (const PredefinedLayout &p : kPredefined)
        names << QString::fromLatin1(p.name);
    return names;
}

QString PredefinedLayoutPart(int index)
{
    if (index < 0 || index >= kPredefinedLayoutCount)
        return QString();
    return QString::fromLatin1(kPredefined[index].part);
}

bool ApplyPredefinedLayout(int index, CardSheetLayout &layout)
{
    if (index < 0 || index >= kPredefinedLayoutCount)
        return false;
    const PredefinedLayout &p = kPredefined[index];
    layout.Papersize = p.papersize;
    layout.Height = p.height;
    layout.Width = p.width;
    layout.Across = 2;
    layout.Down = 5;
    layout.TopMargin = p.topMargin;
    layout.LeftMargin = p.leftMargin;
    layout.HPitch = p.width;
    layout.VPitch = p.vPitch;
    return true;
}

float MillimetresToInches(double millimetres)
{
    // Going through 3-decimal text keeps inches the user would type by hand.
    return numedit::FormatFixed(millimetres * kInchesPerMillimetre, 7, 3).toFloat();
}

double InchesToShownMillimetres(double inches)
{
    const double exact = inches * kMillimetresPerInch;
    const float stored = MillimetresToInches(exact);
    for (const double scale : {1.0, 10.0, 100.0}) {
        const double shown = std::round(exact * scale) / scale;
        if (MillimetresToInches(shown) == stored)
            return shown;
    }
    return std::round(exact * 100.0) / 100.0;
}

QString LayoutError(const CardSheetLayout &layout)
{
    // Single-precision comparisons: 0.3 and 0.5 as entered pass.
    if (layout.Height < 0.3f)
        return QStringLiteral("Card Height must be at least .3 inches (or 7mm)");
    if (layout.Width < 0.5f)
        return QStringLiteral("Card Width must be at least .5 inch (or 13mm)");
    if (layout.Across >= 2 && layout.Width > layout.HPitch)
        return QStringLiteral("Horizontal Pitch must be at least = Card Width");
    if (layout.Down >= 2 && layout.Height > layout.VPitch)
        return QStringLiteral("Vertical Pitch must be at least = Card Height");
    return QString();
}

QSizeF PaperInches(int papersize)
{
    const QPageSize paper(QPageSize::id(papersize));
    // Through millimetres: QPageSize gives inches rounded to hundredths.
    if (paper.isValid() && paper.id() != QPageSize::Custom)
        return paper.size(QPageSize::Millimeter) / kMillimetresPerInch;
    // A code printers may not know: room for Letter and A4 alike.
    return {8.5, 297.0 / kMillimetresPerInch};
}

namespace {

// The cells may reach as far beyond the paper as the printer nudges can
// bring them back.
constexpr double kPaperTolerance = 8.0 / 32.0;
constexpr float kLongestLength = 1000.0f;

bool FitsPaper(const CardSheetLayout &l)
{
    const QSizeF paper = PaperInches(l.Papersize);
    const double right = double(l.LeftMargin) + double(l.HPitch) * (l.Across - 1) + double(l.Width);
    const double bottom = double(l.TopMargin) + double(l.VPitch) * (l.Down - 1) + double(l.Height);
    return right <= paper.width() + kPaperTolerance && bottom <= paper.height() + kPaperTolerance;
}

template <typename T>
void Limit(T &value, T lowest, T highest, T fallback)
{
    // Written so that a NaN fails as well.
    if (!(value >= lowest && value <= highest))
        value = fallback;
}

} // namespace

CardSheetLayout LayoutWithinLimits(const CardSheetLayout &layout)
{
    const CardSheetLayout defaults;
    CardSheetLayout l = layout;
    Limit(l.Height, 0.3f, kLongestLength, defaults.Height);
    Limit(l.Width, 0.5f, kLongestLength, defaults.Width);
    Limit(l.Across, 1, 10, defaults.Across);
    Limit(l.Down, 1, 30, defaults.Down);
    Limit(l.TopMargin, 0.0f, kLongestLength, defaults.TopMargin);
    Limit(l.LeftMargin, 0.0f, kLongestLength, defaults.LeftMargin);
    Limit(l.HPitch, 0.0f, kLongestLength, defaults.HPitch);
    Limit(l.VPitch, 0.0f, kLongestLength, defaults.VPitch);
    Limit(l.PredefLayout, -1, kPredefinedLayoutCount - 1, defaults.PredefLayout);
    Limit(l.Papersize, 1, 32767, defaults.Papersize);
    if (!LayoutError(l).isEmpty() || !FitsPaper(l)) {
        const bool useMM = l.UseMM;
        l = defaults;
        l.UseMM = useMM;
    }
    return l;
}

bool IsLayoutWithinLimits(const CardSheetLayout &layout) { return LayoutWithinLimits(layout) == layout; }

QStringList PaperSizeItems()
{
    return {QStringLiteral("Letter (8.5 x 11\")"), QStringLiteral("A4 (210 x 297mm)"), QString()};
}

int PaperItemForCode(int papersize)
{
    switch (papersize) {
    case 1:
        return 0;
    case 9:
        return 1;
    default:
        return -1;
    }
}

int PaperCodeForItem(int item, int current)
{
    switch (item) {
    case 0:
        return 1;
    case 1:
        return 9;
    default:
        return current;
    }
}

} // namespace sheetlayout

void SetCardSizeFromInches(TGBasePanel &panel, const CardSheetLayout &layout, int pixelsPerInch)
{
    const float zoom = panel.ZoomFactor();
    const bool zoomed = zoom != 1.0f;
    if (zoomed)
        panel.SetZoom(1.0f);
    panel.resize(platform::Round(double(pixelsPerInch) * layout.Width),
                 platform::Round(double(pixelsPerInch) * layout.Height));
    if (zoomed)
        panel.SetZoom(zoom);
    panel.update();
}

// ---------------------------------------------------------------------------

namespace {

TNumEdit *MakeLengthEdit(const char *name, QWidget *parent)
{
    auto *edit = new TNumEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->SetNumericType(ntGeneral);
    edit->SetDigits(6);
    edit->SetDecimals(3);
    edit->SetAllMasks(QStringLiteral("#0.###"));
    edit->SetUseRounding(true);
    edit->SetValidate(false);
    edit->setFixedWidth(85);
    return edit;
}

TSpinEdit *MakeCountEdit(const char *name, int maximum, QWidget *parent)
{
    auto *spin = new TSpinEdit(parent);
    spin->setObjectName(QLatin1String(name));
    spin->SetMinValue(1);
    spin->SetMaxValue(maximum);
    spin->SetValue(1);
    spin->setFixedWidth(85);
    return spin;
}

// The paper combo for a layout. Card stock of the label-template library on
// paper other than Letter and A4 names its paper in the spare item, which
// keeps the paper code on Ok; other codes show no item, as they always did.
void ShowPaperOf(QComboBox *combo, const CardSheetLayout &layout)
{
    const int item = sheetlayout::PaperItemForCode(layout.Papersize);
    const QPageSize other(QPageSize::id(layout.Papersize));
    const bool named = item < 0 && !layout.Brand.isEmpty() && other.id() != QPageSize::Custom;
    if (combo->count() > 2)
        combo->setItemText(2, named ? other.name() : QString());
    if (item >= 0)
        combo->setCurrentIndex(item);
    else if (named)
        combo->setCurrentIndex(2);
}

QLabel *BuddyLabel(const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TEditCardLayout::TEditCardLayout(const CardSheetLayout &layout, QWidget *parent)
    : QDialog(parent)
    , FLayout(layout)
{
    setObjectName(QStringLiteral("TEditCardLayout"));
    setWindowTitle(QStringLiteral("Business Card Layout"));
    BuildControls();
    FormActivate();
}

void TEditCardLayout::BuildControls()
{
    FStock = labeltemplates::CardStock();

    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setPlaceholderText(QStringLiteral("Search: brand, part, words or size (3.5 x 2)"));
    SearchEdit->setClearButtonEnabled(true);
    SearchEdit->installEventFilter(this);
    BusinessCardsOnly = new QCheckBox(QStringLiteral("&Business cards only"), this);
    BusinessCardsOnly->setObjectName(QStringLiteral("BusinessCardsOnly"));
    BusinessCardsOnly->setChecked(true);
    MatchCount = new QLabel(this);
    MatchCount->setObjectName(QStringLiteral("MatchCount"));

    PredefinedLayouts = new QComboBox(this);
    PredefinedLayouts->setObjectName(QStringLiteral("PredefinedLayouts"));
    PredefinedLayouts->setMaxVisibleItems(13);
    // The list changes with every search; the dialog keeps its width.
    PredefinedLayouts->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    PredefinedLayouts->setMinimumContentsLength(52);

    SheetDrawing = new TNudgeSample(FLayout, this);
    SheetDrawing->setObjectName(QStringLiteral("SheetDrawing"));
    SheetDrawing->SetShowMargins(true);
    SheetDrawing->setFixedSize(150, 190);

    Inchesbutton = new QRadioButton(QStringLiteral("Use &Inches"), this);
    Inchesbutton->setObjectName(QStringLiteral("Inchesbutton"));
    Inchesbutton->setChecked(true);
    MMButton = new QRadioButton(QStringLiteral("Use &Millimeters"), this);
    MMButton->setObjectName(QStringLiteral("MMButton"));

    eCardwidth = MakeLengthEdit("eCardwidth", this);
    eCardHeight = MakeLengthEdit("eCardHeight", this);
    eHorizPitch = MakeLengthEdit("eHorizPitch", this);
    eVertPitch = MakeLengthEdit("eVertPitch", this);
    eleftmarg = MakeLengthEdit("eleftmarg", this);
    etopmarg = MakeLengthEdit("etopmarg", this);
    enbracross = MakeCountEdit("enbracross", 10, this);
    enbrdown = MakeCountEdit("enbrdown", 30, this);

    epapersize = new QComboBox(this);
    epapersize->setObjectName(QStringLiteral("epapersize"));
    epapersize->addItems(sheetlayout::PaperSizeItems());
    epapersize->setCurrentIndex(-1); // a paper code the list lacks shows no item

    QPushButton *okButton = printing::MakeDefaultDialogButton(this, QStringLiteral("Ok"), QStringLiteral("OKButton"));
    QPushButton *cancelButton =
        printing::MakeDialogButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancelbutton"));
    QPushButton *helpButton = printing::MakeDialogButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"));
    QToolButton *pointer = TODSHelp::MakeMouseHelpButton(this);

    auto *units = new QHBoxLayout;
    units->addWidget(Inchesbutton);
    units->addWidget(MMButton);
    units->addStretch();

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(BuddyLabel(QStringLiteral("Card Width"), eCardwidth, this), 0, 0);
    grid->addWidget(eCardwidth, 0, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Card Height"), eCardHeight, this), 0, 2);
    grid->addWidget(eCardHeight, 0, 3);
    grid->addWidget(BuddyLabel(QStringLiteral("Horizontal Pitch"), eHorizPitch, this), 1, 0);
    grid->addWidget(eHorizPitch, 1, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Vertical Pitch"), eVertPitch, this), 1, 2);
    grid->addWidget(eVertPitch, 1, 3);
    grid->addWidget(BuddyLabel(QStringLiteral("Left Margin"), eleftmarg, this), 2, 0);
    grid->addWidget(eleftmarg, 2, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Top Margin"), etopmarg, this), 2, 2);
    grid->addWidget(etopmarg, 2, 3);
    grid->addWidget(BuddyLabel(QStringLiteral("# across"), enbracross, this), 3, 0);
    grid->addWidget(enbracross, 3, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("# down"), enbrdown, this), 3, 2);
    grid->addWidget(enbrdown, 3, 3);
    grid->addWidget(BuddyLabel(QStringLiteral("Paper size"), epapersize, this), 4, 0);
    grid->addWidget(epapersize, 4, 1, 1, 3);

    QHBoxLayout *buttons = printing::MakeButtonRow({okButton, cancelButton, helpButton, pointer});

    auto *search = new QHBoxLayout;
    search->addWidget(SearchEdit, 1);
    search->addWidget(BusinessCardsOnly);
    search->addWidget(MatchCount);

    auto *fields = new QVBoxLayout;
    fields->addLayout(units);
    fields->addLayout(grid);
    fields->addStretch();
    auto *fieldsAndDrawing = new QHBoxLayout;
    fieldsAndDrawing->addLayout(fields);
    fieldsAndDrawing->addSpacing(12);
    fieldsAndDrawing->addWidget(SheetDrawing, 0, Qt::AlignTop);

    auto *main = new QVBoxLayout(this);
    main->addWidget(BuddyLabel(QStringLiteral("Predefined Layouts"), PredefinedLayouts, this));
    main->addLayout(search);
    main->addWidget(PredefinedLayouts);
    main->addLayout(fieldsAndDrawing);
    main->addSpacing(6);
    main->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    AttachFormHelp(this);

    connect(PredefinedLayouts, &QComboBox::activated, this, &TEditCardLayout::PredefinedLayoutsChange);
    connect(SearchEdit, &QLineEdit::textChanged, this, &TEditCardLayout::FillLayoutList);
    connect(BusinessCardsOnly, &QCheckBox::toggled, this, &TEditCardLayout::FillLayoutList);
    // The drawing follows every keystroke and every choice.
    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{eCardwidth, eCardHeight, eHorizPitch, eVertPitch,
                                                              eleftmarg, etopmarg, enbracross, enbrdown})
        connect(edit, &QLineEdit::textChanged, this, &TEditCardLayout::UpdateSheetDrawing);
    connect(epapersize, &QComboBox::currentIndexChanged, this, &TEditCardLayout::UpdateSheetDrawing);
    connect(MMButton, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            MMButtonClick();
        else
            InchesbuttonClick();
    });
    connect(eCardwidth, &TNumEdit::Exited, this, &TEditCardLayout::eCardwidthExit);
    connect(eCardHeight, &TNumEdit::Exited, this, &TEditCardLayout::eCardHeightExit);
    connect(okButton, &QPushButton::clicked, this, &TEditCardLayout::OkButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, &TEditCardLayout::HelpButtonClick);
}

void TEditCardLayout::FormActivate()
{
    if (FActivated)
        return;
    FChosen = EntryOfLayout();
    // The layout's own card stock is listed even when it is no business card.
    if (FChosen >= 0 && !FStock[FChosen].FitsBusinessCard())
        BusinessCardsOnly->setChecked(false);
    FillLayoutList();
    const bool millimetres = FLayout.UseMM;
    FillControls();
    // Checking the button converts what was just filled in inches.
    if (millimetres)
        MMButton->setChecked(true);
    FActivated = true;
}

int TEditCardLayout::EntryOfLayout() const
{
    if (!FLayout.Brand.isEmpty()) {
        const QString name = (FLayout.Brand + QLatin1Char(' ') + FLayout.Part).simplified();
        for (int i = 0; i < FStock.size(); ++i)
            if (FStock[i].Name().compare(name, Qt::CaseInsensitive) == 0)
                return i;
    }
    for (int i = 0; i < FStock.size(); ++i)
        if (FStock[i].BuiltIn >= 0 && FStock[i].BuiltIn == FLayout.PredefLayout)
            return i;
    return -1;
}

int TEditCardLayout::EntryOfItem(int item) const
{
    if (item < 0 || item >= PredefinedLayouts->count())
        return -1;
    return PredefinedLayouts->itemData(item).toInt();
}

void TEditCardLayout::FillLayoutList()
{
    const QString search = SearchEdit->text();
    const bool businessCardsOnly = BusinessCardsOnly->isChecked();
    PredefinedLayouts->clear();
    int chosenItem = -1;
    for (int i = 0; i < FStock.size(); ++i) {
        const labeltemplates::TCardProduct &entry = FStock[i];
        if ((businessCardsOnly && !entry.FitsBusinessCard()) || !labeltemplates::MatchesSearch(entry, search))
            continue;
        if (i == FChosen)
            chosenItem = PredefinedLayouts->count();
        PredefinedLayouts->addItem(entry.ItemText(), i);
    }
    PredefinedLayouts->setCurrentIndex(chosenItem);
    const int found = PredefinedLayouts->count();
    PredefinedLayouts->setPlaceholderText(found == 0 ? QStringLiteral("No card stock matches the search")
                                                     : QStringLiteral("Choose one of the %1 matches").arg(found));
    const QLocale english(QLocale::English);
    MatchCount->setText(QStringLiteral("%1 of %2").arg(english.toString(found), english.toString(FStock.size())));
}

bool TEditCardLayout::ShowingMillimetres() const { return MMButton->isChecked(); }

QList<TNumEdit *> TEditCardLayout::LengthEdits() const
{
    return {eCardwidth, eCardHeight, eHorizPitch, eVertPitch, eleftmarg, etopmarg};
}

void TEditCardLayout::FillControls()
{
    const QList<TNumEdit *> edits = LengthEdits();
    const float inches[] = {FLayout.Width,  FLayout.Height,     FLayout.HPitch,
                            FLayout.VPitch, FLayout.LeftMargin, FLayout.TopMargin};
    for (int i = 0; i < edits.size(); ++i) {
        TNumEdit *edit = edits[i];
        if (ShowingMillimetres()) {
            edit->SetDecimals(2);
            edit->SetValue(sheetlayout::InchesToShownMillimetres(inches[i]));
        } else {
            edit->SetDecimals(3);
            edit->SetValue(inches[i]);
        }
    }
    enbracross->SetValue(FLayout.Across);
    enbrdown->SetValue(FLayout.Down);
    ShowPaperOf(epapersize, FLayout);
    UpdateSheetDrawing();
}

CardSheetLayout TEditCardLayout::LayoutShown() const
{
    CardSheetLayout shown = FLayout;
    // The counts as the spin edits read them, kept within their ranges.
    shown.Down = qBound(enbrdown->MinValue(), enbrdown->Value(), enbrdown->MaxValue());
    shown.Across = qBound(enbracross->MinValue(), enbracross->Value(), enbracross->MaxValue());
    auto inches = [this](const TNumEdit *edit) {
        double value = edit->Value();
        // While the user types, the edit's value is still the one before.
        if (edit->IsEditing() && !numedit::ReadEditedText(edit->text(), value))
            value = edit->Value();
        return ShowingMillimetres() ? sheetlayout::MillimetresToInches(value) : float(value);
    };
    shown.Height = inches(eCardHeight);
    shown.Width = inches(eCardwidth);
    shown.TopMargin = inches(etopmarg);
    shown.LeftMargin = inches(eleftmarg);
    shown.HPitch = inches(eHorizPitch);
    shown.VPitch = inches(eVertPitch);
    shown.Papersize = sheetlayout::PaperCodeForItem(epapersize->currentIndex(), FLayout.Papersize);
    return shown;
}

void TEditCardLayout::UpdateSheetDrawing() { SheetDrawing->SetLayout(LayoutShown()); }

bool TEditCardLayout::eventFilter(QObject *watched, QEvent *event)
{
    // Enter or Down in the search opens the list of matches, instead of
    // closing the dialog with a layout the user has not seen.
    if (watched == SearchEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            if (PredefinedLayouts->count() > 0) {
                PredefinedLayouts->setFocus(Qt::TabFocusReason);
                PredefinedLayouts->showPopup();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEditCardLayout::PredefinedLayoutsChange(int index)
{
    if (!FActivated)
        return;
    if (const int entry = EntryOfItem(index); entry >= 0) {
        labeltemplates::ApplyCardProduct(FStock[entry], FLayout);
        FChosen = entry;
    }
    FillControls();
}

void TEditCardLayout::MMButtonClick()
{
    for (TNumEdit *edit : LengthEdits()) {
        edit->CommitEditing();
        const double inches = edit->Value();
        edit->clear();
        edit->SetDecimals(2);
        edit->SetValue(sheetlayout::InchesToShownMillimetres(inches));
    }
    UpdateSheetDrawing();
}

void TEditCardLayout::InchesbuttonClick()
{
    for (TNumEdit *edit : LengthEdits()) {
        edit->CommitEditing();
        const double inches = edit->Value() * sheetlayout::kInchesPerMillimetre;
        edit->clear();
        edit->SetAllMasks(QStringLiteral("#0.0##"));
        edit->SetDecimals(3);
        edit->SetDigits(6);
        edit->SetValue(inches);
    }
    UpdateSheetDrawing();
}

void TEditCardLayout::eCardwidthExit()
{
    if (eCardwidth->Value() > eHorizPitch->Value())
        eHorizPitch->SetValue(eCardwidth->Value());
}

void TEditCardLayout::eCardHeightExit()
{
    if (eCardHeight->Value() > eVertPitch->Value())
        eVertPitch->SetValue(eCardHeight->Value());
}

void TEditCardLayout::OkButtonClick()
{
    // Enter reaches Ok with the focus still in an edit: take what was typed.
    for (TNumEdit *edit : LengthEdits())
        edit->CommitEditing();

    CardSheetLayout edited = LayoutShown();
    // A card stock product is kept by its brand and part, not by its place in the list.
    if (const int entry = EntryOfItem(PredefinedLayouts->currentIndex()); entry >= 0 && FStock[entry].BuiltIn >= 0)
        edited.PredefLayout = FStock[entry].BuiltIn;

    const QString error = sheetlayout::LayoutError(edited);
    if (!error.isEmpty()) {
        printing::ShowInformation(this, error);
        return;
    }
    edited.UseMM = ShowingMillimetres();
    FLayout = edited;
    accept();
}

void TEditCardLayout::HelpButtonClick() { printing::OpenHelp(3101); }

bool EditCardLayout(CardSheetLayout &layout, QWidget *parent)
{
    TEditCardLayout dialog(layout, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    layout = dialog.Layout();
    return true;
}
