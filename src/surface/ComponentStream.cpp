#include "surface/ComponentStream.h"

#include "platform/AnsiText.h"
#include "platform/CodePages.h"
#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/Screen.h"
#include "surface/ClassRegistry.h"
#include "surface/CardObject.h"
#include "surface/CardPanel.h"

#include <QBuffer>
#include <QIODevice>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <QtEndian>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

EStreamError::EStreamError(const QString &message) : FMessage(message), FUtf8(message.toUtf8()) {}

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
constexpr qsizetype kWriteBufferSize = 1000;
constexpr int kHighestNameNumber = 1000;
// Nested object properties deeper than this are not followed (a property
// pointing back up the object tree would otherwise never end).
constexpr int kMaxNestedObjects = 8;

EStreamError ReadError() { return EStreamError(QStringLiteral("Stream read error")); }
EStreamError WriteError() { return EStreamError(QStringLiteral("Stream write error")); }
EStreamError InvalidValue() { return EStreamError(QStringLiteral("Invalid property value")); }
EStreamError InvalidFormat() { return EStreamError(QStringLiteral("Invalid stream format")); }
EStreamError NoSuchProperty() { return EStreamError(QStringLiteral("Property does not exist")); }
EStreamError InvalidPath() { return EStreamError(QStringLiteral("Invalid property path")); }
EStreamError ReadOnlyProperty() { return EStreamError(QStringLiteral("Property is read-only")); }

// ---- what a property is, for the stream ----

enum class TPropKind {
    Integer, Color, Cursor, Charset, Enumeration, Boolean, Set, Char, String, Float,
    StringList, Object, Unsupported
};

TPropKind KindOf(const QMetaProperty &p)
{
    const QMetaType type = p.metaType();
    if (type == QMetaType::fromType<TColor>())
        return TPropKind::Color;
    if (type == QMetaType::fromType<TCursor>())
        return TPropKind::Cursor;
    if (type == QMetaType::fromType<TFontCharset>())
        return TPropKind::Charset;
    if (p.isFlagType())
        return TPropKind::Set;
    if (p.isEnumType())
        return TPropKind::Enumeration;
    switch (type.id()) {
    case QMetaType::Int: return TPropKind::Integer;
    case QMetaType::Bool: return TPropKind::Boolean;
    case QMetaType::QChar: return TPropKind::Char;
    case QMetaType::QString: return TPropKind::String;
    case QMetaType::Double:
    case QMetaType::Float: return TPropKind::Float;
    case QMetaType::QStringList: return TPropKind::StringList;
    default: break;
    }
    if (type.flags().testFlag(QMetaType::PointerToQObject))
        return TPropKind::Object;
    return TPropKind::Unsupported;
}

// Stream properties are looked up without regard to case, most derived class
// first; QObject's own properties are not part of the stream.
QMetaProperty FindStreamProperty(const QObject *object, const QByteArray &name)
{
    if (name.isEmpty() || name.contains('\0'))
        return {};
    const QMetaObject *meta = object->metaObject();
    const int first = QObject::staticMetaObject.propertyCount();
    const int exact = meta->indexOfProperty(name.constData());
    if (exact >= first)
        return meta->property(exact);
    for (int i = meta->propertyCount() - 1; i >= first; --i)
        if (qstricmp(meta->property(i).name(), name.constData()) == 0)
            return meta->property(i);
    return {};
}

std::optional<QByteArray> ClassInfo(const QObject *object, const char *kind, const char *property)
{
    const QByteArray key = QByteArray(kind) + ':' + property;
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfClassInfo(key.constData());
    if (index < 0)
        return std::nullopt;
    return QByteArray(meta->classInfo(index).value());
}

bool StoresEmpty(const QObject *object, const char *property)
{
    const auto flag = ClassInfo(object, "storeEmpty", property);
    return flag && flag->compare("true", Qt::CaseInsensitive) == 0;
}

// The value of an enumeration key, exact spelling first, then ignoring case.
std::optional<int> EnumValueOf(const QMetaEnum &e, const QByteArray &name)
{
    if (!e.isValid() || name.isEmpty() || name.contains('\0'))
        return std::nullopt;
    for (int i = 0; i < e.keyCount(); ++i)
        if (name == e.key(i))
            return e.value(i);
    for (int i = 0; i < e.keyCount(); ++i)
        if (qstricmp(e.key(i), name.constData()) == 0)
            return e.value(i);
    return std::nullopt;
}

// Enumerations and flags travel as their integer value whatever their size.
int32_t EnumVariantToInt(const QVariant &v)
{
    const void *data = v.constData();
    switch (v.metaType().sizeOf()) {
    case 1: return *static_cast<const int8_t *>(data);
    case 2: return *static_cast<const int16_t *>(data);
    case 4: return *static_cast<const int32_t *>(data);
    case 8: return int32_t(*static_cast<const int64_t *>(data));
    default: return 0;
    }
}

