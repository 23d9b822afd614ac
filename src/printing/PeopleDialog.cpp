// Holds TPeoplePrintDialog.
#include "printing/PeopleDialog.h"

#include "objects/BusinessCardLabel.h"
#include "printing/DialogKit.h"
#include "printing/PrintCommands.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "surface/CardPanel.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TPeoplePrintDialog::TPeoplePrintDialog(const TPeopleTable &table, QWidget *parent, TGBasePanel *panel,
                                       TGBasePanel *backPanel)
    : QDialog(parent), FPeople(table), FPanel(panel), FBackPanel(backPanel)
{
    setObjectName(QStringLiteral("TPeoplePrintDialog"));
    setWindowTitle(QStringLiteral("Print for Several People"));

    FTable = new QTableWidget(int(table.Rows.size()), int(table.Header.size()), this);
    FTable->setObjectName(QStringLiteral("PeopleTable"));
    FTable->setHorizontalHeaderLabels(table.Header);
    FTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Cells are made for the values a row has (and the tick), not for every
    // column of the header.
    for (int r = 0; r < table.Rows.size(); ++r)
        for (int c = 0; c < std::max<qsizetype>(1, table.Rows[r].size()); ++c) {
            auto *item = new QTableWidgetItem(table.Rows[r].value(c));
            if (c == 0) {
                // The tick in the first column says whether the person is printed.
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Checked);
            }
            FTable->setItem(r, c, item);
        }
    FTable->resizeColumnsToContents();
    // Fitting every person's values takes a while for a long list: done
    // once the events of the moment are over, once for all of them.
    FFitListTimer = new QTimer(this);
    FFitListTimer->setSingleShot(true);
    FFitListTimer->setInterval(0);
    connect(FFitListTimer, &QTimer::timeout, this, &TPeoplePrintDialog::UpdateFitList);
    connect(FTable, &QTableWidget::itemChanged, this, [this] {
        UpdateButtons();
        FFitListTimer->start();
    });

    auto *matching = new QGroupBox(QStringLiteral("Columns"), this);
    matching->setObjectName(QStringLiteral("ColumnMatching"));
    auto *form = new QFormLayout(matching);
    const QStringList captions = TGBusinessCardLabel::PersonalInfoCaptions();
    const QList<int> matched = people::MatchColumns(table.Header);
    for (int entry = 0; entry < captions.size(); ++entry) {
        auto *combo = new QComboBox(matching);
        combo->setObjectName(QStringLiteral("Column") + TGBusinessCardLabel::PersonalFieldKeys().at(entry));
        combo->addItem(QStringLiteral("(none)"));
        combo->addItems(table.Header);
        combo->setCurrentIndex(matched.value(entry) + 1);
        form->addRow(captions[entry] + QLatin1Char(':'), combo);
        FColumns.append(combo);
        connect(combo, &QComboBox::currentIndexChanged, FFitListTimer, qOverload<>(&QTimer::start));
    }

    auto *layoutBox = new QGroupBox(QStringLiteral("Cards"), this);
    FSheetEach = new QRadioButton(QStringLiteral("A whole sheet per person"), layoutBox);
    FSheetEach->setObjectName(QStringLiteral("SheetEach"));
    FCardsEach = new QRadioButton(QStringLiteral("Cards per person:"), layoutBox);
    FCardsEach->setObjectName(QStringLiteral("CardsEach"));
    FPerPerson = new QSpinBox(layoutBox);
    FPerPerson->setObjectName(QStringLiteral("CardsPerPerson"));
    FPerPerson->setRange(1, 9999);
    FPerPerson->setValue(10);
    FSheetEach->setChecked(true);
    FPerPerson->setEnabled(false);
    connect(FCardsEach, &QRadioButton::toggled, FPerPerson, &QSpinBox::setEnabled);
    auto *perRow = new QHBoxLayout;
    perRow->addWidget(FCardsEach);
    perRow->addWidget(FPerPerson);
    perRow->addStretch();
    auto *cards = new QVBoxLayout(layoutBox);
    cards->addWidget(FSheetEach);
    cards->addLayout(perRow);

    FPreview = printing::MakeDialogButton(this, QStringLiteral("Pre&view"), QStringLiteral("PreviewButton"));
    FPrint = printing::MakeDefaultDialogButton(this, QStringLiteral("&Print"), QStringLiteral("PrintButton"));
    QPushButton *cancel = printing::MakeDialogButton(this, QStringLiteral("Cancel"), QStringLiteral("CancelButton"));
    connect(FPreview, &QPushButton::clicked, this, [this] {
        if (OnPreview)
            OnPreview();
    });
    connect(FPrint, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The column choices scroll where the screen is too low for all of
    // them, so that the dialog and its buttons always fit the screen.
    auto *sidePanel = new QWidget;
    auto *side = new QVBoxLayout(sidePanel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(matching);
    side->addWidget(layoutBox);
    side->addStretch();
    auto *sideScroll = new QScrollArea(this);
    sideScroll->setObjectName(QStringLiteral("ChoicesScrollBox"));
    sideScroll->setFrameShape(QFrame::NoFrame);
    sideScroll->setWidgetResizable(true);
    sideScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sideScroll->setWidget(sidePanel);
    sideScroll->setMinimumWidth(sidePanel->sizeHint().width()
                                + sideScroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    auto *body = new QHBoxLayout;
    body->addWidget(FTable, 1);
    body->addWidget(sideScroll);
    FFitList = new QListWidget(this);
    FFitList->setObjectName(QStringLiteral("FitList"));
    FFitList->setSelectionMode(QAbstractItemView::NoSelection);
    FFitList->setMaximumHeight(5 * FFitList->fontMetrics().height() + 8);
    auto *fitCaption = new QLabel(QStringLiteral("Before printing:"), this);
    fitCaption->setBuddy(FFitList);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tick the people to print for:"), this));
    layout->addLayout(body, 1);
    layout->addWidget(fitCaption);
    layout->addWidget(FFitList);
    layout->addLayout(printing::MakeButtonRow({FPreview, FPrint, cancel, TODSHelp::MakeMouseHelpButton(this)}));
    AttachFormHelp(this);
    resize(820, std::max(560, sidePanel->sizeHint().height() + 190));
    UpdateButtons();
    UpdateFitList();
}

void TPeoplePrintDialog::UpdateFitList()
{
    FFitListTimer->stop();
    FFitList->clear();
    const TMergePlan plan = Plan();
    const QStringList captions = TGBusinessCardLabel::PersonalInfoCaptions();
    QStringList lines;
    QList<int> unmatched = plan.UnmatchedEntries(FPanel);
    for (const int entry : plan.UnmatchedEntries(FBackPanel))
        if (!unmatched.contains(entry))
            unmatched.append(entry);
    std::sort(unmatched.begin(), unmatched.end());
    for (const int entry : unmatched)
        lines << QStringLiteral("No column is chosen for %1: the card's %1 prints empty").arg(captions.value(entry));
    for (const TFitNote &note : plan.FitNotes(FPanel))
        lines << people::FitNoteText(note);
    for (TFitNote note : plan.FitNotes(FBackPanel)) {
        note.Back = true;
        lines << people::FitNoteText(note);
    }
    if (lines.isEmpty())
        lines << QStringLiteral("Every value fits its place on the card.");
    FFitList->addItems(lines);
}

TMergePlan TPeoplePrintDialog::Plan() const
{
    QList<int> columns;
    for (const QComboBox *combo : FColumns)
        columns.append(combo->currentIndex() - 1);
    QList<int> rows;
    for (int r = 0; r < FTable->rowCount(); ++r)
        if (FTable->item(r, 0) && FTable->item(r, 0)->checkState() == Qt::Checked)
            rows.append(r);
    return TMergePlan::FromTable(FPeople, columns, rows, FCardsEach->isChecked() ? FPerPerson->value() : 0);
}

void TPeoplePrintDialog::UpdateButtons()
{
    bool anyone = false;
    for (int r = 0; r < FTable->rowCount() && !anyone; ++r)
        anyone = FTable->item(r, 0) && FTable->item(r, 0)->checkState() == Qt::Checked;
    FPrint->setEnabled(anyone);
    FPreview->setEnabled(anyone);
}

namespace printcommands {

namespace {

TPeopleFileChooser &FileChooser()
{
    static TPeopleFileChooser chooser;
    return chooser;
}

std::optional<QString> AskPeopleFile(QWidget *parent)
{
    if (FileChooser())
        return FileChooser()(parent);
    const QString file = QFileDialog::getOpenFileName(parent, QStringLiteral("Print for Several People"), QString(),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

} // namespace

void SetPeopleFileChooser(TPeopleFileChooser chooser)
{
    FileChooser() = std::move(chooser);
}

void PrintForPeopleCommand(TPrintContext &context)
{
    const std::optional<QString> file = AskPeopleFile(context.Parent);
    if (!file)
        return;
    TPeopleTable table;
    try {
        table = people::ReadCsvFile(*file);
    } catch (const EPeopleListError &e) {
        printing::ShowInformation(context.Parent, e.Message());
        return;
    }
    if (table.Rows.isEmpty()) {
        printing::ShowInformation(context.Parent, QStringLiteral("%1 lists no people below its first line").arg(*file));
        return;
    }
    TRPDevice &device = TRPDevice::Instance();
    context.OutlineTestPage = false;
    // The back is printed, and listed, only when both sides are.
    TPeoplePrintDialog dialog(table, context.Parent, context.Panel,
                              context.Duplex != sheetprint::dxNone ? context.BackPanel : nullptr);
    TMergePlan plan;
    dialog.OnPreview = [&] {
        plan = dialog.Plan();
        context.Merge = &plan;
        context.PrintToPrinter = false;
        device.SelectPaperSize(context.Layout->Papersize);
        if (context.Panel)
            context.Panel->SetPreviewing(true);
        DoPrint(context);
        if (context.Panel)
            context.Panel->SetPreviewing(false);
        context.Merge = nullptr;
    };
    if (dialog.exec() != QDialog::Accepted)
        return;
    plan = dialog.Plan();
    context.Merge = &plan;
    context.PrintToPrinter = true;
    device.SelectPaperSize(context.Layout->Papersize);
    DoPrint(context);
    context.Merge = nullptr;
}

} // namespace printcommands
