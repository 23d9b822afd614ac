// Holds TFontDialog.
#include "platform/FontDialog.h"

#include "platform/Colors.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform {
namespace {

const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
enum TStyleRow { srRegular, srItalic, srBold, srBoldItalic };

QIcon Swatch(TColor color)
{
    QPixmap swatch(28, 14);
    swatch.fill(ToQColor(color));
    return QIcon(swatch);
}

} // namespace

TFontDialog::TFontDialog(const TFont &font, QWidget *parent) : QDialog(parent), FColor(font.Color())
{
    setWindowTitle(tr("Font"));
    setObjectName(QStringLiteral("FontDialog"));

    FaceEdit = new QLineEdit(this);
    FaceEdit->setObjectName(QStringLiteral("FaceEdit"));
    FaceList = new QListWidget(this);
    FaceList->setObjectName(QStringLiteral("FaceList"));
    QStringList faces = QFontDatabase::families();
    // The stored face is offered even where it is not installed.
    if (!font.Name().isEmpty() && !faces.contains(font.Name(), Qt::CaseInsensitive)) {
        faces.append(font.Name());
        faces.sort(Qt::CaseInsensitive);
    }
    FaceList->addItems(faces);

    StyleList = new QListWidget(this);
    StyleList->setObjectName(QStringLiteral("StyleList"));
    StyleList->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    const bool bold = font.Style().testFlag(Vcl::fsBold), italic = font.Style().testFlag(Vcl::fsItalic);
    StyleList->setCurrentRow(bold ? (italic ? srBoldItalic : srBold) : (italic ? srItalic : srRegular));

    SizeBox = new QComboBox(this);
    SizeBox->setObjectName(QStringLiteral("SizeBox"));
    SizeBox->setEditable(true);
    SizeBox->setValidator(new QIntValidator(1, 1638, SizeBox));
    for (int size : kSizes)
        SizeBox->addItem(QString::number(size));
    SizeBox->setEditText(QString::number(std::max(1, font.Size())));

    auto *effects = new QGroupBox(tr("Effects"), this);
    StrikeoutBox = new QCheckBox(tr("Stri&keout"), effects);
    StrikeoutBox->setObjectName(QStringLiteral("StrikeoutBox"));
    StrikeoutBox->setChecked(font.Style().testFlag(Vcl::fsStrikeOut));
    UnderlineBox = new QCheckBox(tr("&Underline"), effects);
    UnderlineBox->setObjectName(QStringLiteral("UnderlineBox"));
    UnderlineBox->setChecked(font.Style().testFlag(Vcl::fsUnderline));
    ColorButton = new QPushButton(tr("&Color..."), effects);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    ColorButton->setAutoDefault(false);
    ColorButton->setIcon(Swatch(FColor));
    auto *effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(StrikeoutBox);
    effectsLayout->addWidget(UnderlineBox);
    effectsLayout->addWidget(ColorButton);

    Sample = new QLabel(tr("AaBbYyZz"), this);
    Sample->setObjectName(QStringLiteral("Sample"));
    Sample->setAlignment(Qt::AlignCenter);
    Sample->setFrameShape(QFrame::StyledPanel);
    Sample->setMinimumSize(180, 60);
    Sample->setAutoFillBackground(true);
    QPalette white = Sample->palette();
    white.setColor(QPalette::Window, Qt::white);
    Sample->setPalette(white);
    SubstituteNote = new QLabel(this);
    SubstituteNote->setObjectName(QStringLiteral("SubstituteNote"));
    SubstituteNote->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout;
    auto *faceCaption = new QLabel(tr("&Font:"), this);
    faceCaption->setBuddy(FaceEdit);
    auto *styleCaption = new QLabel(tr("Font st&yle:"), this);
    styleCaption->setBuddy(StyleList);
    auto *sizeCaption = new QLabel(tr("&Size:"), this);
    sizeCaption->setBuddy(SizeBox);
    grid->addWidget(faceCaption, 0, 0);
    grid->addWidget(styleCaption, 0, 1);
    grid->addWidget(sizeCaption, 0, 2);
    grid->addWidget(FaceEdit, 1, 0);
    grid->addWidget(StyleList, 1, 1, 2, 1, Qt::AlignTop);
    grid->addWidget(SizeBox, 1, 2);
    grid->addWidget(FaceList, 2, 0);
    grid->addWidget(effects, 3, 0);
    grid->addWidget(Sample, 3, 1, 1, 2);
    StyleList->setMaximumHeight(StyleList->sizeHintForRow(0) * 5);
    FaceList->setMinimumWidth(200);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(SubstituteNote);
    layout->addWidget(buttons);

    connect(FaceList, &QListWidget::currentTextChanged, this, [this](const QString &face) {
        if (!face.isEmpty() && FaceEdit->text() != face)
            FaceEdit->setText(face);
        ShowSample();
    });
    // Typing a face name selects the first face that begins with it.
    connect(FaceEdit, &QLineEdit::textEdited, this, [this](const QString &typed) {
        const auto found = FaceList->findItems(typed, Qt::MatchStartsWith);
        if (!found.isEmpty()) {
            const QSignalBlocker block(FaceList);
            FaceList->setCurrentItem(found.first());
            FaceList->scrollToItem(found.first());
        }
        ShowSample();
    });
    connect(StyleList, &QListWidget::currentRowChanged, this, &TFontDialog::ShowSample);
    connect(SizeBox, &QComboBox::currentTextChanged, this, &TFontDialog::ShowSample);
    connect(StrikeoutBox, &QCheckBox::toggled, this, &TFontDialog::ShowSample);
    connect(UnderlineBox, &QCheckBox::toggled, this, &TFontDialog::ShowSample);
    connect(ColorButton, &QPushButton::clicked, this, &TFontDialog::ChooseTextColor);

    SelectFace(font.Name());
    ShowSample();
    FaceList->setFocus();
}

