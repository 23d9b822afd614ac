// Holds TRichTextLabelEditor.
#include "dialogs/RichTextEditor.h"

#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Rounding.h"
#include "richtext/RichTextContainer.h"
#include "richtext/RichTextControl.h"
#include "richtext/RtfReader.h"
#include "widgets/FormHelpTexts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLayout>
#include <QPixmap>
#include <QScrollArea>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const int kFontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

struct TNamedColor {
    const char *name;
    QRgb rgb;
};
const TNamedColor kFontColors[] = {
    {"Black", 0x000000}, {"Maroon", 0x800000}, {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},  {"Purple", 0x800080}, {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},   {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF}, {"White", 0xFFFFFF},
};

QIcon ColorSwatch(QRgb rgb)
{
    QPixmap swatch(14, 14);
    swatch.fill(QColor(rgb));
    return QIcon(swatch);
}

} // namespace

TRichTextLabelEditor::TRichTextLabelEditor(QWidget *parent) : TPropertyDialog(parent, tr("Rich Text Editor"), 40013)
{
    setObjectName(QStringLiteral("TRichTextLabelEditor"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    WPRichText1 = new TWPRichText;
    WPRichText1->setObjectName(QStringLiteral("WPRichText1"));
    WPRichText1->SetWordWrap(true);

    WPPanel = new QFrame;
    WPPanel->setObjectName(QStringLiteral("WPPanel"));
    WPPanel->setFrameShape(QFrame::Box);
    WPPanel->setLineWidth(1);
    WPPanel->setAutoFillBackground(true);
    QPalette white = WPPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    WPPanel->setPalette(white);
    auto *panelLayout = new QVBoxLayout(WPPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(WPRichText1);
    WPPanel->setVisible(false);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidget(WPPanel);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignCenter);

    BuildToolBar();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(WPToolBar1);
    layout->addWidget(ScrollBox1, 1);
    layout->addLayout(ButtonRow());
    resize(std::max(560, WPToolBar1->sizeHint().width() + 30), 300);

    AddZoomKeys();
    AttachFormHelp(this);
    connect(WPRichText1, &TWPRichText::CurrentFormatChanged, this, &TRichTextLabelEditor::ShowFormat);
}

// Ctrl++ and Ctrl+- (also Ctrl+= and the keypad's + and -) zoom like the
// buttons; + and - alone are text.
void TRichTextLabelEditor::AddZoomKeys()
{
    const auto addKeys = [this](const QList<QKeySequence> &keys, void (TRichTextLabelEditor::*zoom)()) {
        // Where the platform's zoom keys are among the others, each key
        // once: a key named twice is ambiguous and does nothing.
        QList<QKeySequence> unique;
        for (const QKeySequence &key : keys)
            if (!unique.contains(key))
                unique.append(key);
        auto *action = new QAction(this);
        action->setShortcuts(unique);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, zoom);
        addAction(action);
    };
    addKeys({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus),
             QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
            &TRichTextLabelEditor::ZoomPlusButtonClick);
    addKeys({QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus),
             QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
            &TRichTextLabelEditor::ZoomMinusButtonClick);
}

void TRichTextLabelEditor::BuildToolBar()
{
    WPToolBar1 = new QToolBar(this);
    WPToolBar1->setObjectName(QStringLiteral("WPToolBar1"));

    FontNameList = new QFontComboBox(WPToolBar1);
    FontNameList->setObjectName(QStringLiteral("FontNameList"));
    FontNameList->setFocusPolicy(Qt::ClickFocus);
    connect(FontNameList, &QFontComboBox::textActivated, this, [this](const QString &family) {
        WPRichText1->SetFontName(family);
        WPRichText1->setFocus();
    });
    WPToolBar1->addWidget(FontNameList);

    FontSizeList = new QComboBox(WPToolBar1);
    FontSizeList->setObjectName(QStringLiteral("FontSizeList"));
    FontSizeList->setEditable(true);
    FontSizeList->setFocusPolicy(Qt::ClickFocus);
    for (int size : kFontSizes)
        FontSizeList->addItem(QString::number(size));
    connect(FontSizeList, &QComboBox::textActivated, this, [this](const QString &text) {
        bool ok = false;
        const double points = text.toDouble(&ok);
        if (ok && points >= 1 && points <= 1638)
            WPRichText1->SetFontSize(points);
        WPRichText1->setFocus();
    });
    WPToolBar1->addWidget(FontSizeList);

    FontColorList = new QComboBox(WPToolBar1);
    FontColorList->setObjectName(QStringLiteral("FontColorList"));
    FontColorList->setFocusPolicy(Qt::ClickFocus);
    for (const TNamedColor &c : kFontColors)
        FontColorList->addItem(ColorSwatch(c.rgb), tr(c.name), QVariant::fromValue(c.rgb));
    connect(FontColorList, &QComboBox::activated, this, [this](int index) {
        WPRichText1->SetTextColor(QColor(FontColorList->itemData(index).value<QRgb>()));
        WPRichText1->setFocus();
    });
    WPToolBar1->addWidget(FontColorList);

    auto addButton = [this](const QString &text, const QString &hint, std::function<void()> run) {
        QAction *a = WPToolBar1->addAction(text);
        a->setObjectName(hint + QStringLiteral("Button"));
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, [this, run] {
            run();
            WPRichText1->setFocus();
        });
        return a;
    };
    WPToolBar1->addSeparator();
    addButton(tr("N"), tr("Normal"), [this] { WPRichText1->SetNormal(); });
    addButton(tr("B"), tr("Bold"), [this] { WPRichText1->ToggleBold(); });
    addButton(tr("I"), tr("Italic"), [this] { WPRichText1->ToggleItalic(); });
    addButton(tr("U"), tr("Under"), [this] { WPRichText1->ToggleUnderline(); });
    WPToolBar1->addSeparator();
    addButton(tr("L"), tr("Left"), [this] { WPRichText1->SetParagraphAlignment(Qt::AlignLeft); });
    addButton(tr("R"), tr("Right"), [this] { WPRichText1->SetParagraphAlignment(Qt::AlignRight); });
    addButton(tr("J"), tr("Justified"), [this] { WPRichText1->SetParagraphAlignment(Qt::AlignJustify); });
    addButton(tr("C"), tr("Center"), [this] { WPRichText1->SetParagraphAlignment(Qt::AlignHCenter); });
    WPToolBar1->addSeparator();
    addButton(tr("Copy"), tr("Copy"), [this] { WPRichText1->Copy(); });
    addButton(tr("Cut"), tr("Cut"), [this] { WPRichText1->Cut(); });
    addButton(tr("Paste"), tr("Paste"), [this] { WPRichText1->Paste(); });

    // The zoom buttons join the tool bar when the form is made.
    WPToolBar1->addSeparator();
    ZoomPlusButton = new QToolButton(WPToolBar1);
    ZoomPlusButton->setObjectName(QStringLiteral("ZoomPlusButton"));
    ZoomPlusButton->setText(tr("Zoom In"));
    ZoomPlusButton->setToolTip(tr("Zoom In (Ctrl++)"));
    connect(ZoomPlusButton, &QToolButton::clicked, this, &TRichTextLabelEditor::ZoomPlusButtonClick);
    WPToolBar1->addWidget(ZoomPlusButton);
    ZoomMinusButton = new QToolButton(WPToolBar1);
    ZoomMinusButton->setObjectName(QStringLiteral("ZoomMinusButton"));
    ZoomMinusButton->setText(tr("Zoom Out"));
    ZoomMinusButton->setToolTip(tr("Zoom Out (Ctrl+-)"));
    connect(ZoomMinusButton, &QToolButton::clicked, this, &TRichTextLabelEditor::ZoomMinusButtonClick);
    WPToolBar1->addWidget(ZoomMinusButton);
}

