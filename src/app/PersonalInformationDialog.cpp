// Holds TPersonalInformation.
#include "app/PersonalInformationDialog.h"

#include "app/AppHelpers.h"
#include "printing/DialogKit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
struct Field {
    const char *name;
    const char *label;
    const char *whatsThis;
};
const Field kFields[] = {
    {"pPersonalName", "Name", "Enter your name"},
    {"pPersonalCompany", "Company", "Enter your place of business"},
    {"pPersonalTitle", "Title", "Enter your title"},
    {"pPersonalAddress1", "Address 1", "Enter your address line 1 "},
    {"pPersonalAddress2", "Address 2", "Enter your address line 2"},
    {"pPersonalAddress3", "Address 3", "Enter your address line 3 "},
    {"pPersonalPhone1", "Phone 1", "Enter your phone #"},
    {"pPersonalPhone2", "Phone 2", "Enter your second phone #"},
    {"pPersonalEmail", "E-mail", "Enter your email address"},
    {"pPersonalFax", "Fax", "Enter your fax number"},
};
constexpr int kHelpContext = 2102;
} // namespace

TPersonalInformation::TPersonalInformation(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("PersonalInformation"));
    setWindowTitle(QStringLiteral("Personal Information"));
    auto *form = new QFormLayout;
    for (const Field &f : kFields) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(f.name));
        edit->setWhatsThis(QLatin1String(f.whatsThis));
        edit->setMinimumWidth(280);
        form->addRow(QLatin1String(f.label), edit);
        FEdits.append(edit);
    }

    QPushButton *ok = MakeHelpedButton(
        this, QStringLiteral("Ok"), QStringLiteral("OKButton"),
        QStringLiteral("Click here to accept changes to your personal information.\n\nNOTE: Personal Information "
                       "can be used to fill in a TEXT object by right clicking on the text object and selecting "
                       "Personal Information from the menu."));
    ok->setDefault(true);
    QPushButton *cancel =
        MakeHelpedButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancelbutton"),
                         QStringLiteral("Click here to cancel changes and return to the previous screen"));
    QPushButton *help = MakeHelpedButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"),
                                         QStringLiteral("Click to bring up Windows Help for the program"));
    QToolButton *mouseHelp = MakeMouseHelpButton(this);
    connect(ok, &QPushButton::clicked, this, &TPersonalInformation::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TPersonalInformation::CancelbuttonClick);
    connect(help, &QPushButton::clicked, this, &TPersonalInformation::HelpbuttonClick);

    QHBoxLayout *buttons = printing::MakeButtonRow({ok, cancel, help, mouseHelp});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    InstallWhatsThisMenus(this);
}

void TPersonalInformation::SetValues(const QStringList &values)
{
    for (int i = 0; i < FEdits.size(); ++i)
        FEdits[i]->setText(values.value(i));
}

QStringList TPersonalInformation::Values() const
{
    QStringList values;
    for (const QLineEdit *e : FEdits)
        values.append(e->text());
    return values;
}

void TPersonalInformation::OKButtonClick() { done(1); }
void TPersonalInformation::CancelbuttonClick() { done(2); }
void TPersonalInformation::HelpbuttonClick() { ShowHelpContext(kHelpContext); }
