// Holds TMasks, TNumEdit.
#include "widgets/NumericEdit.h"

#include "platform/Dialogs.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace numedit {
namespace {

// A non-negative number as decimal digits: value = 0.d1d2d3... x 10^exponent.
// Fifteen significant digits are what a double holds reliably, so a value
// typed as 2.675 rounds to 2.68 as the user expects, not to 2.67 as its
// binary neighbour would.
struct Decimal {
    QByteArray digits; // no leading or trailing zeros; empty means zero
    int exponent = 0;
};

void StripTrailingZeros(Decimal &d)
{
    while (!d.digits.isEmpty() && d.digits.endsWith('0'))
        d.digits.chop(1);
    if (d.digits.isEmpty())
        d.exponent = 0;
}

Decimal ToDecimal(double value)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0 || !std::isfinite(value))
        return d;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.14e", value); // d.dddddddddddddde+XX
    d.digits.append(buffer[0]);
    d.digits.append(buffer + 2, 14);
    d.exponent = std::atoi(std::strchr(buffer, 'e') + 1) + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps `keep` significant digits, rounding half away from zero.
void RoundAt(Decimal &d, int keep)
{
    if (keep >= d.digits.size())
        return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.prepend('1');
            d.exponent += 1;
        } else {
            d.digits[i] = char(d.digits[i] + 1);
        }
    }
    StripTrailingZeros(d);
}

QString IntegerDigits(const Decimal &d)
{
    QString s;
    for (int i = 0; i < d.exponent; ++i)
        s += i < d.digits.size() ? QChar::fromLatin1(d.digits[i]) : QLatin1Char('0');
    return s;
}

QString FractionDigits(const Decimal &d, int count)
{
    QString s;
    for (int j = 0; j < count; ++j) {
        const int index = d.exponent + j;
        s += index >= 0 && index < d.digits.size() ? QChar::fromLatin1(d.digits[index]) : QLatin1Char('0');
    }
    return s;
}

bool IsQuote(QChar c) { return c == QLatin1Char('\'') || c == QLatin1Char('"'); }
bool IsPlaceholder(QChar c) { return c == QLatin1Char('#') || c == QLatin1Char('0'); }

// Index just past the quoted text that starts at `start`.
int SkipQuoted(const QString &s, int start)
{
    const int close = s.indexOf(s[start], start + 1);
    return close < 0 ? s.size() : close + 1;
}

QStringList SplitSections(const QString &mask)
{
    QStringList sections;
    QString current;
    for (int i = 0; i < mask.size();) {
        if (IsQuote(mask[i])) {
            const int end = SkipQuoted(mask, i);
            current += mask.mid(i, end - i);
            i = end;
        } else if (mask[i] == QLatin1Char(';')) {
            sections << current;
            current.clear();
            ++i;
        } else {
            current += mask[i++];
        }
    }
    sections << current;
    return sections;
}

struct SectionShape {
    int pointAt = -1;          // index of the decimal point in the section
    int integerPlaces = 0;     // digit placeholders before the point
    int firstIntegerZero = -1; // ordinal of the first '0' among them
    int fractionPlaces = 0;    // digit placeholders after the point
    int lastFractionZero = 0;  // 1-based ordinal of the last '0' after the point
    bool thousands = false;
};

SectionShape Analyse(const QString &section)
{
    SectionShape shape;
    for (int i = 0; i < section.size();) {
        const QChar c = section[i];
        if (IsQuote(c)) {
            i = SkipQuoted(section, i);
            continue;
        }
        if (c == QLatin1Char('.') && shape.pointAt < 0) {
            shape.pointAt = i;
        } else if (IsPlaceholder(c)) {
            if (shape.pointAt < 0) {
                if (c == QLatin1Char('0') && shape.firstIntegerZero < 0)
                    shape.firstIntegerZero = shape.integerPlaces;
                ++shape.integerPlaces;
            } else {
                ++shape.fractionPlaces;
                if (c == QLatin1Char('0'))
                    shape.lastFractionZero = shape.fractionPlaces;
            }
        } else if (c == QLatin1Char(',') && shape.pointAt < 0) {
            shape.thousands = true;
        }
        ++i;
    }
    return shape;
}