void TFontDialog::SelectFace(const QString &face)
{
    const auto found = FaceList->findItems(face, Qt::MatchFixedString);
    if (!found.isEmpty()) {
        FaceList->setCurrentItem(found.first());
        FaceList->scrollToItem(found.first(), QAbstractItemView::PositionAtCenter);
    }
    FaceEdit->setText(face);
}

void TFontDialog::ChooseTextColor()
{
    int32_t color = FColor;
    if (!ChooseColor(color, this))
        return;
    FColor = TColor(color);
    ColorButton->setIcon(Swatch(FColor));
    ShowSample();
}

QFont TFontDialog::ChosenQFont() const
{
    QFont f(FaceEdit->text());
    f.setPointSize(std::max(1, SizeBox->currentText().toInt()));
    const int style = StyleList->currentRow();
    f.setBold(style == srBold || style == srBoldItalic);
    f.setItalic(style == srItalic || style == srBoldItalic);
    f.setUnderline(UnderlineBox->isChecked());
    f.setStrikeOut(StrikeoutBox->isChecked());
    return f;
}

QString TFontDialog::ShownFace() const { return QFontInfo(ChosenQFont()).family(); }

void TFontDialog::ShowSample()
{
    Sample->setFont(ChosenQFont());
    QPalette p = Sample->palette();
    p.setColor(QPalette::WindowText, ToQColor(FColor));
    Sample->setPalette(p);
    const QString face = FaceEdit->text().trimmed();
    const QString shown = ShownFace();
    if (face.isEmpty() || shown.compare(face, Qt::CaseInsensitive) == 0)
        SubstituteNote->clear();
    else
        SubstituteNote->setText(tr("%1 is not installed on this computer; it is shown with %2. "
                                   "The card keeps %1.")
                                    .arg(face, shown));
}

void TFontDialog::GetFont(TFont &font) const
{
    font.SetName(FaceEdit->text().trimmed());
    font.SetSize(std::max(1, SizeBox->currentText().toInt()));
    const int style = StyleList->currentRow();
    Vcl::TFontStyles styles;
    if (style == srBold || style == srBoldItalic)
        styles |= Vcl::fsBold;
    if (style == srItalic || style == srBoldItalic)
        styles |= Vcl::fsItalic;
    if (UnderlineBox->isChecked())
        styles |= Vcl::fsUnderline;
    if (StrikeoutBox->isChecked())
        styles |= Vcl::fsStrikeOut;
    font.SetStyle(styles);
    font.SetColor(FColor);
}

} // namespace platform
