// The recent-files list: up to a few full paths, most recent first, shown as
// numbered entries at the end of a menu ("&1 /path/card.qrv") after a
// separator, and kept in a section of the settings file ("F0" the most recent).
// Holds TMRUFileList.
#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class TIniFile;

class TMRUFileList : public QObject
{
    Q_OBJECT

public:
    explicit TMRUFileList(QObject *parent = nullptr);

    // The menu whose end shows the entries.
    void AttachTo(QMenu *menu);
    int MaxItems() const { return FMaxItems; }
    void SetMaxItems(int count);
    // A clicked entry leaves the list before OnClick is raised.
    bool RemoveOnClick() const { return FRemoveOnClick; }
    void SetRemoveOnClick(bool v) { FRemoveOnClick = v; }
    QString IniSection() const { return FSection; }
    void SetIniSection(const QString &section) { FSection = section; }

    const QStringList &Items() const { return FItems; }
    // Writes a list of files as Save writes this one's.
    static void SaveItems(TIniFile &ini, const QString &section, const QStringList &items);
    int Count() const { return FItems.size(); }
    // A path already listed (compared without regard to case) moves to the
    // top; a new one is inserted there and the oldest beyond the maximum drop.
    void Add(const QString &path);
    void Remove(const QString &path);
    // Puts a path back at a position (a click whose command was cancelled).
    void Insert(int index, const QString &path);
    // The position the last clicked entry had.
    int LastClickedIndex() const { return FLastClickedIndex; }
    void Clear();

    // Every line of the section in file order, the path being the text after
    // the first "=".
    void Load(const TIniFile &ini);
    // Erases the section and writes the paths anew as F0, F1, ...
    void Save(TIniFile &ini) const;

    // The menu's entries for the list (tests and the menu itself).
    QList<QAction *> MenuActions() const { return FActions; }
    // Runs an entry as a click of the user does.
    void ClickEntry(int index);

signals:
    void OnClick(const QString &path);

private:
    int IndexOf(const QString &path) const;
    void RebuildMenu();

    QStringList FItems;
    int FMaxItems = 5;
    int FLastClickedIndex = 0;
    bool FRemoveOnClick = true;
    QString FSection = QStringLiteral("MRU");
    QMenu *FMenu = nullptr;
    QAction *FSeparator = nullptr;
    QList<QAction *> FActions;
};
