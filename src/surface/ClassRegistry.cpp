#include "surface/ClassRegistry.h"

#include "surface/CardObject.h"

#include <QHash>

namespace {
QHash<QByteArray, const QMetaObject *> &Registry()
{
    static QHash<QByteArray, const QMetaObject *> registry;
    return registry;
}
} // namespace

void RegisterCardClass(const QMetaObject *meta) { Registry().insert(meta->className(), meta); }

const QMetaObject *FindCardClass(const QByteArray &className) { return Registry().value(className); }

TGGraphicControl *CreateCardObject(const QByteArray &className, QObject *owner)
{
    const QMetaObject *meta = FindCardClass(className);
    if (!meta)
        return nullptr;
    QObject *object = meta->newInstance(Q_ARG(QObject *, owner));
    return qobject_cast<TGGraphicControl *>(object);
}
