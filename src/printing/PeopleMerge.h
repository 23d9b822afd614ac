// Printing one card design for several people: puts each person's values
// into the business-card labels bound to a personal-information entry and
// gives the design back as it was afterwards; and the plan that says which
// person each printed card is for.
// Holds TPeopleMerge and TMergePlan.
#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>

class TGBasePanel;
class TGBusinessCardLabel;
class TCardSheetPrinter;

class TPeopleMerge
{
public:
    explicit TPeopleMerge(TGBasePanel *panel);
    // The labels get their own captions and bounds back; the card has not
    // changed, so the panel reports no change.
    ~TPeopleMerge();
    TPeopleMerge(const TPeopleMerge &) = delete;
    TPeopleMerge &operator=(const TPeopleMerge &) = delete;

    // Ten values in entry order; labels not bound to an entry stay as they are.
    void Apply(const QStringList &values);
    int BoundLabels() const { return int(FBound.size()); }

private:
    struct TBound {
        TGBusinessCardLabel *Label;
        int Entry;
        QString Caption;
        QRect Bounds;
    };
    QPointer<TGBasePanel> FPanel;
    QList<TBound> FBound;
};

// Who is printed, and how many cards each: PerPerson 0 gives each person
// every chosen cell of a sheet of their own.
struct TMergePlan {
    // Each person's ten values, in printing order.
    QList<QStringList> People;
    int PerPerson = 0;
    // A name shown on the status form, one per person.
    QStringList Names;

    // Sets the sheet loop up to print every person's cards, filling the
    // panel through `merge` (which must live as long as the run) before
    // each card.
    // With backMerge, each card's back is filled for the same person.
    void Attach(TCardSheetPrinter &job, TPeopleMerge &merge, TPeopleMerge *backMerge = nullptr) const;

    // Every person of a table under a column matching; a person's name for
    // the status form is their Name value, or "row N" without one.
    static TMergePlan FromTable(const struct TPeopleTable &table, const QList<int> &columns,
                                const QList<int> &rows, int perPerson);
    // Everyone in a CSV file, columns matched by name; throws
    // EPeopleListError when the file cannot be used.
    static TMergePlan FromCsvFile(const QString &fileName, int perPerson);
};
