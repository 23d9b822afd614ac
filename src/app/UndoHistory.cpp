// Holds TCardState, TUndoHistory.
#include "app/UndoHistory.h"

#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"

#include <QSet>

qsizetype TCardState::MemorySize() const
{
    qsizetype names = 0;
    for (const QString &name : ObjectNames)
        names += name.size() * 2 + 32;
    qsizetype card = 0;
    for (const QByteArray &record : Records)
        card += record.size() + 32;
    return card + BackgroundArt.size() * 2 + Selection.size() * qsizetype(sizeof(int)) + names + 64;
}

void TUndoHistory::Reset(const TCardState &current)
{
    FUndo.clear();
    FRedo.clear();
    FCurrent = {current, QString(), FNextId++};
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
    FRedo.clear();
    FCurrent = {now, QString(), FNextId++};
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

qsizetype TUndoHistory::MemoryUsed() const
{
    qsizetype total = FCurrent.State.MemorySize();
    for (const Entry &e : FUndo)
        total += e.State.MemorySize();
    for (const Entry &e : FRedo)
        total += e.State.MemorySize();
    return total;
}

void TUndoHistory::Trim()
{
    // The oldest steps go first; the latest step is always kept, however large.
    while (FUndo.size() > 1 && (int(FUndo.size()) > kMaxSteps || MemoryUsed() > kMaxBytes))
        FUndo.pop_front();
}

namespace {

// The text form of an object's record, one "object" or "Name = value" line
// each; empty when the bytes are not a readable stream.
QList<QByteArray> TextLines(const QByteArray &record)
{
    try {
        return ComponentStreamToText(record).split('\n');
    } catch (const EStreamError &) {
        return {};
    }
}

// The property names on the lines that differ between two cards of the same
// line count; a value over several lines ("Items.Strings = (") counts as
// its property.
QSet<QByteArray> ChangedProperties(const QList<QByteArray> &a, const QList<QByteArray> &b)
{
    QSet<QByteArray> names;
    QByteArray property = "?";
    for (int i = 0; i < a.size(); ++i) {
        const int eq = a[i].indexOf(" = ");
        if (eq >= 0)
            property = a[i].left(eq).trimmed();
        else if (a[i].trimmed().startsWith("object ") || a[i].trimmed() == "end")
            property = "?";
        if (a[i] != b[i])
            names.insert(property);
    }
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
    if (before.Records == after.Records)
        return before.BackgroundArt != after.BackgroundArt ? QStringLiteral("Background Art") : QString();
    if (after.Records.size() > before.Records.size())
        return QStringLiteral("Add");
    if (after.Records.size() < before.Records.size())
        return QStringLiteral("Delete");
    // Only the objects that changed are read as text.
    QSet<QByteArray> changed;
    for (int i = 0; i < before.Records.size(); ++i) {
        if (before.Records[i] == after.Records[i])
            continue;
        const QList<QByteArray> a = TextLines(before.Records[i]);
        const QList<QByteArray> b = TextLines(after.Records[i]);
        if (a.size() != b.size() || a.isEmpty())
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