QVariant IntToEnumVariant(QMetaType type, int32_t value)
{
    switch (type.sizeOf()) {
    case 1: {
        const auto v = int8_t(value);
        return QVariant(type, &v);
    }
    case 2: {
        const auto v = int16_t(value);
        return QVariant(type, &v);
    }
    case 4: return QVariant(type, &value);
    case 8: {
        const auto v = int64_t(value);
        return QVariant(type, &v);
    }
    default: throw InvalidValue();
    }
}

std::optional<int32_t> DeclaredDefault(const QObject *object, const QMetaProperty &p, TPropKind kind)
{
    const auto text = ClassInfo(object, "default", p.name());
    if (!text)
        return std::nullopt;
    bool isNumber = false;
    const int number = text->toInt(&isNumber);
    if (isNumber)
        return number;
    const QString ident = QString::fromLatin1(*text);
    switch (kind) {
    case TPropKind::Color: return platform::IdentToColor(ident);
    case TPropKind::Cursor: return platform::IdentToCursor(ident);
    case TPropKind::Charset: return platform::IdentToCharset(ident);
    case TPropKind::Enumeration: return EnumValueOf(p.enumerator(), *text);
    case TPropKind::Set: {
        bool ok = false;
        const int bits = p.enumerator().keysToValue(text->constData(), &ok);
        return ok ? std::optional<int32_t>(bits) : std::nullopt;
    }
    case TPropKind::Boolean:
        if (ident.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return 1;
        if (ident.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return 0;
        return std::nullopt;
    default: return std::nullopt;
    }
}

int32_t OrdinalOf(const QObject *object, const QMetaProperty &p, TPropKind kind)
{
    const QVariant v = p.read(object);
    switch (kind) {
    case TPropKind::Color: return v.value<TColor>().value;
    case TPropKind::Cursor: return v.value<TCursor>().value;
    case TPropKind::Charset: return v.value<TFontCharset>().value;
    case TPropKind::Enumeration:
    case TPropKind::Set: return EnumVariantToInt(v);
    case TPropKind::Boolean: return v.toBool() ? 1 : 0;
    case TPropKind::Char: return v.toChar().unicode();
    default: return v.toInt();
    }
}

// Set members are bit positions, lowest first.
QList<QByteArray> SetMemberNames(const QMetaEnum &e, int32_t bits)
{
    QList<QByteArray> names;
    for (int bit = 0; bit < 32; ++bit) {
        const auto mask = int32_t(uint32_t(1) << bit);
        if (!(bits & mask))
            continue;
        if (const char *key = e.valueToKey(mask))
            names.append(key);
    }
    return names;
}

// An integer, or an identifier naming a registered constant.
template <typename IdentToValue>
int32_t ReadIntegerOrIdent(TComponentReader &reader, IdentToValue identToValue)
{
    const TValueType type = reader.ReadValueType();
    if (type != vaIdent)
        return reader.ReadIntegerBody(type);
    const auto value = identToValue(QString::fromLatin1(reader.ReadStr()));
    if (!value)
        throw InvalidValue();
    return *value;
}

} // namespace

// ---- 80-bit extended floats ----

TExtendedBytes DoubleToExtended(double value)
{
    uint16_t signExponent = std::signbit(value) ? 0x8000 : 0;
    uint64_t mantissa = 0;
    if (std::isnan(value)) {
        signExponent |= 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        signExponent |= 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (value != 0) {
        int exponent = 0;
        const double fraction = std::frexp(std::fabs(value), &exponent); // in [0.5, 1)
        mantissa = uint64_t(std::ldexp(fraction, 64));                   // integer bit on top
        signExponent |= uint16_t(exponent + 16382);
    }
    TExtendedBytes bytes{};
    for (int i = 0; i < 8; ++i)
        bytes[i] = uint8_t(mantissa >> (8 * i));
    bytes[8] = uint8_t(signExponent);
    bytes[9] = uint8_t(signExponent >> 8);
    return bytes;
}

double ExtendedToDouble(const TExtendedBytes &bytes)
{
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | bytes[i];
    const int signExponent = bytes[8] | (bytes[9] << 8);
    const double sign = (signExponent & 0x8000) ? -1.0 : 1.0;
    const int biased = signExponent & 0x7FFF;
    if (biased == 0x7FFF) {
        if ((mantissa << 1) == 0)
            return sign * std::numeric_limits<double>::infinity();
        return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
    }
    if (mantissa == 0)
        return sign * 0.0;
    // value = mantissa * 2^exponent; denormals share the exponent of biased 1.
    int exponent = (biased == 0 ? 1 : biased) - 16383 - 63;
    const int normalise = std::countl_zero(mantissa);
    mantissa <<= normalise;
    exponent -= normalise;
    const int top = exponent + 63; // the value lies in [2^top, 2^(top + 1))
    if (top > 1023)
        return sign * std::numeric_limits<double>::infinity();
    int keep = 53; // mantissa bits the double can hold here
    if (top < -1022)
        keep -= -1022 - top;
    if (keep <= 0) {
        // At most half the smallest subnormal: ties go to the even zero.
        if (keep == 0 && mantissa > (uint64_t(1) << 63))
            return sign * std::ldexp(1.0, -1074);
        return sign * 0.0;
    }
    const int drop = 64 - keep;
    uint64_t kept = mantissa >> drop;
    const uint64_t rest = mantissa & ((uint64_t(1) << drop) - 1);
    const uint64_t half = uint64_t(1) << (drop - 1);
    if (rest > half || (rest == half && (kept & 1)))
        ++kept;
    return sign * std::ldexp(double(kept), exponent + drop);
}

// ---- writer ----

TComponentWriter::TComponentWriter(QIODevice *device) : FDevice(device) {}

QByteArray TComponentWriter::ObjectListToBytes(const QList<TGGraphicControl *> &objects)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TComponentWriter(&buffer).WriteObjectList(objects);
    return bytes;
}

void TComponentWriter::WriteObjectList(const QList<TGGraphicControl *> &objects)
{
    WriteListBegin();
    for (const TGGraphicControl *object : objects)
        WriteComponent(object);
    WriteListEnd();
    FlushBuffer();
}

void TComponentWriter::WriteComponent(const QObject *object)
{
    WriteBytes(kSignature, sizeof kSignature);
    WriteShortString(object->metaObject()->className());
    WriteShortString(platform::StringToAnsi(object->objectName()).left(255));
    FPrefix.clear();
    FCodePage = 0;
    if (const auto *font = qobject_cast<const TFont *>(object->property("Font").value<QObject *>()))
        FCodePage = platform::CodePageOfCharset(font->Charset().value);
    WriteProperties(object, 0);
    WriteListEnd(); // end of properties
    WriteListEnd(); // end of the (empty) list of children
}

void TComponentWriter::WriteProperties(const QObject *object, int depth)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (p.isStored() && p.isReadable())
            WriteProperty(object, p, depth);
    }
    if (const auto *extra = dynamic_cast<const IStreamExtraData *>(object))
        extra->WriteExtraData(*this);
}