void TRichTextLabelEditor::Prepare(const editors::TRichTextEditSetup &setup)
{
    if (setup.Text) {
        WPRichText1->SetRTFText(*setup.Text);
        FPartsNotKept = richtext::PartsNotKept(setup.Text->Data());
    }
    if (!setup.Transparent) {
        QPalette p = WPPanel->palette();
        p.setColor(QPalette::Window, platform::ToQColor(setup.BackgroundColor));
        WPPanel->setPalette(p);
    }
    WPPanel->resize(setup.PanelWidth, setup.PanelHeight);
    WPRichText1->SetPageLayout(setup.PageWidthTwips, setup.PageHeightTwips);
    WPRichText1->SetZoom(setup.Zoom);
    ShowFormat(WPRichText1->CurrentCharFormat());
    FOriginal = EditedText();
}

void TRichTextLabelEditor::keyPressEvent(QKeyEvent *event)
{
    // Enter belongs to the text and to the boxes of the tool bar (a font
    // name or size typed there is taken on Enter): it never closes the
    // editor. A focused button still takes Enter itself.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    TPropertyDialog::keyPressEvent(event);
}

void TRichTextLabelEditor::FormActivate()
{
    WPPanel->setVisible(true);
    // Sizes the panel now, so the sizes read below are its shown ones.
    if (layout())
        layout()->activate();
    WPRichText1->setFocus();
    FPanelWidth0 = WPPanel->width();
    FPanelHeight0 = WPPanel->height();
    FZoom0 = WPRichText1->Zoom();
}

