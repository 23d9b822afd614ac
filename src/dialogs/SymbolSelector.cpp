// Holds TSymbolListBox, TGetSymbol.
#include "dialogs/SymbolSelector.h"

#include "platform/AnsiText.h"
#include "platform/CanvasFont.h"
#include "platform/Dialogs.h"
#include "widgets/FormHelpTexts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// Draws each item's character in the list's symbol font, through the symbol
// correspondences where the face is missing.
class TSymbolDelegate : public QStyledItemDelegate
{
public:
    explicit TSymbolDelegate(TSymbolListBox *list) : QStyledItemDelegate(list), FList(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->save();
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const platform::TCanvasFont font(FList->SymbolFont());
        const QString text = index.data(Qt::DisplayRole).toString();
        const QColor color = selected ? option.palette.color(QPalette::HighlightedText)
                                      : platform::ToQColor(FList->SymbolFont().Color());
        const QPoint origin(option.rect.left() + 2,
                            option.rect.top() + (option.rect.height() - font.TextHeight()) / 2);
        font.TextRect(*painter, option.rect, origin, text, color);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return QSize(TSymbolListBox::kItemHeight, TSymbolListBox::kItemHeight);
    }

private:
    TSymbolListBox *FList;
};

} // namespace

// ---- TSymbolListBox ----

TSymbolListBox::TSymbolListBox(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new TSymbolDelegate(this));
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TSymbolListBox::SetColumns(int columns)
{
    FColumns = qMax(1, columns);
    UpdateGrid();
}

void TSymbolListBox::SetSymbolFont(const TFont &font)
{
    FFont.Assign(font);
    viewport()->update();
}

void TSymbolListBox::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    UpdateGrid();
}

void TSymbolListBox::UpdateGrid()
{
    setGridSize(QSize(qMax(1, viewport()->width() / FColumns), kItemHeight));
    // Whatever the grid, the chosen character stays in view.
    if (currentItem())
        scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
}

// ---- TGetSymbol ----

TGetSymbol::TGetSymbol(QWidget *parent) : TPropertyDialog(parent, tr("Symbol Selector"), 40005)
{
    setObjectName(QStringLiteral("TGetSymbol"));
    FSelectedFont.SetName(QStringLiteral("WingDings"));
    FSelectedFont.SetSize(24);

    SymbolList = new TSymbolListBox(this);
    SymbolList->setObjectName(QStringLiteral("SymbolList"));
    for (int code = kFirstCode; code <= 255; ++code)
        SymbolList->addItem(platform::AnsiToString(QByteArray(1, char(code))));
    TFont listFont;
    listFont.Assign(FSelectedFont);
    SymbolList->SetSymbolFont(listFont);

    Fontbutton = new QPushButton(this);
    Fontbutton->setObjectName(QStringLiteral("Fontbutton"));
    auto *fontLabel = new QLabel(tr("&Font"), this);
    fontLabel->setBuddy(Fontbutton);
    SelectedChar = new QLabel(this);
    SelectedChar->setObjectName(QStringLiteral("SelectedChar"));
    SelectedChar->hide();
    connect(Fontbutton, &QPushButton::clicked, this, &TGetSymbol::FontbuttonClick);

    auto *top = new QHBoxLayout;
    top->addWidget(fontLabel);
    top->addWidget(Fontbutton, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SymbolList, 1);
    layout->addLayout(ButtonRow());
    resize(520, 420);

    AttachFormHelp(this);
    FollowDialogFont();
}

int TGetSymbol::ListPointSize() const
{
    const QFont &f = font();
    if (f.pointSize() > 0)
        return f.pointSize();
    return qMax(1, qRound(f.pixelSize() * 72.0 / qMax(1, logicalDpiY())));
}

// The list draws at the dialog's font size, and its columns and the font
// button's caption follow that size.
void TGetSymbol::FollowDialogFont()
{
    TFont listFont;
    listFont.Assign(SymbolList->SymbolFont());
    listFont.SetSize(ListPointSize());
    SymbolList->SetSymbolFont(listFont);
    SymbolList->SetColumns(ColumnsForPointSize(ListPointSize()));
    RefreshFontButton();
}

void TGetSymbol::changeEvent(QEvent *event)
{
    TPropertyDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FollowDialogFont();
}

void TGetSymbol::SetSymbol(const TFont &font, const QString &caption)
{
    FSelectedFont.Assign(font);
    TFont listFont;
    listFont.Assign(SymbolList->SymbolFont());
    listFont.SetName(font.Name());
    listFont.SetStyle(font.Style());
    listFont.SetCharset(font.Charset());
    SymbolList->SetSymbolFont(listFont);
    FOpenedCaption = caption;
    SymbolList->setCurrentRow(-1);
    if (!caption.isEmpty()) {
        const QByteArray code = platform::StringToAnsi(caption.left(1));
        const int row = uint8_t(code.at(0)) - kFirstCode;
        if (row >= 0 && row < SymbolList->count())
            SymbolList->setCurrentRow(row);
    }
    RefreshFontButton();
}

QString TGetSymbol::SelectedCharacter() const
{
    const int row = SymbolList->currentRow();
    if (row < 0)
        return FOpenedCaption;
    return platform::AnsiToString(QByteArray(1, char(row + kFirstCode)));
}

int TGetSymbol::ColumnsForPointSize(int points)
{
    if (points >= 6 && points <= 10)
        return 14;
    if (points >= 11 && points <= 20)
        return 10;
    if (points >= 21 && points <= 30)
        return 8;
    if (points >= 31 && points <= 40)
        return 6;
    if (points >= 41 && points <= 50)
        return 4;
    if (points >= 51 && points <= 60)
        return 3;
    if (points >= 61 && points <= 72)
        return 2;
    return 1;
}

QString TGetSymbol::FontButtonCaption() const
{
    const TFont &font = SymbolList->SymbolFont();
    QString style;
    if (font.Style().testFlag(Vcl::fsItalic))
        style = QStringLiteral("Italic ");
    else if (font.Style().testFlag(Vcl::fsBold))
        style = QStringLiteral("Bold ");
    return font.Name() + QStringLiteral(", ") + QString::number(font.Size()) + QStringLiteral("pt ") + style;
}

void TGetSymbol::RefreshFontButton() { Fontbutton->setText(FontButtonCaption()); }

void TGetSymbol::showEvent(QShowEvent *event)
{
    TPropertyDialog::showEvent(event);
    FollowDialogFont();
}

void TGetSymbol::FontbuttonClick()
{
    TFont chosen;
    chosen.Assign(FSelectedFont);
    if (platform::ChooseFont(chosen, this)) {
        FSelectedFont.Assign(chosen);
        TFont listFont;
        listFont.Assign(SymbolList->SymbolFont());
        listFont.SetName(chosen.Name());
        listFont.SetColor(chosen.Color());
        listFont.SetStyle(chosen.Style());
        listFont.SetCharset(chosen.Charset());
        SymbolList->SetSymbolFont(listFont);
    }
    RefreshFontButton();
}

bool TGetSymbol::Execute(QWidget *parent, TFont &font, QString &character)
{
    TGetSymbol dialog(parent);
    dialog.SetSymbol(font, character);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font.Assign(dialog.SelectedFont());
    character = dialog.SelectedCharacter();
    return true;
}
