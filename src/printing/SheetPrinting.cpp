// Holds TSheetGeometry, TCardSheetPrinter, TLabelPrinter.
#include "printing/SheetPrinting.h"

#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/InputFiles.h"
#include "printing/CalibrationPage.h"
#include "report/PrinterList.h"
#include "surface/BusinessCardPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRectF>
#include <QPicture>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace sheetprint {

TSheetGeometry SheetGeometry(const CardSheetLayout &layout, const PrinterNudges &nudges)
{
    TSheetGeometry g;
    g.CardHeight = layout.Height;
    g.CardWidth = layout.Width;
    g.Across = layout.Across;
    g.Down = layout.Down;
    g.TopMargin = layout.TopMargin + nudges.TopMarginNudge * kNudgeStep;
    g.LeftMargin = layout.LeftMargin + nudges.LeftMarginNudge * kNudgeStep;
    g.HPitch = layout.HPitch + nudges.HorizontalSpacing * kNudgeStep;
    g.VPitch = layout.VPitch + nudges.VerticalSpacing * kNudgeStep;
    return g;
}

QPointF CellOrigin(const TSheetGeometry &sheet, int row, int column)
{
    return QPointF(column * sheet.HPitch + sheet.LeftMargin, row * sheet.VPitch + sheet.TopMargin);
}

bool CellSelected(const SelectedCells &cells, int index)
{
    return index < 0 || index >= cells.size() || cells.at(index);
}

QString FinalStatus(bool toPrinter, bool aborted, bool complexObjects)
{
    if (aborted)
        return toPrinter ? QStringLiteral("\rBusiness Card Print Canceled!")
                         : QStringLiteral("\rBusiness Card Preview Canceled!");
    if (toPrinter)
        return complexObjects ? QStringLiteral("Print job completed and sent to printer!\r\r"
                                               "Note: this design contains complex shapes or text.\r"
                                               "Please be patient while the printer produces its\routput...")
                              : QStringLiteral("Print job completed and sent to printer!");
    return complexObjects ? QStringLiteral("Business Card preview ready to view!\r\r"
                                           "Note: To save time, only a single card is previewed\r\r"
                                           "** This design contains complex shapes or text.\r"
                                           "Please be patient while the previewer prepares\rthe viewing page")
                          : QStringLiteral("\rBusiness Card preview ready!\r\r"
                                           "Note: To save time, only a single card is previewed");
}

QString MergePreviewStatus(int sheets)
{
    return QStringLiteral("\rBusiness Card preview ready!\r\r%1 shown as %2 print, person by person")
        .arg(sheets == 1 ? QStringLiteral("The sheet is") : QStringLiteral("All %1 sheets are").arg(sheets),
             sheets == 1 ? QStringLiteral("it will") : QStringLiteral("they will"));
}

TCell BackCellBehind(const TSheetGeometry &sheet, TDuplex duplex, TCell front)
{
    // Turned over its long (vertical) edge, the sheet's left and right change
    // places; over its short edge, its top and bottom.
    if (duplex == dxShortEdge)
        return {sheet.Down - 1 - front.Row, front.Column};
    return {front.Row, sheet.Across - 1 - front.Column};
}

QString TurnTheStackNote(int frontPages)
{
    if (frontPages == 1)
        return QStringLiteral("Print page 1 (the fronts). Then turn the printed sheet over from left to right, "
                              "put it back into the paper tray the way it went in the first time, "
                              "and print page 2 (the backs).");
    return QStringLiteral("Print pages 1 to %1 (the fronts). Then turn the printed stack over from left to "
                          "right, put it back into the paper tray the way it went in the first time, "
                          "and print pages %2 to %3 (the backs).")
        .arg(frontPages)
        .arg(frontPages + 1)
        .arg(2 * frontPages);
}

QString SavedToFileStatus(const QString &fileName)
{
    return QStringLiteral("Print job completed and saved to\r") + QDir::toNativeSeparators(fileName);
}

} // namespace sheetprint

using namespace sheetprint;

// ======================================================================
// The sheet loop

