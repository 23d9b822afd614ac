#include "surface/LabelObjectFiler.h"

#include "platform/InputFiles.h"
#include "platform/OutputFiles.h"
#include "surface/CardBack.h"
#include "surface/ComponentStream.h"
#include "surface/CardObject.h"
#include "surface/SelectionHandle.h"
#include "surface/CardPanel.h"

#include <QFile>

#include <optional>

namespace {

constexpr int kPasteOffset = 15;

// Every record holds the card's own bounds (zoom 1.0), as a card file does,
// whatever zoom the card is shown at: a copy made at 50 % and pasted at
// 400 % keeps its size. Each object shows itself at 1.0 while it is written
// and then returns to its zoom, which changes nothing of it (its zoomed
// bounds derive from those at 1.0).
class TWrittenAtZoomOne
{
public:
    explicit TWrittenAtZoomOne(const QList<TGGraphicControl *> &objects)
    {
        for (TGGraphicControl *o : objects)
            if (o->ZoomFactor() != 1.0) {
                FZooms.append({o, float(o->ZoomFactor())});
                o->SetZoom(1.0f);
            }
    }
    ~TWrittenAtZoomOne()
    {
        for (const auto &[object, zoom] : FZooms)
            object->SetZoom(zoom);
    }
    TWrittenAtZoomOne(const TWrittenAtZoomOne &) = delete;
    TWrittenAtZoomOne &operator=(const TWrittenAtZoomOne &) = delete;

private:
    QList<std::pair<TGGraphicControl *, float>> FZooms;
};

// The new file replaces the old one only once it is complete, so a failure
// half-way (a full disk, say) keeps the previous card.
void WriteObjectsToFile(const QList<TGGraphicControl *> &objects, const QString &fileName)
{
    const TWrittenAtZoomOne atZoomOne(objects);
    std::optional<platform::TOutputFile> file;
    try {
        file.emplace(fileName);
    } catch (const platform::EOutputFileError &) {
        throw EStreamError(QStringLiteral("Cannot create file %1").arg(fileName));
    }
    try {
        try {
            TComponentWriter(&file->Device()).WriteObjectList(objects);
        } catch (const EStreamError &) {
            file->CheckWrites(); // a full disk is said as such, with the file
            throw;
        }
        file->Commit();
    } catch (const platform::EOutputFileError &e) {
        throw EStreamError(e.Message());
    }
}

void WriteBytesToFile(const QByteArray &bytes, const QString &fileName)
{
    std::optional<platform::TOutputFile> file;
    try {
        file.emplace(fileName);
    } catch (const platform::EOutputFileError &) {
        throw EStreamError(QStringLiteral("Cannot create file %1").arg(fileName));
    }
    try {
        if (file->Device().write(bytes) != bytes.size()) {
            file->CheckWrites();
            throw EStreamError(QStringLiteral("Stream write error"));
        }
        file->Commit();
    } catch (const platform::EOutputFileError &e) {
        throw EStreamError(e.Message());
    }
}

// Only a regular file of a card file's size is read: a FIFO or a device
// such as /dev/zero would otherwise block or fill the memory.
QByteArray ReadWholeFile(const QString &fileName)
{
    try {
        return platform::ReadInputFile(fileName, platform::TInputKind::CardFile);
    } catch (const platform::EInputFileError &e) {
        throw EStreamError(QStringLiteral("%1: %2").arg(fileName, e.Message()));
    }
}

} // namespace

void TGLabelObjectFiler::WritePanel(TGBasePanel *panel, const QString &fileName)
{
    WriteObjectsToFile(panel->Objects(), fileName);
}

void TGLabelObjectFiler::ReadIntoPanel(QObject *owner, TGBasePanel *panel, const QString &fileName)
{
    if (!QFile::exists(fileName))
        return;
    TComponentReader reader(ReadWholeFile(fileName));
    // Pasted objects land 15 pixels lower and further right than where they
    // were copied, however often the clipboard is pasted. Just read, an object
    // is at zoom 1.0, so these are pixels of the card, not of the screen.
    reader.ReadObjectList(owner, panel, [this](TGGraphicControl *object) {
        if (!FPasting)
            return;
        object->SetTop(object->Top() + kPasteOffset);
        object->SetLeft(object->Left() + kPasteOffset);
    });
}

QList<TGGraphicControl *> TGLabelObjectFiler::ReadCardFile(QObject *owner, const QString &fileName, TCardBack *back)
{
    const QByteArray file = ReadWholeFile(fileName);
    TComponentReader reader(file);
    QList<TGGraphicControl *> front = reader.ReadObjectList(owner, nullptr);
    if (back)
        *back = cardback::ReadBackBlock(file, reader.Position());
    return front;
}

void TGLabelObjectFiler::WriteCardFile(const QString &fileName, const QByteArray &frontObjects, const TCardBack &back)
{
    WriteBytesToFile(frontObjects + cardback::BackBlock(back), fileName);
}


void TGLabelObjectFiler::WriteSelection(TGHandle *handle, const QString &fileName)
{
    if (handle->Count() == 0)
        return;
    WriteObjectsToFile(handle->Selection(), fileName);
}

void TGLabelObjectFiler::WriteObject(TGGraphicControl *object, const QString &fileName)
{
    WriteObjectsToFile({object}, fileName);
}

void TGLabelObjectFiler::PasteIntoPanel(QObject *owner, TGBasePanel *panel, const QString &fileName)
{
    FPasting = true;
    try {
        ReadIntoPanel(owner, panel, fileName);
    } catch (...) {
        FPasting = false;
        throw;
    }
    FPasting = false;
}

TGGraphicControl *TGLabelObjectFiler::Duplicate(TGGraphicControl *object, QObject *owner, TGBasePanel *parent)
{
    QByteArray copy;
    {
        const TWrittenAtZoomOne atZoomOne({object});
        copy = TComponentWriter::ObjectListToBytes({object});
    }
    const QList<TGGraphicControl *> read = TComponentReader(copy).ReadObjectList(owner, parent);
    return read.isEmpty() ? nullptr : read.first();
}
