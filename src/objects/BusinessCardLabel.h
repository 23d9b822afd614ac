// The label the card panel's text tool creates: a text label that also offers
// the card's personal information, in its menu and in its text dialog.
// Holds TGBusinessCardLabel.
#pragma once

#include "objects/TextLabel.h"

class TGBusinessCardLabel : public TGPLabel
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit TGBusinessCardLabel(QObject *owner = nullptr);

    void BuildContextMenu() override;
    void UpdateContextMenu() override;
    // The business-card text dialog, which also lists the personal information.
    void EditBusinessCardText();

    // The captions of the "Personal Information" entries, in menu order.
    static QStringList PersonalInfoCaptions();

private:
    // The panel's ten entries; ten empty strings off a business-card panel.
    QStringList PanelPersonalInfo() const;
    void RebuildPersonalInfoMenu();
    void TakePersonalInfo(const QString &value);

    QMenu *FPersonalInfoMenu = nullptr;
};
