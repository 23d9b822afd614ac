// Holds TGMultiLineLabel.
#include "objects/MultiLineLabel.h"

#include "objects/ObjectEditors.h"
#include "surface/CardPanel.h"

#include <QMenu>

TGMultiLineLabel::TGMultiLineLabel(QObject *owner) : TGMultiLineBaseLabel(owner) {}

void TGMultiLineLabel::BuildContextMenu()
{
    TGMultiLineBaseLabel::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("Text"), [this] { EditText(); });
    FWordWrapItem = AddMenuItem(tr("Word Wrap"), [this] {
        SetWordWrap(!WordWrap());
        FWordWrapItem->setChecked(WordWrap());
    });
    FWordWrapItem->setCheckable(true);
    FWordWrapItem->setChecked(WordWrap());
}

void TGMultiLineLabel::UpdateContextMenu()
{
    TGMultiLineBaseLabel::UpdateContextMenu();
    if (FWordWrapItem)
        FWordWrapItem->setChecked(WordWrap());
}

void TGMultiLineLabel::EditText()
{
    const auto &editor = editors::ObjectEditors().MultiLineText;
    if (!editor)
        return;
    QStringList lines = Items();
    if (!editor(Panel(), *Font(), lines))
        return;
    SetItems(lines);
    Invalidate();
    if (WordWrap())
        Rewrap();
    NotifyChanged();
}
