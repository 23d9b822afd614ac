// Holds TTextDocument.
#include "richtext/TextDocument.h"

#include <QImage>

QVariant TTextDocument::loadResource(int type, const QUrl &)
{
    // A null image would make Qt's image handler try the name as a file
    // itself; one transparent pixel stops it there.
    if (type == QTextDocument::ImageResource) {
        QImage nothing(1, 1, QImage::Format_ARGB32);
        nothing.fill(Qt::transparent);
        return nothing;
    }
    return QString();
}
