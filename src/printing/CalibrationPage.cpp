// Holds the calibration page.
#include "printing/CalibrationPage.h"

#include "platform/Colors.h"
#include "report/ReportBase.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <algorithm>

namespace calibration {
namespace {

// How far the rulers sit from the corner, along the card's edges: far
// enough that the two do not cross, near enough for small cards.
constexpr double kRulerDistance = 0.5;
// Half the length of a tick: the zero tick is longest, every fourth next.
constexpr double kZeroTick = 0.125;
constexpr double kQuarterTick = 0.09375;
constexpr double kStepTick = 0.0625;
// Half the length of each arm of the centre cross.
constexpr double kCrossArm = 0.125;
// Pen width in hundredths of an inch, drawn as the report's negative width.
constexpr int kPenHundredths = 1;
constexpr double kFontPoints = 6.0;
// The instructions' type: as large as the free band takes, within these.
constexpr double kLargestInstructionPoints = 8.0;
constexpr double kSmallestInstructionPoints = 5.0;
constexpr double kLineSpacing = 1.15;
// Kept clear between the instructions and the marks or the paper's edge.
constexpr double kClearance = 0.05;
const QString kInstructionFont = QStringLiteral("Arial");

double TickHalfLength(int step)
{
    if (step == 0)
        return kZeroTick;
    return step % 4 == 0 ? kQuarterTick : kStepTick;
}

QString StepCaption(int step) { return step > 0 ? QStringLiteral("+%1").arg(step) : QString::number(step); }

void Line(TBaseReport &report, double x1, double y1, double x2, double y2)
{
    report.MoveTo(x1, y1);
    report.LineTo(x2, y2);
}

// Reads the card's left edge: ticks standing across a horizontal line, the
// numbers under the ends of the longer ticks.
void DrawLeftEdgeRuler(TBaseReport &report, const TCellMarks &marks)
{
    const double y = marks.LeftRulerY;
    const double step = sheetprint::kNudgeStep;
    Line(report, marks.Corner.x() - kRulerSteps * step, y, marks.Corner.x() + kRulerSteps * step, y);
    for (int k = -kRulerSteps; k <= kRulerSteps; ++k) {
        const double x = marks.Corner.x() + k * step;
        const double half = TickHalfLength(k);
        Line(report, x, y - half, x, y + half);
        if (k % 4 == 0) {
            const QString caption = StepCaption(k);
            // Centred by the figures' usual width, half an em each.
            report.GotoXY(x - caption.size() * kFontPoints / 72.0 / 4.0, y + kZeroTick + kFontPoints / 72.0 + 0.02);
            report.PrintText(caption);
        }
    }
}

// Reads the card's top edge: ticks lying across a vertical line, the numbers
// right of the longer ticks.
void DrawTopEdgeRuler(TBaseReport &report, const TCellMarks &marks)
{
    const double x = marks.TopRulerX;
    const double step = sheetprint::kNudgeStep;
    Line(report, x, marks.Corner.y() - kRulerSteps * step, x, marks.Corner.y() + kRulerSteps * step);
    for (int k = -kRulerSteps; k <= kRulerSteps; ++k) {
        const double y = marks.Corner.y() + k * step;
        const double half = TickHalfLength(k);
        Line(report, x - half, y, x + half, y);
        if (k % 4 == 0) {
            report.GotoXY(x + kZeroTick + 0.03, y + kFontPoints / 72.0 / 3.0);
            report.PrintText(StepCaption(k));
        }
    }
}

void DrawCross(TBaseReport &report, QPointF centre)
{
    Line(report, centre.x() - kCrossArm, centre.y(), centre.x() + kCrossArm, centre.y());
    Line(report, centre.x(), centre.y() - kCrossArm, centre.x(), centre.y() + kCrossArm);
}

// The width of the widest line in inches at that size, measured at a fine
// resolution so that the screen's hinting does not count.
double WidestLine(const QStringList &lines, double points)
{
    constexpr int kMeasuringDpi = 1200;
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(qRound(kMeasuringDpi / 0.0254));
    device.setDotsPerMeterY(qRound(kMeasuringDpi / 0.0254));
    QFont font(kInstructionFont);
    font.setPointSizeF(points);
    const QFontMetricsF metrics(font, &device);
    double widest = 0.0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line) / kMeasuringDpi);
    return widest;
}

// The largest type, in half points, whose lines fit the band; 0 for none.
double PointsThatFit(const QRectF &band, const QStringList &lines)
{
    for (double points = kLargestInstructionPoints; points >= kSmallestInstructionPoints; points -= 0.5)
        if (lines.size() * points * kLineSpacing / 72.0 <= band.height() && WidestLine(lines, points) <= band.width())
            return points;
    return 0.0;
}

