// libFuzzer harness of the RTF reader: any bytes are read into a document,
// written back and read again, and the document is laid out on a page. The
// reader must neither crash nor hang nor grow without bound.
//
// Built by fuzz/CMakeLists.txt beside the card reader's harness; run it as
//   QT_QPA_PLATFORM=offscreen nice -n 19 build-fuzz/fuzz_rtf CORPUS \
//     tests/data/rtf-regressions -dict=fuzz/rtf.dict -max_len=4096 -timeout=10
// and keep each input it faults on in tests/data/rtf-regressions.
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    (void)app;

    const QByteArray rtf(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    richtext::ReadRtf(rtf, document);
    document.setTextWidth(200);
    (void)document.size();
    const QByteArray written = richtext::WriteRtf(document);
    QTextDocument again;
    richtext::ReadRtf(written, again);
    // What the writer writes, the reader reads back to the same text.
    if (again.toPlainText() != document.toPlainText())
        __builtin_trap();
    return 0;
}