void TCardSheetPrinter::Attach(TBaseReport &report)
{
    report.SetOrientation(poPortrait);
    report.OnBeforePrint = [this](TBaseReport &r) { BeforePrintLabels(r); };
    report.OnPrint = [this](TBaseReport &r) { PrintLabels(r); };
    report.OnNewPage = nullptr;
    report.OnAfterPrint = nullptr;
}

void TCardSheetPrinter::TLoadedArt::Load(const QString &path)
{
    Kind = bgNone;
    Bitmap = QImage();
    Metafile = TMetafile();
    TPicture art;
    if (path.isEmpty() || !platform::LoadBackgroundArt(path, art))
        return;
    if (art.Kind() == TPicture::pkMetafile) {
        Metafile = art.Metafile();
        Kind = bgMetafile;
    } else {
        Bitmap = art.Bitmap().Image();
        Kind = bgBitmap;
    }
}

void TCardSheetPrinter::LoadBackGround()
{
    FBackArt.Load(BackBackgroundPath);
    FBackgroundKind = bgNone;
    FBackgroundBitmap = QImage();
    FBackgroundMetafile = TMetafile();
    TPicture art;
    if (BackgroundPath.isEmpty() || !platform::LoadBackgroundArt(BackgroundPath, art))
        return;
    if (art.Kind() == TPicture::pkMetafile) {
        FBackgroundMetafile = art.Metafile();
        FBackgroundKind = bgMetafile;
    } else {
        FBackgroundBitmap = art.Bitmap().Image();
        FBackgroundKind = bgBitmap;
    }
}

void TCardSheetPrinter::BeforePrintLabels(TBaseReport &report)
{
    // A driver that copies pages itself gets one page and the count; the
    // others get one page per sheet.
    const int driverCopies = DriverMaxCopies ? DriverMaxCopies() : TRPDevice::Instance().DriverMaxCopies();
    // Two-sided sheets are pages in pairs: the run makes every page itself.
    if (ToPrinter && MergeCards < 0 && !TwoSided() && SheetsToPrint > 1 && driverCopies > 1) {
        report.SetCopies(SheetsToPrint);
        SheetsToPrint = 1;
    }
    report.SetStatusFormat(ToPrinter ? kPrintStatusFormat : kPreviewStatusFormat);
    report.SetStatusText({QString(), QString()});
}

void TCardSheetPrinter::PrintLabels(TBaseReport &report)
{
    struct PrintingFlag {
        TGBasePanel *panel;
        explicit PrintingFlag(TGBasePanel *p) : panel(p)
        {
            if (panel)
                panel->SetPrinting(true);
        }
        ~PrintingFlag()
        {
            if (panel)
                panel->SetPrinting(false);
        }
    } printing(Panel), backPrinting(TwoSided() && BackPanel != Panel ? BackPanel : nullptr);

    report.SetMarginLeft(0.0);
    report.SetMarginTop(0.0);
    if (CalibrationPage && Duplex != dxNone) {
        calibration::DrawTwoSidedCalibration(report, Sheet, BackSheet, Duplex);
        return;
    }
    if (CalibrationPage) {
        calibration::DrawCalibrationPage(report, Sheet);
        return;
    }
    if (TwoSided()) {
        PrintSheetsTwoSided(report);
        return;
    }
    // Without a sheet to end on the loop would never stop.
    const int sheets = qMax(1, SheetsToPrint);
    const bool merging = MergeCards >= 0;
    bool anyCell = false;
    for (int i = 0; i < Sheet.Across * Sheet.Down; ++i)
        anyCell = anyCell || CellSelected(Cells, i);
    // Without a cell to print into, the cards would never all be printed.
    if (merging && !anyCell)
        return;
    int printed = 0;
    int column = -1;
    int row = 0;
    for (;;) {
        if (Stopped || report.IsAborted())
            break;
        if (++column >= Sheet.Across) {
            column = 0;
            ++row;
        }
        // A preview shows one card; printing for several people it shows
        // every sheet as it will print, so that each person can be seen.
        if (!ToPrinter && !merging && (row != 0 || column != 0))
            break;
        if (row >= Sheet.Down) {
            row = 0;
            column = 0;
            if (merging ? printed >= MergeCards : report.PageNumber() >= sheets)
                break;
            report.StartNewPage();
        }
        if (!CellSelected(Cells, row * Sheet.Across + column))
            continue;
        if (merging) {
            if (printed >= MergeCards)
                break;
            if (OnMergeCard)
                OnMergeCard(printed);
        }
        PrintCell(report, row, column);
        ++printed;
        if (OnIdle)
            OnIdle();
    }
}

