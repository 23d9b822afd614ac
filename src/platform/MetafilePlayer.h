// The metafile player: reads enhanced metafiles (EMF) and placeable Windows
// metafiles (WMF) record by record, with every length checked against the
// bytes, and draws them with QPainter, so that a metafile stays vectors in a
// PDF. Records it does not know are skipped.
#pragma once

#include <QByteArray>
#include <QRectF>

class QPainter;

namespace platform {

struct TMetafileFacts {
    bool enhanced = false;
    // The picture's size in screen pixels at 96 per inch.
    int widthPixels = 0;
    int heightPixels = 0;
    int recordCount = 0;
};

// Whether the bytes are a well-formed EMF or placeable WMF: headers, record
// lengths and the closing record; fills facts when they are.
bool ReadMetafileFacts(const QByteArray &image, TMetafileFacts &facts);
// A plain Windows metafile with a placeable header made from its window (or
// its drawing's extent); empty when the bytes are not a Windows metafile.
QByteArray MakePlaceable(const QByteArray &plainWmf);
// Plays a metafile checked by ReadMetafileFacts into dest.
void PlayMetafile(QPainter &painter, const QByteArray &image, const QRectF &dest);
// Whether the metafile combines blocks of pixels with what lies under them
// (masks and their pictures): only raster devices can play that as it is.
bool MetafileUsesRasterOperations(const QByteArray &image);

} // namespace platform