void TComponentWriter::WriteProperty(const QObject *object, const QMetaProperty &p, int depth)
{
    const TPropKind kind = KindOf(p);
    const QByteArray name = p.name();
    if (kind == TPropKind::Object) {
        if (const QObject *nested = p.read(object).value<QObject *>())
            WriteNestedObject(nested, name, depth);
        return;
    }
    if (!p.isWritable())
        return; // the reader could not set it back
    switch (kind) {
    case TPropKind::Float: {
        const double value = p.read(object).toDouble();
        if (value == 0)
            return;
        WritePropName(name);
        WriteFloat(value);
        return;
    }
    case TPropKind::String: {
        const QString value = p.read(object).toString();
        if (value.isEmpty() && !StoresEmpty(object, p.name()))
            return;
        WritePropName(name);
        WriteString(value);
        return;
    }
    case TPropKind::StringList: {
        const QStringList lines = p.read(object).toStringList();
        if (lines.isEmpty())
            return;
        WritePropName(name + ".Strings");
        WriteListBegin();
        for (const QString &line : lines)
            WriteString(line);
        WriteListEnd();
        return;
    }
    case TPropKind::Unsupported:
        throw EStreamError(QStringLiteral("Property %1.%2 has a type the card file cannot hold")
                               .arg(QString::fromLatin1(object->metaObject()->className()),
                                    QString::fromLatin1(name)));
    default: break;
    }

    // Ordinal properties: left out when equal to their declared default.
    const int32_t value = OrdinalOf(object, p, kind);
    if (const auto byDefault = DeclaredDefault(object, p, kind); byDefault && *byDefault == value)
        return;
    const auto writeNamedOrInteger = [&](const std::optional<QString> &ident) {
        WritePropName(name);
        if (ident)
            WriteIdent(ident->toLatin1());
        else
            WriteInteger(value);
    };
    switch (kind) {
    case TPropKind::Integer:
        WritePropName(name);
        WriteInteger(value);
        break;
    case TPropKind::Color: writeNamedOrInteger(platform::ColorToIdent(value)); break;
    case TPropKind::Cursor: writeNamedOrInteger(platform::CursorToIdent(value)); break;
    case TPropKind::Charset: writeNamedOrInteger(platform::CharsetToIdent(value)); break;
    case TPropKind::Enumeration:
        // A value without a name could not be read back; it is left out.
        if (const char *key = p.enumerator().valueToKey(value)) {
            WritePropName(name);
            WriteIdent(key);
        }
        break;
    case TPropKind::Boolean:
        WritePropName(name);
        WriteBoolean(value != 0);
        break;
    case TPropKind::Set:
        WritePropName(name);
        WriteSet(SetMemberNames(p.enumerator(), value));
        break;
    case TPropKind::Char:
        WritePropName(name);
        WriteValueType(vaString);
        WriteShortString(platform::StringToAnsi(QString(QChar(char16_t(value)))));
        break;
    default: break;
    }
}

