// Holds TTimerSpeedButton, TSpinButton, TSpinEdit.
#include "widgets/SpinEdit.h"

#include "platform/Dialogs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionButton>
#include <QTimer>
#include <limits>

// ---- TTimerSpeedButton ----

TTimerSpeedButton::TTimerSpeedButton(TArrow arrow, QWidget *parent) : QAbstractButton(parent), FArrow(arrow)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, &TTimerSpeedButton::OnClick);
}

void TTimerSpeedButton::SetGlyph(const QPixmap &glyph)
{
    FGlyph = glyph;
    update();
}

void TTimerSpeedButton::SetShowFocus(bool v)
{
    if (FShowFocus == v)
        return;
    FShowFocus = v;
    update();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent *e)
{
    QAbstractButton::mousePressEvent(e);
    if (!FAllowTimer || !isDown())
        return;
    StopTimer();
    FRepeatTimer = new QTimer(this);
    FRepeatTimer->setTimerType(Qt::PreciseTimer);
    FRepeatTimer->setInterval(kInitialRepeatMs);
    connect(FRepeatTimer, &QTimer::timeout, this, &TTimerSpeedButton::TimerExpired);
    FRepeatTimer->start();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent *e)
{
    StopTimer();
    // The release over the button gives the ordinary click.
    QAbstractButton::mouseReleaseEvent(e);
}

void TTimerSpeedButton::TimerExpired()
{
    if (FRepeatTimer)
        FRepeatTimer->setInterval(kRepeatMs);
    if (isDown() && isEnabled())
        emit OnClick();
}

void TTimerSpeedButton::StopTimer()
{
    delete FRepeatTimer;
    FRepeatTimer = nullptr;
}

void TTimerSpeedButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &p, this);

    const int shift = isDown() ? 1 : 0;
    if (!FGlyph.isNull()) {
        const QPoint at((width() - FGlyph.width()) / 2 + shift, (height() - FGlyph.height()) / 2 + shift);
        p.drawPixmap(at, FGlyph);
    } else {
        QStyleOption arrow;
        arrow.initFrom(this);
        const int side = qMax(4, qMin(width(), height()) - 4);
        arrow.rect = QRect((width() - side) / 2 + shift, (height() - side) / 2 + shift, side, side);
        style()->drawPrimitive(FArrow == arUp ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &p, this);
    }
    if (FShowFocus) {
        // Three pixels inside the edge, moved with the face while pressed.
        QRect r = rect().adjusted(3, 3, -3, -3).translated(shift, shift);
        p.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

// ---- TSpinButton ----

TSpinButton::TSpinButton(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    FUpButton = new TTimerSpeedButton(TTimerSpeedButton::arUp, this);
    FUpButton->setObjectName(QStringLiteral("UpButton"));
    FDownButton = new TTimerSpeedButton(TTimerSpeedButton::arDown, this);
    FDownButton->setObjectName(QStringLiteral("DownButton"));
    FFocusedButton = FUpButton;
    for (TTimerSpeedButton *b : {FUpButton, FDownButton}) {
        connect(b, &QAbstractButton::pressed, this, [this, b] { ButtonPressed(b); });
        connect(b, &TTimerSpeedButton::OnClick, this, [this, b] { ButtonClicked(b); });
    }
    setMinimumWidth(15);
    resize(20, 25);
}

void TSpinButton::SetUpGlyph(const QPixmap &glyph) { FUpButton->SetGlyph(glyph); }
void TSpinButton::SetDownGlyph(const QPixmap &glyph) { FDownButton->SetGlyph(glyph); }

void TSpinButton::resizeEvent(QResizeEvent *)
{
    // The up button takes the upper half; the down button the rest, one
    // pixel over the up button.
    const int w = qMax(15, width());
    const int half = height() / 2;
    FUpButton->setGeometry(0, 0, w, half);
    FDownButton->setGeometry(0, half - 1, w, height() - half + 1);
}

void TSpinButton::ButtonPressed(TTimerSpeedButton *button)
{
    SetFocusedButton(button);
    QWidget *target = FFocusControl;
    if (target && target->isEnabled() && target->isVisible() && target->focusPolicy() != Qt::NoFocus)
        target->setFocus(Qt::MouseFocusReason);
    else if (focusPolicy() & Qt::TabFocus)
        setFocus(Qt::MouseFocusReason);
}

void TSpinButton::SetFocusedButton(TTimerSpeedButton *button)
{
    FFocusedButton = button;
    FUpButton->SetShowFocus(hasFocus() && button == FUpButton);
    FDownButton->SetShowFocus(hasFocus() && button == FDownButton);
}

void TSpinButton::ButtonClicked(TTimerSpeedButton *button)
{
    if (button == FUpButton)
        emit OnUpClick();
    else
        emit OnDownClick();
}

void TSpinButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Up:
        SetFocusedButton(FUpButton);
        ButtonClicked(FUpButton);
        break;
    case Qt::Key_Down:
        SetFocusedButton(FDownButton);
        ButtonClicked(FDownButton);
        break;
    case Qt::Key_Space:
        ButtonClicked(FFocusedButton);
        break;
    default:
        QWidget::keyPressEvent(e);
    }
}