QString FormatSection(const QString &section, const Decimal &d)
{
    const SectionShape shape = Analyse(section);
    const int minimumInteger = shape.firstIntegerZero < 0 ? 0 : shape.integerPlaces - shape.firstIntegerZero;
    QString integer = IntegerDigits(d);
    while (integer.size() < minimumInteger)
        integer.prepend(QLatin1Char('0'));
    QString fraction = FractionDigits(d, shape.fractionPlaces);
    while (fraction.size() > shape.lastFractionZero && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);

    const int n = integer.size();
    // Digits beyond the mask's placeholders go out with the first placeholder.
    const int overflow = n - shape.integerPlaces;
    QString out;
    auto emitIntegerDigit = [&](int index) {
        out += integer[index];
        if (shape.thousands && index < n - 1 && (n - 1 - index) % 3 == 0)
            out += kThousandSeparator;
    };
    auto emitAllIntegerDigits = [&] {
        for (int index = 0; index < n; ++index)
            emitIntegerDigit(index);
    };

    int integerOrdinal = 0;
    int fractionOrdinal = 0;
    bool afterPoint = false;
    for (int i = 0; i < section.size();) {
        const QChar c = section[i];
        if (IsQuote(c)) {
            const int end = SkipQuoted(section, i);
            out += section.mid(i + 1, qMax(0, end - i - 2));
            i = end;
            continue;
        }
        ++i;
        if (i - 1 == shape.pointAt) {
            if (shape.integerPlaces == 0)
                emitAllIntegerDigits();
            afterPoint = true;
            if (!fraction.isEmpty())
                out += kDecimalSeparator;
        } else if (IsPlaceholder(c) && !afterPoint) {
            if (integerOrdinal == 0)
                for (int index = 0; index < overflow; ++index)
                    emitIntegerDigit(index);
            const int index = integerOrdinal + overflow;
            if (index >= 0)
                emitIntegerDigit(index);
            ++integerOrdinal;
        } else if (IsPlaceholder(c)) {
            if (fractionOrdinal < fraction.size())
                out += fraction[fractionOrdinal];
            ++fractionOrdinal;
        } else if (c != QLatin1Char(',')) {
            out += c;
        }
    }
    return out;
}

} // namespace

QString FormatFloat(const QString &mask, double value)
{
    if (mask.isEmpty())
        return QString::number(value, 'g', 15);
    const QStringList sections = SplitSections(mask);
    const QString positive = sections.value(0);
    const QString negative = sections.value(1);
    const QString zero = sections.value(2);

    QString section = positive;
    bool minus = false;
    if (value < 0) {
        if (!negative.isEmpty())
            section = negative;
        else
            minus = true;
    } else if (value == 0 && !zero.isEmpty()) {
        section = zero;
    }
    Decimal d = ToDecimal(value);
    RoundAt(d, d.exponent + Analyse(section).fractionPlaces);
    if (d.digits.isEmpty()) {
        // A value that rounds to nothing shows as zero, never as "-0".
        minus = false;
        if (!zero.isEmpty())
            section = zero;
    }
    return (minus ? QStringLiteral("-") : QString()) + FormatSection(section, d);
}

QString FormatFixed(double value, int precision, int decimals)
{
    precision = qBound(1, precision, 18);
    decimals = qMax(0, decimals);
    Decimal d = ToDecimal(value);
    if (d.exponent > precision)
        return QString::number(value, 'g', precision);
    RoundAt(d, std::min(precision, d.exponent + decimals));
    QString text = IntegerDigits(d);
    if (text.isEmpty())
        text = QStringLiteral("0");
    if (decimals > 0)
        text += kDecimalSeparator + FractionDigits(d, decimals);
    if (value < 0 && !d.digits.isEmpty())
        text.prepend(QLatin1Char('-'));
    return text;
}

double RoundToDecimals(double value, int decimals, bool useRounding)
{
    const double scale = std::pow(10.0, decimals);
    // nearbyint follows the default rounding mode, which is half to even.
    const double scaled = useRounding ? std::nearbyint(value * scale) : std::trunc(value * scale);
    return scaled / scale;
}

QString DisplayText(double value, TNumericType type, const TMasks &masks, int digits, int decimals,
                    bool useRounding)
{
    double v = type == ntPercentage ? value * 100 : value;
    v = RoundToDecimals(v, decimals, useRounding);
    switch (type) {
    case ntGeneral:
        return FormatFloat(masks.PositiveMask + QLatin1Char(';') + masks.NegativeMask + QLatin1Char(';')
                               + masks.ZeroMask,
                           v);
    case ntCurrency: {
        const QLocale locale;
        return locale.toCurrencyString(v, locale.currencySymbol(), decimals);
    }
    case ntPercentage:
        return FormatFixed(v, digits, decimals) + QLatin1Char('%');
    }
    return QString();
}

QString EditingText(const QString &shownText, bool negative)
{
    QString text;
    for (QChar c : shownText)
        if (c.isDigit() || c == kDecimalSeparator || c == kThousandSeparator)
            text += c;
    if (negative)
        text.prepend(QLatin1Char('-'));
    return text;
}

bool ReadEditedText(const QString &text, double &value)
{
    QString number;
    bool negative = false;
    for (QChar c : text) {
        if (c.isDigit() || c == kDecimalSeparator)
            number += c;
        else if (c == QLatin1Char('-'))
            negative = true;
    }
    value = 0;
    if (number.isEmpty())
        return true;
    bool ok = false;
    const double read = QLocale::c().toDouble(number, &ok);
    if (!ok)
        return false;
    value = negative ? -read : read;
    return true;
}

bool AcceptsCharacter(const QString &text, QChar c)
{
    constexpr char16_t kBackspace = 0x08, kCopy = 0x03, kPaste = 0x16, kCut = 0x18;
    if (c.isDigit() && c.unicode() < 0x80)
        return true;
    switch (c.unicode()) {
    case kBackspace:
    case kCopy:
    case kPaste:
    case kCut:
        return true;
    default:
        break;
    }
    if (c == kThousandSeparator)
        return true;
    if (c == kDecimalSeparator)
        return !text.contains(kDecimalSeparator);
    if (c == QLatin1Char('-'))
        return !text.contains(QLatin1Char('-'));
    return false;
}

} // namespace numedit