// The sheets of a two-sided run, each with its cards: every sheet all the
// chosen cells, or, for several people, the cards in turn until all are placed.
QList<QList<TCardSheetPrinter::TPlacedCard>> TCardSheetPrinter::PlanSheets() const
{
    QList<TCell> cells;
    for (int row = 0; row < Sheet.Down; ++row)
        for (int column = 0; column < Sheet.Across; ++column)
            if (CellSelected(Cells, row * Sheet.Across + column))
                cells.append(TCell{row, column});
    QList<QList<TPlacedCard>> sheets;
    if (MergeCards >= 0) {
        if (cells.isEmpty())
            return sheets;
        for (int card = 0; card < MergeCards; ++card) {
            if (card % cells.size() == 0)
                sheets.append(QList<TPlacedCard>());
            sheets.last().append(TPlacedCard{cells[card % cells.size()], card});
        }
        return sheets;
    }
    int card = 0;
    for (int s = 0; s < qMax(1, SheetsToPrint); ++s) {
        QList<TPlacedCard> sheet;
        for (const TCell &cell : cells)
            sheet.append(TPlacedCard{cell, card++});
        sheets.append(sheet);
    }
    return sheets;
}

void TCardSheetPrinter::PrintSheetsTwoSided(TBaseReport &report)
{
    const QList<QList<TPlacedCard>> sheets = PlanSheets();
    bool firstPage = true;
    const auto newPage = [&report, &firstPage] {
        if (!firstPage)
            report.StartNewPage();
        firstPage = false;
    };
    if (Duplex == dxManual) {
        // Every front, then every back: the stack is turned over between.
        if (Pass != spBacksOnly)
            for (const QList<TPlacedCard> &sheet : sheets) {
                newPage();
                if (!PrintFront(report, sheet))
                    return;
            }
        if (Pass != spFrontsOnly)
            for (const QList<TPlacedCard> &sheet : sheets) {
                newPage();
                if (!PrintBack(report, sheet))
                    return;
            }
        return;
    }
    for (const QList<TPlacedCard> &sheet : sheets) {
        newPage();
        if (!PrintFront(report, sheet))
            return;
        newPage();
        if (!PrintBack(report, sheet))
            return;
    }
}

bool TCardSheetPrinter::PrintFront(TBaseReport &report, const QList<TPlacedCard> &sheet)
{
    for (const TPlacedCard &placed : sheet) {
        if (Stopped || report.IsAborted())
            return false;
        if (MergeCards >= 0 && OnMergeCard)
            OnMergeCard(placed.Card);
        PrintCell(report, placed.Cell.Row, placed.Cell.Column);
        if (OnIdle)
            OnIdle();
    }
    return !(Stopped || report.IsAborted());
}

bool TCardSheetPrinter::PrintBack(TBaseReport &report, const QList<TPlacedCard> &sheet)
{
    for (const TPlacedCard &placed : sheet) {
        if (Stopped || report.IsAborted())
            return false;
        if (MergeCards >= 0 && OnMergeBack)
            OnMergeBack(placed.Card);
        const TCell cell = BackCellBehind(BackSheet, Duplex, placed.Cell);
        const QPointF at = CellOrigin(BackSheet, cell.Row, cell.Column);
        if (OnCard)
            OnCard(placed.Cell.Row * Sheet.Across + placed.Cell.Column + 1);
        PrintArt(FBackArt, report, at.x(), at.y(), BackSheet);
        BackPanel->PrintObjects(report, at.x(), at.y());
        if (OnIdle)
            OnIdle();
    }
    return !(Stopped || report.IsAborted());
}

