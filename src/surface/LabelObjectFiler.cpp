#include "surface/LabelObjectFiler.h"

#include <stdexcept>

// Placeholder until the component stream lands.
void TGLabelObjectFiler::WritePanel(TGBasePanel *, const QString &) { throw std::runtime_error("not yet"); }
void TGLabelObjectFiler::ReadIntoPanel(QObject *, TGBasePanel *, const QString &) {}
void TGLabelObjectFiler::WriteSelection(TGHandle *, const QString &) {}
void TGLabelObjectFiler::WriteObject(TGGraphicControl *, const QString &) {}
void TGLabelObjectFiler::PasteIntoPanel(QObject *, TGBasePanel *, const QString &) {}
TGGraphicControl *TGLabelObjectFiler::Duplicate(TGGraphicControl *, QObject *, TGBasePanel *) { return nullptr; }
