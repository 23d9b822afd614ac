// The component stream: the byte format shared by card files, the clipboard
// file and the in-memory copy made by Clone. The writer turns the published
// (Q_PROPERTY) properties of any object into a self-describing record; the
// reader builds objects of the registered card classes back from such records.
// No card object needs streaming code of its own.
//
// How properties are declared for the stream:
// - stored properties are the Q_PROPERTYs in meta-object order (ancestor
//   first), QObject's own excepted; STORED false keeps one out of the file;
// - Q_CLASSINFO("default:<Prop>", "<value>") declares a default (an integer or
//   a value name); a property equal to it is not written, a property without
//   one always is; floats are left out when 0, strings when empty unless the
//   class carries Q_CLASSINFO("storeEmpty:<Prop>", "true");
// - a property holding a QObject pointer is written as dotted entries of the
//   nested object's own properties ("Pen.Width"), a QStringList property X as
//   the entry "X.Strings".
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>

class QIODevice;
class QObject;
class QMetaProperty;
class TGGraphicControl;
class TGBasePanel;

// The failure of a stream operation; Message() is the text shown to the user.
class EStreamError : public std::exception
{
public:
    explicit EStreamError(const QString &message);
    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// The type byte in front of every value.
enum TValueType : uint8_t {
    vaNull = 0, // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaWString = 18, // UTF-16: text the single-byte code page cannot hold
    vaUTF8String = 20,
};

// Floating-point values are stored as 80-bit extended precision, little-endian.
using TExtendedBytes = std::array<uint8_t, 10>;
// Exact: every double has an extended representation.
TExtendedBytes DoubleToExtended(double value);
// Rounded to the nearest double (ties to even); out of range gives infinity.
double ExtendedToDouble(const TExtendedBytes &bytes);

class TComponentWriter;
class TComponentReader;

// Implemented by an object that stores data beyond its published properties
// (a picture's image as "Picture.Data"). Its entries follow its properties;
// nested objects' entries carry the dotted prefix automatically.
class IStreamExtraData
{
public:
    virtual ~IStreamExtraData() = default;
    // Writes each entry as WritePropName(name) followed by one value.
    virtual void WriteExtraData(TComponentWriter &writer) const = 0;
    // Reads the value of the entry `name` (the part after the last dot) and
    // returns true; returns false without reading when the name is not its own.
    virtual bool ReadExtraData(const QByteArray &name, TComponentReader &reader) = 0;
};

class TComponentWriter
{
public:
    // Bytes are buffered and reach the device on FlushBuffer (and whenever the
    // buffer is full); a failed device write raises "Stream write error".
    explicit TComponentWriter(QIODevice *device);

    // A list of object records: 1, the records, 0; then flushes.
    void WriteObjectList(const QList<TGGraphicControl *> &objects);
    // One object record, signature first.
    void WriteComponent(const QObject *object);
    void FlushBuffer();

    // The list of objects as bytes (Clone's memory copy, tests).
    static QByteArray ObjectListToBytes(const QList<TGGraphicControl *> &objects);

    // ---- values, for objects writing their own extra data ----
    // The entry name with the prefix of the nested object being written.
    void WritePropName(const QByteArray &name);
    void WriteInteger(int32_t value);
    void WriteFloat(double value);
    void WriteString(const QString &value);
    void WriteIdent(const QByteArray &ident);
    void WriteBoolean(bool value);
    void WriteBinary(const QByteArray &bytes);
    void WriteSet(const QList<QByteArray> &members);
    void WriteListBegin();
    void WriteListEnd();

private:
    void WriteProperties(const QObject *object, int depth);
    void WriteProperty(const QObject *object, const QMetaProperty &property, int depth);
    void WriteNestedObject(const QObject *nested, const QByteArray &name, int depth);
    void WriteShortString(const QByteArray &bytes);
    void WriteValueType(TValueType type) { WriteByte(type); }
    void WriteByte(uint8_t b);
    void WriteBytes(const char *data, qsizetype size);
    void WriteInt32(int32_t value);

    QIODevice *FDevice;
    QByteArray FBuffer;
    QByteArray FPrefix; // "Font." while a nested font is written
};

class TComponentReader
{
public:
    explicit TComponentReader(QByteArray data);
    // Takes the device's remaining bytes.
    explicit TComponentReader(QIODevice *device);

    // Runs after each object record has been read (the paste offset).
    using TObjectStep = std::function<void(TGGraphicControl *)>;

    // Reads a list of card object records. New objects are owned by owner,
    // placed on panel and renamed "Component" + the lowest free number; once
    // the whole list is read every new object runs Loaded, in reading order.
    // On an error the object being read is freed and the error propagates;
    // objects read before it stay on the panel without having run Loaded.
    QList<TGGraphicControl *> ReadObjectList(QObject *owner, TGBasePanel *panel,
                                             const TObjectStep &perObject = {});

    // ---- values, for objects reading their own extra data and the text form ----
    TValueType ReadValueType();
    TValueType NextValue() const;
    // Whether the next byte ends a list (raises "Stream read error" at the end).
    bool EndOfList() const;
    void ReadListBegin();
    void ReadListEnd();
    void ReadSignature();
    // The optional prefix of a record: its flags and child position.
    struct TRecordPrefix {
        int flags = 0;
        std::optional<int32_t> childPosition;
    };
    TRecordPrefix ReadPrefix();
    // A short string's bytes (length byte, characters).
    QByteArray ReadStr();
    int32_t ReadInteger();
    double ReadFloat();
    QString ReadString();
    // A string's bytes as stored (types 6 and 12).
    QByteArray ReadStringBytes();
    // An identifier; false, true and nil come back as "False", "True", "nil".
    QByteArray ReadIdent();
    bool ReadBoolean();
    QByteArray ReadBinary();
    QList<QByteArray> ReadSetMembers();
    // Payloads after a type byte already read.
    int32_t ReadIntegerBody(TValueType type);
    double ReadFloatBody();
    QByteArray ReadStringBody(TValueType type);
    // The text of a vaWString or vaUTF8String value (after its type byte).
    QString ReadWideStringBody(TValueType type);
    QByteArray ReadBinaryBody();
    QList<QByteArray> ReadSetBody();
    void SkipValue();

    qsizetype Position() const { return FPos; }
    qsizetype Remaining() const { return FData.size() - FPos; }

    // Lists inside lists, collections and records nest no deeper than this.
    static constexpr int kMaxNesting = 32;

private:
    TGGraphicControl *ReadObjectRecord(bool &isNew);
    TGGraphicControl *FindExistingObject(const QString &name) const;
    void CollectTakenNames();
    QString NewObjectName(const QString &nameInFile);
    void ReadProperty(QObject *object);
    void ReadPropertyPath(QObject *object, const QByteArray &path);
    void ReadPropertyValue(QObject *instance, const QMetaProperty &property);
    void ReadStringList(QObject *instance, const QMetaProperty &property);
    void SkipObjectValue();
    void SkipValue(int depth);
    void SkipCollectionBody(int depth);
    uint8_t ReadByte();
    const char *ReadBytes(qsizetype count);
    int32_t ReadLength();

    QByteArray FData;
    qsizetype FPos = 0;
    QObject *FOwner = nullptr;
    TGBasePanel *FPanel = nullptr;
    // Names of the owner's and the panel's card objects, lower case; during
    // one read only the reader adds names, so the lowest free number only grows.
    QSet<QString> FTakenNames;
    int FNextNameNumber = 0;
};
