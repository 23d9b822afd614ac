// Holds TCardSideMerge, TPeopleMerge, TFitNote and TMergePlan.
#include "printing/PeopleMerge.h"

#include "objects/BusinessCardLabel.h"
#include "objects/QRCode.h"
#include "printing/PeopleList.h"
#include "printing/SheetPrinting.h"
#include "surface/CardPanel.h"

#include <algorithm>

namespace people {

QString FitNoteText(const TFitNote &note)
{
    QString field = TGBusinessCardLabel::PersonalInfoCaptions().value(note.Entry);
    if (note.Back)
        field += QStringLiteral(" on the back");
    if (note.Cut)
        return QStringLiteral("%1: %2 cut at the card's edge (drawn at %3 % of its size)")
            .arg(note.Person, field)
            .arg(note.Percent);
    return QStringLiteral("%1: %2 drawn at %3 % of its size to fit its label").arg(note.Person, field).arg(note.Percent);
}

QString NoColumnText(int entry, const QStringList &header)
{
    return QStringLiteral("no column for %1; the list has %2")
        .arg(TGBusinessCardLabel::PersonalFieldKeys().value(entry), header.join(QStringLiteral(", ")));
}

} // namespace people

// ======================================================================
// One card side

TCardSideMerge::TCardSideMerge(const QList<TGGraphicControl *> &objects, const QRect &card) : FCard(card)
{
    for (TGGraphicControl *object : objects) {
        if (auto *label = qobject_cast<TGBusinessCardLabel *>(object)) {
            const int entry = label->PersonalFieldIndex();
            if (entry >= 0)
                FLabels.append({label, entry, label->Caption(), label->BoundsRect(), label->Font()->Height()});
        } else if (auto *code = qobject_cast<TGQRCode *>(object)) {
            if (code->PersonalVCard())
                FCodes.append({code, code->Text()});
        }
        TGBasePanel *panel = object->Panel();
        const bool known = std::any_of(FPanels.begin(), FPanels.end(), [panel](const auto &p) { return p.first == panel; });
        if (panel && !known)
            FPanels.append({panel, panel->Printing()});
    }
}

TCardSideMerge::~TCardSideMerge()
{
    // Giving the design back belongs to the printing: while the panel
    // prints, its objects' changes are not changes of the card.
    SetPrinting(true);
    for (const TBoundLabel &b : FLabels)
        RestoreDesign(b);
    for (const TBoundCode &c : FCodes)
        if (c.Code)
            c.Code->SetText(c.Text);
    SetPrinting(false);
}

void TCardSideMerge::SetPrinting(bool on)
{
    for (const auto &[panel, wasPrinting] : FPanels)
        if (panel)
            panel->SetPrinting(on || wasPrinting);
}

void TCardSideMerge::RestoreDesign(const TBoundLabel &b)
{
    if (!b.Label)
        return;
    b.Label->Font()->SetHeight(b.FontHeight);
    b.Label->SetBounds(b.Bounds.x(), b.Bounds.y(), b.Bounds.width(), b.Bounds.height());
    b.Label->SetCaption(b.Caption);
}

QList<TFitNote> TCardSideMerge::Apply(const QStringList &values)
{
    QList<TFitNote> notes;
    SetPrinting(true);
    for (const TBoundLabel &b : FLabels) {
        if (!b.Label)
            continue;
        // Each person starts from the design, so a long value of one person
        // does not shrink or widen the label for the next.
        RestoreDesign(b);
        const TGBusinessCardLabel::TValueFit fit = b.Label->ShowValue(values.value(b.Entry), FCard);
        if (fit.Percent < 100 || fit.Cut)
            notes.append({QString(), b.Entry, fit.Percent, fit.Cut});
    }
    for (const TBoundCode &c : FCodes)
        if (c.Code)
            c.Code->FollowPersonalInfo(values);
    SetPrinting(false);
    return notes;
}