void TSpinButton::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    SetFocusedButton(FFocusedButton);
}

void TSpinButton::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    SetFocusedButton(FFocusedButton);
}

// ---- TSpinEdit ----

TSpinEdit::TSpinEdit(QWidget *parent) : QLineEdit(parent)
{
    FButton = new TSpinButton(this);
    FButton->resize(15, 17);
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->SetFocusControl(this);
    FButton->setCursor(Qt::ArrowCursor);
    connect(FButton, &TSpinButton::OnUpClick, this, &TSpinEdit::UpClick);
    connect(FButton, &TSpinButton::OnDownClick, this, &TSpinEdit::DownClick);
    setText(QStringLiteral("0"));
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int v = text().trimmed().toInt(&ok, 10);
    return ok ? v : FMinValue;
}

int TSpinEdit::CheckValue(int v) const
{
    if (FMaxValue == FMinValue)
        return v;
    if (v < FMinValue)
        return FMinValue;
    if (v > FMaxValue)
        return FMaxValue;
    return v;
}

void TSpinEdit::SetValue(int v) { setText(QString::number(CheckValue(v))); }

namespace {
// Steps without wrapping round the ends of the integer range.
int StepValue(int value, int step)
{
    const long long r = static_cast<long long>(value) + step;
    const long long lo = std::numeric_limits<int>::min();
    const long long hi = std::numeric_limits<int>::max();
    return int(r < lo ? lo : r > hi ? hi : r);
}
} // namespace

void TSpinEdit::UpClick()
{
    if (isReadOnly())
        platform::MessageBeep();
    else
        SetValue(StepValue(Value(), FIncrement));
}

void TSpinEdit::DownClick()
{
    if (isReadOnly())
        platform::MessageBeep();
    else
        SetValue(StepValue(Value(), -FIncrement));
}

bool TSpinEdit::IsValidChar(QChar c) const
{
    const bool printable = c.unicode() >= 32 && c.unicode() != 127;
    if (!FEditorEnabled && (printable || c == QLatin1Char('\b') || c.unicode() == 127))
        return false;
    if (c == QLatin1Char('+') || c == QLatin1Char('-') || c.isDigit())
        return true;
    if (QLocale().decimalPoint().contains(c))
        return true;
    return !printable && c != QLatin1Char('\r');
}

void TSpinEdit::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Up) {
        UpClick();
        return;
    }
    if (e->key() == Qt::Key_Down) {
        DownClick();
        return;
    }
    if (e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Paste)) {
        if (FEditorEnabled && !isReadOnly())
            QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // Left to the dialog: Enter presses its default button.
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
        if (!FEditorEnabled) {
            platform::MessageBeep();
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    }
    const QString typed = e->text();
    for (const QChar c : typed)
        if (!IsValidChar(c)) {
            platform::MessageBeep();
            return;
        }
    QLineEdit::keyPressEvent(e);
}

QMenu *TSpinEdit::CreateContextMenu()
{
    // A read-only edit's standard menu has no items that change the text;
    // the actions carry no names to find them by, so the menu is made while
    // the edit is read-only.
    const bool readOnly = isReadOnly();
    if (!FEditorEnabled)
        setReadOnly(true);
    QMenu *menu = createStandardContextMenu();
    setReadOnly(readOnly);
    return menu;
}

void TSpinEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

void TSpinEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    if (FAutoSelect && e->reason() != Qt::MouseFocusReason)
        selectAll();
}

void TSpinEdit::focusOutEvent(QFocusEvent *e)
{
    const int v = Value();
    if (CheckValue(v) != v)
        SetValue(v);
    QLineEdit::focusOutEvent(e);
}

void TSpinEdit::resizeEvent(QResizeEvent *e)
{
    QLineEdit::resizeEvent(e);
    const int frame = 2;
    const int h = qMax(1, height() - 2 * frame);
    FButton->setGeometry(width() - FButton->width() - frame, frame, FButton->width(), h);
    // The text ends two pixels left of the button.
    setTextMargins(0, 0, FButton->width() + 2, 0);
}

void TSpinEdit::SetAutoSize(bool v)
{
    FAutoSize = v;
    updateGeometry();
}

int TSpinEdit::AutoHeight() const
{
    // Four border widths, the character height, a quarter of the smaller of
    // the system font's and the font's height, and two.
    const int charHeight = fontMetrics().height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return 4 + charHeight + qMin(systemHeight, charHeight) / 4 + 2;
}

QSize TSpinEdit::sizeHint() const
{
    QSize s = QLineEdit::sizeHint();
    if (FAutoSize)
        s.setHeight(qMax(s.height(), AutoHeight()));
    return s;
}

QSize TSpinEdit::minimumSizeHint() const
{
    QSize s = QLineEdit::minimumSizeHint();
    if (FAutoSize)
        s.setHeight(qMax(s.height(), AutoHeight()));
    return s;
}
