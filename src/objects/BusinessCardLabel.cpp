// Holds TGBusinessCardLabel.
#include "objects/BusinessCardLabel.h"

#include "objects/ObjectEditors.h"
#include "surface/BusinessCardPanel.h"

#include <QMenu>

TGBusinessCardLabel::TGBusinessCardLabel(QObject *owner) : TGPLabel(owner) {}

QStringList TGBusinessCardLabel::PersonalInfoCaptions()
{
    return {tr("Name"),    tr("Company"), tr("Title"),   tr("Address 1"), tr("Address 2"),
            tr("Address 3"), tr("Phone 1"), tr("Phone 2"), tr("EMail"),     tr("Fax")};
}

QStringList TGBusinessCardLabel::PersonalFieldKeys()
{
    return {QStringLiteral("Name"),     QStringLiteral("Company"),  QStringLiteral("Title"),
            QStringLiteral("Address1"), QStringLiteral("Address2"), QStringLiteral("Address3"),
            QStringLiteral("Phone1"),   QStringLiteral("Phone2"),   QStringLiteral("EMail"),
            QStringLiteral("Fax")};
}

void TGBusinessCardLabel::SetPersonalField(const QString &key)
{
    if (FPersonalField == key)
        return;
    FPersonalField = key;
    Changed();
}

QStringList TGBusinessCardLabel::PanelPersonalInfo() const
{
    QStringList entries;
    if (const auto *panel = qobject_cast<const TGBusinessCardPanel32 *>(Panel()))
        entries = panel->PersonalInfo;
    while (entries.size() < 10)
        entries.append(QString());
    return entries.mid(0, 10);
}

void TGBusinessCardLabel::BuildContextMenu()
{
    FPersonalInfoMenu = nullptr; // went with the previous menu
    TGPLabel::BuildContextMenu();
    QMenu *menu = ContextMenu();
    if (qobject_cast<TGBusinessCardPanel32 *>(Panel())) {
        QAction *first = menu->actions().value(0);
        FPersonalInfoMenu = new QMenu(tr("Personal Information"), menu);
        menu->insertMenu(first, FPersonalInfoMenu);
        menu->insertSeparator(first);
        try {
            RebuildPersonalInfoMenu();
        } catch (...) {
            // A menu without entries is still a working label.
        }
    }
    for (QAction *a : menu->actions())
        if (a->data().toInt() == kTextCommandTag) {
            a->disconnect(this);
            connect(a, &QAction::triggered, this, [this] { EditBusinessCardText(); });
        }
    if (FTransparentItem)
        FTransparentItem->setChecked(Transparent());
}

void TGBusinessCardLabel::UpdateContextMenu()
{
    TGPLabel::UpdateContextMenu();
    RebuildPersonalInfoMenu();
}

void TGBusinessCardLabel::RebuildPersonalInfoMenu()
{
    if (!FPersonalInfoMenu)
        return;
    FPersonalInfoMenu->clear();
    const QStringList captions = PersonalInfoCaptions();
    const QStringList values = PanelPersonalInfo();
    for (int i = 0; i < captions.size(); ++i) {
        // The tab shows the value right-aligned; a '&' in it must not become
        // a keyboard accelerator.
        QString shown = values[i];
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *a = FPersonalInfoMenu->addAction(captions[i] + QLatin1Char('\t') + shown);
        const QString value = values[i];
        connect(a, &QAction::triggered, this, [this, i, value] { TakePersonalInfo(i, value); });
    }
}

void TGBusinessCardLabel::TakePersonalInfo(int index, const QString &value)
{
    SetPersonalField(PersonalFieldKeys().value(index));
    SetCaption(value.left(255));
    FitToText();
    NotifyChanged();
    Invalidate();
}

void TGBusinessCardLabel::EditBusinessCardText()
{
    const auto &editor = editors::ObjectEditors().BusinessCardText;
    if (!editor)
        return;
    QString text = Caption();
    const QStringList entries = PanelPersonalInfo();
    if (!editor(Panel(), text, entries))
        return;
    // The dialog hands back only the text: a text that is one of the entries
    // was chosen from the list (or typed as it stands there) and binds the
    // label to that entry; any other text was typed and unbinds it. An
    // unchanged text keeps the binding it had.
    if (text != Caption()) {
        const int chosen = text.isEmpty() ? -1 : entries.indexOf(text);
        SetPersonalField(chosen >= 0 ? PersonalFieldKeys().value(chosen) : QString());
    }
    SetCaption(text);
    FitToText();
    Invalidate();
}
