#include "surface/Gbcpanel32.h"

#include "objects/Gbcshape.h"
#include "objects/Glines.h"
#include "objects/Glshapes.h"
#include "surface/ClassRegistry.h"

#include "platform/Screen.h"

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
    switch (FPanelState) {
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
    case psLine: {
        auto *line = new TGLineShape(this);
        line->SetLineStyle(TGLineShape::stVertical);
        object = line;
        break;
    }
    default:
        // Kinds whose objects are not part of the program yet create nothing.
        return;
    }
    object->Loaded();
    AddNewObject(object, r);
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
