#include "dialogs/PropertyDialog.h"

#include "platform/Graphics.h"

#include "printing/DialogKit.h"
#include "widgets/ContextHelp.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

TPropertyDialog::TPropertyDialog(QWidget *parent, const QString &caption, int helpContext)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), FHelpContext(helpContext)
{
    setWindowTitle(caption);
    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Cancelbutton = new QPushButton(tr("Cancel"), this);
    Cancelbutton->setObjectName(QStringLiteral("Cancelbutton"));
    Helpbutton = new QPushButton(tr("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));
    MouseHelpButton = TODSHelp::MakeMouseHelpButton(this);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancelbutton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Helpbutton, &QPushButton::clicked, this, [this] { printing::OpenHelp(FHelpContext); });
}

QHBoxLayout *TPropertyDialog::ButtonRow()
{
    auto *row = new QHBoxLayout;
    row->addWidget(MouseHelpButton);
    row->addStretch();
    row->addWidget(OKButton);
    row->addWidget(Helpbutton);
    row->addWidget(Cancelbutton);
    return row;
}

void TPropertyDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!FCentred) {
        FCentred = true;
        CenterOverMainWindow();
    }
    EnsureActivated();
}

void TPropertyDialog::EnsureActivated()
{
    if (FActivated)
        return;
    FActivated = true;
    FormActivate();
}

void TPropertyDialog::StepFontSize(TFont &font, bool up)
{
    if (up && font.Size() < 150)
        font.SetSize(font.Size() + 5);
    else if (!up && font.Size() > 10)
        font.SetSize(font.Size() - 5);
}

void TPropertyDialog::CenterOverMainWindow()
{
    QWidget *main = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (!main || main == this)
        return;
    const QRect m = main->frameGeometry();
    move(m.left() + (m.width() - frameGeometry().width()) / 2, m.top() + (m.height() - frameGeometry().height()) / 2);
}