void TCardSheetPrinter::PrintArt(const TLoadedArt &art, TBaseReport &report, double x, double y,
                                 const TSheetGeometry &sheet)
{
    if (art.Kind == bgNone)
        return;
    try {
        if (art.Kind == bgBitmap) {
            report.DrawBitmapInRect(x, y, x + sheet.CardWidth, y + sheet.CardHeight, art.Bitmap);
        } else {
            const QRect device = report.DeviceRect(x, y, x + sheet.CardWidth, y + sheet.CardHeight).normalized();
            if (!device.isEmpty())
                report.DrawGraphicInRect(device, art.Metafile.ToRecording(device.size()));
        }
    } catch (const std::exception &) {
        // A picture that cannot be drawn is left out; the card still prints.
    }
}

void TCardSheetPrinter::PrintCell(TBaseReport &report, int row, int column)
{
    const QPointF at = CellOrigin(Sheet, row, column);
    const double x = at.x(), y = at.y();
    if (OnCard)
        OnCard(row * Sheet.Across + column + 1);
    if (OutlineOnly) {
        report.DrawRect(x, y, x + Sheet.CardWidth, y + Sheet.CardHeight);
        return;
    }
    PrintBackGround(report, x, y);
    if (!ToPrinter) {
        report.SelectBrush(platform::clBlack, Vcl::bsClear);
        report.SelectPen(platform::clSilver, Vcl::psSolid, Vcl::pmCopy, -1);
        report.DrawRect(x, y, x + Sheet.CardWidth, y + Sheet.CardHeight);
    }
    if (Panel)
        Panel->PrintObjects(report, x, y);
}

void TCardSheetPrinter::PrintBackGround(TBaseReport &report, double x, double y)
{
    if (FBackgroundKind == bgNone)
        return;
    // The art fills the card as the layout sizes it, as it does on screen.
    QRectF art(x, y, Sheet.CardWidth, Sheet.CardHeight);
    const bool bleeding = Bleed > 0.0 && Sheet.CardWidth > 0.0 && Sheet.CardHeight > 0.0;
    if (bleeding) {
        const double cover = qMax((Sheet.CardWidth + 2 * Bleed) / Sheet.CardWidth,
                                  (Sheet.CardHeight + 2 * Bleed) / Sheet.CardHeight);
        const QPointF centre = art.center();
        art.setSize(art.size() * cover);
        art.moveCenter(centre);
        report.CreateRectRegion(x - Bleed, y - Bleed, x + Sheet.CardWidth + Bleed, y + Sheet.CardHeight + Bleed);
        report.SelectRegion();
    }
    try {
        if (FBackgroundKind == bgBitmap) {
            report.DrawBitmapInRect(art.left(), art.top(), art.right(), art.bottom(), FBackgroundBitmap);
        } else {
            const QRect device = report.DeviceRect(art.left(), art.top(), art.right(), art.bottom()).normalized();
            if (!device.isEmpty())
                report.DrawGraphicInRect(device, FBackgroundMetafile.ToRecording(device.size()));
        }
    } catch (const std::exception &) {
        // A picture that cannot be drawn is left out; the card still prints.
    }
    if (bleeding) {
        report.ResetClip();
        report.DeleteRegion();
    }
}

// ======================================================================
// The status form

namespace {

bool HoldsComplexObjects(const TGBasePanel *panel)
{
    const auto *cardPanel = qobject_cast<const TGBusinessCardPanel32 *>(panel);
    return cardPanel && cardPanel->HasComplexObjects();
}

QString LabelText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TLabelPrinter::TLabelPrinter(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TLabelPrinter"));
    setWindowTitle(QStringLiteral("Print Status Screen"));

    RStatusLabel = new QLabel(this);
    RStatusLabel->setObjectName(QStringLiteral("RStatusLabel"));
    RStatusLabel->setAlignment(Qt::AlignCenter);
    RStatusLabel->setMinimumSize(320, 110);
    Extralabel = new QLabel(this);
    Extralabel->setObjectName(QStringLiteral("Extralabel"));
    Extralabel->setAlignment(Qt::AlignCenter);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(CancelButton, &QPushButton::clicked, this, &TLabelPrinter::CancelButtonClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RStatusLabel, 1);
    layout->addWidget(Extralabel);
    layout->addLayout(buttons);

    for (TBaseReport *report : {static_cast<TBaseReport *>(&FReportPrinter), static_cast<TBaseReport *>(&FReportFiler)}) {
        report->SetTitle(QStringLiteral("Quorvel"));
        report->SetUnitsFactor(1.0);
        report->SetScaleX(100.0);
        report->SetScaleY(100.0);
        report->SetLineHeightMethod(lhmFont);
    }
}

TLabelPrinter::~TLabelPrinter() = default;

TBaseReport &TLabelPrinter::ActiveReport()
{
    if (FJob.ToPrinter)
        return FReportPrinter;
    return FReportFiler;
}

bool TLabelPrinter::IsAborted()
{
    return ActiveReport().IsAborted();
}

void TLabelPrinter::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // The run starts once the form is on screen, so its labels show.
    if (!FActivated)
        QTimer::singleShot(0, this, &TLabelPrinter::FormActivate);
}

