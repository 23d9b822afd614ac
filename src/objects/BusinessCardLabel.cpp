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
        connect(a, &QAction::triggered, this, [this, value] { TakePersonalInfo(value); });
    }
}

void TGBusinessCardLabel::TakePersonalInfo(const QString &value)
{
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
    if (!editor(Panel(), text, PanelPersonalInfo()))
        return;
    SetCaption(text);
    FitToText();
    Invalidate();
}
