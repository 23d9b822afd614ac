#include "printing/DialogKit.h"

#include "platform/Dialogs.h"
#include "widgets/ContextHelp.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

namespace printing {

void SetHelpOpener(HelpOpener opener) { SetHelpPageOpener(std::move(opener)); }

void OpenHelp(int context) { OpenHelpPage(context); }

void ShowInformation(QWidget *parent, const QString &text)
{
    platform::ShowMessageBox({text, QStringLiteral("Information"), platform::miInformation, platform::mbOK}, parent);
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
