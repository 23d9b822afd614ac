// Holds TGBusinessCardPanel32.
#include "surface/BusinessCardPanel.h"

#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "objects/FrameShapes.h"
#include "objects/ImageObject.h"
#include "objects/MultiLineLabel.h"
#include "objects/RichTextLabel.h"
#include "objects/SymbolLabel.h"
#include "objects/BusinessCardLabel.h"
#include "objects/CircleText.h"
#include "objects/SuperShape.h"
#include "objects/SuperText.h"
#include "objects/QRCode.h"
#include "surface/ClassRegistry.h"

#include "platform/Graphics.h"
#include "platform/Screen.h"

#include <algorithm>
#include <functional>

TGBusinessCardPanel32::TGBusinessCardPanel32(QWidget *parent) : TGBasePanel(parent)
{
    RegisterCardObjectClasses();
    for (int i = 0; i < 10; ++i)
        PersonalInfo.append(QString());
}

void RegisterCardObjectClasses()
{
    RegisterCardClass<TGLineShape>();
    RegisterCardClass<TGLabelShapes>();
    RegisterCardClass<TBCShapes>();
    RegisterCardClass<TGPLabel>();
    RegisterCardClass<TGBusinessCardLabel>();
    RegisterCardClass<TGSymbolLabel>();
    RegisterCardClass<TGMultiLineLabel>();
    RegisterCardClass<TGImage>();
    RegisterCardClass<TGSuperText>();
    RegisterCardClass<TGPCircleText>();
    RegisterCardClass<TGQRCode>();
    RegisterCardClass<TGPRichBaseLabel>();
    RegisterCardClass<TSuperShape>();
}

void TGBusinessCardPanel32::SetPanelState(TLPanelState v)
{
    if (FPanelState == v)
        return;
    FPanelState = v;
    const bool pointing = v == psPointing;
    SetPointing(pointing);
    SetScreenCursor(pointing ? platform::crDefault : platform::crDrag);
}

void TGBusinessCardPanel32::CreateToolObject(TRect r)
{
    if (r.right - r.left < 25)
        r.right = r.left + 50;
    if (r.bottom - r.top < 15)
        r.bottom = r.top + 15;
    TGGraphicControl *object = nullptr;
    // The kind's own set-up once the object is on the card.
    std::function<void()> followUp;
    switch (FPanelState) {
    case psLabel: {
        auto *label = new TGBusinessCardLabel(this);
        label->SetPanel(this);
        label->SetCaption(QStringLiteral("Text"));
        DefaultFontInto(*label->Font());
        object = label;
        followUp = [label] {
            label->EditBusinessCardText();
            label->FitToText();
        };
        break;
    }
    case psSymbolLabel: {
        auto *symbol = new TGSymbolLabel(this);
        object = symbol;
        followUp = [symbol] {
            symbol->RunSymbolSelector();
            symbol->FitToText();
        };
        break;
    }
    case psMultiLineLabel: {
        auto *lines = new TGMultiLineLabel(this);
        DefaultFontInto(*lines->Font());
        object = lines;
        followUp = [lines] {
            lines->EditText();
            lines->FitToText();
        };
        break;
    }
    case psRectangle:
    case psEllipse:
    case psRoundRectangle: {
        auto *shape = new TBCShapes(this);
        shape->SetShape(FPanelState == psRectangle ? TGLabelShapes::stRectangle
                        : FPanelState == psEllipse ? TGLabelShapes::stEllipse
                                                   : TGLabelShapes::stRoundRect);
        object = shape;
        break;
    }
    case psRichLabel: {
        auto *rich = new TGPRichBaseLabel(this);
        object = rich;
        followUp = [rich] { rich->Edit(); };
        break;
    }
    case psLine: {
        auto *line = new TGLineShape(this);
        line->SetLineStyle(TGLineShape::stVertical);
        object = line;
        break;
    }
    case psImage: {
        auto *image = new TGImage(this);
        object = image;
        followUp = [image] { image->LoadImageFromDisk(); };
        break;
    }
    case psSuperText: {
        auto *text = new TGSuperText(this);
        object = text;
        followUp = [this, text] {
            SetPanelState(psPointing);
            text->EditProperties();
        };
        break;
    }
    case psSuperShape: {
        auto *shape = new TSuperShape(this);
        object = shape;
        followUp = [this, shape] {
            SetPanelState(psPointing);
            shape->EditProperties();
        };
        break;
    }
    case psCircleText: {
        auto *text = new TGPCircleText(this);
        object = text;
        followUp = [this, text] {
            SetPanelState(psPointing);
            text->EditProperties();
        };
        break;
    }
    case psQRCode: {
        auto *code = new TGQRCode(this);
        // A code needs room to scan: a drag too small for one gives the
        // object's own square.
        if (std::min(r.right - r.left, r.bottom - r.top) < 50) {
            r.right = r.left + code->Width();
            r.bottom = r.top + code->Height();
        }
        object = code;
        followUp = [code] { code->EditCode(); };
        break;
    }
    default:
        // Kinds whose objects are not part of the program yet create nothing.
        return;
    }
    object->Loaded();
    AddNewObject(object, r);
    if (followUp)
        followUp();
}

bool TGBusinessCardPanel32::HasComplexObjects() const
{
    for (const TGGraphicControl *o : Objects()) {
        const QByteArray name = o->metaObject()->className();
        if (name == "TSuperShape" || name == "TGSuperText")
            return true;
    }
    return false;
}
