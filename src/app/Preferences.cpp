#include "app/Preferences.h"

#include "platform/IniFile.h"
#include "platform/Rounding.h"
#include "printing/SheetLayoutDialog.h"

#include <algorithm>

namespace {
const QString kPrinter = QStringLiteral("Printer");
const QString kPersonal = QStringLiteral("Personal");
const QString kFont = QStringLiteral("Default Font");
const QString kLayout = QStringLiteral("Layout");

float ReadLength(const TIniFile &ini, const QString &key, int defaultThousandths)
{
    return LengthFromIni(ini.ReadInteger(kLayout, key, defaultThousandths));
}

void WriteLength(TIniFile &ini, const QString &key, float inches)
{
    ini.WriteInteger(kLayout, key, LengthToIni(inches));
}
void WriteProductKey(TIniFile &ini, const QString &key, const QString &value)
{
    if (value.isEmpty())
        ini.DeleteKey(kLayout, key);
    else
        ini.WriteString(kLayout, key, value);
}
} // namespace

const QStringList &PersonalKeys()
{
    static const QStringList keys = {
        QStringLiteral("Name"),     QStringLiteral("Company"),  QStringLiteral("Title"),
        QStringLiteral("Address1"), QStringLiteral("Address2"), QStringLiteral("Address3"),
        QStringLiteral("Phone1"),   QStringLiteral("Phone2"),   QStringLiteral("Email"),
        QStringLiteral("Fax")};
    return keys;
}

int LengthToIni(float inches) { return platform::Round(double(inches) * 1000.0); }

float LengthFromIni(int thousandths) { return float(thousandths * 0.001); }

namespace {

// The four nudge keys, each with a prefix: none for the front, "Back" for the back.
PrinterNudges ReadNudges(const TIniFile &ini, const QString &prefix)
{
    PrinterNudges n;
    n.TopMarginNudge = ini.ReadInteger(kPrinter, prefix + QStringLiteral("TopMarginNudge"), 0);
    n.LeftMarginNudge = ini.ReadInteger(kPrinter, prefix + QStringLiteral("LeftMarginNudge"), 0);
    n.VerticalSpacing = ini.ReadInteger(kPrinter, prefix + QStringLiteral("VerticalSpacing"), 0);
    n.HorizontalSpacing = ini.ReadInteger(kPrinter, prefix + QStringLiteral("HorizontalSpacing"), 0);
    // Fine tuning offers -8 to 8 (1/32 inch); a hand-edited value is held there.
    for (int *nudge : {&n.TopMarginNudge, &n.LeftMarginNudge, &n.VerticalSpacing, &n.HorizontalSpacing})
        *nudge = std::clamp(*nudge, -8, 8);
    return n;
}

void WriteNudges(TIniFile &ini, const QString &prefix, const PrinterNudges &n)
{
    ini.WriteInteger(kPrinter, prefix + QStringLiteral("TopMarginNudge"), n.TopMarginNudge);
    ini.WriteInteger(kPrinter, prefix + QStringLiteral("LeftMarginNudge"), n.LeftMarginNudge);
    ini.WriteInteger(kPrinter, prefix + QStringLiteral("VerticalSpacing"), n.VerticalSpacing);
    ini.WriteInteger(kPrinter, prefix + QStringLiteral("HorizontalSpacing"), n.HorizontalSpacing);
}

const QString kBackPrefix = QStringLiteral("Back");

} // namespace

