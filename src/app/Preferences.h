// The preferences the main window keeps in the settings file: printer nudges,
// the bottom-margin warning switch, personal information, the default font and
// the sheet layout. Reading and writing follow a fixed order of keys, so that
// a new settings file always comes out the same.
#pragma once

#include "printing/CardSheetLayout.h"

#include <QString>
#include <QStringList>

class TIniFile;

struct TDefaultFont {
    QString Name = QStringLiteral("Arial");
    int Size = 10;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const TDefaultFont &) const = default;
};

struct TPreferences {
    PrinterNudges Nudges;
    // The same corrections for the back of a two-sided sheet: a printer
    // shifts the second side of a sheet differently from the first.
    PrinterNudges BackNudges;
    bool ShowBottomMarginWarning = true;
    // Name, Company, Title, Address1, Address2, Address3, Phone1, Phone2, Email, Fax.
    QStringList Personal = QStringList(10);
    TDefaultFont Font;
    CardSheetLayout Layout;

    bool operator==(const TPreferences &) const = default;
};

// The keys of section "Personal", in the order of the ten strings.
const QStringList &PersonalKeys();

// Lengths are kept as whole thousandths of an inch.
int LengthToIni(float inches);
float LengthFromIni(int thousandths);

void LoadPreferences(const TIniFile &ini, TPreferences &prefs);
void SavePreferences(TIniFile &ini, const TPreferences &prefs);
