#include "dialogs/DialogEditors.h"

#include "dialogs/Effects3DDialog.h"
#include "dialogs/ImageBrowser.h"
#include "dialogs/BusinessCardTextDialog.h"
#include "dialogs/CircleTextDialog.h"
#include "dialogs/SuperShapeDialog.h"
#include "dialogs/SuperTextDialog.h"
#include "dialogs/SymbolSelector.h"
#include "dialogs/LabelTextDialog.h"
#include "dialogs/MultiLineEditor.h"
#include "dialogs/QRCodeDialog.h"
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
    e.ImageBrowser = &TGImageBrowser::Execute;
    e.SuperTextProperties = &TSuperTextProperties::Execute;
    e.CircleTextProperties = &TCircleTextProperties::Execute;
    e.QRCode = &TQRCodeProperties::Execute;
    e.RichText = &TRichTextLabelEditor::Execute;
    e.SuperShapeProperties = &TSuperShapeProperties::Execute;
}
