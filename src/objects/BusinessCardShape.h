// The frame shape the card panel's rectangle, ellipse and rounded-rectangle
// tools create; it behaves exactly like its ancestor and exists under its own
// class name in card files.
// Holds TBCShapes.
#pragma once

#include "objects/FrameShapes.h"

class TBCShapes : public TGLabelShapes
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit TBCShapes(QObject *owner = nullptr) : TGLabelShapes(owner) {}
};