QList<int> TCardSideMerge::BoundEntries() const
{
    QList<int> entries;
    for (const TBoundLabel &b : FLabels)
        if (!entries.contains(b.Entry))
            entries.append(b.Entry);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// ======================================================================
// The card panel's side

namespace {

QList<TGGraphicControl *> ObjectsOf(TGBasePanel *panel)
{
    return panel ? panel->Objects() : QList<TGGraphicControl *>();
}

QRect CardOf(TGBasePanel *panel)
{
    return panel ? QRect(QPoint(0, 0), panel->CardSize()) : QRect();
}

} // namespace

TPeopleMerge::TPeopleMerge(TGBasePanel *panel) : FFront(ObjectsOf(panel), CardOf(panel)) {}

// ======================================================================
// The plan

void TMergePlan::Attach(TCardSheetPrinter &job, TPeopleMerge &merge, TPeopleMerge *backMerge,
                        QList<TFitNote> *notes) const
{
    int perPerson = PerPerson;
    if (perPerson <= 0) {
        perPerson = 0;
        for (int i = 0; i < job.Sheet.Across * job.Sheet.Down; ++i)
            perPerson += sheetprint::CellSelected(job.Cells, i) ? 1 : 0;
    }
    job.SheetsToPrint = 1;
    job.MergeCards = perPerson > 0 ? int(qMin<qint64>(qint64(perPerson) * People.size(), 1 << 30)) : 0;
    const QList<QStringList> people = People;
    const QStringList names = Names;
    TCardSheetPrinter *loop = &job;
    job.OnMergeCard = [people, names, perPerson, loop, &merge, notes, shown = -1](int card) mutable {
        const int person = card / perPerson;
        // The labels keep their recordings while the person stays the same.
        if (person != shown) {
            const QList<TFitNote> fits = merge.Apply(people.value(person));
            if (notes)
                for (TFitNote note : fits) {
                    note.Person = names.value(person);
                    notes->append(note);
                }
        }
        shown = person;
        loop->PersonShown = names.value(person);
    };
    if (backMerge)
        job.OnMergeBack = [people, names, perPerson, loop, backMerge, notes, shown = -1](int card) mutable {
            const int person = card / perPerson;
            if (person != shown) {
                const QList<TFitNote> fits = backMerge->Apply(people.value(person));
                if (notes)
                    for (TFitNote note : fits) {
                        note.Person = names.value(person);
                        note.Back = true;
                        notes->append(note);
                    }
            }
            shown = person;
            loop->PersonShown = names.value(person);
        };
}

QList<TFitNote> TMergePlan::FitNotes(TGBasePanel *panel) const
{
    QList<TFitNote> notes;
    if (!panel)
        return notes;
    const TPanelAtZoomOne zoom(panel);
    TPeopleMerge merge(panel);
    for (qsizetype person = 0; person < People.size(); ++person)
        for (TFitNote note : merge.Apply(People[person])) {
            note.Person = Names.value(person);
            notes.append(note);
        }
    return notes;
}

QList<int> TMergePlan::UnmatchedEntries(TGBasePanel *panel) const
{
    QList<int> unmatched;
    for (const int entry : TPeopleMerge(panel).BoundEntries())
        if (Columns.value(entry, -1) < 0)
            unmatched.append(entry);
    return unmatched;
}

TMergePlan TMergePlan::FromTable(const TPeopleTable &table, const QList<int> &columns, const QList<int> &rows,
                                 int perPerson)
{
    TMergePlan plan;
    plan.PerPerson = perPerson;
    plan.Header = table.Header;
    plan.Columns = columns;
    for (const int r : rows) {
        if (r < 0 || r >= table.Rows.size())
            continue;
        const QStringList values = people::PersonValues(table.Rows[r], columns);
        plan.People.append(values);
        const QString name = values.value(0).simplified();
        plan.Names.append(name.isEmpty() ? QStringLiteral("row %1").arg(r + 1) : name);
    }
    return plan;
}

TMergePlan TMergePlan::FromCsvFile(const QString &fileName, int perPerson, const QStringList &map)
{
    const TPeopleTable table = people::ReadCsvFile(fileName);
    QList<int> columns = people::MatchColumns(table.Header);
    for (const QString &pair : map)
        people::MapColumn(table.Header, pair, columns);
    if (columns.count(-1) == columns.size())
        throw EPeopleListError(
            QStringLiteral("%1: no column of the first line names a personal-information entry "
                           "(Name, Company, Title, Address 1, Address 2, Address 3, Phone 1, Phone 2, EMail, Fax)")
                .arg(fileName));
    if (table.Rows.isEmpty())
        throw EPeopleListError(QStringLiteral("%1 lists no people below its first line").arg(fileName));
    QList<int> rows;
    for (int r = 0; r < table.Rows.size(); ++r)
        rows.append(r);
    return FromTable(table, columns, rows, perPerson);
}