void TRichTextLabelEditor::ResizePanelToZoom()
{
    if (FZoom0 <= 0)
        return;
    const int zoom = WPRichText1->Zoom();
    WPPanel->resize(platform::Round(double(zoom) * FPanelWidth0 / FZoom0),
                    platform::Round(double(zoom) * FPanelHeight0 / FZoom0));
}

void TRichTextLabelEditor::ZoomPlusButtonClick()
{
    if (WPRichText1->Zoom() < 100)
        WPRichText1->SetZoom(WPRichText1->Zoom() + 10);
    ResizePanelToZoom();
}

void TRichTextLabelEditor::ZoomMinusButtonClick()
{
    if (WPRichText1->Zoom() > 50)
        WPRichText1->SetZoom(WPRichText1->Zoom() - 10);
    ResizePanelToZoom();
}

void TRichTextLabelEditor::ShowFormat(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    {
        // The face the text names, also where this computer draws it with
        // another one (Arial with Liberation Sans).
        const QString family = families.isEmpty() ? WPRichText1->Document().defaultFont().family() : families.first();
        const QSignalBlocker block(FontNameList);
        const int listed = FontNameList->findText(family, Qt::MatchFixedString);
        if (listed >= 0)
            FontNameList->setCurrentIndex(listed);
        else
            FontNameList->setEditText(family);
    }
    const double points = format.fontPointSize();
    const QSignalBlocker block(FontSizeList);
    FontSizeList->setEditText(points > 0 ? QString::number(points) : QStringLiteral("12"));
}

bool TRichTextLabelEditor::Execute(QWidget *parent, editors::TRichTextEditSetup &setup)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TRichTextLabelEditor form(parent);
    form.Prepare(setup);
    QApplication::restoreOverrideCursor();
    if (form.exec() != QDialog::Accepted)
        return false;
    // A text that comes back as it went in keeps its bytes as they were,
    // also when edits were made and undone.
    if (setup.Text && form.EditedText() != form.FOriginal)
        setup.Text->SetData(form.EditedText());
    return true;
}

QByteArray TRichTextLabelEditor::EditedText() const
{
    TRichTextContainer edited;
    WPRichText1->GetRTFText(edited);
    return edited.Data();
}

void TRichTextLabelEditor::accept()
{
    if (!FPartsNotKept.isEmpty() && EditedText() != FOriginal) {
        QString parts = FPartsNotKept.join(QStringLiteral(", "));
        const qsizetype last = parts.lastIndexOf(QStringLiteral(", "));
        if (last >= 0)
            parts.replace(last, 2, QStringLiteral(" and "));
        const QString text =
            QStringLiteral("This label holds %1, which the editor does not show. Your changes would remove them "
                           "from the label.\r\n\r\nTake your changes all the same? (No returns to the editor; "
                           "Cancel there leaves the label as it was.)")
                .arg(parts);
        if (platform::ShowMessageBox({text, windowTitle(), platform::miWarning, platform::mbYesNo}, this)
            != platform::mrYes)
            return;
    }
    TPropertyDialog::accept();
}
