// Holds TColorArrayClass, TDFSColorButtonPalette, TDFSColorButton.
#include "widgets/PaletteColorButton.h"

#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>
#include <qdrawutil.h>
#include <utility>

namespace {

// The twenty palette colours (red, green, blue), column by column.
constexpr int kPalette[20][3] = {
    {255, 255, 255}, {255, 0, 0},   {0, 255, 0},     {0, 0, 255},     {191, 215, 191},
    {0, 0, 0},       {127, 0, 0},   {0, 127, 0},     {0, 0, 127},     {159, 191, 239},
    {191, 191, 191}, {255, 255, 0}, {0, 255, 255},   {255, 0, 255},   {255, 247, 239},
    {127, 127, 127}, {127, 127, 0}, {0, 127, 127},   {127, 0, 127},   {159, 159, 159},
};

TColor Rgb(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

// Grid entry (1 to 20, column by column) to column and row (from 1).
int ColumnOf(int index) { return (index - 1) / 5 + 1; }
int RowOf(int index) { return (index - 1) % 5 + 1; }
int IndexOf(int column, int row) { return (column - 1) * 5 + row; }

bool SameRgb(TColor a, TColor b) { return platform::ColorToRGB(a) == platform::ColorToRGB(b); }

QString SettingsFile() { return platform::ProgramFolder() + QStringLiteral("qrv.ini"); }

} // namespace

// ---- TColorArrayClass ----

TColorArrayClass::TColorArrayClass(int columns, int rows, TColor fill)
    : FColumns(columns), FRows(rows), FColors(columns * rows, fill)
{
}

TColor TColorArrayClass::Color(int column, int row) const
{
    if (column < 1 || column > FColumns || row < 1 || row > FRows)
        return TColor(platform::clWhite);
    return FColors.at((column - 1) * FRows + row - 1);
}

void TColorArrayClass::SetColor(int column, int row, TColor color)
{
    if (column < 1 || column > FColumns || row < 1 || row > FRows)
        return;
    FColors[(column - 1) * FRows + row - 1] = color;
}

void TColorArrayClass::Assign(const TColorArrayClass &other)
{
    if (other.FColumns == FColumns && other.FRows == FRows)
        FColors = other.FColors;
}

// ---- TDFSColorButtonPalette ----

TDFSColorButtonPalette::TDFSColorButtonPalette(const TColorArrayClass &palette, const TColorArrayClass &custom,
                                               TColor current, TColor other, const QString &otherCaption,
                                               bool showHints, QWidget *parent)
    : QWidget(parent, Qt::Popup), FPalette(palette), FCustom(custom), FOtherColor(other), FShowHints(showHints)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The press that closes the palette over its button must not open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setFixedSize(kClientWidth, kClientHeight);
    FOtherButton = new QPushButton(otherCaption, this);
    FOtherButton->setGeometry(1, 98, kClientWidth - 22, 21);
    FOtherButton->setFocusPolicy(Qt::NoFocus);
    connect(FOtherButton, &QPushButton::clicked, this, [this] { OtherButtonClick(); });
    for (int i = 1; i <= 20; ++i) {
        if (SameRgb(CellColor(i), current)) {
            FHighlight = i;
            break;
        }
    }
    if (FHighlight == kNone) {
        FOtherColor = current;
        FHighlight = kOther;
    }
}

QRect TDFSColorButtonPalette::CellRect(int index)
{
    if (index == kOther)
        return QRect(53, 98 + (21 - kCell) / 2, kCell, kCell);
    return QRect(kCell * (ColumnOf(index) - 1), kCell * (RowOf(index) - 1), kCell, kCell);
}

int TDFSColorButtonPalette::CellAt(QPoint p)
{
    if (p.x() >= 0 && p.x() < 4 * kCell && p.y() >= 0 && p.y() < 5 * kCell)
        return IndexOf(p.x() / kCell + 1, p.y() / kCell + 1);
    if (p.x() >= kClientWidth - 19 && p.x() <= kClientWidth - 1 && p.y() >= 96 && p.y() <= 113)
        return kOther;
    return kNone;
}

TColor TDFSColorButtonPalette::CellColor(int index) const
{
    if (index == kOther)
        return FOtherColor;
    return FPalette.Color(ColumnOf(index), RowOf(index));
}

void TDFSColorButtonPalette::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    for (int i = 0; i <= 20; ++i) {
        const QRect cell = CellRect(i);
        p.fillRect(cell, palette().color(QPalette::Base));
        qDrawShadePanel(&p, cell, palette(), i != FHighlight, 1);
        p.fillRect(cell.adjusted(2, 2, -2, -2), platform::ToQColor(CellColor(i)));
    }
    // The etched separator above the "Other" row.
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(2, 93, kClientWidth - 3, 93);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(2, 94, kClientWidth - 3, 94);
}

