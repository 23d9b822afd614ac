// The "What's this?" help of the program's forms: every form carries one
// help component that holds a short text per control name and shows it in a
// small pale-yellow popup beside the control. The help is reached through the
// "What's this?" item of the controls' context menus, through the help-pointer
// button (help mode: the next click on a control shows its help instead of
// acting) and through F1 on the focused control.
// Holds TODSHelpData, TODSHelpText, TODSHelp and TODSHelpPopup.
#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class QToolButton;

// One help record: a text and the help page it leads to (0 for none). The
// 16-bit value and the byte are carried along as the forms define them.
struct TODSHelpData {
    quint16 Value = 0;
    QString Text;
    quint8 Flag = 1;
    qint32 HelpContext = 0;
};

// Control names, each with a help record or none.
class TODSHelpText
{
public:
    void Clear();
    void Add(const QString &name, std::optional<TODSHelpData> data);
    void Add(const QString &name, const QString &text);
    int Count() const { return FNames.size(); }
    const QStringList &Strings() const { return FNames; }
    // Exact, case-sensitive; -1 when the name is not listed.
    int IndexOf(const QString &name) const;
    const std::optional<TODSHelpData> &Data(int index) const { return FData.at(index); }

    // The record whose text a control shows: entries without a record or
    // with an empty text count as missing, and a text "->Name" stands for
    // the entry Name, followed as often as needed. A chain of references
    // that comes back on itself counts as missing.
    std::optional<TODSHelpData> Find(const QString &name) const;

private:
    QStringList FNames;
    QList<std::optional<TODSHelpData>> FData;
};

class TODSHelpPopup;

class TODSHelp : public QObject
{
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(quint16 MaxWidth READ MaxWidth WRITE SetMaxWidth)
    Q_PROPERTY(QString MoreText READ MoreText WRITE SetMoreText)

public:
    // The component belongs to the form; the form's controls are its children.
    explicit TODSHelp(QWidget *form);
    ~TODSHelp() override;

    TODSHelpText &HelpText() { return FHelpText; }
    const TODSHelpText &HelpText() const { return FHelpText; }

    quint32 Color() const { return FColor; }
    void SetColor(quint32 color) { FColor = color; }
    QFont Font() const { return FFont; }
    void SetFont(const QFont &font) { FFont = font; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v) { FParentFont = v; }
    quint16 MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(quint16 v) { FMaxWidth = v; }
    QString MoreText() const { return FMoreText; }
    void SetMoreText(const QString &v) { FMoreText = v; }

    QWidget *Form() const { return FForm; }
    // The help component of the form a control sits on (the last when there
    // are several); null when the form has none.
    static TODSHelp *OfForm(const QWidget *control);

    // The text a control shows, line breaks as "\n"; empty when it has none
    // of its own (its parents are not asked).
    QString TextOf(const QWidget *control) const;
    // Shows the control's own help; false when it has none.
    bool ShowHelpOf(QWidget *control);
    // Shows the help of the control or else of its nearest parent that has
    // one, the form itself excepted; when none has help, HelpDone is raised.
    bool ShowHelpOfControlOrParents(QWidget *control);

    // Help mode: the next left click on a control of the program shows its
    // help instead of acting; Escape or the loss of focus ends it showing
    // nothing and leaves the focus where it was.
    void StartHelpMode();
    bool InHelpMode() const;
    void EndHelpMode();

    // The popup while it is on the screen, else null.
    TODSHelpPopup *VisiblePopup() const;

    // The help-pointer button of a form: a click starts the form's help mode.
    static QToolButton *MakeMouseHelpButton(QWidget *parent);

signals:
    // A popup closed, or help mode ended without showing one.
    void OnHelpDone();

private:
    friend class TODSHelpPopup;

    QWidget *FForm;
    TODSHelpText FHelpText;
    quint32 FColor = 0xE8FFFF;
    QFont FFont;
    bool FParentFont = true;
    quint16 FMaxWidth = 300;
    QString FMoreText;
    TODSHelpPopup *FPopup = nullptr;
};

// The popup: the text word-wrapped in a pale-yellow framed area with a
// checkered shadow to its right and below, closed by any key, any click or
// the loss of activation.
class TODSHelpPopup : public QWidget
{
    Q_OBJECT

public:
    explicit TODSHelpPopup(TODSHelp &owner);

    // Sizes and places the popup beside the control (its screen rectangle)
    // and shows it.
    void Popup(const QString &text, const QRect &controlOnScreen, int helpContext);

    QString Text() const { return FText; }
    int HelpContext() const { return FHelpContext; }
    // The framed text area inside the window (the rest is the shadow).
    QRect TextArea() const { return FTextArea; }
    // Where the "more" line is drawn; empty without a help context.
    QRect MoreTextRect() const { return FMoreRect; }

    static constexpr int kShadow = 6;
    static constexpr int kScreenGap = 10;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QFont TextFont() const;
    QFont MoreFont() const;
    void OpenHelpPage();

    TODSHelp &FOwner;
    QString FText;
    int FHelpContext = 0;
    QRect FTextArea;
    QRect FMoreRect;
    QPixmap FUnderneath;
};

// The program's help pages: the main window installs the opener at start-up;
// until then opening a page does nothing.
void SetHelpPageOpener(std::function<void(int context)> opener);
void OpenHelpPage(int context);
