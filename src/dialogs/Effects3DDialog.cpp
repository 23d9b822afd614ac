// Holds TLabelSampleView, TGFont3DEffects.
#include "dialogs/Effects3DDialog.h"

#include "objects/TextLabel.h"
#include "widgets/ColorDropDown.h"
#include "widgets/FormHelpTexts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QListWidget *PickList(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->addItems(items);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMaximumHeight(110);
    return list;
}

TColorDrop *ColorCombo(QWidget *parent, const QString &name)
{
    auto *combo = new TColorDrop(parent);
    combo->setObjectName(name);
    combo->setMaxVisibleItems(18);
    return combo;
}

QGroupBox *Group(QWidget *parent, const QString &caption, QWidget *control)
{
    auto *box = new QGroupBox(caption, parent);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(control);
    return box;
}

QStringList Depths()
{
    QStringList depths;
    for (int d = 0; d <= 10; ++d)
        depths.append(QString::number(d));
    return depths;
}

// Selects the row, or nothing when the value has no row.
void SelectRow(QListWidget *list, int row) { list->setCurrentRow(row >= 0 && row < list->count() ? row : -1); }

} // namespace

// ---- TLabelSampleView ----

TLabelSampleView::TLabelSampleView(QWidget *parent) : QFrame(parent), FSample(new TGPLabel(this))
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setMinimumSize(360, 90);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void TLabelSampleView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.translate(area.topLeft());
    painter.setClipRect(0, 0, FSample->Width(), FSample->Height());
    FSample->Paint(painter);
}

// ---- TGFont3DEffects ----

TGFont3DEffects::TGFont3DEffects(TGBaseLabel &label, QWidget *parent)
    : TPropertyDialog(parent, tr("Text 3D Effects"), 40008), FLabel(label)
{
    setObjectName(QStringLiteral("TGFont3DEffects"));
    SamplePanel = new TLabelSampleView(this);
    SamplePanel->setObjectName(QStringLiteral("SamplePanel"));
    Sample = SamplePanel->Sample();
    Sample->setObjectName(QStringLiteral("Sample"));
    Sample->SetCaption(QStringLiteral("Text"));
    Sample->SetTransparent(true);
    Sample->SetBackColor(platform::clWhite);

    ShadowDirection = PickList(this, QStringLiteral("ShadowDirection"),
                               {tr("None"), tr("Right"), tr("Left"), tr("Lower Right"), tr("Lower Left"), tr("Down")});
    ShadowColorCombo = ColorCombo(this, QStringLiteral("ShadowColorCombo"));
    ShadowDepth = PickList(this, QStringLiteral("ShadowDepth"), Depths());
    HighlightDirection = PickList(this, QStringLiteral("HighlightDirection"),
                                  {tr("None"), tr("Right"), tr("Left"), tr("Upper Right"), tr("Upper Left"), tr("Up")});
    HighLightColorCombo = ColorCombo(this, QStringLiteral("HighLightColorCombo"));
    HighLightDepth = PickList(this, QStringLiteral("HighLightDepth"), Depths());
    FontColorCombo = ColorCombo(this, QStringLiteral("FontColorCombo"));

    auto *grid = new QGridLayout;
    grid->addWidget(Group(this, tr("Shadow Direction"), ShadowDirection), 0, 0);
    grid->addWidget(Group(this, tr("Shadow Color"), ShadowColorCombo), 0, 1);
    grid->addWidget(Group(this, tr("Shadow Depth"), ShadowDepth), 0, 2);
    grid->addWidget(Group(this, tr("Highlight Direction"), HighlightDirection), 1, 0);
    grid->addWidget(Group(this, tr("Highlight Color"), HighLightColorCombo), 1, 1);
    grid->addWidget(Group(this, tr("Highlight Depth"), HighLightDepth), 1, 2);
    grid->addWidget(Group(this, tr("Font Color"), FontColorCombo), 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SamplePanel, 1);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow());

    connect(ShadowDirection, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Sample->SetDirectionShadow(TGBaseLabel::TShadowDirection(row));
        SampleChanged();
    });
    connect(ShadowDepth, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Sample->SetDepthShadow(row);
        SampleChanged();
    });
    connect(HighlightDirection, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Sample->SetDirectionHighlight(TGBaseLabel::THighlightDirection(row));
        SampleChanged();
    });
    connect(HighLightDepth, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            Sample->SetDepthHighlight(row);
        SampleChanged();
    });
    connect(ShadowColorCombo, &TColorDrop::Change, this, [this] {
        Sample->SetcolorShadow(ShadowColorCombo->SelectedColor());
        SampleChanged();
    });
    connect(HighLightColorCombo, &TColorDrop::Change, this, [this] {
        Sample->SetcolorHighlight(HighLightColorCombo->SelectedColor());
        SampleChanged();
    });
    connect(FontColorCombo, &TColorDrop::Change, this, [this] {
        Sample->Font()->SetColor(FontColorCombo->SelectedColor());
        SampleChanged();
    });

    AttachFormHelp(this);
}

void TGFont3DEffects::FormActivate()
{
    // The sample shows the label's own words in its own font; a label without
    // a caption shows the word "Text".
    if (!FLabel.Caption().isEmpty())
        Sample->SetCaption(FLabel.Caption());
    Sample->Font()->Assign(*FLabel.Font());
    Sample->SetDepthShadow(FLabel.DepthShadow());
    Sample->SetDepthHighlight(FLabel.DepthHighlight());
    Sample->SetDirectionShadow(FLabel.DirectionShadow());
    Sample->SetDirectionHighlight(FLabel.DirectionHighlight());
    Sample->SetcolorShadow(FLabel.colorShadow());
    Sample->SetcolorHighlight(FLabel.colorHighlight());
    const QRect area = SamplePanel->contentsRect();
    Sample->SetBounds(0, 0, area.width(), area.height());

    // The controls show the label's values without acting on the sample.
    const QList<QWidget *> controls{ShadowDirection, ShadowDepth, HighlightDirection, HighLightDepth};
    for (QWidget *control : controls)
        control->blockSignals(true);
    HighLightColorCombo->SetSelectedColor(FLabel.colorHighlight());
    ShadowColorCombo->SetSelectedColor(FLabel.colorShadow());
    FontColorCombo->SetSelectedColor(FLabel.Font()->Color());
    SelectRow(ShadowDirection, FLabel.DirectionShadow());
    SelectRow(ShadowDepth, FLabel.DepthShadow());
    SelectRow(HighlightDirection, FLabel.DirectionHighlight());
    SelectRow(HighLightDepth, FLabel.DepthHighlight());
    for (QWidget *control : controls)
        control->blockSignals(false);
    SampleChanged();
}

void TGFont3DEffects::SampleChanged() { SamplePanel->update(); }

void TGFont3DEffects::accept()
{
    EnsureActivated();
    FLabel.Font()->Assign(*Sample->Font());
    FLabel.SetDepthHighlight(Sample->DepthHighlight());
    FLabel.SetDepthShadow(Sample->DepthShadow());
    FLabel.SetDirectionHighlight(Sample->DirectionHighlight());
    FLabel.SetDirectionShadow(Sample->DirectionShadow());
    FLabel.SetcolorHighlight(Sample->colorHighlight());
    FLabel.SetcolorShadow(Sample->colorShadow());
    TPropertyDialog::accept();
}

bool TGFont3DEffects::Execute(QWidget *parent, TGBaseLabel &label)
{
    TGFont3DEffects dialog(label, parent);
    return dialog.exec() == QDialog::Accepted;
}
