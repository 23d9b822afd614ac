// libFuzzer entry: arbitrary bytes go to the card reader (into a card panel)
// and to the text converter. Every input must end in a clean EStreamError or
// a successful read; whatever was read must then survive a second save and
// read unchanged.
#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"
#include "surface/CardObject.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <cstdint>
#include <cstdlib>

namespace {

QApplication *g_application = nullptr;
TGBusinessCardPanel32 *g_panel = nullptr;
TGBusinessCardPanel32 *g_rereadPanel = nullptr;

void ClearPanel(TGBasePanel *panel)
{
    for (TGGraphicControl *object : QList<TGGraphicControl *>(panel->Objects()))
        delete object;
}

// What was read, written again, must read back to the very same bytes.
void CheckSecondRoundTrip(const QList<TGGraphicControl *> &read)
{
    const QByteArray written = TComponentWriter::ObjectListToBytes(read);
    const QList<TGGraphicControl *> reread = TComponentReader(written).ReadObjectList(g_rereadPanel, g_rereadPanel);
    for (int i = 0; i < read.size(); ++i)
        reread[i]->setObjectName(read[i]->objectName());
    if (TComponentWriter::ObjectListToBytes(reread) != written)
        std::abort();
    ClearPanel(g_rereadPanel);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_reader";
    static char *argv[] = {name, nullptr};
    g_application = new QApplication(argc, argv);
    g_panel = new TGBusinessCardPanel32(); // registers the card classes
    g_rereadPanel = new TGBusinessCardPanel32();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const QList<TGGraphicControl *> read = TComponentReader(bytes).ReadObjectList(g_panel, g_panel);
        CheckSecondRoundTrip(read);
    } catch (const EStreamError &) {
    }
    try {
        ComponentStreamToText(bytes);
    } catch (const EStreamError &) {
    }
    ClearPanel(g_panel);
    QCoreApplication::sendPostedEvents();
    return 0;
}
