// Holds TQRCodeSampleView, TQRCodeProperties.
#include "dialogs/QRCodeDialog.h"

#include "objects/QRCode.h"
#include "widgets/ColorDropDown.h"
#include "widgets/FormHelpTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

// ---- TQRCodeSampleView ----

TQRCodeSampleView::TQRCodeSampleView(QWidget *parent) : QFrame(parent), FSample(new TGQRCode(this))
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setMinimumSize(180, 180);
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    setPalette(grey);
}

void TQRCodeSampleView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    const QRect area = contentsRect().adjusted(4, 4, -4, -4);
    FSample->SetBounds(0, 0, area.width(), area.height());
    QPainter painter(this);
    painter.translate(area.topLeft());
    FSample->Paint(painter);
}

// ---- TQRCodeProperties ----

TQRCodeProperties::TQRCodeProperties(TGQRCode &code, const QStringList &personalInfo, QWidget *parent)
    : TPropertyDialog(parent, tr("QR Code"), 40030), FCode(code), FPersonalInfo(personalInfo)
{
    setObjectName(QStringLiteral("TQRCodeProperties"));
    SamplePanel = new TQRCodeSampleView(this);
    SamplePanel->setObjectName(QStringLiteral("SamplePanel"));
    Sample = SamplePanel->Sample();

    TextEdit = new QPlainTextEdit(this);
    TextEdit->setObjectName(QStringLiteral("TextEdit"));
    TextEdit->setTabChangesFocus(true);
    TextEdit->setPlaceholderText(tr("A web address, any text, or your personal information"));
    PersonalInfoButton = new QPushButton(tr("Use Personal Information"), this);
    PersonalInfoButton->setObjectName(QStringLiteral("PersonalInfoButton"));
    LevelCombo = new QComboBox(this);
    LevelCombo->setObjectName(QStringLiteral("LevelCombo"));
    LevelCombo->addItems({tr("L - 7 % may be damaged"), tr("M - 15 % may be damaged"),
                          tr("Q - 25 % may be damaged"), tr("H - 30 % may be damaged")});
    ForeColorCombo = new TColorDrop(this);
    ForeColorCombo->setObjectName(QStringLiteral("ForeColorCombo"));
    BackColorCombo = new TColorDrop(this);
    BackColorCombo->setObjectName(QStringLiteral("BackColorCombo"));
    TransparentCheck = new QCheckBox(tr("Transparent background"), this);
    TransparentCheck->setObjectName(QStringLiteral("TransparentCheck"));
    QuietZoneSpin = new QSpinBox(this);
    QuietZoneSpin->setObjectName(QStringLiteral("QuietZoneSpin"));
    QuietZoneSpin->setRange(0, TGQRCode::kMaxQuietZone);
    QuietZoneSpin->setSuffix(tr(" modules"));
    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setWordWrap(true);
    QPalette red = MessageLabel->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    MessageLabel->setPalette(red);

    auto *form = new QFormLayout;
    form->addRow(tr("Error correction:"), LevelCombo);
    form->addRow(tr("Code color:"), ForeColorCombo);
    form->addRow(tr("Background color:"), BackColorCombo);
    form->addRow(QString(), TransparentCheck);
    form->addRow(tr("Quiet zone:"), QuietZoneSpin);
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("Text to encode:"), this));
    left->addWidget(TextEdit, 1);
    left->addWidget(PersonalInfoButton, 0, Qt::AlignLeft);
    left->addLayout(form);
    auto *right = new QVBoxLayout;
    right->addWidget(SamplePanel, 1);
    right->addWidget(MessageLabel);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(ButtonRow());
    resize(560, 360);

    PersonalInfoButton->setEnabled(!TGQRCode::VCardOf(FPersonalInfo).isEmpty());
    TakeCode();
    connect(TextEdit, &QPlainTextEdit::textChanged, this, [this] {
        // The editor shows line breaks as line feeds; a text it shows
        // unchanged keeps its own (a vCard's are carriage return, line feed).
        const QString shown = TextEdit->toPlainText();
        if (shown != QString(Sample->Text()).replace(QLatin1String("\r\n"), QLatin1String("\n"))) {
            // A typed text is the user's own: it no longer follows the
            // personal information.
            Sample->SetText(shown);
            Sample->SetPersonalVCard(false);
        }
        SampleChanged();
    });
    connect(PersonalInfoButton, &QPushButton::clicked, this, [this] {
        Sample->SetText(TGQRCode::VCardOf(FPersonalInfo));
        Sample->SetPersonalVCard(true);
        TextEdit->setPlainText(Sample->Text());
    });
    connect(LevelCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Sample->SetErrorCorrection(TGQRCode::TErrorCorrection(index));
        SampleChanged();
    });
    connect(ForeColorCombo, &TColorDrop::Change, this, [this] {
        Sample->SetForeColor(ForeColorCombo->SelectedColor());
        SampleChanged();
    });
    connect(BackColorCombo, &TColorDrop::Change, this, [this] {
        Sample->SetBackColor(BackColorCombo->SelectedColor());
        TransparentCheck->setChecked(false);
        SampleChanged();
    });
    connect(TransparentCheck, &QCheckBox::toggled, this, [this](bool on) {
        Sample->SetTransparent(on);
        SampleChanged();
    });
    connect(QuietZoneSpin, &QSpinBox::valueChanged, this, [this](int v) {
        Sample->SetQuietZone(v);
        SampleChanged();
    });

    AttachFormHelp(this);
}

void TQRCodeProperties::TakeCode()
{
    Sample->AssignCode(FCode);
    const QList<QWidget *> controls{TextEdit, LevelCombo, TransparentCheck, QuietZoneSpin};
    for (QWidget *control : controls)
        control->blockSignals(true);
    TextEdit->setPlainText(FCode.Text());
    LevelCombo->setCurrentIndex(FCode.ErrorCorrection());
    ForeColorCombo->SetSelectedColor(FCode.ForeColor());
    BackColorCombo->SetSelectedColor(FCode.BackColor());
    TransparentCheck->setChecked(FCode.Transparent());
    QuietZoneSpin->setValue(FCode.QuietZone());
    for (QWidget *control : controls)
        control->blockSignals(false);
    SampleChanged();
}

void TQRCodeProperties::SampleChanged()
{
    const bool tooLong = !Sample->Text().isEmpty() && !Sample->HasCode();
    MessageLabel->setText(tooLong ? tr("The text is too long for a QR code. Shorten it or choose a lower error "
                                       "correction level.")
                                  : QString());
    OKButton->setEnabled(!tooLong);
    SamplePanel->update();
}

void TQRCodeProperties::accept()
{
    if (!Sample->Text().isEmpty() && !Sample->HasCode())
        return;
    FCode.AssignCode(*Sample);
    TPropertyDialog::accept();
}

bool TQRCodeProperties::Execute(QWidget *parent, TGQRCode &code, const QStringList &personalInfo)
{
    TQRCodeProperties dialog(code, personalInfo, parent);
    return dialog.exec() == QDialog::Accepted;
}
