// Holds TCardState, TUndoHistory.
#include "app/UndoHistory.h"

#include "surface/ComponentStream.h"

#include <QSet>

bool SameRecord(const QByteArray &a, const QByteArray &b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool SameRecords(const QList<QByteArray> &a, const QList<QByteArray> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!SameRecord(a[i], b[i]))
            return false;
    return true;
}

bool TCardState::SameCard(const TCardState &other) const
{
    return BackgroundArt == other.BackgroundArt && SameRecords(Records, other.Records);
}

qsizetype TCardState::OwnMemorySize() const
{
    qsizetype names = 0;
    for (const QString &name : ObjectNames)
        names += name.size() * 2 + 32;
    // The selection is left out: it changes while the state is held.
    return Records.size() * qsizetype(sizeof(QByteArray)) + BackgroundArt.size() * 2 + names + 64;
}

void TUndoHistory::Hold(const TCardState &state)
{
    FMemoryUsed += state.OwnMemorySize();
    for (const QByteArray &record : state.Records) {
        Buffer &buffer = FBuffers[record.constData()];
        if (buffer.Users++ == 0) {
            buffer.Size = record.size();
            FMemoryUsed += buffer.Size;
        }
    }
}

void TUndoHistory::Release(const TCardState &state)
{
    FMemoryUsed -= state.OwnMemorySize();
    for (const QByteArray &record : state.Records) {
        const auto found = FBuffers.find(record.constData());
        if (found == FBuffers.end())
            continue;
        if (--found->Users == 0) {
            FMemoryUsed -= found->Size;
            FBuffers.erase(found);
        }
    }
}

void TUndoHistory::Clear()
{
    FUndo.clear();
    FRedo.clear();
    FBuffers.clear();
    FMemoryUsed = 0;
}

void TUndoHistory::Reset(const TCardState &current)
{
    Clear();
    FCurrent = {current, QString(), FNextId++};
    Hold(FCurrent.State);
    FSavedId = FCurrent.Id;
}

bool TUndoHistory::Record(const TCardState &now, const QString &name)
{
    if (now.SameCard(FCurrent.State)) {
        FCurrent.State.Selection = now.Selection;
        return false;
    }
    FCurrent.Name = name;
    FUndo.push_back(std::move(FCurrent));
    for (const Entry &e : FRedo)
        Release(e.State);
    FRedo.clear();
    FCurrent = {now, QString(), FNextId++};
    Hold(FCurrent.State);
    Trim();
    return true;
}

const TCardState &TUndoHistory::Undo()
{
    Entry back = std::move(FUndo.back());
    FUndo.pop_back();
    FCurrent.Name = back.Name;
    FRedo.push_back(std::move(FCurrent));
    FCurrent = std::move(back);
    FCurrent.Name.clear();
    return FCurrent.State;
}

const TCardState &TUndoHistory::Redo()
{
    Entry next = std::move(FRedo.back());
    FRedo.pop_back();
    FCurrent.Name = next.Name;
    FUndo.push_back(std::move(FCurrent));
    FCurrent = std::move(next);
    FCurrent.Name.clear();
    return FCurrent.State;
}

void TUndoHistory::Trim()
{
    // The oldest steps go first; the latest step is always kept, however large.
    while (FUndo.size() > 1 && (int(FUndo.size()) > kMaxSteps || FMemoryUsed > kMaxBytes)) {
        Release(FUndo.front().State);
        FUndo.pop_front();
    }
}

namespace {

// An object record's properties, nested objects' under their dotted names,
// each with its value's bytes as stored (a picture's data too, unread).
using TPropertyValues = QHash<QByteArray, QByteArrayView>;

void ReadObjectProperties(TComponentReader &reader, const QByteArray &record, const QByteArray &prefix,
                          TPropertyValues &into, int depth)
{
    if (depth > TComponentReader::kMaxNesting)
        throw EStreamError(QStringLiteral("Invalid stream format"));
    reader.ReadPrefix();
    reader.ReadStr(); // class
    const QByteArray name = reader.ReadStr();
    while (!reader.EndOfList()) {
        const QByteArray property = prefix + reader.ReadStr();
        const qsizetype start = reader.Position();
        reader.SkipValue();
        into.insert(property, QByteArrayView(record).sliced(start, reader.Position() - start));
    }
    reader.ReadListEnd();
    while (!reader.EndOfList())
        ReadObjectProperties(reader, record, prefix + name + '.', into, depth + 1);
    reader.ReadListEnd();
}

// False when the bytes are not a readable record.
bool ReadPropertyValues(const QByteArray &record, TPropertyValues &into)
{
    try {
        TComponentReader reader(record);
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            reader.ReadSignature();
            ReadObjectProperties(reader, record, QByteArray(), into, 0);
        }
        reader.ReadListEnd();
        return true;
    } catch (const EStreamError &) {
        return false;
    }
}

// The properties whose values differ; one written in only one of the
// records (the other holds its default) differs too.
QSet<QByteArray> ChangedProperties(const TPropertyValues &a, const TPropertyValues &b)
{
    QSet<QByteArray> names;
    for (auto it = a.begin(); it != a.end(); ++it) {
        const auto other = b.find(it.key());
        if (other == b.end() || *other != it.value())
            names.insert(it.key());
    }
    for (auto it = b.begin(); it != b.end(); ++it)
        if (!a.contains(it.key()))
            names.insert(it.key());
    return names;
}

bool AllIn(const QSet<QByteArray> &names, std::initializer_list<const char *> allowed)
{
    for (const QByteArray &n : names) {
        bool found = false;
        for (const char *a : allowed)
            found = found || n == a;
        if (!found)
            return false;
    }
    return true;
}

bool AllStartWith(const QSet<QByteArray> &names, const char *prefix)
{
    for (const QByteArray &n : names)
        if (!n.startsWith(prefix))
            return false;
    return true;
}

} // namespace

QString DescribeStep(const TCardState &before, const TCardState &after)
{
    if (SameRecords(before.Records, after.Records))
        return before.BackgroundArt != after.BackgroundArt ? QStringLiteral("Background Art") : QString();
    if (after.Records.size() > before.Records.size())
        return QStringLiteral("Add");
    if (after.Records.size() < before.Records.size())
        return QStringLiteral("Delete");
    // Only the objects that changed are read.
    QSet<QByteArray> changed;
    for (int i = 0; i < before.Records.size(); ++i) {
        if (SameRecord(before.Records[i], after.Records[i]))
            continue;
        TPropertyValues a, b;
        if (!ReadPropertyValues(before.Records[i], a) || !ReadPropertyValues(after.Records[i], b))
            return QStringLiteral("Change");
        changed.unite(ChangedProperties(a, b));
    }
    if (changed.isEmpty())
        return QStringLiteral("Change"); // the same objects in another order
    if (AllIn(changed, {"Left", "Top"}))
        return QStringLiteral("Move");
    if (AllIn(changed, {"Left", "Top", "Width", "Height"}))
        return QStringLiteral("Resize");
    if (AllIn(changed, {"Caption", "Lines.Strings", "Items.Strings", "Text", "Width", "Height"}))
        return QStringLiteral("Text");
    if (AllIn(changed, {"Locked"}))
        return QStringLiteral("Lock");
    if (AllIn(changed, {"Unselectable"}))
        return QStringLiteral("Selectable");
    if (AllStartWith(changed, "Font."))
        return QStringLiteral("Font");
    return QStringLiteral("Change");
}