TInstructionsPlace PlaceFor(const sheetprint::TSheetGeometry &sheet, const TPageMetrics &paper,
                            const QStringList &lines);

void DrawInstructions(TBaseReport &report, const sheetprint::TSheetGeometry &sheet,
                      const QStringList &lines = Instructions())
{
    const TInstructionsPlace place = PlaceFor(sheet, report.Metrics(), lines);
    report.SetFontName(kInstructionFont);
    report.SetFontSize(place.FontPoints);
    const double lineHeight = place.FontPoints * kLineSpacing / 72.0;
    double baseline = place.Band.top() + place.FontPoints / 72.0;
    for (const QString &line : lines) {
        report.GotoXY(place.Band.left(), baseline);
        report.PrintText(line);
        baseline += lineHeight;
    }
}

} // namespace

QStringList Instructions()
{
    return {QStringLiteral("How to read this page: print it on plain paper, lay it on a sheet of your card stock and "
                           "hold both against the light. Each mark of a ruler is 1/32 inch; 0 is where a card's edge "
                           "should be."),
            QStringLiteral("Where a card's left edge crosses the horizontal ruler, add that number to \"Left Margin "
                           "nudge\" in File > Printer Fine Tuning; where its top edge crosses the vertical ruler, "
                           "to \"Top Margin nudge\"."),
            QStringLiteral("Read the top-left card first. When the number grows from card to card, add the growth "
                           "per card to \"Horizontal Spacing\" (across) or \"Vertical Spacing\" (down).")};
}

TInstructionsPlace InstructionsPlace(const sheetprint::TSheetGeometry &sheet, const TPageMetrics &paper)
{
    return PlaceFor(sheet, paper, Instructions());
}

QStringList TwoSidedInstructions()
{
    return {QStringLiteral("How to read this sheet: hold it against the light with this side towards you. The lines "
                           "that show through are the edges of the fronts; each mark of a ruler is 1/32 inch, 0 is "
                           "where the back's own edge is."),
            QStringLiteral("Where a front's side edge crosses the horizontal ruler, add that number to \"Left Margin "
                           "nudge\" in File > Printer Fine Tuning for Backs; where its top or bottom edge crosses the "
                           "vertical ruler, to \"Top Margin nudge\"."),
            QStringLiteral("Read the top-left card of this side first. When the number grows from card to card, add "
                           "the growth per card to \"Horizontal Spacing\" (across) or \"Vertical Spacing\" (down).")};
}

namespace {

TInstructionsPlace PlaceFor(const sheetprint::TSheetGeometry &sheet, const TPageMetrics &paper,
                            const QStringList &lines)
{
    const double left = std::max(paper.UnprintableLeft, 0.0) + kClearance;
    const double right = paper.PaperSize.width() - std::max(paper.UnprintableRight, 0.0) - kClearance;
    // The rulers of the first row reach above the cards; the last row's
    // marks all lie on its cards.
    const double firstMark = sheet.TopMargin - kRulerSteps * sheetprint::kNudgeStep - kFontPoints / 72.0;
    const double lastRow = sheet.TopMargin + (sheet.Down - 1) * sheet.VPitch;
    const double lastMark = std::max(lastRow + sheet.CardHeight, lastRow + kRulerSteps * sheetprint::kNudgeStep);
    const QRectF above(QPointF(left, std::max(paper.UnprintableTop, 0.0) + kClearance),
                       QPointF(right, firstMark - kClearance));
    const QRectF below(QPointF(left, lastMark + kClearance),
                       QPointF(right, paper.PaperSize.height() - std::max(paper.UnprintableBottom, 0.0) - kClearance));
    const double aboveFits = above.height() > 0 ? PointsThatFit(above, lines) : 0.0;
    const double belowFits = below.height() > 0 ? PointsThatFit(below, lines) : 0.0;
    if (aboveFits == 0.0 && belowFits == 0.0) {
        // No margin takes them: the smallest type in the larger band.
        return {above.height() > below.height() ? above : below, kSmallestInstructionPoints};
    }
    return belowFits >= aboveFits ? TInstructionsPlace{below, belowFits} : TInstructionsPlace{above, aboveFits};
}

} // namespace

TCellMarks CellMarks(const sheetprint::TSheetGeometry &sheet, int row, int column)
{
    TCellMarks marks;
    marks.Corner = sheetprint::CellOrigin(sheet, row, column);
    marks.Centre = marks.Corner + QPointF(sheet.CardWidth / 2.0, sheet.CardHeight / 2.0);
    marks.LeftRulerY = marks.Corner.y() + std::min(kRulerDistance, sheet.CardHeight / 2.0);
    marks.TopRulerX = marks.Corner.x() + std::min(kRulerDistance, sheet.CardWidth / 2.0);
    return marks;
}

