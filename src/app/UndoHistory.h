// The card's undo and redo history: each step keeps the whole card as the
// card file holds it, kept in memory, so undoing a step is reading that card
// back. A 1,000-object card writes in milliseconds, which makes whole-card
// states simpler and sounder than recording every kind of edit.
// Holds TCardState, TUndoHistory.
#pragma once

#include <QByteArray>
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

    // Same card and art; the selection is no part of the design.
    bool SameCard(const TCardState &other) const
    {
        return Records == other.Records && BackgroundArt == other.BackgroundArt;
    }
    qsizetype MemorySize() const;
};

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
    qsizetype MemoryUsed() const;

private:
    struct Entry {
        TCardState State;
        QString Name; // the step that leaves (undo) or reaches (redo) this state
        quint64 Id = 0;
    };
    void Trim();

    Entry FCurrent;
    std::deque<Entry> FUndo; // oldest first
    std::deque<Entry> FRedo; // the next redo last
    quint64 FNextId = 1;
    quint64 FSavedId = 0;
};

// The name of the step from Before to After, read from what changed: "Move",
// "Resize", "Text", "Font", "Lock", "Selectable", "Add", "Delete",
// "Background Art", or "Change".
QString DescribeStep(const TCardState &before, const TCardState &after);
