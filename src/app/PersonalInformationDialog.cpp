// Holds TPersonalInformation.
#include "app/PersonalInformationDialog.h"

#include "app/AppHelpers.h"
#include "printing/DialogKit.h"
#include "widgets/FormHelpTexts.h"

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
};
const Field kFields[] = {
    {"pPersonalName", "Name"},
    {"pPersonalCompany", "Company"},
    {"pPersonalTitle", "Title"},
    {"pPersonalAddress1", "Address 1"},
    {"pPersonalAddress2", "Address 2"},
    {"pPersonalAddress3", "Address 3"},
    {"pPersonalPhone1", "Phone 1"},
    {"pPersonalPhone2", "Phone 2"},
    {"pPersonalEmail", "E-mail"},
    {"pPersonalFax", "Fax"},
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
        edit->setMinimumWidth(280);
        form->addRow(QLatin1String(f.label), edit);
        FEdits.append(edit);
    }

    QPushButton *ok = MakeFormButton(this, QStringLiteral("Ok"), QStringLiteral("OKButton"));
    ok->setDefault(true);
    QPushButton *cancel = MakeFormButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancelbutton"));
    QPushButton *help = MakeFormButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"));
    QToolButton *mouseHelp = MakeMouseHelpButton(this);
    connect(ok, &QPushButton::clicked, this, &TPersonalInformation::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TPersonalInformation::CancelbuttonClick);
    connect(help, &QPushButton::clicked, this, &TPersonalInformation::HelpbuttonClick);

    QHBoxLayout *buttons = printing::MakeButtonRow({ok, cancel, help, mouseHelp});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AttachFormHelp(this);
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
