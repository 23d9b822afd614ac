// The personal information dialog: ten lines of the user's own details that
// business-card labels offer as ready-made texts.
// Holds TPersonalInformation.
#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;

class TPersonalInformation : public QDialog
{
    Q_OBJECT

public:
    explicit TPersonalInformation(QWidget *parent = nullptr);

    // Name, Company, Title, Address1..3, Phone1, Phone2, Email, Fax.
    void SetValues(const QStringList &values);
    QStringList Values() const;
    QLineEdit *Edit(int index) const { return FEdits.value(index); }

    void OKButtonClick();
    void CancelbuttonClick();
    void HelpbuttonClick();
    // Escape and the close box count as Cancel.
    void reject() override { CancelbuttonClick(); }

private:
    QList<QLineEdit *> FEdits;
};
