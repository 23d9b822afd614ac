// Up/down buttons: TSpinButton, a pair of stacked buttons that repeat while
// held; TSpinEdit, an integer edit with such a pair at its right edge; and
// TTimerSpeedButton, the repeating button inside the pair.
// Holds TTimerSpeedButton, TSpinButton, TSpinEdit.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>

class QMenu;
class QTimer;

class TTimerSpeedButton : public QAbstractButton
{
    Q_OBJECT

public:
    // The first repeat comes this long after the press, the next ones at the
    // shorter interval.
    static constexpr int kInitialRepeatMs = 400;
    static constexpr int kRepeatMs = 100;

    enum TArrow { arUp, arDown };
    explicit TTimerSpeedButton(TArrow arrow, QWidget *parent = nullptr);

    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool v) { FAllowTimer = v; }
    void SetGlyph(const QPixmap &glyph);
    void SetShowFocus(bool v);
    bool ShowFocus() const { return FShowFocus; }

    // The repeat timer while the button is held, else null (tests drive it).
    QTimer *RepeatTimer() const { return FRepeatTimer; }
    // What the repeat timer runs when it fires.
    void TimerExpired();

signals:
    // Every click: the ordinary one on release and each repeat while held.
    void OnClick();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void StopTimer();

    TArrow FArrow;
    QPixmap FGlyph;
    bool FAllowTimer = true;
    bool FShowFocus = false;
    QTimer *FRepeatTimer = nullptr;
};

class TSpinButton : public QWidget
{
    Q_OBJECT

public:
    explicit TSpinButton(QWidget *parent = nullptr);

    void SetUpGlyph(const QPixmap &glyph);
    void SetDownGlyph(const QPixmap &glyph);
    QWidget *FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget *control) { FFocusControl = control; }

    TTimerSpeedButton *UpButton() const { return FUpButton; }
    TTimerSpeedButton *DownButton() const { return FDownButton; }
    // The button that answers Space: the last one pressed (the up button at first).
    TTimerSpeedButton *FocusedButton() const { return FFocusedButton; }

    QSize sizeHint() const override { return QSize(20, 25); }

signals:
    void OnUpClick();
    void OnDownClick();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void ButtonPressed(TTimerSpeedButton *button);
    void SetFocusedButton(TTimerSpeedButton *button);
    void ButtonClicked(TTimerSpeedButton *button);

    TTimerSpeedButton *FUpButton;
    TTimerSpeedButton *FDownButton;
    TTimerSpeedButton *FFocusedButton;
    QPointer<QWidget> FFocusControl;
};

class TSpinEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    // The edit's context menu: the standard edit items, without those that
    // would change the text while the text cannot be typed in.
    QMenu *CreateContextMenu();

    // The text as a decimal integer; text that is not a number gives MinValue.
    int Value() const;
    // Clamped to MinValue..MaxValue unless the two are equal.
    void SetValue(int v);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int v) { FMinValue = v; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v) { FMaxValue = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    // Off: the text cannot be typed, but the buttons and arrow keys still work.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);

    TSpinButton *Button() const { return FButton; }
    void UpClick();
    void DownClick();

    // Whether a typed character is taken.
    bool IsValidChar(QChar c) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    int CheckValue(int v) const;
    int AutoHeight() const;

    TSpinButton *FButton;
    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
    bool FEditorEnabled = true;
    bool FAutoSelect = true;
    bool FAutoSize = true;
};
