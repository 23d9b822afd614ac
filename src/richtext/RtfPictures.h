// Pictures in rich text: the PNG, JPEG, EMF, WMF and DIB pictures of RTF
// documents, held in the document as text objects whose format keeps the
// picture's bytes (so an edit, a copy and a paste keep the picture as it
// came), drawn at their size on the page on every device: bitmaps as
// pixels, metafiles as vectors.
// Holds TRtfPicture and TPictureObjectHandler.
#pragma once

#include "richtext/RtfFormat.h"

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QTextCharFormat>
#include <QTextObjectInterface>

class QTextDocument;

namespace richtext {

// A picture as RTF describes it.
struct TRtfPicture {
    TPictureKind kind = TPictureKind::None;
    QByteArray data;
    // \picw, \pich: pixels of a bitmap, the extent of a metafile.
    int sourceWidth = 0, sourceHeight = 0;
    // The size on the page in twips, scale applied; 0 when RTF gave none.
    int widthTwips = 0, heightTwips = 0;
    // The parameter of \wmetafile (the mapping mode).
    int mapping = 8;
};

// The picture's size in twips when RTF gave none: from its own data (a
// bitmap at 96 pixels per inch, a metafile at its frame), else from
// \picw and \pich as pixels.
QSize NaturalSizeTwips(const TRtfPicture &picture);

// The text format of the picture's object character, over the formatting
// of the text around it.
QTextCharFormat PictureFormat(const TRtfPicture &picture, const QTextCharFormat &around);
bool IsPicture(const QTextFormat &format);
TRtfPicture PictureOf(const QTextFormat &format);

// Draws the pictures of one document. A picture's data is decoded once, on
// first drawing, and kept for as long as the program draws it often (a
// bounded cache shared by all documents); a picture that cannot be decoded
// keeps its place on the page and draws nothing.
class TPictureObjectHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &layoutRect, QTextDocument *document, int position,
                    const QTextFormat &format) override;
};

// Lets the document's layout draw pictures. Makes the document's layout:
// a document being filled should get it once it is full.
void RegisterPictureHandler(QTextDocument &document);

} // namespace richtext
