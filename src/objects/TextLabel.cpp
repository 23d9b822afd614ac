// Holds TGPLabel.
#include "objects/TextLabel.h"

#include "objects/ObjectEditors.h"
#include "surface/CardPanel.h"

#include <QMenu>

TGPLabel::TGPLabel(QObject *owner) : TGBaseLabel(owner) {}

void TGPLabel::BuildContextMenu()
{
    TGBaseLabel::BuildContextMenu();
    AddSeparator();
    FTextItem = AddMenuItem(tr("Text"), [this] { EditText(); });
    FTextItem->setData(kTextCommandTag);
    AddSeparator();
    QMenu *rotation = AddSubMenu(tr("Rotation"));
    FRotationItems.clear();
    const QList<QPair<QString, int>> entries{
        {tr("No Rotation"), 0}, {tr("90 Degrees"), 90}, {tr("180 Degrees"), 180}, {tr("270 Degrees"), 270}};
    for (const auto &[caption, angle] : entries) {
        QAction *a = rotation->addAction(caption);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, angle = angle] {
            const int before = Angle();
            SetAngle(angle);
            if (Angle() != before)
                NotifyChanged();
        });
        FRotationItems.append(a);
    }
    FRotationMenuPresent = true;
}

void TGPLabel::EditFont()
{
    TGBaseLabel::EditFont();
    FitToText();
}

void TGPLabel::EditText()
{
    const auto &editor = editors::ObjectEditors().LabelText;
    if (!editor)
        return;
    QString text = Caption();
    if (!editor(Panel(), text))
        return;
    SetCaption(text);
    FitToText();
    Invalidate();
}