void LoadPreferences(const TIniFile &ini, TPreferences &prefs)
{
    prefs.Nudges = ReadNudges(ini, QString());
    prefs.BackNudges = ReadNudges(ini, kBackPrefix);
    prefs.ShowBottomMarginWarning = ini.ReadBool(kPrinter, QStringLiteral("ShowBottomMarginWarning"), true);

    prefs.Personal = QStringList(10);
    for (int i = 0; i < PersonalKeys().size(); ++i)
        prefs.Personal[i] = ini.ReadString(kPersonal, PersonalKeys()[i], QString());

    CardSheetLayout &l = prefs.Layout;
    l.Height = ReadLength(ini, QStringLiteral("Height"), 2000);
    l.Width = ReadLength(ini, QStringLiteral("Width"), 3500);
    l.Across = ini.ReadInteger(kLayout, QStringLiteral("Across"), 2);
    l.Down = ini.ReadInteger(kLayout, QStringLiteral("Down"), 5);
    l.TopMargin = ReadLength(ini, QStringLiteral("TopMargin"), 500);
    l.LeftMargin = ReadLength(ini, QStringLiteral("LeftMargin"), 750);
    l.HPitch = ReadLength(ini, QStringLiteral("HPitch"), 3500);
    l.VPitch = ReadLength(ini, QStringLiteral("VPitch"), 2000);
    l.PredefLayout = ini.ReadInteger(kLayout, QStringLiteral("PredefLayout"), 0);
    l.Papersize = ini.ReadInteger(kLayout, QStringLiteral("Papersize"), 1);
    l.UseMM = ini.ReadBool(kLayout, QStringLiteral("UseMM"), false);
    l.Brand = ini.ReadString(kLayout, QStringLiteral("Brand"), QString());
    l.Part = ini.ReadString(kLayout, QStringLiteral("Part"), QString());
    l.RoundedCorners = ini.ReadBool(kLayout, QStringLiteral("RoundedCorners"), false);
    // A hand-edited layout must not ask Print for millions of cells or a card
    // the size of a wall: the dialog's own limits apply.
    l = sheetlayout::LayoutWithinLimits(l);

    TDefaultFont &f = prefs.Font;
    f.Name = ini.ReadString(kFont, QStringLiteral("Name"), QStringLiteral("Arial")).left(255);
    f.Size = ini.ReadInteger(kFont, QStringLiteral("Size"), 10);
    f.Bold = ini.ReadBool(kFont, QStringLiteral("Bold"), false);
    f.Italic = ini.ReadBool(kFont, QStringLiteral("Italic"), false);
    f.Underline = ini.ReadBool(kFont, QStringLiteral("Underline"), false);
}

void SavePreferences(TIniFile &ini, const TPreferences &prefs)
{
    WriteNudges(ini, QString(), prefs.Nudges);
    // The back's nudges are written only while one is set, so that a user
    // who never prints two-sided keeps the section as it always was.
    if (prefs.BackNudges != PrinterNudges()) {
        WriteNudges(ini, kBackPrefix, prefs.BackNudges);
    } else {
        for (const char *key : {"TopMarginNudge", "LeftMarginNudge", "VerticalSpacing", "HorizontalSpacing"})
            ini.DeleteKey(kPrinter, kBackPrefix + QLatin1String(key));
    }
    for (int i = 0; i < PersonalKeys().size(); ++i)
        ini.WriteString(kPersonal, PersonalKeys()[i], prefs.Personal.value(i));
    ini.WriteBool(kPrinter, QStringLiteral("ShowBottomMarginWarning"), prefs.ShowBottomMarginWarning);

    const TDefaultFont &f = prefs.Font;
    ini.WriteString(kFont, QStringLiteral("Name"), f.Name);
    ini.WriteInteger(kFont, QStringLiteral("Size"), f.Size);
    ini.WriteBool(kFont, QStringLiteral("Bold"), f.Bold);
    ini.WriteBool(kFont, QStringLiteral("Italic"), f.Italic);
    ini.WriteBool(kFont, QStringLiteral("Underline"), f.Underline);

    const CardSheetLayout &l = prefs.Layout;
    WriteLength(ini, QStringLiteral("Height"), l.Height);
    WriteLength(ini, QStringLiteral("Width"), l.Width);
    WriteLength(ini, QStringLiteral("TopMargin"), l.TopMargin);
    WriteLength(ini, QStringLiteral("LeftMargin"), l.LeftMargin);
    WriteLength(ini, QStringLiteral("HPitch"), l.HPitch);
    WriteLength(ini, QStringLiteral("VPitch"), l.VPitch);
    ini.WriteInteger(kLayout, QStringLiteral("PredefLayout"), l.PredefLayout);
    ini.WriteInteger(kLayout, QStringLiteral("Papersize"), l.Papersize);
    ini.WriteInteger(kLayout, QStringLiteral("Across"), l.Across);
    ini.WriteInteger(kLayout, QStringLiteral("Down"), l.Down);
    ini.WriteBool(kLayout, QStringLiteral("UseMM"), l.UseMM);
    // The card stock product is written only while one is chosen, so that a
    // built-in layout leaves the section as it always was.
    WriteProductKey(ini, QStringLiteral("Brand"), l.Brand);
    WriteProductKey(ini, QStringLiteral("Part"), l.Part);
    if (l.RoundedCorners)
        ini.WriteBool(kLayout, QStringLiteral("RoundedCorners"), true);
    else
        ini.DeleteKey(kLayout, QStringLiteral("RoundedCorners"));
}
