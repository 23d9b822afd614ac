// The label the card panel's text tool creates: a text label that also offers
// the card's personal information, in its menu and in its text dialog.
// Holds TGBusinessCardLabel.
#pragma once

#include "objects/TextLabel.h"

class TGBusinessCardLabel : public TGPLabel
{
    Q_OBJECT
    // The personal-information entry the caption was taken from, by its key
    // ("Name", "Company", ... "Fax"); empty, and then left out of the card
    // file, for a caption typed by hand. Printing for several people puts
    // each person's value of that entry in place of the caption.
    Q_PROPERTY(QString PersonalField READ PersonalField WRITE SetPersonalField)

public:
    Q_INVOKABLE explicit TGBusinessCardLabel(QObject *owner = nullptr);

    void BuildContextMenu() override;
    void UpdateContextMenu() override;
    // The business-card text dialog, which also lists the personal information.
    void EditBusinessCardText();

    // The captions of the "Personal Information" entries, in menu order.
    static QStringList PersonalInfoCaptions();
    // The keys the card file stores for those entries, in the same order.
    static QStringList PersonalFieldKeys();

    QString PersonalField() const { return FPersonalField; }
    // Unknown keys are kept as they are: a newer card may know more entries.
    void SetPersonalField(const QString &key);
    // The entry's index (0 to 9), -1 when the caption is not bound to one.
    int PersonalFieldIndex() const { return PersonalFieldKeys().indexOf(FPersonalField); }

    // How a value was fitted in: the size it is drawn at, per cent of the
    // label's font, and whether its end was left out at the card's edge.
    struct TValueFit {
        int Percent = 100;
        bool Cut = false;
    };
    // Shows a value in place of the caption, within the card (card pixels at
    // zoom 1.0) along the line: a value too long for the label is drawn
    // smaller, down to half the font's size; longer still, the label reaches
    // out along the line up to the card's edge and the characters beyond it
    // are left out, so that nothing of the value is printed off the card.
    // Expects the label's bounds and font as designed.
    TValueFit ShowValue(const QString &value, const QRect &card);
    // A bound label takes its entry of these ten values and grows to fit it
    // as the menu's choice does; true when its caption changed.
    bool FollowPersonalInfo(const QStringList &personalInfo);

private:
    // Sets the label's extent along the line, card pixels.
    void SetAlongLine(int start, int end);
    int AlongLineStart() const;
    int AlongLineEnd() const;
    // The panel's ten entries; ten empty strings off a business-card panel.
    QStringList PanelPersonalInfo() const;
    void RebuildPersonalInfoMenu();
    void TakePersonalInfo(int index, const QString &value);

    QMenu *FPersonalInfoMenu = nullptr;
    QString FPersonalField;
};
