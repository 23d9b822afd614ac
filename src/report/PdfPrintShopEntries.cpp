#include "report/PdfPrintShopEntries.h"

#include <QColorSpace>
#include <QList>
#include <QMap>
#include <QRegularExpression>

namespace {

[[noreturn]] void Refuse(const char *what)
{
    throw EPdfUpdateError(QStringLiteral("The PDF could not be given its print-shop entries: %1")
                              .arg(QLatin1String(what)));
}

// Offsets of the objects the last cross-reference section names.
struct TCrossReference {
    qsizetype Offset = -1; // of the section itself
    QMap<int, qsizetype> Objects;
    QByteArray Trailer;
};

int IntegerAfter(const QByteArray &text, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(text));
    if (!m.hasMatch())
        return -1;
    bool ok = false;
    const int value = m.captured(1).toInt(&ok);
    return ok ? value : -1;
}

TCrossReference ReadCrossReference(const QByteArray &pdf)
{
    TCrossReference xref;
    const qsizetype start = pdf.lastIndexOf("startxref");
    if (start < 0)
        Refuse("it has no cross-reference table");
    bool ok = false;
    xref.Offset = pdf.mid(start + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || xref.Offset < 0 || xref.Offset >= start || !pdf.mid(xref.Offset).startsWith("xref"))
        Refuse("its cross-reference table is not where the file says");
    const qsizetype trailer = pdf.indexOf("trailer", xref.Offset);
    if (trailer < 0 || trailer > start)
        Refuse("it has no trailer");
    // "first count" lines, each followed by count entries "offset generation n|f".
    const QList<QByteArray> words = pdf.mid(xref.Offset + 4, trailer - xref.Offset - 4).simplified().split(' ');
    qsizetype at = 0;
    while (at + 1 < words.size()) {
        const int first = words.at(at).toInt(&ok);
        const int count = ok ? words.at(at + 1).toInt(&ok) : 0;
        if (!ok || first < 0 || count < 0 || at + 2 + qsizetype(count) * 3 > words.size())
            Refuse("its cross-reference table cannot be read");
        at += 2;
        for (int i = 0; i < count; ++i, at += 3)
            if (words.at(at + 2) == "n")
                xref.Objects.insert(first + i, words.at(at).toLongLong());
    }
    xref.Trailer = pdf.mid(trailer + 7, start - trailer - 7);
    return xref;
}

// The text of object `number` from "N 0 obj" to before "endobj".
QByteArray ObjectText(const QByteArray &pdf, const TCrossReference &xref, int number)
{
    const qsizetype offset = xref.Objects.value(number, -1);
    const QByteArray head = QByteArray::number(number) + " 0 obj";
    if (offset < 0 || offset >= pdf.size() || !pdf.mid(offset).startsWith(head))
        Refuse("an object is not where its table says");
    const qsizetype end = pdf.indexOf("endobj", offset);
    if (end < 0)
        Refuse("an object has no end");
    return pdf.mid(offset + head.size(), end - offset - head.size());
}

// The object's dictionary with `entries` added before its closing ">>".
QByteArray WithEntries(const QByteArray &object, const QByteArray &entries)
{
    const qsizetype close = object.lastIndexOf(">>");
    if (close < 0 || object.contains("stream"))
        Refuse("an object is not a plain dictionary");
    return object.left(close) + entries + object.mid(close);
}

QByteArray Number(double v) { return QByteArray::number(v, 'f', 3); }

QByteArray Box(const char *name, const QRectF &box)
{
    return QByteArray("/") + name + " [" + Number(box.left()) + ' ' + Number(box.top()) + ' ' + Number(box.right())
           + ' ' + Number(box.bottom()) + "]\n";
}

// A trailer entry of Qt's trailer to carry over ("/Info 2 0 R", "/ID [...]").
QByteArray TrailerEntry(const QByteArray &trailer, const char *pattern)
{
    const QRegularExpressionMatch m = QRegularExpression(QLatin1String(pattern)).match(QString::fromLatin1(trailer));
    return m.hasMatch() ? m.captured(0).toLatin1() + '\n' : QByteArray();
}

} // namespace

