// Holds TGMultiLineBaseLabel.
#include "objects/MultiLineLabelBase.h"

#include "objects/ObjectRecording.h"
#include "platform/Dialogs.h"
#include "report/ReportBase.h"
#include "surface/CardPanel.h"

#include <QMenu>
#include <QPainter>
#include <algorithm>

TGMultiLineBaseLabel::TGMultiLineBaseLabel(QObject *owner) : TGGraphicControl(owner), FFont(new TFont(this))
{
    SetInitialSize(190, 33);
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(10);
    FFont->SetColor(platform::clBlack);
    connect(FFont, &TFont::Changed, this, [this] {
        Changed();
        Invalidate();
    });
}

void TGMultiLineBaseLabel::Changed()
{
    if (!IsLoading())
        NotifyChanged();
}

// ---- stored properties ----

void TGMultiLineBaseLabel::SetItems(const QStringList &v)
{
    FItems = v;
    Invalidate();
}

void TGMultiLineBaseLabel::SetAlignment(Vcl::TAlignment v)
{
    FAlignment = v;
    Invalidate();
}

void TGMultiLineBaseLabel::SetFont(TFont *v)
{
    if (v)
        FFont->Assign(*v);
}

void TGMultiLineBaseLabel::SetWordWrap(bool v)
{
    FWordWrap = v;
    if (v)
        Rewrap();
    Invalidate();
    Changed();
}

// ---- wrapping ----

QStringList TGMultiLineBaseLabel::WrapLine(const QString &line, const platform::TCanvasFont &font, int width)
{
    QStringList pieces;
    qsizetype start = 0;
    while (start < line.size()) {
        const qsizetype left = line.size() - start;
        const qsizetype fits = font.FittingLength(line, start, width);
        if (fits >= left)
            break; // the rest fits
        // Break after the last space within the part that fits or right after it.
        qsizetype next = start + fits;
        for (qsizetype i = start + std::min(fits, left - 1); i >= start; --i)
            if (line[i] == QLatin1Char(' ')) {
                next = i;
                while (next < line.size() && line[next] == QLatin1Char(' '))
                    ++next;
                break;
            }
        if (next >= line.size())
            break; // only spaces follow: they hang at the end of the line
        pieces.append(line.mid(start, next - start));
        start = next;
    }
    pieces.append(line.mid(start));
    return pieces;
}

void TGMultiLineBaseLabel::Rewrap()
{
    if (!FWordWrap)
        return;
    FWrapped.clear();
    const platform::TCanvasFont font = CanvasFont();
    for (const QString &line : FItems)
        FWrapped.append(WrapLine(line, font, Width()));
    Invalidate();
}

void TGMultiLineBaseLabel::BoundsChanged()
{
    if (FWordWrap)
        Rewrap();
    TGGraphicControl::BoundsChanged();
}

// ---- painting ----

QStringList TGMultiLineBaseLabel::PaintedLines() const
{
    QStringList lines = FWordWrap ? FWrapped : FItems;
    if (lines.isEmpty())
        lines.append(QStringLiteral("<blank>"));
    else if (lines.size() == 1 && TrimSpaces(lines.first()).isEmpty())
        lines.append(QStringLiteral("<blank>"));
    return lines;
}

int TGMultiLineBaseLabel::LineX(int lineWidth) const
{
    switch (FAlignment) {
    case Vcl::taRightJustify: return Width() - (lineWidth + 1);
    case Vcl::taCenter: return Width() / 2 - lineWidth / 2 + 1;
    default: return 0;
    }
}

void TGMultiLineBaseLabel::DrawLines(QPainter &canvas)
{
    const platform::TCanvasFont font = CanvasFont();
    const int lineHeight = font.TextHeight();
    const QRect client(0, 0, Width(), Height());
    const QColor color = platform::ToQColor(FFont->Color());
    const QStringList lines = PaintedLines();
    // Lines below the bottom edge are cut off whole: not laid out at all.
    const qsizetype visibleLines = lineHeight > 0 ? std::min<qsizetype>(lines.size(), Height() / lineHeight + 1)
                                                  : lines.size();
    for (int k = 0; k < visibleLines; ++k) {
        const int x = LineX(font.TextWidth(lines[k]));
        font.TextRect(canvas, client, QPoint(x, k * lineHeight), lines[k], color);
    }
}

void TGMultiLineBaseLabel::Paint(QPainter &canvas) { DrawLines(canvas); }

TGMultiLineBaseLabel::TDrawingKey TGMultiLineBaseLabel::DrawingKey() const
{
    TDrawingKey key;
    key.Lines = PaintedLines();
    key.FontName = FFont->Name();
    key.FontHeight = FFont->Height();
    key.FontStyle = int(FFont->Style().toInt());
    key.FontCharset = FFont->Charset().value;
    key.FontPitch = int(FFont->Pitch());
    key.FontColor = platform::ToQColor(FFont->Color()).rgba();
    key.Zoom = ZoomFactor();
    key.ScreenPpi = ppi();
    key.Width = Width();
    key.Height = Height();
    key.Alignment = int(FAlignment);
    return key;
}

QPicture TGMultiLineBaseLabel::Recording()
{
    TDrawingKey key = DrawingKey();
    return FRecording.Get(*this, std::move(key), [this](QPainter &p) { DrawLines(p); });
}

void TGMultiLineBaseLabel::Print(TBaseReport &report, double originX, double originY)
{
    PrintObjectRecording(*this, report, originX, originY, Recording());
}

// ---- fit to text ----

void TGMultiLineBaseLabel::FitToText()
{
    const platform::TCanvasFont font = CanvasFont();
    if (FWordWrap)
        Rewrap();
    // Measured as painted: an empty label keeps the height and width of its
    // "<blank>" line, so it can still be seen and clicked.
    const QStringList lines = PaintedLines();
    int widest = Width();
    for (const QString &line : lines)
        widest = std::max(widest, font.TextWidth(line));
    SetBounds(Left(), Top(), widest, font.TextHeight() * int(lines.size()));
    Invalidate();
}

// ---- commands ----

void TGMultiLineBaseLabel::AssignFont(const TFont &font)
{
    FFont->Assign(font);
    if (FWordWrap)
        Rewrap();
}

void TGMultiLineBaseLabel::EditFont()
{
    TFont chosen;
    chosen.Assign(*FFont);
    if (platform::ChooseFont(chosen, Panel()))
        FFont->Assign(chosen);
    if (FWordWrap)
        Rewrap();
}

void TGMultiLineBaseLabel::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("Font"), [this] { EditFont(); });
    QMenu *alignment = AddSubMenu(tr("Alignment"));
    const auto addAlignment = [this, alignment](const QString &caption, Vcl::TAlignment value) {
        QAction *a = alignment->addAction(caption);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, value] {
            SetAlignment(value);
            NotifyChanged();
        });
        return a;
    };
    FLeftItem = addAlignment(tr("Left"), Vcl::taLeftJustify);
    FCenterItem = addAlignment(tr("Center"), Vcl::taCenter);
    FRightItem = addAlignment(tr("Right"), Vcl::taRightJustify);
}

void TGMultiLineBaseLabel::UpdateContextMenu()
{
    TGGraphicControl::UpdateContextMenu();
    if (!FLeftItem)
        return;
    FLeftItem->setChecked(FAlignment == Vcl::taLeftJustify);
    FRightItem->setChecked(FAlignment == Vcl::taRightJustify);
    FCenterItem->setChecked(FAlignment == Vcl::taCenter);
}
