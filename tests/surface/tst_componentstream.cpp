// The component stream byte by byte: how values are encoded, which properties
// are written, how records are read back, renamed and rejected.
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "platform/AnsiText.h"
#include "platform/Graphics.h"
#include "surface/ClassRegistry.h"
#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"
#include "surface/BusinessCardPanel.h"

#include <QBuffer>
#include <QMetaProperty>
#include <QPointer>
#include <cmath>
#include <limits>

using namespace testsupport;

// ---- test-only classes: what later card classes will declare ----

// A nested object with data of its own beyond its properties, as a picture has.
class TStreamTestPicture : public QObject, public IStreamExtraData
{
    Q_OBJECT

public:
    using QObject::QObject;
    QByteArray Data;

    void WriteExtraData(TComponentWriter &writer) const override
    {
        if (Data.isEmpty())
            return;
        writer.WritePropName("Data");
        writer.WriteBinary(Data);
    }
    bool ReadExtraData(const QByteArray &name, TComponentReader &reader) override
    {
        if (name != "Data")
            return false;
        Data = reader.ReadBinary();
        return true;
    }
};

QStringList g_loadedOrder;

class TStreamTestObject : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Note READ Note WRITE SetNote)
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
    Q_PROPERTY(float Scale READ Scale WRITE SetScale)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(QChar Mark READ Mark WRITE SetMark)
    Q_PROPERTY(int Serial READ Serial)
    Q_PROPERTY(TStreamTestPicture *Picture READ Picture)
    Q_CLASSINFO("storeEmpty:Caption", "true")
    Q_CLASSINFO("default:BackColor", "clWhite")
    Q_CLASSINFO("default:Mark", "0")

public:
    Q_INVOKABLE explicit TStreamTestObject(QObject *owner = nullptr)
        : TGGraphicControl(owner), FFont(new TFont(this)), FPicture(new TStreamTestPicture(this))
    {
    }

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &v) { FCaption = v; }
    QString Note() const { return FNote; }
    void SetNote(const QString &v) { FNote = v; }
    TFont *Font() const { return FFont; }
    void SetFont(TFont *v) { FFont->Assign(*v); }
    QStringList Items() const { return FItems; }
    void SetItems(const QStringList &v) { FItems = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    float Scale() const { return FScale; }
    void SetScale(float v) { FScale = v; }
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor v) { FBackColor = v; }
    QChar Mark() const { return FMark; }
    void SetMark(QChar v) { FMark = v; }
    int Serial() const { return 7; }
    TStreamTestPicture *Picture() const { return FPicture; }

    void Loaded() override
    {
        g_loadedOrder.append(objectName());
        TGGraphicControl::Loaded();
    }

private:
    QString FCaption = QStringLiteral("Text");
    QString FNote;
    TFont *FFont;
    QStringList FItems;
    double FRatio = 0;
    float FScale = 0;
    TColor FBackColor{platform::clWhite};
    QChar FMark;
    TStreamTestPicture *FPicture;
};

// ---- building streams by hand ----

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QByteArray Str(const QByteArray &s) { return char(s.size()) + s; }

QByteArray Int8(const QByteArray &name, int v) { return Str(name) + Bytes({2, v & 0xFF}); }

QByteArray Ident(const QByteArray &name, const QByteArray &ident) { return Str(name) + char(7) + Str(ident); }

QByteArray StringEntry(const QByteArray &name, const QByteArray &s) { return Str(name) + char(6) + Str(s); }

QByteArray Record(const QByteArray &className, const QByteArray &name, const QByteArray &entries)
{
    return "TPF0" + Str(className) + Str(name) + entries + Bytes({0, 0});
}

QByteArray List(const QByteArray &records) { return char(1) + records + char(0); }

// The entries every card object carries.
QByteArray Bounds(int left, int top, int width, int height)
{
    return Int8("Left", left) + Int8("Top", top) + Int8("Width", width) + Int8("Height", height)
        + Str("Locked") + char(8) + Str("Unselectable") + char(8);
}

QByteArray Extended(std::initializer_list<int> tenBytes) { return Bytes(tenBytes); }

QByteArray Written(QObject *object)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TComponentWriter writer(&buffer);
    writer.WriteComponent(object);
    writer.FlushBuffer();
    return bytes;
}

