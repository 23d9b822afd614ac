// Holds TMRUFileList.
#include "widgets/RecentFiles.h"

#include "platform/IniFile.h"

#include <QAction>
#include <QMenu>

TMRUFileList::TMRUFileList(QObject *parent) : QObject(parent) {}

void TMRUFileList::AttachTo(QMenu *menu)
{
    if (FMenu) {
        qDeleteAll(FActions);
        FActions.clear();
        delete FSeparator;
        FSeparator = nullptr;
    }
    FMenu = menu;
    RebuildMenu();
}

void TMRUFileList::SetMaxItems(int count)
{
    FMaxItems = qMax(1, count);
    while (FItems.size() > FMaxItems)
        FItems.removeLast();
    RebuildMenu();
}

int TMRUFileList::IndexOf(const QString &path) const
{
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i].compare(path, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TMRUFileList::Add(const QString &path)
{
    if (path.isEmpty())
        return;
    const int at = IndexOf(path);
    if (at >= 0)
        FItems.removeAt(at);
    FItems.prepend(path);
    while (FItems.size() > FMaxItems)
        FItems.removeLast();
    RebuildMenu();
}

void TMRUFileList::Remove(const QString &path)
{
    const int at = IndexOf(path);
    if (at < 0)
        return;
    FItems.removeAt(at);
    RebuildMenu();
}

void TMRUFileList::Insert(int index, const QString &path)
{
    if (path.isEmpty() || IndexOf(path) >= 0)
        return;
    FItems.insert(qBound(0, index, int(FItems.size())), path);
    while (FItems.size() > FMaxItems)
        FItems.removeLast();
    RebuildMenu();
}

void TMRUFileList::Clear()
{
    FItems.clear();
    RebuildMenu();
}

void TMRUFileList::Load(const TIniFile &ini)
{
    FItems.clear();
    for (const QString &line : ini.ReadSectionLines(FSection)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString path = line.mid(eq + 1).trimmed();
        if (path.isEmpty() || IndexOf(path) >= 0)
            continue;
        FItems.append(path);
        if (FItems.size() >= FMaxItems)
            break;
    }
    RebuildMenu();
}

void TMRUFileList::Save(TIniFile &ini) const { SaveItems(ini, FSection, FItems); }

void TMRUFileList::SaveItems(TIniFile &ini, const QString &section, const QStringList &items)
{
    ini.EraseSection(section);
    for (int i = 0; i < items.size(); ++i)
        ini.WriteString(section, QStringLiteral("F%1").arg(i), items[i]);
}

void TMRUFileList::ClickEntry(int index)
{
    if (index < 0 || index >= FItems.size())
        return;
    const QString path = FItems[index];
    FLastClickedIndex = index;
    if (FRemoveOnClick) {
        FItems.removeAt(index);
        RebuildMenu();
    }
    emit OnClick(path);
}

void TMRUFileList::RebuildMenu()
{
    if (!FMenu)
        return;
    qDeleteAll(FActions);
    FActions.clear();
    delete FSeparator;
    FSeparator = nullptr;
    if (FItems.isEmpty())
        return;
    FSeparator = FMenu->addSeparator();
    for (int i = 0; i < FItems.size(); ++i) {
        // An "&" inside a path would be taken as an accelerator.
        QString shown = FItems[i];
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *a = FMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        a->setData(FItems[i]);
        // The click runs once the menu has closed: it may open modal dialogs
        // and will rebuild this very menu.
        const QString path = FItems[i];
        connect(a, &QAction::triggered, this, [this, path] { ClickEntry(IndexOf(path)); }, Qt::QueuedConnection);
        FActions.append(a);
    }
}
