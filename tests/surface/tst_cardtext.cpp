// Text in every language survives the card file: what code page 1252 holds
// keeps its old single-byte form, anything else is stored whole, and labels
// in fonts of other character sets read their bytes in that code page.
#include "TestSupport.h"

#include "objects/MultiLineLabel.h"
#include "objects/TextLabel.h"
#include "platform/Graphics.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardObject.h"
#include "surface/ComponentStream.h"

#include <QFile>
#include <QtEndian>

using namespace testsupport;

namespace {

QList<TGGraphicControl *> ReadBack(const QByteArray &bytes, QObject *owner)
{
    return TComponentReader(bytes).ReadObjectList(owner, nullptr);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bytes of the first string value stored under a name, type byte first.
QByteArray EntryValue(const QByteArray &stream, const QByteArray &name)
{
    const QByteArray key = char(name.size()) + name;
    const qsizetype at = stream.indexOf(key);
    if (at < 0)
        return {};
    const qsizetype from = at + key.size();
    const auto type = uint8_t(stream.at(from));
    const auto count = [&] { return qFromLittleEndian<int32_t>(stream.constData() + from + 1); };
    switch (type) {
    case vaString: return stream.mid(from, 2 + uint8_t(stream.at(from + 1)));
    case vaLString: return stream.mid(from, 5 + count());
    case vaWString: return stream.mid(from, 5 + 2 * count());
    default: return stream.mid(from, 1);
    }
}

QByteArray WideValue(const QString &text)
{
    QByteArray bytes(1, char(vaWString));
    const auto count = qToLittleEndian(int32_t(text.size()));
    bytes.append(reinterpret_cast<const char *>(&count), 4);
    for (const QChar c : text) {
        const auto unit = qToLittleEndian(uint16_t(c.unicode()));
        bytes.append(reinterpret_cast<const char *>(&unit), 2);
    }
    return bytes;
}

} // namespace

class TestCardText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    void textInEveryScriptSurvivesSaveAndLoad_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Cyrillic") << QString::fromUtf8("Пётр Ильич Чайковский");
        QTest::newRow("Greek") << QString::fromUtf8("Αθηνά Παπαδοπούλου");
        QTest::newRow("Polish") << QString::fromUtf8("Łukasz Żółć");
        QTest::newRow("Czech") << QString::fromUtf8("Antonín Dvořák");
        QTest::newRow("Chinese") << QString::fromUtf8("张伟 北京市");
        QTest::newRow("Japanese") << QString::fromUtf8("山田 太郎");
        QTest::newRow("Hebrew") << QString::fromUtf8("דוד כהן");
        QTest::newRow("Arabic") << QString::fromUtf8("محمد علي");
        QTest::newRow("Turkish") << QString::fromUtf8("Şükrü Ağaoğlu");
        QTest::newRow("emoji") << QString::fromUtf8("Café ☕ 😀");
    }
    void textInEveryScriptSurvivesSaveAndLoad()
    {
        QFETCH(QString, text);
        QObject owner;
        auto *label = new TGPLabel(&owner);
        label->SetCaption(text);
        auto *lines = new TGMultiLineLabel(&owner);
        lines->SetItems({QStringLiteral("plain"), text});
        const QByteArray bytes = TComponentWriter::ObjectListToBytes({label, lines});
        // One wide value, the form later versions of the stream write.
        QCOMPARE(EntryValue(bytes, "Caption"), WideValue(text));

        QObject readOwner;
        const QList<TGGraphicControl *> read = ReadBack(bytes, &readOwner);
        QCOMPARE(read.size(), 2);
        QCOMPARE(qobject_cast<TGPLabel *>(read[0])->Caption(), text);
        QCOMPARE(qobject_cast<TGMultiLineLabel *>(read[1])->Items(), QStringList({"plain", text}));
    }

    void textCodePage1252HoldsKeepsItsSingleByteForm()
    {
        QObject owner;
        auto *label = new TGPLabel(&owner);
        label->SetCaption(QString::fromUtf8("Zoë Müller – €5"));
        const QByteArray bytes = TComponentWriter::ObjectListToBytes({label});
        QCOMPARE(EntryValue(bytes, "Caption"),
                 QByteArray("\x06\x0f" "Zo\xeb M\xfcller \x96 \x80" "5"));
    }

    void utf8StringsAreRead()
    {
        QObject owner;
        auto *label = new TGPLabel(&owner);
        label->SetCaption(QStringLiteral("X"));
        QByteArray bytes = TComponentWriter::ObjectListToBytes({label});
        const QByteArray utf8 = QString::fromUtf8("Ærøskøbing ✓").toUtf8();
        QByteArray value(1, char(vaUTF8String));
        const auto length = qToLittleEndian(int32_t(utf8.size()));
        value.append(reinterpret_cast<const char *>(&length), 4);
        value.append(utf8);
        bytes.replace(QByteArray("\x07" "Caption\x06\x01X"), "\x07" "Caption" + value);
        QObject readOwner;
        const QList<TGGraphicControl *> read = ReadBack(bytes, &readOwner);
        QCOMPARE(qobject_cast<TGPLabel *>(read.value(0))->Caption(), QString::fromUtf8("Ærøskøbing ✓"));
    }

    void eastEuropeanSampleShowsItsNameAndSavesItBack()
    {
        const QByteArray file = ReadFile(SampleCardsFolder() + "/charset.qrv");
        QVERIFY(!file.isEmpty());
        QObject owner;
        const QList<TGGraphicControl *> read = ReadBack(file, &owner);
        QCOMPARE(read.size(), 2);
        auto *label = qobject_cast<TGBaseLabel *>(read[1]);
        QVERIFY(label);
        QCOMPARE(label->Caption(), QString::fromUtf8("Zoltán Dvořák"));
        // The symbol font's bytes are glyph numbers and stay as they were.
        QCOMPARE(qobject_cast<TGBaseLabel *>(read[0])->Caption(), QStringLiteral("("));

        const QByteArray written = TComponentWriter::ObjectListToBytes(read);
        QCOMPARE(EntryValue(written.mid(written.indexOf("TGBusinessCardLabel")), "Caption"), QByteArray("\x06\x0d" "Zolt\xe1n Dvo\xf8\xe1k"));
        QCOMPARE(written.count(QByteArray("Zolt\xe1n Dvo\xf8\xe1k")), 1);
        QCOMPARE(file.count(QByteArray("Zolt\xe1n Dvo\xf8\xe1k")), 1);
    }

    void textTheFontsCodePageLacksIsStoredWhole()
    {
        QObject owner;
        auto *label = new TGPLabel(&owner);
        label->Font()->SetCharset(TFontCharset(204)); // RUSSIAN_CHARSET: code page 1251
        label->SetCaption(QString::fromUtf8("Иван"));
        auto *mixed = new TGPLabel(&owner);
        mixed->Font()->SetCharset(TFontCharset(204));
        mixed->SetCaption(QString::fromUtf8("Иван 张"));
        const QByteArray bytes = TComponentWriter::ObjectListToBytes({label, mixed});
        QCOMPARE(EntryValue(bytes, "Caption"), QByteArray("\x06\x04\xc8\xe2\xe0\xed"));
        QVERIFY(bytes.contains(WideValue(QString::fromUtf8("Иван 张"))));
        QObject readOwner;
        const QList<TGGraphicControl *> read = ReadBack(bytes, &readOwner);
        QCOMPARE(qobject_cast<TGPLabel *>(read.value(0))->Caption(), QString::fromUtf8("Иван"));
        QCOMPARE(qobject_cast<TGPLabel *>(read.value(1))->Caption(), QString::fromUtf8("Иван 张"));
    }
};

QTEST_MAIN(TestCardText)
#include "tst_cardtext.moc"