void TLabelPrinter::FormActivate()
{
    if (FActivated)
        return;
    FActivated = true;
    setWindowTitle(FJob.ToPrinter ? QStringLiteral("Print Status ") : QStringLiteral("Preview Status"));
    CancelButton->setText(FJob.ToPrinter ? QStringLiteral("Cancel") : QStringLiteral("Stop"));

    TBaseReport &report = ActiveReport();
    report.SetStatusLabel(RStatusLabel);
    FJob.OnCard = [this](int cellNumber) {
        QString shown = QStringLiteral("Card ") + QString::number(cellNumber);
        if (!FJob.PersonShown.isEmpty())
            shown += QStringLiteral(" for ") + FJob.PersonShown;
        Extralabel->setText(shown);
        emit CardStarted(cellNumber);
        QCoreApplication::processEvents();
    };
    FJob.OnIdle = [] { QCoreApplication::processEvents(); };
    FJob.LoadBackGround();
    FJob.Attach(report);
    try {
        report.Run();
    } catch (const std::exception &e) {
        FRunError = QString::fromUtf8(e.what());
    }
    QCoreApplication::processEvents();
    Extralabel->clear();
    CancelButton->setText(QStringLiteral("OK"));
    FRunOver = true;
    ShowFinalStatus();
}

void TLabelPrinter::ShowFinalStatus()
{
    TBaseReport &report = ActiveReport();
    QString text;
    TRPDevice &device = TRPDevice::Instance();
    if (!FRunError.isEmpty() && !report.IsAborted())
        text = QStringLiteral("\r") + FRunError;
    else if (FJob.ToPrinter && !report.IsAborted() && device.IsPdfPrinter() && !device.OutputFileName().isEmpty())
        text = SavedToFileStatus(QFileInfo(device.OutputFileName()).absoluteFilePath());
    else if (!FJob.ToPrinter && !report.IsAborted() && FJob.MergeCards >= 0)
        text = MergePreviewStatus(int(FReportFiler.Recording().Pages.size()));
    else
        text = FinalStatus(FJob.ToPrinter, report.IsAborted(), HoldsComplexObjects(FJob.Panel));
    report.SetStatusFormat(text);
    // Set as it is: an error message may hold percent signs.
    RStatusLabel->setText(LabelText(text));
    // A long file name widens the form rather than being cut off.
    resize(size().expandedTo(sizeHint()));
}

void TLabelPrinter::CancelButtonClick()
{
    if (FRunOver) {
        accept();
        return;
    }
    if (!FJob.ToPrinter) {
        FJob.Stopped = true;
        FReportFiler.AbortRun();
        FReportFiler.SetStatusFormat(kCancellingStatus);
        FReportFiler.UpdateStatus();
        QCoreApplication::processEvents();
        return;
    }
    const platform::TMsgResult answer = platform::ShowMessageBox(
        {kConfirmCancel, QStringLiteral("Information"), platform::miInformation, platform::mbYesNo}, this);
    if (answer == platform::mrYes)
        FReportPrinter.AbortRun();
}

void TLabelPrinter::reject()
{
    // Escape works the button: Cancel or Stop during the run, OK after it.
    CancelButtonClick();
}
