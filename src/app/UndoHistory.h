// The card's undo and redo history: each step keeps the whole card as the
// card file holds it, one record per object, so undoing a step is reading
// back the records that differ. A step shares the bytes of every object it
// did not change with the step before (QByteArray's implicit sharing), so a
// step costs what changed, and a photo on the card is held once however many
// steps there are.
// Holds TCardState, TUndoHistory.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

// One state of the card: each object, bottom of the z-order first, as the
// card file holds it (a one-object list, so that a step that changed one
// object rebuilds only that one), the background art it names, and which
// objects (by z-order index) were selected. Reading a card names its objects
// afresh, so their names are kept beside it.
struct TCardState {
    QList<QByteArray> Records;
    QString BackgroundArt;
    QList<int> Selection;
    QStringList ObjectNames;

    // Same card and art; the selection is no part of the design. Records
    // shared between the states compare without reading their bytes.
    bool SameCard(const TCardState &other) const;
    // The memory of the state itself, without its records' bytes (which
    // other states may share).
    qsizetype OwnMemorySize() const;
};

// Two records the same: shared bytes, or equal ones.
bool SameRecord(const QByteArray &a, const QByteArray &b);
bool SameRecords(const QList<QByteArray> &a, const QList<QByteArray> &b);

class TUndoHistory
{
public:
    // At least this many steps are kept while they fit the memory bound.
    static constexpr int kMaxSteps = 200;
    static constexpr qsizetype kMaxBytes = 64 * 1024 * 1024;

    // Forgets every step: the card as it is now, taken as the saved one.
    void Reset(const TCardState &current);
    // Records the step from the current state to Now under Name; nothing
    // when the card did not change (then only the selection is kept).
    // True when a step was recorded.
    bool Record(const TCardState &now, const QString &name);

    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }
    QString UndoName() const { return CanUndo() ? FUndo.back().Name : QString(); }
    QString RedoName() const { return CanRedo() ? FRedo.back().Name : QString(); }
    int UndoCount() const { return int(FUndo.size()); }
    // Steps back or forward; the state to show. Only when CanUndo / CanRedo.
    const TCardState &Undo();
    const TCardState &Redo();

    const TCardState &Current() const { return FCurrent.State; }
    // The current state is the one in the card file now.
    void MarkSaved() { FSavedId = FCurrent.Id; }
    bool AtSavedState() const { return FSavedId == FCurrent.Id; }
    // Every state and each record's bytes once, however many states share them.
    qsizetype MemoryUsed() const { return FMemoryUsed; }

private:
    struct Entry {
        TCardState State;
        QString Name; // the step that leaves (undo) or reaches (redo) this state
        quint64 Id = 0;
    };
    // The states held share their records' bytes: each buffer is counted
    // once, while some state holds it.
    struct Buffer {
        qsizetype Size = 0;
        int Users = 0;
    };
    void Hold(const TCardState &state);
    void Release(const TCardState &state);
    void Clear();
    void Trim();

    Entry FCurrent;
    std::deque<Entry> FUndo; // oldest first
    std::deque<Entry> FRedo; // the next redo last
    quint64 FNextId = 1;
    quint64 FSavedId = 0;
    QHash<const char *, Buffer> FBuffers;
    qsizetype FMemoryUsed = 0;
};

// The name of the step from Before to After, read from the property values
// of the objects that changed: "Move",
// "Resize", "Text", "Font", "Lock", "Selectable", "Add", "Delete",
// "Background Art", or "Change".
QString DescribeStep(const TCardState &before, const TCardState &after);
