// The card object classes the component stream can create by name.
#pragma once

#include <QByteArray>
#include <QMetaObject>

class QObject;
class TGGraphicControl;

void RegisterCardClass(const QMetaObject *meta);
template <typename T> void RegisterCardClass() { RegisterCardClass(&T::staticMetaObject); }
// The registered class of that name (compared exactly), or nothing.
const QMetaObject *FindCardClass(const QByteArray &className);
// A new object of a registered class, owned by owner; nothing when unknown.
TGGraphicControl *CreateCardObject(const QByteArray &className, QObject *owner);
