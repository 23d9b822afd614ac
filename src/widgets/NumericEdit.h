// The numeric edit: an edit box for a decimal number that accepts only number
// characters while focused, shows the plain number while the user types and
// the value rounded and formatted by a mask, right-aligned, when the focus is
// elsewhere. The formatting is done by free functions so it can be checked
// without a widget.
// Holds TMasks, TNumEdit.
#pragma once

#include <QLineEdit>
#include <QString>

enum TNumericType { ntGeneral, ntCurrency, ntPercentage };

// The three sections of a float format mask: positive, negative and zero
// values. An empty negative or zero mask falls back to the positive one.
struct TMasks {
    QString PositiveMask = QStringLiteral("#,##0");
    QString NegativeMask;
    QString ZeroMask;
    bool operator==(const TMasks &) const = default;
};

namespace numedit {

// The numeric edit always uses these, whatever the desktop's locale, so that
// numbers read the same on every machine.
inline constexpr QChar kDecimalSeparator = QLatin1Char('.');
inline constexpr QChar kThousandSeparator = QLatin1Char(',');
inline constexpr int kMaxMaskLength = 25;

// Formats value by a float mask of up to three ';'-separated sections
// (positive;negative;zero). In a section, '0' is a digit that is always
// shown, '#' a digit shown only when significant, the first '.' the decimal
// point, ',' before the point asks for thousands separators, and text in
// single or double quotes as well as any other character is copied as is.
// The value is rounded half away from zero to the section's number of decimal
// places; a value that rounds to zero uses the zero section. An empty mask
// gives the shortest general form of the number.
QString FormatFloat(const QString &mask, double value);

// Fixed-point text with at most `precision` significant digits and exactly
// `decimals` places, rounded half away from zero: (0.66, 7, 3) -> "0.660".
QString FormatFixed(double value, int precision, int decimals);

// Rounds to `decimals` places: half to even when useRounding, else toward zero.
double RoundToDecimals(double value, int decimals, bool useRounding);

// The text the edit shows for value when it does not have the focus.
QString DisplayText(double value, TNumericType type, const TMasks &masks, int digits, int decimals,
                    bool useRounding);

// The text offered for editing: the digits and separators of the shown text,
// with a leading '-' for a negative value.
QString EditingText(const QString &shownText, bool negative);

// Reads the text the user leaves behind: only digits, the decimal separator
// and a minus sign count; an empty result reads as 0. False when what is left
// is not a number (for example a lone decimal separator).
bool ReadEditedText(const QString &text, double &value);

// Whether a typed character is taken, given the text as it stands. Control
// characters other than backspace and the copy, cut and paste keys are not.
bool AcceptsCharacter(const QString &text, QChar c);

} // namespace numedit

class TNumEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TNumEdit(QWidget *parent = nullptr);

    double Value() const { return FValue; }
    void SetValue(double value);
    double Min() const { return FMin; }
    void SetMin(double value);
    double Max() const { return FMax; }
    void SetMax(double value);
    bool Validate() const { return FValidate; }
    void SetValidate(bool value);
    int Digits() const { return FDigits; }
    void SetDigits(int value);
    int Decimals() const { return FDecimals; }
    void SetDecimals(int value);
    TNumericType NumericType() const { return FNumericType; }
    void SetNumericType(TNumericType value);
    const TMasks &Masks() const { return FMasks; }
    void SetMasks(const TMasks &masks);
    // One mask for all three sections, as the layout dialog uses.
    void SetAllMasks(const QString &mask);
    bool UseRounding() const { return FUseRounding; }
    void SetUseRounding(bool value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }

    // Takes over what the user typed when the edit still has the focus (an
    // OK reached by the Enter key leaves the focus where it is). False when
    // the typed number is out of range with Validate on; Value then stays.
    bool CommitEditing();
    bool IsEditing() const { return FEditing; }

signals:
    // The user left the edit and Value has taken the typed number.
    void Exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Reformat();
    void BeginEditing();
    // False when the typed number was refused by the range check.
    bool EndEditing(bool reportRangeError);
    void ReportRangeError();
    void RaiseMaxLength();

    double FValue = 0;
    double FMin = 0;
    double FMax = 0;
    bool FValidate = false;
    int FDigits = 12;
    int FDecimals = 2;
    TNumericType FNumericType = ntCurrency;
    TMasks FMasks;
    bool FUseRounding = true;
    bool FAutoSelect = true;
    bool FEditing = false;
    int FSavedMaxLength = 32767;
};
