// The text document of the rich-text engine. HTML can name images and style
// sheets (<img src>, <link href>, url(...)) that a plain QTextDocument reads
// from any file, device or URL by itself: a label's text could then block
// on a FIFO, read /dev/zero until the memory is gone, or put another file's
// picture into the printed card. This document loads nothing: every image it
// names is an empty pixel and every style sheet empty. (The pictures of RTF
// documents travel inside the text's formats: see RtfPictures.)
// Holds TTextDocument.
#pragma once

#include <QTextDocument>

class TTextDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};
