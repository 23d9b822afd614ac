// Holds TPeopleMerge and TMergePlan.
#include "printing/PeopleMerge.h"

#include "objects/BusinessCardLabel.h"
#include "printing/PeopleList.h"
#include "printing/SheetPrinting.h"
#include "surface/CardPanel.h"

TPeopleMerge::TPeopleMerge(TGBasePanel *panel) : FPanel(panel)
{
    if (!panel)
        return;
    for (TGGraphicControl *object : panel->Objects()) {
        auto *label = qobject_cast<TGBusinessCardLabel *>(object);
        if (!label)
            continue;
        const int entry = label->PersonalFieldIndex();
        if (entry >= 0)
            FBound.append({label, entry, label->Caption(), label->BoundsRect()});
    }
}

TPeopleMerge::~TPeopleMerge()
{
    // Giving the design back belongs to the printing: while the panel
    // prints, its objects' changes are not changes of the card.
    const bool wasPrinting = FPanel && FPanel->Printing();
    if (FPanel)
        FPanel->SetPrinting(true);
    for (const TBound &b : FBound) {
        b.Label->SetCaption(b.Caption);
        b.Label->SetBounds(b.Bounds.x(), b.Bounds.y(), b.Bounds.width(), b.Bounds.height());
    }
    if (FPanel)
        FPanel->SetPrinting(wasPrinting);
}

void TPeopleMerge::Apply(const QStringList &values)
{
    for (const TBound &b : FBound) {
        // Each person starts from the design's bounds, so a long value of
        // one person does not widen the label for the next.
        b.Label->SetBounds(b.Bounds.x(), b.Bounds.y(), b.Bounds.width(), b.Bounds.height());
        b.Label->SetCaption(values.value(b.Entry).left(255));
        b.Label->FitToText();
    }
}

void TMergePlan::Attach(TCardSheetPrinter &job, TPeopleMerge &merge, TPeopleMerge *backMerge) const
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
    job.OnMergeCard = [people, names, perPerson, loop, &merge, shown = -1](int card) mutable {
        const int person = card / perPerson;
        // The labels keep their recordings while the person stays the same.
        if (person != shown)
            merge.Apply(people.value(person));
        shown = person;
        loop->PersonShown = names.value(person);
    };
    if (backMerge)
        job.OnMergeBack = [people, names, perPerson, loop, backMerge, shown = -1](int card) mutable {
            const int person = card / perPerson;
            if (person != shown)
                backMerge->Apply(people.value(person));
            shown = person;
            loop->PersonShown = names.value(person);
        };
}

TMergePlan TMergePlan::FromTable(const TPeopleTable &table, const QList<int> &columns, const QList<int> &rows,
                                 int perPerson)
{
    TMergePlan plan;
    plan.PerPerson = perPerson;
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

TMergePlan TMergePlan::FromCsvFile(const QString &fileName, int perPerson)
{
    const TPeopleTable table = people::ReadCsvFile(fileName);
    const QList<int> columns = people::MatchColumns(table.Header);
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
