#include "dialogs/DialogEditors.h"

#include "dialogs/Effects3DDialog.h"
#include "dialogs/BusinessCardTextDialog.h"
#include "dialogs/SymbolSelector.h"
#include "dialogs/LabelTextDialog.h"
#include "dialogs/MultiLineEditor.h"
#include "dialogs/RichTextEditor.h"
#include "objects/ObjectEditors.h"

void RegisterDialogEditors()
{
    editors::TObjectEditors &e = editors::ObjectEditors();
    e.LabelText = &TGetLabelText::Execute;
    e.BusinessCardText = &TGetBCLabelText::Execute;
    e.MultiLineText = &TMultiLineTextEditor::Execute;
    e.SymbolSelector = &TGetSymbol::Execute;
    e.Effects3D = &TGFont3DEffects::Execute;
    e.RichText = &TRichTextLabelEditor::Execute;
}