TNumEdit::TNumEdit(QWidget *parent)
    : QLineEdit(parent)
{
    resize(85, sizeHint().height());
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Reformat();
}

void TNumEdit::Reformat()
{
    const QString shown = numedit::DisplayText(FValue, FNumericType, FMasks, FDigits, FDecimals, FUseRounding);
    if (!FEditing) {
        setText(shown);
        return;
    }
    const QString editing = numedit::EditingText(shown, FValue < 0);
    if (editing.size() > maxLength())
        setMaxLength(editing.size());
    setText(editing);
}

void TNumEdit::SetValue(double value)
{
    FValue = value;
    Reformat();
}

void TNumEdit::SetMin(double value)
{
    FMin = value;
    if (FValue < FMin)
        SetValue(FMin);
}

void TNumEdit::SetMax(double value)
{
    FMax = value;
    if (FValue > FMax)
        SetValue(FMax);
}

void TNumEdit::SetValidate(bool value)
{
    FValidate = value;
    if (FValidate && (FValue < FMin || FValue > FMax))
        SetValue(FMin);
}

void TNumEdit::SetDigits(int value)
{
    FDigits = value;
    Reformat();
}

void TNumEdit::SetDecimals(int value)
{
    FDecimals = value;
    Reformat();
}

void TNumEdit::SetNumericType(TNumericType value)
{
    FNumericType = value;
    Reformat();
}

void TNumEdit::SetMasks(const TMasks &masks)
{
    FMasks.PositiveMask = masks.PositiveMask.left(numedit::kMaxMaskLength);
    FMasks.NegativeMask = masks.NegativeMask.left(numedit::kMaxMaskLength);
    FMasks.ZeroMask = masks.ZeroMask.left(numedit::kMaxMaskLength);
    Reformat();
}

void TNumEdit::SetAllMasks(const QString &mask) { SetMasks({mask, mask, mask}); }

void TNumEdit::SetUseRounding(bool value)
{
    FUseRounding = value;
    Reformat();
}

void TNumEdit::BeginEditing()
{
    if (FEditing)
        return;
    FEditing = true;
    setText(numedit::EditingText(text(), FValue < 0));
    FSavedMaxLength = maxLength();
    // Never shorter than the text already there: Qt would cut it.
    setMaxLength(qMax(FDigits, text().size()));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

bool TNumEdit::EndEditing(bool reportRangeError)
{
    if (!FEditing)
        return true;
    double number = 0;
    if (!numedit::ReadEditedText(text(), number))
        number = 0; // a lone separator or sign holds no number
    if (FValidate && (number < FMin || number > FMax)) {
        if (reportRangeError)
            QTimer::singleShot(0, this, &TNumEdit::ReportRangeError);
        return false;
    }
    setMaxLength(FSavedMaxLength);
    FEditing = false;
    FValue = FNumericType == ntPercentage ? number / 100 : number;
    Reformat();
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    emit Exited();
    return true;
}

void TNumEdit::ReportRangeError()
{
    const QString text = QStringLiteral("Value must be between %1 and %2")
                             .arg(QString::number(FMin, 'g', 15), QString::number(FMax, 'g', 15));
    platform::ShowMessageBox({text, QGuiApplication::applicationDisplayName(), platform::miError, platform::mbOK},
                             this);
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

bool TNumEdit::CommitEditing()
{
    if (!FEditing)
        return true;
    if (!EndEditing(false))
        return false;
    if (hasFocus())
        BeginEditing();
    return true;
}

void TNumEdit::RaiseMaxLength()
{
    // Qt drops the selection when the limit changes; the typed character must
    // still replace what the user had selected.
    const int start = selectionStart();
    const int length = selectionLength();
    const int cursor = cursorPosition();
    setMaxLength(maxLength() + 1);
    if (start >= 0)
        setSelection(start, length);
    else
        setCursorPosition(cursor);
}

void TNumEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason && FEditing)
        return;
    BeginEditing();
    if (FAutoSelect)
        selectAll();
}

void TNumEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Switching to another window or opening a menu is not leaving the edit.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    EndEditing(true);
}

void TNumEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool isCharacter = typed.size() == 1 && typed[0] != QLatin1Char('\r') && typed[0] != QLatin1Char('\n')
        && typed[0] != QChar(0x1b) && typed[0] != QLatin1Char('\t') && typed[0] != QChar(0x7f);
    if (!isCharacter) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar c = typed[0];
    if (!numedit::AcceptsCharacter(text(), c)) {
        event->accept();
        return;
    }
    // The separator and the sign do not count against the digits allowed.
    if (c == numedit::kDecimalSeparator || c == QLatin1Char('-'))
        RaiseMaxLength();
    QLineEdit::keyPressEvent(event);
}
