#include "printing/DialogKit.h"

#include "platform/Dialogs.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QWhatsThis>
#include <QWidget>

namespace printing {
namespace {
HelpOpener g_helpOpener;
} // namespace

void SetHelpOpener(HelpOpener opener) { g_helpOpener = std::move(opener); }

void OpenHelp(int context)
{
    if (g_helpOpener)
        g_helpOpener(context);
}

void ShowInformation(QWidget *parent, const QString &text)
{
    platform::ShowMessageBox({text, QStringLiteral("Information"), platform::miInformation, platform::mbOK}, parent);
}

void SetContextHelp(QWidget *control, const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    control->setWhatsThis(plain);
    auto *action = new QAction(QStringLiteral("What's this?"), control);
    QObject::connect(action, &QAction::triggered, control, [control] {
        QWhatsThis::showText(control->mapToGlobal(QPoint(0, control->height())), control->whatsThis(), control);
    });
    control->addAction(action);
    control->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QToolButton *MakeHelpPointerButton(QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("MouseHelpButton"));
    button->setText(QStringLiteral("?"));
    button->setToolTip(QStringLiteral("What's this?"));
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked, [] { QWhatsThis::enterWhatsThisMode(); });
    return button;
}

QPushButton *MakeDefaultDialogButton(QWidget *parent, const QString &caption, const QString &objectName)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setDefault(true);
    return button;
}

QPushButton *MakeDialogButton(QWidget *parent, const QString &caption, const QString &objectName)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout *MakeButtonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace printing