bool TDFSColorButtonPalette::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int cell = CellAt(help->pos());
        if (!FShowHints || cell == kNone) {
            QToolTip::hideText();
            return true;
        }
        const int32_t rgb = platform::ColorToRGB(CellColor(cell));
        QToolTip::showText(help->globalPos(), QString::asprintf("RGB = %.3d %.3d %.3d", rgb & 0xFF, (rgb >> 8) & 0xFF,
                                                                (rgb >> 16) & 0xFF),
                           this, CellRect(cell));
        return true;
    }
    return QWidget::event(event);
}

void TDFSColorButtonPalette::SetHighlight(int index)
{
    if (index == FHighlight)
        return;
    FHighlight = index;
    update();
}

void TDFSColorButtonPalette::mouseMoveEvent(QMouseEvent *event)
{
    const int cell = CellAt(event->position().toPoint());
    if (cell != kNone)
        SetHighlight(cell);
}

void TDFSColorButtonPalette::mouseReleaseEvent(QMouseEvent *event)
{
    const int cell = CellAt(event->position().toPoint());
    if (cell != kNone)
        Choose(cell);
}

void TDFSColorButtonPalette::MoveHighlight(int dx, int dy)
{
    if (FHighlight == kNone) {
        SetHighlight(1);
        return;
    }
    if (FHighlight == kOther) {
        if (dy < 0)
            SetHighlight(IndexOf(1, 5));
        return;
    }
    const int column = ColumnOf(FHighlight) + dx;
    const int row = RowOf(FHighlight) + dy;
    if (row > 5 && dx == 0) {
        SetHighlight(kOther);
        return;
    }
    if (column >= 1 && column <= 4 && row >= 1 && row <= 5)
        SetHighlight(IndexOf(column, row));
}

void TDFSColorButtonPalette::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left: MoveHighlight(-1, 0); break;
    case Qt::Key_Right: MoveHighlight(1, 0); break;
    case Qt::Key_Up: MoveHighlight(0, -1); break;
    case Qt::Key_Down: MoveHighlight(0, 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FHighlight != kNone)
            Choose(FHighlight);
        break;
    case Qt::Key_Escape: Finish(false, TColor(), false); break;
    default: QWidget::keyPressEvent(event);
    }
}

void TDFSColorButtonPalette::Choose(int index) { Finish(true, CellColor(index), index == kOther); }

void TDFSColorButtonPalette::OtherButtonClick()
{
    // The colour dialog takes the custom colours as its sixteen entries
    // ("ColorA" to "ColorP": A to H the first row, I to P the second).
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, platform::ToQColor(FCustom.Color(i % 8 + 1, i / 8 + 1)));
    int32_t color = FOtherColor;
    // The palette is a popup, and a popup takes every click and key of the
    // program for itself: left up, it would leave the colour dialog deaf and
    // the whole program frozen. It steps aside while the dialog is open (the
    // dialog belongs to the button's window) and comes back on Cancel.
    FDialogOpen = true;
    hide();
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const bool ok = platform::ChooseColor(color, owner);
    FDialogOpen = false;
    if (!ok) {
        show();
        setFocus();
        return;
    }
    for (int i = 0; i < 16; ++i) {
        const QColor c = QColorDialog::customColor(i);
        FCustom.SetColor(i % 8 + 1, i / 8 + 1, c.isValid() ? platform::FromQColor(c) : platform::clWhite);
    }
    FOtherColor = color;
    Finish(true, color, true);
}

void TDFSColorButtonPalette::closeEvent(QCloseEvent *event)
{
    // While the colour dialog is up the palette stays.
    if (FDialogOpen) {
        event->ignore();
        return;
    }
    if (!FFinished) {
        FFinished = true;
        emit Closed(false, TColor(), false);
    }
    QWidget::closeEvent(event);
}

void TDFSColorButtonPalette::Finish(bool chosen, TColor color, bool otherChosen)
{
    if (FFinished)
        return;
    FFinished = true;
    emit Closed(chosen, color, otherChosen);
    close();
}

// ---- TDFSColorButton ----

TDFSColorButton::TDFSColorButton(QWidget *parent)
    : QPushButton(parent), FPaletteColors(4, 5), FCustomColors(8, 2), FOtherBtnCaption(tr("&Other"))
{
    for (int i = 0; i < 20; ++i)
        FPaletteColors.SetColor(i / 5 + 1, i % 5 + 1, Rgb(kPalette[i][0], kPalette[i][1], kPalette[i][2]));
    FIndex = 0;
    for (int i = 1; i <= 20; ++i) {
        if (FPaletteColors.Color(ColumnOf(i), RowOf(i)) == FColor) {
            FIndex = i;
            break;
        }
    }
    resize(45, 22);
    setMinimumSize(45, 22);
    connect(this, &QPushButton::clicked, this, [this] { ButtonClick(); });
}

TDFSColorButton::~TDFSColorButton()
{
    if (FPalette)
        delete FPalette.data();
    if (!FCustomColorsKey.isEmpty())
        WriteCustomColors();
}

void TDFSColorButton::SetColor(TColor v)
{
    if (FColor == v)
        return;
    FColor = v;
    FIndex = 0;
    for (int i = 1; i <= 20; ++i) {
        if (FPaletteColors.Color(ColumnOf(i), RowOf(i)) == v) {
            FIndex = i;
            break;
        }
    }
    update();
    emit ColorChange();
}