QString ReadError(TGBasePanel *panel, const QByteArray &stream)
{
    try {
        TComponentReader(stream).ReadObjectList(panel, panel);
    } catch (const EStreamError &e) {
        return e.Message();
    }
    return QString();
}

} // namespace

class TestComponentStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
        RegisterCardClass<TStreamTestObject>();
    }
    void init() { g_loadedOrder.clear(); }

    // ---- writing ----

    void emptyCardIsTwoBytes()
    {
        QCOMPARE(TComponentWriter::ObjectListToBytes({}), Bytes({1, 0}));
        auto panel = MakePanel();
        TComponentReader(Bytes({1, 0})).ReadObjectList(panel.get(), panel.get());
        QCOMPARE(panel->ObjectCount(), 0);
    }

    void defaultLineIsBoundsAndFlagsOnly_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<QByteArray>("leftValue");
        QTest::newRow("100 in one byte") << 100 << Bytes({2, 0x64});
        QTest::newRow("200 in two bytes") << 200 << Bytes({3, 0xC8, 0x00});
        QTest::newRow("-5 in one byte") << -5 << Bytes({2, 0xFB});
        QTest::newRow("-129 in two bytes") << -129 << Bytes({3, 0x7F, 0xFF});
        QTest::newRow("32768 in four bytes") << 32768 << Bytes({4, 0x00, 0x80, 0x00, 0x00});
    }
    void defaultLineIsBoundsAndFlagsOnly()
    {
        QFETCH(int, left);
        QFETCH(QByteArray, leftValue);
        TGLineShape line;
        line.setObjectName(QStringLiteral("Line1"));
        line.SetBounds(left, 0, 10, 1);
        const QByteArray expected = List("TPF0" + Str("TGLineShape") + Str("Line1") + Str("Left") + leftValue
                                         + Int8("Top", 0) + Int8("Width", 10) + Int8("Height", 1)
                                         + Str("Locked") + char(8) + Str("Unselectable") + char(8) + Bytes({0, 0}));
        QCOMPARE(TComponentWriter::ObjectListToBytes({&line}), expected);
    }

    void flagsAndIdentifiersAsTheFormatSays()
    {
        TBCShapes shape;
        shape.SetLocked(true);
        shape.Brush()->SetColor(platform::clBlack);
        shape.Pen()->SetColor(12648430);
        shape.SetShape(TGLabelShapes::stEllipse);
        const QByteArray bytes = Written(&shape);
        QVERIFY(bytes.contains(Str("Locked") + char(9)));
        QVERIFY(bytes.contains(Str("Unselectable") + char(8)));
        QVERIFY(bytes.contains(Ident("Brush.Color", "clBlack")));
        QVERIFY(bytes.contains(Str("Pen.Color") + Bytes({4, 0xEE, 0xFF, 0xC0, 0x00})));
        QVERIFY(bytes.contains(Ident("Shape", "stEllipse")));
        // Defaults stay out: pen width 1, round percentage 25, no tag, default cursor.
        QVERIFY(!bytes.contains("Pen.Width"));
        QVERIFY(!bytes.contains("RoundPerc"));
        QVERIFY(!bytes.contains("Tag"));
        QVERIFY(!bytes.contains("Cursor"));
    }

    void tagIsWrittenBeforeLeft()
    {
        TBCShapes shape;
        shape.SetTag(300);
        const QByteArray bytes = Written(&shape);
        const QByteArray tag = Str("Tag") + Bytes({3, 0x2C, 0x01});
        QVERIFY(bytes.contains(tag));
        QVERIFY(bytes.indexOf(tag) < bytes.indexOf(Str("Left")));
    }

    void stringLengthChoosesType_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("255 short") << 255 << Bytes({6, 255});
        QTest::newRow("256 long") << 256 << Bytes({12, 0x00, 0x01, 0, 0});
        QTest::newRow("300 long") << 300 << Bytes({12, 0x2C, 0x01, 0, 0});
    }
    void stringLengthChoosesType()
    {
        QFETCH(int, length);
        QFETCH(QByteArray, header);
        TStreamTestObject object;
        object.SetCaption(QString(length, QLatin1Char('x')));
        const QByteArray bytes = Written(&object);
        QVERIFY(bytes.contains(Str("Caption") + header + QByteArray(length, 'x') + Str("Font.Color")));
    }

    void emptyStringsFollowTheirDeclaration()
    {
        TStreamTestObject object;
        object.SetCaption(QString());
        const QByteArray bytes = Written(&object);
        // The caption's constructor value is not empty, so emptying it is kept...
        QVERIFY(bytes.contains(Str("Caption") + Bytes({6, 0})));
        // ...while an ordinary empty string stays out.
        QVERIFY(!bytes.contains("Note"));

        auto panel = MakePanel();
        TComponentReader(List(bytes)).ReadObjectList(panel.get(), panel.get());
        auto *read = qobject_cast<TStreamTestObject *>(panel->Objects().value(0));
        QVERIFY(read);
        QCOMPARE(read->Caption(), QString());
    }

    void fontCharsetAndPitchOnlyWhenNotDefault()
    {
        TStreamTestObject object;
        QByteArray bytes = Written(&object);
        QVERIFY(!bytes.contains("Font.Charset"));
        QVERIFY(!bytes.contains("Font.Pitch"));
        QVERIFY(bytes.contains(Str("Font.Color") + char(7) + Str("clWindowText") + Str("Font.Height") + Bytes({2, 0xF3})
                               + Str("Font.Name") + char(6) + Str("MS Sans Serif") + Str("Font.Style") + Bytes({11, 0})));

        object.Font()->SetCharset(platform::SYMBOL_CHARSET);
        object.Font()->SetPitch(Vcl::fpFixed);
        object.Font()->SetStyle(Vcl::fsBold | Vcl::fsUnderline);
        bytes = Written(&object);
        // The font's own order: Charset, Color, Height, Name, Pitch, Style.
        const qsizetype charset = bytes.indexOf(Ident("Font.Charset", "SYMBOL_CHARSET"));
        const qsizetype color = bytes.indexOf("Font.Color");
        const qsizetype pitch = bytes.indexOf(Ident("Font.Pitch", "fpFixed"));
        const qsizetype style = bytes.indexOf(Str("Font.Style") + char(11) + Str("fsBold") + Str("fsUnderline") + char(0));
        QVERIFY(charset > 0 && charset < color && color < pitch && pitch < style);

        object.Font()->SetCharset(3); // no name: an integer
        QVERIFY(Written(&object).contains(Int8("Font.Charset", 3)));
    }

    void fontCharsetAndPitchSurviveReading()
    {
        auto panel = MakePanel();
        const QByteArray entries = Bounds(1, 2, 3, 4) + StringEntry("Caption", "Text") + Ident("Font.Charset", "SYMBOL_CHARSET") + Ident("Font.Color", "clBlack")
            + Int8("Font.Height", -32) + StringEntry("Font.Name", "WingDings") + Ident("Font.Pitch", "fpFixed")
            + Str("Font.Style") + Bytes({11, 0});
        const QByteArray stream = List(Record("TStreamTestObject", "Special1", entries));
        TComponentReader(stream).ReadObjectList(panel.get(), panel.get());
        auto *read = qobject_cast<TStreamTestObject *>(panel->Objects().value(0));
        QVERIFY(read);
        QCOMPARE(int(read->Font()->Charset()), platform::SYMBOL_CHARSET);
        QCOMPARE(read->Font()->Pitch(), Vcl::fpFixed);
        read->setObjectName(QStringLiteral("Special1"));
        QCOMPARE(TComponentWriter::ObjectListToBytes({read}), stream);
    }

    void stringListsFloatsCharsAndExtraData()
    {
        TStreamTestObject object;
        QByteArray bytes = Written(&object);
        QVERIFY(!bytes.contains("Items"));
        QVERIFY(!bytes.contains("Ratio"));
        QVERIFY(!bytes.contains("Picture"));
        QVERIFY(!bytes.contains("Mark"));

        object.SetItems({QStringLiteral("one"), QString(), QStringLiteral("it's")});
        object.SetRatio(0.1);
        object.SetScale(1.1f);
        object.SetMark(QLatin1Char('*'));
        object.Picture()->Data = QByteArray("\x00\x01\xFF", 3);
        bytes = Written(&object);
        QVERIFY(bytes.contains(Str("Items.Strings") + char(1) + char(6) + Str("one") + Bytes({6, 0}) + char(6) + Str("it's") + char(0)));
        QVERIFY(bytes.contains(Str("Ratio") + char(5) + Extended({0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F})));
        QVERIFY(bytes.contains(Str("Scale") + char(5) + Extended({0, 0, 0, 0, 0, 0xCD, 0xCC, 0x8C, 0xFF, 0x3F})));
        QVERIFY(bytes.contains(Str("Mark") + char(6) + Str("*")));
        QVERIFY(bytes.contains(Str("Picture.Data") + Bytes({10, 3, 0, 0, 0, 0x00, 0x01, 0xFF})));
        // A read-only property is never written.
        QVERIFY(!bytes.contains("Serial"));

        auto panel = MakePanel();
        TComponentReader(List(bytes)).ReadObjectList(panel.get(), panel.get());
        auto *read = qobject_cast<TStreamTestObject *>(panel->Objects().value(0));
        QVERIFY(read);
        QCOMPARE(read->Items(), object.Items());
        QCOMPARE(read->Ratio(), 0.1);
        QCOMPARE(read->Scale(), 1.1f);
        QCOMPARE(read->Mark(), QLatin1Char('*'));
        QCOMPARE(read->Picture()->Data, object.Picture()->Data);
    }

    void extendedFloats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("1") << 1.0 << Extended({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F});
        QTest::newRow("-2.5") << -2.5 << Extended({0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0});
        QTest::newRow("100") << 100.0 << Extended({0, 0, 0, 0, 0, 0, 0, 0xC8, 0x05, 0x40});
        QTest::newRow("0.1") << 0.1 << Extended({0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F});
        QTest::newRow("1e300") << 1e300 << Extended({0x00, 0xE0, 0xAC, 0x03, 0x40, 0xE4, 0x21, 0xBF, 0xE3, 0x43});
        QTest::newRow("smallest subnormal") << 5e-324 << Extended({0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B});
        QTest::newRow("zero") << 0.0 << Extended({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        QTest::newRow("minus zero") << -0.0 << Extended({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80});
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << Extended({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F});
    }
    void extendedFloats()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, bytes);
        const TExtendedBytes written = DoubleToExtended(value);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(written.data()), 10), bytes);
        const double back = ExtendedToDouble(written);
        QCOMPARE(back, value);
        QCOMPARE(std::signbit(back), std::signbit(value));
    }

    void extendedRoundsToNearestDouble_data()
    {
        QTest::addColumn<quint64>("mantissa");
        QTest::addColumn<int>("exponent");
        QTest::addColumn<double>("expected");
        // 1 + half a double step: a tie, kept even (down).
        QTest::newRow("tie down") << Q_UINT64_C(0x8000000000000400) << 0x3FFF << 1.0;
        // 1 + one and a half steps: a tie, rounded up to even.
        QTest::newRow("tie up") << Q_UINT64_C(0x8000000000000C00) << 0x3FFF << 1.0 + 2 * std::ldexp(1.0, -52);
        QTest::newRow("just above half") << Q_UINT64_C(0x8000000000000401) << 0x3FFF << 1.0 + std::ldexp(1.0, -52);
        // 0.1 as extended has more digits than a double; it reads as the double 0.1.
        QTest::newRow("0.1 extended") << Q_UINT64_C(0xCCCCCCCCCCCCCCCD) << 0x3FFB << 0.1;
        QTest::newRow("beyond double") << Q_UINT64_C(0x8000000000000000) << 0x4400
                                       << std::numeric_limits<double>::infinity();
        QTest::newRow("below subnormal") << Q_UINT64_C(0x8000000000000000) << 0x3000 << 0.0;
        QTest::newRow("extended denormal") << Q_UINT64_C(0x0000000000000001) << 0 << 0.0;
        QTest::newRow("unnormal") << Q_UINT64_C(0x4000000000000000) << 0x3FFF << 0.5;
    }
    void extendedRoundsToNearestDouble()
    {
        QFETCH(quint64, mantissa);
        QFETCH(int, exponent);
        QFETCH(double, expected);
        TExtendedBytes bytes{};
        for (int i = 0; i < 8; ++i)
            bytes[i] = uint8_t(mantissa >> (8 * i));
        bytes[8] = uint8_t(exponent);
        bytes[9] = uint8_t(exponent >> 8);
        QCOMPARE(ExtendedToDouble(bytes), expected);
    }

    void ansiTextIsLosslessForEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(platform::StringToAnsi(platform::AnsiToString(all)), all);
        QCOMPARE(platform::AnsiToString("\x80"), QString(QChar(0x20AC)));
        QCOMPARE(platform::AnsiToString("\x81"), QString(QChar(0x81)));
        QCOMPARE(platform::AnsiToString("\xE1"), QStringLiteral("\u00E1"));
        QCOMPARE(platform::StringToAnsi(QStringLiteral("\u20AC\u00E1\u65E5")), QByteArray("\x80\xE1?"));
        QCOMPARE(platform::StringToAnsi(QString::fromUcs4(U"a\U0001F600b")), QByteArray("a?b"));
        QCOMPARE(platform::StringToAnsi(QString(QChar(0x80))), QByteArray("?")); // 0x80 is the euro sign
    }

    // ---- reading ----

    void readingRunsLoadedInOrderAfterTheWholeList()
    {
        auto panel = MakePanel();
        const QByteArray stream = List(Record("TStreamTestObject", "A", Bounds(1, 1, 5, 5))
                                       + Record("TBCShapes", "B", Bounds(2, 2, 5, 5))
                                       + Record("TStreamTestObject", "C", Bounds(3, 3, 5, 5)));
        const QList<TGGraphicControl *> read = TComponentReader(stream).ReadObjectList(panel.get(), panel.get());
        QCOMPARE(read.size(), 3);
        QCOMPARE(panel->Objects(), read);
        QCOMPARE(g_loadedOrder, QStringList({QStringLiteral("Component0"), QStringLiteral("Component2")}));
        for (TGGraphicControl *o : read) {
            QVERIFY(o->ContextMenu());
            QVERIFY(!o->IsLoading());
        }
        QCOMPARE(read[1]->BoundsRect(), QRect(2, 2, 5, 5));
    }

    void readsWhatAnotherWriterMightWrite()
    {
        auto panel = MakePanel();
        // Property names in any case, integers for floats, identifiers for
        // booleans, a prefix with a child position, a collection and nil where
        // nested objects stand.
        const QByteArray entries = Int8("left", 7) + Ident("LOCKED", "true") + Int8("Ratio", 3)
            + Str("Font") + char(13) + Str("Font") + Bytes({14, 1}) + Int8("X", 1) + Bytes({0, 0})
            + Str("Font.Style") + char(11) + Str("fsitalic") + char(0)
            + Ident("BackColor", "clNavy") + Ident("Cursor", "crcross") + Str("Hint") + char(12)
            + Bytes({3, 0, 0, 0}) + "abc";
        const QByteArray stream = List("TPF0" + Bytes({0xF2, 2, 5}) + Str("TStreamTestObject") + Str("Old") + entries + Bytes({0, 0}));
        TComponentReader(stream).ReadObjectList(panel.get(), panel.get());
        auto *read = qobject_cast<TStreamTestObject *>(panel->Objects().value(0));
        QVERIFY(read);
        QCOMPARE(read->Left(), 7);
        QVERIFY(read->Locked());
        QCOMPARE(read->Ratio(), 3.0);
        QCOMPARE(read->Font()->Style(), Vcl::TFontStyles(Vcl::fsItalic));
        QCOMPARE(int(read->BackColor()), platform::clNavy);
        QCOMPARE(int(read->Cursor()), int(platform::crCross));
        QCOMPARE(read->Hint(), QStringLiteral("abc"));
    }

    void prefixFlagOneUpdatesTheNamedObject()
    {
        auto panel = MakePanel();
        TGGraphicControl *existing = AddShape(*panel, 10, 10, 20, 20);
        existing->setObjectName(QStringLiteral("Keep"));
        const QByteArray stream = List("TPF0" + Bytes({0xF1}) + Str("TBCShapes") + Str("Keep") + Int8("Left", 99) + Bytes({0, 0}));
        TComponentReader(stream).ReadObjectList(panel.get(), panel.get());
        QCOMPARE(panel->ObjectCount(), 1);
        QCOMPARE(existing->Left(), 99);
        QCOMPARE(existing->objectName(), QStringLiteral("Keep"));
        QVERIFY(!existing->IsLoading());

        const QByteArray missing = List("TPF0" + Bytes({0xF1}) + Str("TBCShapes") + Str("Gone") + Bytes({0, 0}));
        QCOMPARE(ReadError(panel.get(), missing), QStringLiteral("Ancestor for 'Gone' not found"));
    }

    void renamesToLowestFreeComponentNumber()
    {
        auto panel = MakePanel();
        AddShape(*panel, 0, 0, 10, 10)->setObjectName(QStringLiteral("Component0"));
        AddShape(*panel, 0, 0, 10, 10)->setObjectName(QStringLiteral("component2"));
        const QByteArray stream = List(Record("TBCShapes", "Special3", Bounds(0, 0, 5, 5))
                                       + Record("TBCShapes", "Special3", Bounds(0, 0, 5, 5)));
        TComponentReader(stream).ReadObjectList(panel.get(), panel.get());
        QCOMPARE(panel->Objects().at(2)->objectName(), QStringLiteral("Component1"));
        QCOMPARE(panel->Objects().at(3)->objectName(), QStringLiteral("Component3"));
    }

    void keepsTheFileNameWhenEveryNumberIsTaken()
    {
        auto panel = MakePanel();
        for (int n = 0; n <= 1000; ++n) {
            auto *shape = new TBCShapes(panel.get());
            shape->setObjectName(QStringLiteral("Component%1").arg(n));
            shape->SetPanel(panel.get());
        }
        TComponentReader(List(Record("TBCShapes", "Special3", Bounds(0, 0, 5, 5)))).ReadObjectList(panel.get(), panel.get());
        QCOMPARE(panel->Objects().last()->objectName(), QStringLiteral("Special3"));
    }

    void errorsLeaveEarlierObjectsWithoutLoaded_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QString>("message");
        const QByteArray good = Bounds(1, 1, 5, 5);
        QTest::newRow("unknown class") << Record("TNoSuchShape", "X", good) << "Class TNoSuchShape not found";
        QTest::newRow("bad signature") << "TPF1" + Record("TBCShapes", "X", good).mid(4) << "Invalid stream format";
        QTest::newRow("unknown property")
            << Record("TBCShapes", "X", Int8("Bogus", 1)) << "Error reading Component1.Bogus: Property does not exist";
        QTest::newRow("unknown nested property")
            << Record("TBCShapes", "X", Int8("Pen.Bogus", 1)) << "Error reading Component1.Pen.Bogus: Property does not exist";
        QTest::newRow("unknown holder")
            << Record("TBCShapes", "X", Int8("Bogus.Width", 1)) << "Error reading Component1.Bogus.Width: Property does not exist";
        QTest::newRow("path through an integer")
            << Record("TBCShapes", "X", Int8("Left.Width", 1)) << "Error reading Component1.Left.Width: Invalid property path";
        QTest::newRow("string for an integer")
            << Record("TBCShapes", "X", StringEntry("Left", "1")) << "Error reading Component1.Left: Invalid property value";
        QTest::newRow("unknown enumeration value")
            << Record("TBCShapes", "X", Ident("Shape", "stTriangle")) << "Error reading Component1.Shape: Invalid property value";
        QTest::newRow("unknown colour name")
            << Record("TBCShapes", "X", Ident("Pen.Color", "clPlaid")) << "Error reading Component1.Pen.Color: Invalid property value";
        QTest::newRow("integer for a boolean")
            << Record("TBCShapes", "X", Int8("Locked", 1)) << "Error reading Component1.Locked: Invalid property value";
        QTest::newRow("unknown set member")
            << Record("TStreamTestObject", "X", Str("Font.Style") + char(11) + Str("fsBlink") + char(0))
            << "Error reading Component1.Font.Style: Invalid property value";
        QTest::newRow("read-only property")
            << Record("TStreamTestObject", "X", Int8("Serial", 1)) << "Error reading Component1.Serial: Property is read-only";
        QTest::newRow("extra data nobody takes")
            << Record("TStreamTestObject", "X", Str("Picture.Pixels") + Bytes({10, 0, 0, 0, 0}))
            << "Error reading Component1.Picture.Pixels: Property does not exist";
        QTest::newRow("string list without a list")
            << Record("TStreamTestObject", "X", StringEntry("Items.Strings", "a"))
            << "Error reading Component1.Items.Strings: Invalid property value";
        QTest::newRow("unknown value type")
            << Record("TBCShapes", "X", Str("Left") + char(15)) << "Error reading Component1.Left: Invalid property value";
        QTest::newRow("string longer than the file")
            << "TPF0" + Str("TBCShapes") + Str("X") + Str("Hint") + Bytes({12, 0xFF, 0xFF, 0xFF, 0x7F}) + "abc"
            << "Error reading Component1.Hint: Stream read error";
        QTest::newRow("cut off in a value")
            << "TPF0" + Str("TBCShapes") + Str("X") + Str("Left") + Bytes({4, 1}) << "Error reading Component1.Left: Stream read error";
        QTest::newRow("cut off in the header") << "TPF0" + Str("TBCShapes") + Bytes({5}) + "Spe" << "Stream read error";
        QTest::newRow("a child record") << "TPF0" + Str("TBCShapes") + Str("X") + Bytes({0}) + Str("TBCShapes") + Str("Y") + Bytes({0, 0, 0})
                                        << "Invalid stream format";
    }
    void errorsLeaveEarlierObjectsWithoutLoaded()
    {
        QFETCH(QByteArray, bad);
        QFETCH(QString, message);
        auto panel = MakePanel();
        const QByteArray stream = char(1) + Record("TBCShapes", "First", Bounds(1, 1, 5, 5)) + bad + Bytes({0});
        QCOMPARE(ReadError(panel.get(), stream), message);
        Flush();
        QCOMPARE(panel->ObjectCount(), 1);
        TGGraphicControl *first = panel->Objects().first();
        QCOMPARE(first->objectName(), QStringLiteral("Component0"));
        QVERIFY(!first->ContextMenu()); // Loaded has not run
        QVERIFY(!first->IsLoading());
        QCOMPARE(panel->findChildren<TGGraphicControl *>().size(), 1); // the bad object is freed
    }

    void listFramingErrors_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("message");
        QTest::newRow("no list") << Bytes({2, 0}) << "not a card file";
        QTest::newRow("empty file") << QByteArray() << "Stream read error";
        QTest::newRow("no list end") << Bytes({1}) << "Stream read error";
        QTest::newRow("record without end") << QByteArray(1, 1) + "TPF0" + Str("TBCShapes") + Str("X") + Int8("Left", 1)
                                            << "Stream read error";
    }
    void listFramingErrors()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, message);
        auto panel = MakePanel();
        QCOMPARE(ReadError(panel.get(), stream), message);
        QCOMPARE(panel->ObjectCount(), 0);
    }

    void deeplyNestedValuesAreRefused()
    {
        auto panel = MakePanel();
        // A collection whose items hold lists in lists far deeper than any card needs.
        QByteArray value = Bytes({14, 1}) + Str("X");
        value += QByteArray(10000, char(1));
        const QByteArray stream = char(1) + Record("TBCShapes", "X", Str("Pen") + value) + char(0);
        QCOMPARE(ReadError(panel.get(), stream), QStringLiteral("Error reading Component0.Pen: Invalid property value"));
        QCOMPARE(panel->ObjectCount(), 0);
    }

    // ---- write, read, write ----

    void everyCardClassSurvivesARoundTrip_data()
    {
        QTest::addColumn<QByteArray>("className");
        // The rich-text label needs the main window's master engine and is
        // covered where that lives.
        for (const char *name : {"TGLineShape", "TGLabelShapes", "TBCShapes", "TGImage", "TGPLabel",
                                 "TGBusinessCardLabel", "TGSymbolLabel", "TGMultiLineLabel", "TSuperShape",
                                 "TGSuperText", "TGPCircleText", "TStreamTestObject"})
            QTest::newRow(name) << QByteArray(name);
    }
    void everyCardClassSurvivesARoundTrip()
    {
        QFETCH(QByteArray, className);
        QVERIFY2(FindCardClass(className), "the class is not registered");
        auto panel = MakePanel();
        TGGraphicControl *object = CreateCardObject(className, panel.get());
        QVERIFY(object);
        object->SetPanel(panel.get());
        object->setObjectName(QStringLiteral("Original"));
        const QByteArray defaults = TComponentWriter::ObjectListToBytes({object});
        ChangeEveryProperty(object, 0);
        // As after creation by a tool: objects that fit themselves to their
        // content do so here, as they will after reading.
        object->Loaded();
        const QByteArray first = TComponentWriter::ObjectListToBytes({object});
        QVERIFY(first.size() > defaults.size());

        // Text objects fit their size to their content when read, which may
        // move it by a pixel once; everything else comes back as written.
        const QByteArray second = SavedAfterReading(first);
        QCOMPARE(WithoutSize(ComponentStreamToText(second)), WithoutSize(ComponentStreamToText(first)));
        if (className == "TGLineShape" || className == "TGLabelShapes" || className == "TBCShapes"
            || className == "TStreamTestObject")
            QCOMPARE(second, first);
        QCOMPARE(SavedAfterReading(second), second);
    }

