// The business-card panel: the card panel with the current drawing tool, the
// creation of a card object of the tool's kind, and the personal information
// that business-card labels offer.
// Holds TGBusinessCardPanel32.
#pragma once

#include "surface/CardPanel.h"

#include <QStringList>

enum TLPanelState {
    psPointing, psLabel, psSymbolLabel, psMultiLineLabel, psRectangle, psEllipse, psRoundRectangle,
    psLine, psImage, psSuperShape, psRichLabel, psSuperText, psCircleText, psQRCode
};

class TGBusinessCardPanel32 : public TGBasePanel
{
    Q_OBJECT

public:
    explicit TGBusinessCardPanel32(QWidget *parent = nullptr);

    TLPanelState PanelState() const { return FPanelState; }
    void SetPanelState(TLPanelState v);
    void CreateToolObject(TRect r) override;
    bool HasComplexObjects() const;

    // Name, company, title, address 1 to 3, phone 1 and 2, e-mail, fax.
    QStringList PersonalInfo;

private:
    TLPanelState FPanelState = psPointing;
};

// Registers every card object class with the component stream.
void RegisterCardObjectClasses();