void TDFSColorButton::SelectByIndex(int index)
{
    if (index == FIndex || index < 0 || index > 20)
        return;
    FIndex = index;
    FColor = index == 0 ? FOtherColor : FPaletteColors.Color(ColumnOf(index), RowOf(index));
    update();
    emit ColorChange();
}

void TDFSColorButton::mousePressEvent(QMouseEvent *event)
{
    FPressPos = event->position().toPoint();
    QPushButton::mousePressEvent(event);
}

void TDFSColorButton::ButtonClick()
{
    const std::optional<QPoint> press = std::exchange(FPressPos, std::nullopt);
    if (FCycleColors && press && press->x() <= width() - 13) {
        SelectByIndex(FIndex >= 20 ? 0 : FIndex + 1);
        return;
    }
    DropDown();
}

void TDFSColorButton::DropDown()
{
    if (FPalette)
        return;
    auto *palette = new TDFSColorButtonPalette(FPaletteColors, FCustomColors, FColor, FOtherColor, FOtherBtnCaption,
                                               FShowColorHints, this);
    FPalette = palette;
    const QRect button(mapToGlobal(QPoint(0, 0)), size());
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen->availableGeometry();
    QPoint at = button.bottomLeft() + QPoint(0, 1);
    if (at.y() + TDFSColorButtonPalette::kClientHeight > work.bottom() + 1)
        at.setY(button.top() - TDFSColorButtonPalette::kClientHeight);
    if (at.x() < work.left())
        at.setX(work.left());
    else if (at.x() + TDFSColorButtonPalette::kClientWidth > work.right() + 1)
        at.setX(work.right() + 1 - 78);
    palette->move(at);
    connect(palette, &TDFSColorButtonPalette::Closed, this, &TDFSColorButton::PaletteClosed);
    setDown(true);
    palette->show();
    palette->setFocus();
}

void TDFSColorButton::PaletteClosed(bool chosen, TColor color, bool otherChosen)
{
    if (FPalette)
        FCustomColors.Assign(FPalette->CustomColors());
    if (chosen) {
        if (otherChosen)
            FOtherColor = color;
        SetColor(color);
    }
    setDown(false);
    update();
}

void TDFSColorButton::showEvent(QShowEvent *event)
{
    QPushButton::showEvent(event);
    if (!FCustomColorsRead) {
        FCustomColorsRead = true;
        if (!FCustomColorsKey.isEmpty())
            ReadCustomColors();
    }
}

void TDFSColorButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (FPalette || isDown())
        option.state |= QStyle::State_Sunken;
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

    const QRect face = rect().adjusted(4, 4, -4, -4);
    const QRect swatch(face.left(), face.top(), face.width() - 10, face.height());
    if (isEnabled()) {
        p.fillRect(swatch, platform::ToQColor(FColor));
    } else {
        p.fillRect(swatch, palette().color(QPalette::Button));
        p.fillRect(swatch, QBrush(palette().color(QPalette::Dark), Qt::Dense4Pattern));
    }
    p.setPen(platform::ToQColor(platform::clBtnShadow));
    p.setBrush(Qt::NoBrush);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));

    // The etched line and the arrow right of the swatch.
    const int lineX = swatch.right() + 2;
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(lineX, face.top(), lineX, face.bottom());
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(lineX + 1, face.top(), lineX + 1, face.bottom());
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = QRect(lineX + 2, face.center().y() - 3, 7, 7);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

// ---- custom colours in the settings file ----

QString TDFSColorButton::CustomColorsEntry() const
{
    const QString parentName = parentWidget() ? parentWidget()->objectName() : QString();
    return objectName() + QLatin1Char('.') + parentName;
}

void TDFSColorButton::ReadCustomColors()
{
    const TIniFile ini(SettingsFile());
    if (!ini.ValueExists(QStringLiteral("Colors"), CustomColorsEntry()))
        return;
    const QStringList values = ini.ReadString(QStringLiteral("Colors"), CustomColorsEntry(), QString())
                                   .split(QLatin1Char(','));
    int i = 0;
    for (int column = 1; column <= FCustomColors.XSize(); ++column) {
        for (int row = 1; row <= FCustomColors.YSize(); ++row, ++i) {
            QString text = i < values.size() ? values.at(i).trimmed() : QString();
            bool ok = false;
            int32_t value = 0;
            if (text.startsWith(QLatin1Char('$')))
                value = int32_t(text.mid(1).toUInt(&ok, 16));
            FCustomColors.SetColor(column, row, ok ? TColor(value) : TColor(platform::clWhite));
        }
    }
}

void TDFSColorButton::WriteCustomColors() const
{
    QStringList values;
    for (const TColor color : FCustomColors.Colors())
        values.append(QStringLiteral("$%1").arg(uint32_t(color.value), 8, 16, QLatin1Char('0')).toUpper());
    TIniFile ini(SettingsFile());
    ini.WriteString(QStringLiteral("Colors"), CustomColorsEntry(), values.join(QLatin1Char(',')));
    ini.UpdateFile();
}