void DrawCalibrationPage(TBaseReport &report, const sheetprint::TSheetGeometry &sheet)
{
    report.SetMarginLeft(0.0);
    report.SetMarginTop(0.0);
    report.SelectPen(platform::clBlack, Vcl::psSolid, Vcl::pmCopy, -kPenHundredths);
    report.SelectBrush(platform::clBlack, Vcl::bsClear);
    report.SetFontName(QStringLiteral("Arial"));
    report.SetFontSize(kFontPoints);
    report.SetFontColor(platform::clBlack);
    for (int row = 0; row < sheet.Down; ++row) {
        for (int column = 0; column < sheet.Across; ++column) {
            const TCellMarks marks = CellMarks(sheet, row, column);
            DrawLeftEdgeRuler(report, marks);
            DrawTopEdgeRuler(report, marks);
            DrawCross(report, marks.Centre);
        }
    }
    DrawInstructions(report, sheet);
}

TCellMarks BackCellMarks(const sheetprint::TSheetGeometry &back, sheetprint::TDuplex duplex, int row, int column)
{
    const sheetprint::TCell cell = sheetprint::BackCellBehind(back, duplex, {row, column});
    const QPointF origin = sheetprint::CellOrigin(back, cell.Row, cell.Column);
    const double inX = std::min(kRulerDistance, back.CardWidth / 2.0);
    const double inY = std::min(kRulerDistance, back.CardHeight / 2.0);
    TCellMarks marks;
    marks.Centre = origin + QPointF(back.CardWidth / 2.0, back.CardHeight / 2.0);
    if (duplex == sheetprint::dxShortEdge) {
        // Turned over its short edge: the front's top edge shows at the
        // back card's bottom edge, its left edge at the left.
        marks.Corner = origin + QPointF(0.0, back.CardHeight);
        marks.LeftRulerY = marks.Corner.y() - inY;
        marks.TopRulerX = marks.Corner.x() + inX;
    } else {
        // Over its long edge: the front's left edge shows at the back
        // card's right edge, its top edge at the top.
        marks.Corner = origin + QPointF(back.CardWidth, 0.0);
        marks.LeftRulerY = marks.Corner.y() + inY;
        marks.TopRulerX = marks.Corner.x() - inX;
    }
    return marks;
}

void DrawTwoSidedCalibration(TBaseReport &report, const sheetprint::TSheetGeometry &front,
                             const sheetprint::TSheetGeometry &back, sheetprint::TDuplex duplex)
{
    const auto selectTools = [&report] {
        report.SetMarginLeft(0.0);
        report.SetMarginTop(0.0);
        report.SelectPen(platform::clBlack, Vcl::psSolid, Vcl::pmCopy, -kPenHundredths);
        report.SelectBrush(platform::clBlack, Vcl::bsClear);
        report.SetFontName(QStringLiteral("Arial"));
        report.SetFontSize(kFontPoints);
        report.SetFontColor(platform::clBlack);
    };
    // The fronts: every card's outline, which shows through the paper.
    selectTools();
    for (int row = 0; row < front.Down; ++row)
        for (int column = 0; column < front.Across; ++column) {
            const QPointF at = sheetprint::CellOrigin(front, row, column);
            report.DrawRect(at.x(), at.y(), at.x() + front.CardWidth, at.y() + front.CardHeight);
        }
    report.StartNewPage();
    // The backs: rulers around where each front's corner should show.
    selectTools();
    for (int row = 0; row < front.Down; ++row)
        for (int column = 0; column < front.Across; ++column) {
            const TCellMarks marks = BackCellMarks(back, duplex, row, column);
            DrawLeftEdgeRuler(report, marks);
            DrawTopEdgeRuler(report, marks);
            DrawCross(report, marks.Centre);
        }
    DrawInstructions(report, back, TwoSidedInstructions());
}

void Attach(TBaseReport &report, const sheetprint::TSheetGeometry &sheet)
{
    report.SetOrientation(poPortrait);
    report.SetTitle(QStringLiteral("Quorvel"));
    report.SetUnitsFactor(1.0);
    report.SetScaleX(100.0);
    report.SetScaleY(100.0);
    report.OnBeforePrint = nullptr;
    report.OnNewPage = nullptr;
    report.OnAfterPrint = nullptr;
    report.OnPrint = [sheet](TBaseReport &r) { DrawCalibrationPage(r, sheet); };
}

} // namespace calibration
