// Holds TColorDrop.
#include "widgets/ColorDropDown.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontInfo>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <array>
#include <limits>

namespace {

struct TNamedColor {
    const char *name;
    int r, g, b;
};

constexpr std::array<TNamedColor, 18> kColors{{
    {"Black", 0, 0, 0},         {"Maroon", 128, 0, 0},      {"Green", 0, 128, 0},
    {"Olive", 128, 128, 0},     {"Navy", 0, 0, 128},        {"Purple", 128, 0, 128},
    {"Teal", 0, 128, 128},      {"Gray", 128, 128, 128},    {"Silver", 192, 192, 192},
    {"Red", 255, 0, 0},         {"Lime", 0, 255, 0},        {"Yellow", 255, 255, 0},
    {"Blue", 0, 0, 255},        {"Fuchsia", 255, 0, 255},   {"Aqua", 0, 255, 255},
    {"Light Gray", 192, 192, 192}, {"Dark Gray", 128, 128, 128}, {"White", 255, 255, 255},
}};

class TColorDropDelegate : public QStyledItemDelegate
{
public:
    explicit TColorDropDelegate(TColorDrop *drop) : QStyledItemDelegate(drop), FDrop(drop) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        FDrop->DrawItem(*painter, option.rect, index.row(), option.state.testFlag(QStyle::State_Selected));
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + FDrop->ItemHeight(), FDrop->ItemHeight());
    }

private:
    TColorDrop *FDrop;
};

} // namespace

TColorDrop::TColorDrop(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setItemDelegate(new TColorDropDelegate(this));
    for (int i = 0; i < ColorCount(); ++i)
        addItem(ColorName(i));
    // Never blank: before any preset the box shows its colour, black.
    setCurrentIndex(NearestEntry(FSelectedColor));
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= ColorCount())
            return;
        FSelectedColor = ColorValue(index);
        emit Change();
    });
}

int TColorDrop::ColorCount() { return int(kColors.size()); }

QString TColorDrop::ColorName(int index) { return QString::fromLatin1(kColors.at(index).name); }

TColor TColorDrop::ColorValue(int index)
{
    const TNamedColor &c = kColors.at(index);
    return TColor(c.r | (c.g << 8) | (c.b << 16));
}

int TColorDrop::NearestEntry(TColor color)
{
    const QColor wanted = platform::ToQColor(color);
    int nearest = 0;
    int best = std::numeric_limits<int>::max();
    // The first entry wins a tie, so grey shows as "Gray", not "Dark Gray".
    for (int i = 0; i < ColorCount(); ++i) {
        const QColor entry = platform::ToQColor(ColorValue(i));
        const int dr = entry.red() - wanted.red(), dg = entry.green() - wanted.green(),
                  db = entry.blue() - wanted.blue();
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

void TColorDrop::SetSelectedColor(TColor color)
{
    FSelectedColor = color;
    setCurrentIndex(NearestEntry(color));
    update();
}

int TColorDrop::ItemHeight() const { return 4 + QFontInfo(font()).pixelSize(); }

void TColorDrop::DrawItem(QPainter &painter, const QRect &rect, int index, bool selected) const
{
    if (index >= 0 && index < ColorCount())
        DrawNameAndSwatch(painter, rect, ColorName(index), platform::ToQColor(ColorValue(index)), selected);
    else
        painter.fillRect(rect, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
}

void TColorDrop::DrawNameAndSwatch(QPainter &painter, const QRect &rect, const QString &name,
                                   const QColor &swatchColor, bool selected) const
{
    painter.save();
    painter.fillRect(rect, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
    const int side = rect.height();
    const QColor text = palette().color(selected ? QPalette::HighlightedText : QPalette::Text);
    painter.setPen(text);
    painter.setFont(font());
    painter.drawText(QRect(rect.left() + side + 4, rect.top(), rect.width() - side - 4, side),
                     Qt::AlignLeft | Qt::AlignVCenter, name);
    // The swatch, framed in the font's colour.
    const QRect swatch(rect.left() + 4, rect.top() + 2, side - 4, side - 4);
    painter.setBrush(swatchColor);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.restore();
}

void TColorDrop::changeEvent(QEvent *event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange && view())
        view()->doItemsLayout();
}

void TColorDrop::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The closed box shows the colour itself, also one not in the list.
    DrawNameAndSwatch(painter, field, ColorName(NearestEntry(FSelectedColor)), platform::ToQColor(FSelectedColor),
                      false);
}
