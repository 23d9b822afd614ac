// The "Text 3D Effects" dialog: the shadow and highlight of a text label and
// its font colour, tried on a sample label that repaints with every change.
// The label itself changes only on OK.
// Holds TLabelSampleView, TGFont3DEffects.
#pragma once

#include "dialogs/PropertyDialog.h"

#include <QFrame>

class QListWidget;
class TColorDrop;
class TGBaseLabel;
class TGPLabel;

// The framed panel the sample label is painted in.
class TLabelSampleView : public QFrame
{
    Q_OBJECT

public:
    explicit TLabelSampleView(QWidget *parent = nullptr);
    TGPLabel *Sample() const { return FSample; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TGPLabel *FSample;
};

class TGFont3DEffects : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TGFont3DEffects(TGBaseLabel &label, QWidget *parent = nullptr);

    static bool Execute(QWidget *parent, TGBaseLabel &label);

    TLabelSampleView *SamplePanel;
    TGPLabel *Sample;
    QListWidget *ShadowDirection;
    TColorDrop *ShadowColorCombo;
    QListWidget *ShadowDepth;
    QListWidget *HighlightDirection;
    TColorDrop *HighLightColorCombo;
    QListWidget *HighLightDepth;
    TColorDrop *FontColorCombo;

public slots:
    void accept() override;

private:
    // Takes the label's values into the sample and the controls.
    void FormActivate() override;
    void SampleChanged();

    TGBaseLabel &FLabel;
};