void TComponentWriter::WriteNestedObject(const QObject *nested, const QByteArray &name, int depth)
{
    if (depth >= kMaxNestedObjects)
        return;
    const QByteArray outerPrefix = FPrefix;
    FPrefix += name + '.';
    WriteProperties(nested, depth + 1);
    FPrefix = outerPrefix;
}

void TComponentWriter::WritePropName(const QByteArray &name) { WriteShortString(FPrefix + name); }

void TComponentWriter::WriteInteger(int32_t value)
{
    if (value >= -128 && value <= 127) {
        WriteValueType(vaInt8);
        WriteByte(uint8_t(int8_t(value)));
    } else if (value >= -32768 && value <= 32767) {
        WriteValueType(vaInt16);
        const auto v = qToLittleEndian(int16_t(value));
        WriteBytes(reinterpret_cast<const char *>(&v), 2);
    } else {
        WriteValueType(vaInt32);
        WriteInt32(value);
    }
}

void TComponentWriter::WriteFloat(double value)
{
    WriteValueType(vaExtended);
    const TExtendedBytes bytes = DoubleToExtended(value);
    WriteBytes(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// Text that the object's code page holds keeps the single-byte form every
// reader knows; any other text is written whole as a wide string rather than
// lose its characters to '?'.
void TComponentWriter::WriteString(const QString &value)
{
    QByteArray bytes;
    if (FPrefix.isEmpty() && FCodePage != 0) {
        const std::optional<QByteArray> encoded = platform::EncodeCodePage(value, FCodePage);
        if (!encoded) {
            WriteWideString(value);
            return;
        }
        bytes = *encoded;
    } else {
        if (!platform::AnsiHolds(value)) {
            WriteWideString(value);
            return;
        }
        bytes = platform::StringToAnsi(value);
    }
    if (bytes.size() < 256) {
        WriteValueType(vaString);
        WriteShortString(bytes);
    } else {
        WriteValueType(vaLString);
        WriteInt32(int32_t(bytes.size()));
        WriteBytes(bytes.constData(), bytes.size());
    }
}

void TComponentWriter::WriteWideString(const QString &value)
{
    WriteValueType(vaWString);
    WriteInt32(int32_t(value.size()));
    for (const QChar c : value) {
        const auto unit = qToLittleEndian(uint16_t(c.unicode()));
        WriteBytes(reinterpret_cast<const char *>(&unit), 2);
    }
}

void TComponentWriter::WriteIdent(const QByteArray &ident)
{
    if (ident.compare("False", Qt::CaseInsensitive) == 0) {
        WriteValueType(vaFalse);
    } else if (ident.compare("True", Qt::CaseInsensitive) == 0) {
        WriteValueType(vaTrue);
    } else if (ident.compare("nil", Qt::CaseInsensitive) == 0) {
        WriteValueType(vaNil);
    } else {
        WriteValueType(vaIdent);
        WriteShortString(ident);
    }
}

void TComponentWriter::WriteBoolean(bool value) { WriteValueType(value ? vaTrue : vaFalse); }

void TComponentWriter::WriteBinary(const QByteArray &bytes)
{
    WriteValueType(vaBinary);
    WriteInt32(int32_t(bytes.size()));
    WriteBytes(bytes.constData(), bytes.size());
}

void TComponentWriter::WriteSet(const QList<QByteArray> &members)
{
    WriteValueType(vaSet);
    for (const QByteArray &member : members)
        WriteShortString(member);
    WriteShortString(QByteArray());
}

void TComponentWriter::WriteListBegin() { WriteValueType(vaList); }

void TComponentWriter::WriteListEnd() { WriteValueType(vaNull); }

void TComponentWriter::WriteShortString(const QByteArray &bytes)
{
    if (bytes.size() > 255)
        throw EStreamError(QStringLiteral("Name too long for the card file: %1").arg(QString::fromLatin1(bytes)));
    WriteByte(uint8_t(bytes.size()));
    WriteBytes(bytes.constData(), bytes.size());
}

void TComponentWriter::WriteInt32(int32_t value)
{
    const auto v = qToLittleEndian(value);
    WriteBytes(reinterpret_cast<const char *>(&v), 4);
}

void TComponentWriter::WriteByte(uint8_t b)
{
    const char c = char(b);
    WriteBytes(&c, 1);
}

void TComponentWriter::WriteBytes(const char *data, qsizetype size)
{
    // A picture's megabytes go to the device as they are, not through the buffer.
    if (size >= kWriteBufferSize) {
        FlushBuffer();
        if (!FDevice || FDevice->write(data, size) != size)
            throw WriteError();
        return;
    }
    FBuffer.append(data, size);
    if (FBuffer.size() >= kWriteBufferSize)
        FlushBuffer();
}

void TComponentWriter::FlushBuffer()
{
    if (FBuffer.isEmpty())
        return;
    if (!FDevice || FDevice->write(FBuffer) != FBuffer.size())
        throw WriteError();
    FBuffer.clear();
}

// ---- reader: values ----

TComponentReader::TComponentReader(QByteArray data) : FData(std::move(data)) {}

TComponentReader::TComponentReader(QIODevice *device) : FData(device->readAll()) {}

uint8_t TComponentReader::ReadByte()
{
    if (FPos >= FData.size())
        throw ReadError();
    return uint8_t(FData[FPos++]);
}

const char *TComponentReader::ReadBytes(qsizetype count)
{
    if (count < 0 || count > Remaining())
        throw ReadError();
    const char *bytes = FData.constData() + FPos;
    FPos += count;
    return bytes;
}

// A 4-byte length, checked against the bytes that are left before anything
// is allocated for it.
int32_t TComponentReader::ReadLength()
{
    const int32_t length = qFromLittleEndian<int32_t>(ReadBytes(4));
    if (length < 0)
        throw InvalidValue();
    if (length > Remaining())
        throw ReadError();
    return length;
}

TValueType TComponentReader::ReadValueType() { return TValueType(ReadByte()); }

TValueType TComponentReader::NextValue() const
{
    if (FPos >= FData.size())
        throw ReadError();
    return TValueType(uint8_t(FData[FPos]));
}

bool TComponentReader::EndOfList() const { return NextValue() == vaNull; }

void TComponentReader::ReadListBegin()
{
    // Every card file begins with its list of objects; a file that does not
    // is some other kind of file, and saying so helps more than naming a value.
    const bool atStart = Position() == 0;
    if (ReadValueType() != vaList)
        throw atStart ? EStreamError(QStringLiteral("not a card file")) : InvalidValue();
}

void TComponentReader::ReadListEnd()
{
    if (ReadValueType() != vaNull)
        throw InvalidValue();
}

void TComponentReader::ReadSignature()
{
    if (std::memcmp(ReadBytes(sizeof kSignature), kSignature, sizeof kSignature) != 0)
        throw InvalidFormat();
}

TComponentReader::TRecordPrefix TComponentReader::ReadPrefix()
{
    TRecordPrefix prefix;
    if ((NextValue() & 0xF0) == 0xF0) {
        prefix.flags = ReadByte() & 0x0F;
        if (prefix.flags & 2)
            prefix.childPosition = ReadInteger();
    }
    return prefix;
}

QByteArray TComponentReader::ReadStr()
{
    const int length = ReadByte();
    return QByteArray(ReadBytes(length), length);
}

int32_t TComponentReader::ReadIntegerBody(TValueType type)
{
    switch (type) {
    case vaInt8: return int8_t(ReadByte());
    case vaInt16: return qFromLittleEndian<int16_t>(ReadBytes(2));
    case vaInt32: return qFromLittleEndian<int32_t>(ReadBytes(4));
    default: throw InvalidValue();
    }
}

int32_t TComponentReader::ReadInteger() { return ReadIntegerBody(ReadValueType()); }

double TComponentReader::ReadFloatBody()
{
    TExtendedBytes bytes;
    std::memcpy(bytes.data(), ReadBytes(qsizetype(bytes.size())), bytes.size());
    return ExtendedToDouble(bytes);
}

double TComponentReader::ReadFloat()
{
    const TValueType type = ReadValueType();
    if (type == vaExtended)
        return ReadFloatBody();
    return ReadIntegerBody(type);
}

QByteArray TComponentReader::ReadStringBody(TValueType type)
{
    switch (type) {
    case vaString: return ReadStr();
    case vaLString: {
        const int32_t length = ReadLength();
        return QByteArray(ReadBytes(length), length);
    }
    default: throw InvalidValue();
    }
}

QByteArray TComponentReader::ReadStringBytes() { return ReadStringBody(ReadValueType()); }

QString TComponentReader::ReadString() { return ReadStringText(ReadValueType()); }

QString TComponentReader::ReadStringText(TValueType type)
{
    switch (type) {
    case vaString:
    case vaLString: return platform::AnsiToString(ReadStringBody(type));
    case vaWString: {
        const int32_t units = qFromLittleEndian<int32_t>(ReadBytes(4));
        if (units < 0)
            throw InvalidValue();
        if (qint64(units) * 2 > Remaining())
            throw ReadError();
        const char *data = ReadBytes(qsizetype(units) * 2);
        QString text(units, Qt::Uninitialized);
        for (int32_t i = 0; i < units; ++i)
            text[i] = QChar(qFromLittleEndian<uint16_t>(data + 2 * i));
        return text;
    }
    case vaUTF8String: {
        const int32_t length = ReadLength();
        return QString::fromUtf8(ReadBytes(length), length);
    }
    default: throw InvalidValue();
    }
}

QByteArray TComponentReader::ReadIdent()
{
    switch (ReadValueType()) {
    case vaIdent: return ReadStr();
    case vaFalse: return QByteArrayLiteral("False");
    case vaTrue: return QByteArrayLiteral("True");
    case vaNil: return QByteArrayLiteral("nil");
    default: throw InvalidValue();
    }
}

bool TComponentReader::ReadBoolean()
{
    const QByteArray ident = ReadIdent();
    if (ident.compare("True", Qt::CaseInsensitive) == 0)
        return true;
    if (ident.compare("False", Qt::CaseInsensitive) == 0)
        return false;
    throw InvalidValue();
}

QByteArray TComponentReader::ReadBinaryBody()
{
    const int32_t length = ReadLength();
    return QByteArray(ReadBytes(length), length);
}

QByteArray TComponentReader::ReadBinary()
{
    if (ReadValueType() != vaBinary)
        throw InvalidValue();
    return ReadBinaryBody();
}

QList<QByteArray> TComponentReader::ReadSetBody()
{
    QList<QByteArray> members;
    for (QByteArray member = ReadStr(); !member.isEmpty(); member = ReadStr())
        members.append(member);
    return members;
}

QList<QByteArray> TComponentReader::ReadSetMembers()
{
    if (ReadValueType() != vaSet)
        throw InvalidValue();
    return ReadSetBody();
}

void TComponentReader::SkipValue() { SkipValue(0); }

void TComponentReader::SkipValue(int depth)
{
    if (depth > kMaxNesting)
        throw InvalidValue();
    const TValueType type = ReadValueType();
    switch (type) {
    case vaList:
        while (!EndOfList())
            SkipValue(depth + 1);
        ReadListEnd();
        return;
    case vaInt8:
    case vaInt16:
    case vaInt32: ReadIntegerBody(type); return;
    case vaExtended: ReadFloatBody(); return;
    case vaString:
    case vaIdent: ReadStr(); return;
    case vaFalse:
    case vaTrue:
    case vaNil: return;
    case vaBinary:
    case vaLString: ReadBytes(ReadLength()); return;
    case vaWString:
    case vaUTF8String: ReadStringText(type); return;
    case vaSet: ReadSetBody(); return;
    case vaCollection: SkipCollectionBody(depth + 1); return;
    default: throw InvalidValue();
    }
}

// Collection items: an optional integer index, then a list of property
// entries ended by 0; after the last item a 0.
void TComponentReader::SkipCollectionBody(int depth)
{
    if (depth > kMaxNesting)
        throw InvalidValue();
    while (!EndOfList()) {
        const TValueType next = NextValue();
        if (next == vaInt8 || next == vaInt16 || next == vaInt32)
            ReadInteger();
        ReadListBegin();
        while (!EndOfList()) {
            ReadStr();
            SkipValue(depth + 1);
        }
        ReadListEnd();
    }
    ReadListEnd();
}

// ---- reader: objects ----

QList<TGGraphicControl *> TComponentReader::ReadObjectList(QObject *owner, TGBasePanel *panel,
                                                           const TObjectStep &perObject)
{
    FOwner = owner;
    FPanel = panel;
    CollectTakenNames();
    QList<TGGraphicControl *> read;
    const auto endLoading = [&read] {
        for (TGGraphicControl *object : read)
            object->SetLoading(false);
    };
    try {
        ReadListBegin();
        while (!EndOfList()) {
            ReadSignature();
            bool isNew = false;
            TGGraphicControl *object = ReadObjectRecord(isNew);
            if (isNew)
                read.append(object);
            if (perObject)
                perObject(object);
        }
        ReadListEnd();
    } catch (...) {
        endLoading();
        throw;
    }
    endLoading();
    // The bounds read are the object's own: its first move is a change.
    for (TGGraphicControl *object : read)
        object->RememberBounds();
    for (TGGraphicControl *object : read)
        object->Loaded();
    return read;
}

TGGraphicControl *TComponentReader::ReadObjectRecord(bool &isNew)
{
    const TRecordPrefix prefix = ReadPrefix();
    const QByteArray className = ReadStr();
    const QString nameInFile = platform::AnsiToString(ReadStr());
    // Flag 1 updates an object that is already there instead of creating one.
    const bool updatesExisting = prefix.flags & 1;
    isNew = !updatesExisting;
    TGGraphicControl *object = nullptr;
    if (updatesExisting) {
        object = FindExistingObject(nameInFile);
        if (!object)
            throw EStreamError(QStringLiteral("Ancestor for '%1' not found").arg(nameInFile));
    } else {
        object = CreateCardObject(className, FOwner);
        if (!object)
            throw EStreamError(QStringLiteral("Class %1 not found").arg(QString::fromLatin1(className)));
        object->SetPanel(FPanel);
        object->setObjectName(NewObjectName(nameInFile));
    }
    object->SetLoading(true);
    FRecordObject = object;
    FSingleByteStrings.clear();
    try {
        while (!EndOfList())
            ReadProperty(object);
        ReadListEnd();
        DecodeInFontCodePage(object);
        FRecordObject = nullptr;
        // Card objects hold no child records.
        if (!EndOfList())
            throw InvalidFormat();
        ReadListEnd();
    } catch (...) {
        FRecordObject = nullptr;
        if (updatesExisting)
            object->SetLoading(false);
        else
            delete object;
        throw;
    }
    if (updatesExisting)
        object->SetLoading(false);
    return object;
}

TGGraphicControl *TComponentReader::FindExistingObject(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    if (FPanel)
        for (TGGraphicControl *object : FPanel->Objects())
            if (object->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return object;
    if (FOwner)
        for (QObject *child : FOwner->children())
            if (auto *object = qobject_cast<TGGraphicControl *>(child))
                if (object->objectName().compare(name, Qt::CaseInsensitive) == 0)
                    return object;
    return nullptr;
}

void TComponentReader::CollectTakenNames()
{
    FTakenNames.clear();
    FNextNameNumber = 0;
    const auto take = [this](const QObject *object) {
        if (!object->objectName().isEmpty())
            FTakenNames.insert(object->objectName().toLower());
    };
    if (FPanel)
        for (const TGGraphicControl *object : FPanel->Objects())
            take(object);
    if (FOwner)
        for (const QObject *child : FOwner->children())
            if (qobject_cast<const TGGraphicControl *>(child))
                take(child);
}

// Names in the file never matter: every object read is named "Component" with
// the lowest number no card object of the owner or the panel uses yet.
QString TComponentReader::NewObjectName(const QString &nameInFile)
{
    for (; FNextNameNumber <= kHighestNameNumber; ++FNextNameNumber) {
        const QString name = QStringLiteral("Component") + QString::number(FNextNameNumber);
        if (!FTakenNames.contains(name.toLower())) {
            FTakenNames.insert(name.toLower());
            ++FNextNameNumber;
            return name;
        }
    }
    return nameInFile;
}

void TComponentReader::ReadProperty(QObject *object)
{
    const QByteArray path = ReadStr();
    try {
        ReadPropertyPath(object, path);
    } catch (const EStreamError &e) {
        QString who = object->objectName();
        if (who.isEmpty())
            who = QString::fromLatin1(object->metaObject()->className());
        throw EStreamError(QStringLiteral("Error reading %1.%2: %3").arg(who, platform::AnsiToString(path), e.Message()));
    }
}

// "Font.Name": every part before the last names a property holding an object;
// "Items.Strings" is the lines of a string-list property.
void TComponentReader::ReadPropertyPath(QObject *object, const QByteArray &path)
{
    const QList<QByteArray> parts = path.split('.');
    QObject *instance = object;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QMetaProperty p = FindStreamProperty(instance, parts[i]);
        if (!p.isValid())
            throw NoSuchProperty();
        const TPropKind kind = KindOf(p);
        if (kind == TPropKind::StringList && i + 2 == parts.size()) {
            if (parts.last().compare("Strings", Qt::CaseInsensitive) != 0)
                throw NoSuchProperty();
            ReadStringList(instance, p);
            return;
        }
        if (kind != TPropKind::Object)
            throw InvalidPath();
        QObject *nested = p.read(instance).value<QObject *>();
        if (!nested)
            throw InvalidPath();
        instance = nested;
    }
    const QByteArray &name = parts.last();
    const QMetaProperty p = FindStreamProperty(instance, name);
    if (p.isValid()) {
        ReadPropertyValue(instance, p);
        return;
    }
    if (auto *extra = dynamic_cast<IStreamExtraData *>(instance); extra && extra->ReadExtraData(name, *this))
        return;
    throw NoSuchProperty();
}

void TComponentReader::ReadPropertyValue(QObject *instance, const QMetaProperty &p)
{
    const TPropKind kind = KindOf(p);
    if (kind == TPropKind::Object || kind == TPropKind::StringList) {
        SkipObjectValue();
        return;
    }
    if (!p.isWritable())
        throw ReadOnlyProperty();
    QVariant value;
    switch (kind) {
    case TPropKind::Integer: value = ReadInteger(); break;
    case TPropKind::Color:
        value = QVariant::fromValue(TColor(ReadIntegerOrIdent(*this, platform::IdentToColor)));
        break;
    case TPropKind::Cursor:
        value = QVariant::fromValue(TCursor(ReadIntegerOrIdent(*this, platform::IdentToCursor)));
        break;
    case TPropKind::Charset:
        value = QVariant::fromValue(TFontCharset(ReadIntegerOrIdent(*this, platform::IdentToCharset)));
        break;
    case TPropKind::Enumeration: {
        const auto v = EnumValueOf(p.enumerator(), ReadIdent());
        if (!v)
            throw InvalidValue();
        value = IntToEnumVariant(p.metaType(), *v);
        break;
    }
    case TPropKind::Boolean: value = ReadBoolean(); break;
    case TPropKind::Set: {
        int32_t bits = 0;
        for (const QByteArray &member : ReadSetMembers()) {
            const auto v = EnumValueOf(p.enumerator(), member);
            if (!v)
                throw InvalidValue();
            bits |= *v;
        }
        value = IntToEnumVariant(p.metaType(), bits);
        break;
    }
    case TPropKind::Char: {
        if (ReadValueType() != vaString)
            throw InvalidValue();
        const QByteArray one = ReadStr();
        if (one.size() != 1)
            throw InvalidValue();
        value = platform::AnsiToString(one).at(0);
        break;
    }
    case TPropKind::String: value = ReadRecordString(instance, p.name(), 0); break;
    case TPropKind::Float: {
        const double v = ReadFloat();
        if (p.metaType().id() == QMetaType::Float) {
            // Beyond the single range the conversion is undefined: clamp to infinity.
            float f = float(0);
            if (std::isfinite(v) && std::fabs(v) > FLT_MAX)
                f = v > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
            else
                f = float(v);
            value = f;
        } else {
            value = v;
        }
        break;
    }
    default: throw InvalidValue();
    }
    if (!p.write(instance, value))
        throw InvalidValue();
}

// A whole nested object or string list named without a dot: nil, a reference
// by name or a collection; none of them changes a card object.
void TComponentReader::SkipObjectValue()
{
    switch (NextValue()) {
    case vaNil:
    case vaIdent:
    case vaCollection: SkipValue(); return;
    default: throw InvalidValue();
    }
}

void TComponentReader::ReadStringList(QObject *instance, const QMetaProperty &p)
{
    if (!p.isWritable())
        throw ReadOnlyProperty();
    ReadListBegin();
    QStringList lines;
    while (!EndOfList())
        lines.append(ReadRecordString(instance, p.name(), int(lines.size())));
    ReadListEnd();
    if (!p.write(instance, lines))
        throw InvalidValue();
}

QString TComponentReader::ReadRecordString(QObject *instance, const QByteArray &name, int index)
{
    const TValueType type = ReadValueType();
    if (!IsStringType(type))
        throw InvalidValue();
    if (instance == FRecordObject && (type == vaString || type == vaLString))
        FSingleByteStrings[name].append(index);
    return ReadStringText(type);
}

// The single bytes were read as code page 1252, which gives every byte a
// character of its own, so the bytes come back unchanged for the font's code
// page. Bytes that code page does not define keep their first reading.
void TComponentReader::DecodeInFontCodePage(QObject *object)
{
    const auto *font = qobject_cast<const TFont *>(object->property("Font").value<QObject *>());
    const int codePage = font ? platform::CodePageOfCharset(font->Charset().value) : 0;
    if (codePage == 0)
        return;
    const auto decoded = [codePage](const QString &text) {
        return platform::DecodeCodePage(platform::StringToAnsi(text), codePage).value_or(text);
    };
    for (auto it = FSingleByteStrings.cbegin(); it != FSingleByteStrings.cend(); ++it) {
        const QMetaProperty p = FindStreamProperty(object, it.key());
        if (KindOf(p) == TPropKind::String) {
            p.write(object, decoded(p.read(object).toString()));
        } else if (KindOf(p) == TPropKind::StringList) {
            QStringList lines = p.read(object).toStringList();
            for (const int i : it.value())
                if (i < lines.size())
                    lines[i] = decoded(lines[i]);
            p.write(object, lines);
        }
    }
}