QByteArray AddPrintShopEntries(const QByteArray &pdf, const TPrintShopBoxes &boxes)
{
    const TCrossReference xref = ReadCrossReference(pdf);
    const int size = IntegerAfter(xref.Trailer, QRegularExpression(QStringLiteral("/Size\\s+(\\d+)")));
    const int root = IntegerAfter(xref.Trailer, QRegularExpression(QStringLiteral("/Root\\s+(\\d+)\\s+0\\s+R")));
    if (size < 1 || root < 0)
        Refuse("its trailer names no catalogue");
    const QByteArray catalog = ObjectText(pdf, xref, root);
    const int pages = IntegerAfter(catalog, QRegularExpression(QStringLiteral("/Pages\\s+(\\d+)\\s+0\\s+R")));
    const int page = pages < 0 ? -1
                               : IntegerAfter(ObjectText(pdf, xref, pages),
                                              QRegularExpression(QStringLiteral("/Kids\\s*\\[\\s*(\\d+)\\s+0\\s+R")));
    if (page < 0)
        Refuse("it has no page");

    QByteArray update = pdf;
    if (!update.endsWith('\n'))
        update += '\n';
    QList<QPair<int, qsizetype>> written;
    auto write = [&update, &written](int number, const QByteArray &body) {
        written.append({number, update.size()});
        update += QByteArray::number(number) + " 0 obj" + body + "endobj\n";
    };

    QByteArray pageEntries;
    if (boxes.TrimBox)
        pageEntries += Box("TrimBox", *boxes.TrimBox);
    if (boxes.BleedBox)
        pageEntries += Box("BleedBox", *boxes.BleedBox);
    if (!pageEntries.isEmpty())
        write(page, WithEntries(ObjectText(pdf, xref, page), pageEntries));

    int next = size;
    if (boxes.SrgbOutputIntent && !catalog.contains("/OutputIntents")) {
        const int intent = next++;
        // The profile lets a reader convert the page's colours exactly; a
        // reader without it still knows them by the condition's name.
        const QByteArray profile = QColorSpace(QColorSpace::SRgb).iccProfile();
        const int icc = profile.isEmpty() ? -1 : next++;
        QByteArray intentBody = "\n<<\n/Type /OutputIntent\n/S /GTS_PDFX\n"
                                "/OutputCondition (sRGB)\n/OutputConditionIdentifier (sRGB IEC61966-2.1)\n"
                                "/RegistryName (http://www.color.org)\n/Info (sRGB IEC61966-2.1)\n";
        if (icc >= 0)
            intentBody += "/DestOutputProfile " + QByteArray::number(icc) + " 0 R\n";
        intentBody += ">>\n";
        write(intent, intentBody);
        if (icc >= 0)
            write(icc, "\n<<\n/N 3\n/Length " + QByteArray::number(profile.size()) + "\n>>\nstream\n" + profile
                           + "\nendstream\n");
        write(root, WithEntries(catalog, "/OutputIntents [" + QByteArray::number(intent) + " 0 R]\n"));
    }
    if (written.isEmpty())
        return pdf;

    const qsizetype table = update.size();
    update += "xref\n";
    for (const auto &[number, offset] : std::as_const(written))
        update += QByteArray::number(number) + " 1\n" + QByteArray::number(offset).rightJustified(10, '0')
                  + " 00000 n \n";
    update += "trailer\n<<\n/Size " + QByteArray::number(next) + "\n/Root " + QByteArray::number(root) + " 0 R\n"
              + TrailerEntry(xref.Trailer, "/Info\\s+\\d+\\s+0\\s+R") + TrailerEntry(xref.Trailer, "/ID\\s*\\[[^\\]]*\\]")
              + "/Prev " + QByteArray::number(xref.Offset) + "\n>>\nstartxref\n" + QByteArray::number(table)
              + "\n%%EOF\n";
    return update;
}