private:
    // The bytes of a list of objects read into a fresh panel and written again
    // under their old names.
    static QByteArray SavedAfterReading(const QByteArray &bytes)
    {
        auto panel = MakePanel();
        const QList<TGGraphicControl *> read = TComponentReader(bytes).ReadObjectList(panel.get(), panel.get());
        for (TGGraphicControl *object : read)
            object->setObjectName(QStringLiteral("Original"));
        return TComponentWriter::ObjectListToBytes(read);
    }

    static QByteArray WithoutSize(const QByteArray &text)
    {
        QByteArrayList lines = text.split('\n');
        lines.removeIf([](const QByteArray &line) {
            return line.startsWith("  Width = ") || line.startsWith("  Height = ");
        });
        return lines.join('\n');
    }

    // Card enumerations and sets are int-sized.
    static QVariant EnumValue(QMetaType type, int value)
    {
        Q_ASSERT(type.sizeOf() == sizeof(int));
        return QVariant(type, &value);
    }

    // Gives every stored, writable property a value that is not its default.
    static void ChangeEveryProperty(QObject *object, int depth)
    {
        const QMetaObject *meta = object->metaObject();
        for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (!p.isStored())
                continue;
            const QMetaType type = p.metaType();
            if (type.flags().testFlag(QMetaType::PointerToQObject)) {
                if (QObject *nested = p.read(object).value<QObject *>(); nested && depth < 3)
                    ChangeEveryProperty(nested, depth + 1);
                continue;
            }
            if (!p.isWritable())
                continue;
            QVariant value;
            if (type == QMetaType::fromType<TColor>())
                value = QVariant::fromValue(TColor(0x123456 + i));
            else if (type == QMetaType::fromType<TCursor>())
                value = QVariant::fromValue(TCursor(platform::crCross));
            else if (type == QMetaType::fromType<TFontCharset>())
                value = QVariant::fromValue(TFontCharset(238));
            else if (p.isFlagType())
                value = EnumValue(type, p.enumerator().keysToValue("fsBold|fsStrikeOut"));
            else if (p.isEnumType())
                value = EnumValue(type, p.enumerator().value(p.enumerator().keyCount() - 1));
            else if (type.id() == QMetaType::Int)
                value = 7 + i;
            else if (type.id() == QMetaType::Bool)
                value = !p.read(object).toBool();
            else if (type.id() == QMetaType::QString)
                value = QStringLiteral("Value %1 \u00E9'").arg(i);
            else if (type.id() == QMetaType::QStringList)
                value = QStringList({QStringLiteral("a"), QString(), QStringLiteral("c")});
            else if (type.id() == QMetaType::Double || type.id() == QMetaType::Float)
                value = 1.25 + i;
            else if (type.id() == QMetaType::QChar)
                value = QChar(QLatin1Char('#'));
            if (value.isValid())
                p.write(object, value);
        }
    }
};

QTEST_MAIN(TestComponentStream)
#include "tst_componentstream.moc"
