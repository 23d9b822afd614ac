#include "dialogs/DialogEditors.h"

#include "dialogs/Gf3d.h"
#include "dialogs/Ggbctext.h"
#include "dialogs/Ggetsym.h"
#include "dialogs/Ggettext.h"
#include "dialogs/Gmlted.h"
#include "objects/ObjectEditors.h"

void RegisterDialogEditors()
{
    editors::TObjectEditors &e = editors::ObjectEditors();
    e.LabelText = &TGetLabelText::Execute;
    e.BusinessCardText = &TGetBCLabelText::Execute;
    e.MultiLineText = &TMultiLineTextEditor::Execute;
    e.SymbolSelector = &TGetSymbol::Execute;
    e.Effects3D = &TGFont3DEffects::Execute;
}
