// Printing one card design for several people: puts each person's values
// into the objects of a card side that are bound to the personal information
// (business-card labels bound to an entry, QR codes that carry the vCard),
// fits each value to its label, and gives the design back as it was
// afterwards; and the plan that says which person each printed card is for.
// Holds TCardSideMerge, TPeopleMerge, TFitNote and TMergePlan.
#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>

class TGBasePanel;
class TGBusinessCardLabel;
class TGGraphicControl;
class TGQRCode;
class TCardSheetPrinter;
struct TPeopleTable;

// A value that did not fit its label as designed: drawn smaller, and
// perhaps cut at the card's edge.
struct TFitNote {
    // The person, as the status form names them.
    QString Person;
    // The personal-information entry (0 to 9).
    int Entry = 0;
    // The size the value is drawn at, per cent of the label's font.
    int Percent = 100;
    bool Cut = false;
    // On the card's back rather than its front.
    bool Back = false;
};

namespace people {
// "Ann Lee: Address 1 drawn at 70 % of its size to fit its label", or
// "... cut at the card's edge (drawn at 50 % of its size)".
QString FitNoteText(const TFitNote &note);
// "no column for Phone1; the list has Name, Phone, E-mail"
QString NoColumnText(int entry, const QStringList &header);
} // namespace people

// The objects of one card side that show personal information, while that
// side is printed for several people. Apply puts one person's values in;
// the destructor gives every object its design back. Changes made here are
// never changes of the card: the panels are marked as printing meanwhile.
class TCardSideMerge
{
public:
    // `card` is the card's rectangle in card pixels at zoom 1.0, which no
    // person's value is drawn beyond.
    TCardSideMerge(const QList<TGGraphicControl *> &objects, const QRect &card);
    ~TCardSideMerge();
    TCardSideMerge(const TCardSideMerge &) = delete;
    TCardSideMerge &operator=(const TCardSideMerge &) = delete;

    // Ten values in entry order. Each bound label starts from its design and
    // shows its entry's value fitted to it; each code that carries the vCard
    // carries this person's. Returns the values that did not fit as designed
    // (Person left empty).
    QList<TFitNote> Apply(const QStringList &values);
    // The entries the side's labels show, each once, in entry order.
    QList<int> BoundEntries() const;
    bool Empty() const { return FLabels.isEmpty() && FCodes.isEmpty(); }

private:
    struct TBoundLabel {
        QPointer<TGBusinessCardLabel> Label;
        int Entry;
        QString Caption;
        QRect Bounds;
        int FontHeight;
    };
    struct TBoundCode {
        QPointer<TGQRCode> Code;
        QString Text;
    };
    void RestoreDesign(const TBoundLabel &b);
    void SetPrinting(bool on);

    QRect FCard;
    QList<TBoundLabel> FLabels;
    QList<TBoundCode> FCodes;
    // The panels the objects are on, with their printing flags as they were.
    QList<QPair<QPointer<TGBasePanel>, bool>> FPanels;
};

// The side a card panel holds: the front's panel, or the back's.
class TPeopleMerge
{
public:
    explicit TPeopleMerge(TGBasePanel *panel);

    QList<TFitNote> Apply(const QStringList &values) { return FFront.Apply(values); }
    QList<int> BoundEntries() const { return FFront.BoundEntries(); }
    int BoundLabels() const { return int(BoundEntries().size()); }

private:
    TCardSideMerge FFront;
};

// Who is printed, and how many cards each: PerPerson 0 gives each person
// every chosen cell of a sheet of their own.
struct TMergePlan {
    // Each person's ten values, in printing order.
    QList<QStringList> People;
    int PerPerson = 0;
    // A name shown on the status form, one per person.
    QStringList Names;
    // The list's column names and, for each entry, the column it takes (-1: none).
    QStringList Header;
    QList<int> Columns;

    // Sets the sheet loop up to print every person's cards, filling the
    // panel through `merge` (which must live as long as the run) before
    // each card; with backMerge, each card's back is filled for the same
    // person. The values that did not fit are added to `notes` when given,
    // once per person and side.
    void Attach(TCardSheetPrinter &job, TPeopleMerge &merge, TPeopleMerge *backMerge = nullptr,
                QList<TFitNote> *notes = nullptr) const;

    // The values of every person that will not fit their labels on the
    // panel's card, found without printing; the card is left as designed.
    QList<TFitNote> FitNotes(TGBasePanel *panel) const;
    // The entries the panel's labels show that no column is chosen for.
    QList<int> UnmatchedEntries(TGBasePanel *panel) const;

    // Every person of a table under a column matching; a person's name for
    // the status form is their Name value, or "row N" without one.
    static TMergePlan FromTable(const TPeopleTable &table, const QList<int> &columns, const QList<int> &rows,
                                int perPerson);
    // Everyone in a CSV file, columns matched by name and then by `map`
    // (entry key or caption = column name, as "Phone1=Phone"); throws
    // EPeopleListError when the file or the map cannot be used.
    static TMergePlan FromCsvFile(const QString &fileName, int perPerson, const QStringList &map = {});
};
