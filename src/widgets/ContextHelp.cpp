// Holds TODSHelpText, TODSHelp and TODSHelpPopup, and the application event
// filter that stands for the help mode's capturing mask: while help mode is on
// it takes every click and key before any control sees it.
#include "widgets/ContextHelp.h"

#include "widgets/SpinEdit.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSet>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace {

std::function<void(int)> g_helpPageOpener;

QString DisplayText(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

QColor ColorOf(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// A control's menu of its own (cut, copy, paste ...) to which "What's this?"
// is added: the edits keep theirs, with the items they enable; every other
// control gets a menu with the one item.
QMenu *StandardMenuOf(QWidget *receiver, const QPoint &globalPos)
{
    for (QWidget *w = receiver; w && !w->isWindow(); w = w->parentWidget()) {
        if (auto *spin = qobject_cast<TSpinEdit *>(w))
            return spin->CreateContextMenu();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            return edit->createStandardContextMenu();
        if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
            return plain->createStandardContextMenu(plain->viewport()->mapFromGlobal(globalPos));
        if (auto *rich = qobject_cast<QTextEdit *>(w))
            return rich->createStandardContextMenu(rich->viewport()->mapFromGlobal(globalPos));
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
            if (auto *edit = spin->findChild<QLineEdit *>())
                return edit->createStandardContextMenu();
    }
    return new QMenu;
}

// The control that answers for a receiver of input: the receiver, or the
// widget under the pointer when the event went to a window.
QWidget *ControlAt(QObject *receiver, const QPointF &globalPos)
{
    if (auto *w = qobject_cast<QWidget *>(receiver))
        return w;
    return QApplication::widgetAt(globalPos.toPoint());
}

bool IsMouseButtonEvent(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick;
}

bool IsInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

// One filter for the whole program: "What's this?" menus, F1 and help mode.
class THelpFilter : public QObject
{
public:
    static THelpFilter &Instance()
    {
        static THelpFilter *filter = [] {
            auto *f = new THelpFilter;
            qApp->installEventFilter(f);
            return f;
        }();
        return *filter;
    }

    void StartHelpMode(TODSHelp *help)
    {
        if (FHelpMode)
            EndHelpMode(false);
        FHelpMode = help;
        FTarget = nullptr;
        FFinishing = false;
        FPreviousFocus = help->Form()->focusWidget();
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
        // Installed again, the filter goes first: no other filter of the
        // program sees a click or key while help mode lasts.
        qApp->installEventFilter(this);
    }

    bool InHelpMode(const TODSHelp *help) const { return FHelpMode && FHelpMode == help; }

    // Ends help mode; without a target the focus goes back where it was and
    // HelpDone is raised.
    void EndHelpMode(bool showTarget)
    {
        if (!FHelpMode)
            return;
        QPointer<TODSHelp> help = FHelpMode;
        QPointer<QWidget> target = FTarget;
        FHelpMode = nullptr;
        FTarget = nullptr;
        FFinishing = false;
        QApplication::restoreOverrideCursor();
        if (FPreviousFocus)
            FPreviousFocus->setFocus(Qt::OtherFocusReason);
        FPreviousFocus = nullptr;
        if (!help)
            return;
        if (showTarget && target) {
            // The control's own form answers; a control of a form without help
            // shows nothing.
            if (TODSHelp *owner = TODSHelp::OfForm(target)) {
                owner->ShowHelpOfControlOrParents(target);
                return;
            }
        }
        emit help->OnHelpDone();
    }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (FHelpMode)
            return HelpModeEvent(receiver, event);
        if (type == QEvent::ContextMenu)
            return ContextMenuEvent(receiver, static_cast<QContextMenuEvent *>(event));
        if (type == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
            static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier)
            return F1Event(receiver);
        return false;
    }

private:
    bool ContextMenuEvent(QObject *receiver, QContextMenuEvent *event)
    {
        auto *control = qobject_cast<QWidget *>(receiver);
        if (!control || control->isWindow() || control->contextMenuPolicy() != Qt::DefaultContextMenu)
            return false;
        TODSHelp *help = TODSHelp::OfForm(control);
        if (!help || !HelpedControl(*help, control))
            return false;
        const QPoint at = event->globalPos();
        QPointer<QWidget> guarded = control;
        QMenu *menu = StandardMenuOf(control, at);
        if (!menu->isEmpty())
            menu->addSeparator();
        QAction *whatsThis = menu->addAction(QStringLiteral("What's this?"));
        bool chosen = false;
        QObject::connect(whatsThis, &QAction::triggered, [&chosen] { chosen = true; });
        menu->exec(at);
        delete menu;
        if (chosen && guarded)
            if (TODSHelp *owner = TODSHelp::OfForm(guarded))
                owner->ShowHelpOfControlOrParents(guarded);
        return true;
    }

    bool F1Event(QObject *receiver)
    {
        auto *w = qobject_cast<QWidget *>(receiver);
        if (!w)
            return false;
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus->window() != w->window())
            return false;
        TODSHelp *help = TODSHelp::OfForm(focus);
        if (!help || !HelpedControl(*help, focus))
            return false;
        help->ShowHelpOfControlOrParents(focus);
        return true;
    }

    // The control itself or its nearest parent below the form with help.
    static QWidget *HelpedControl(const TODSHelp &help, QWidget *control)
    {
        for (QWidget *w = control; w && w != help.Form() && !w->isWindow(); w = w->parentWidget())
            if (!help.TextOf(w).isEmpty())
                return w;
        return nullptr;
    }

    bool HelpModeEvent(QObject *receiver, QEvent *event)
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::ApplicationStateChange && QGuiApplication::applicationState() != Qt::ApplicationActive) {
            EndHelpMode(false);
            return false;
        }
        if (type == QEvent::WindowDeactivate && FHelpMode && receiver == FHelpMode->Form() &&
            QApplication::activeWindow() != FHelpMode->Form()) {
            EndHelpMode(false);
            return false;
        }
        if (type == QEvent::MouseMove) {
            const QWidget *under = QApplication::widgetAt(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            QApplication::changeOverrideCursor(under && under->isEnabled() ? Qt::WhatsThisCursor : Qt::ArrowCursor);
            return true;
        }
        if (!IsInputEvent(type))
            return false;
        if (FFinishing)
            return true;
        if (type == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            EndHelpMode(false);
            return true;
        }
        if (IsMouseButtonEvent(type)) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::LeftButton)
                return true;
            if (type == QEvent::MouseButtonPress && !FTarget)
                FTarget = ControlAt(receiver, mouse->globalPosition());
            if (type == QEvent::MouseButtonRelease && FTarget) {
                // The rest of this click still belongs to help mode.
                FFinishing = true;
                QTimer::singleShot(0, this, [this] { EndHelpMode(true); });
            }
        }
        if (type == QEvent::ShortcutOverride)
            event->accept(); // no shortcut acts in help mode
        return true;
    }

    QPointer<TODSHelp> FHelpMode;
    QPointer<QWidget> FTarget;
    QPointer<QWidget> FPreviousFocus;
    bool FFinishing = false;
};

} // namespace

// ---- the help entries ----

void TODSHelpText::Clear()
{
    FNames.clear();
    FData.clear();
}

void TODSHelpText::Add(const QString &name, std::optional<TODSHelpData> data)
{
    FNames.append(name);
    FData.append(std::move(data));
}

void TODSHelpText::Add(const QString &name, const QString &text)
{
    TODSHelpData data;
    data.Text = text;
    Add(name, data);
}

int TODSHelpText::IndexOf(const QString &name) const { return FNames.indexOf(name); }

std::optional<TODSHelpData> TODSHelpText::Find(const QString &name) const
{
    QSet<int> visited;
    QString wanted = name;
    for (;;) {
        const int index = IndexOf(wanted);
        if (index < 0 || visited.contains(index))
            return std::nullopt;
        visited.insert(index);
        const std::optional<TODSHelpData> &data = FData.at(index);
        if (!data || data->Text.isEmpty())
            return std::nullopt;
        if (!data->Text.startsWith(QLatin1String("->")))
            return data;
        wanted = data->Text.mid(2);
    }
}

// ---- the component ----

TODSHelp::TODSHelp(QWidget *form)
    : QObject(form), FForm(form), FFont(QStringLiteral("MS Sans Serif")),
      FMoreText(QStringLiteral("Click here or press F1 for more..."))
{
    FFont.setPixelSize(11);
    THelpFilter::Instance();
}

TODSHelp::~TODSHelp()
{
    if (THelpFilter::Instance().InHelpMode(this))
        THelpFilter::Instance().EndHelpMode(false);
    delete FPopup;
}

TODSHelp *TODSHelp::OfForm(const QWidget *control)
{
    if (!control)
        return nullptr;
    const QList<TODSHelp *> helps = control->window()->findChildren<TODSHelp *>(Qt::FindDirectChildrenOnly);
    return helps.isEmpty() ? nullptr : helps.last();
}

QString TODSHelp::TextOf(const QWidget *control) const
{
    if (!control || control->objectName().isEmpty())
        return QString();
    const std::optional<TODSHelpData> data = FHelpText.Find(control->objectName());
    return data ? DisplayText(data->Text) : QString();
}

bool TODSHelp::ShowHelpOf(QWidget *control)
{
    if (!control || control->objectName().isEmpty())
        return false;
    const std::optional<TODSHelpData> data = FHelpText.Find(control->objectName());
    if (!data)
        return false;
    if (!FPopup)
        FPopup = new TODSHelpPopup(*this);
    const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
    FPopup->Popup(DisplayText(data->Text), onScreen, data->HelpContext);
    return true;
}

bool TODSHelp::ShowHelpOfControlOrParents(QWidget *control)
{
    for (QWidget *w = control; w && w != FForm && !w->isWindow(); w = w->parentWidget())
        if (ShowHelpOf(w))
            return true;
    emit OnHelpDone();
    return false;
}

void TODSHelp::StartHelpMode() { THelpFilter::Instance().StartHelpMode(this); }
bool TODSHelp::InHelpMode() const { return THelpFilter::Instance().InHelpMode(this); }

void TODSHelp::EndHelpMode()
{
    if (InHelpMode())
        THelpFilter::Instance().EndHelpMode(false);
}

TODSHelpPopup *TODSHelp::VisiblePopup() const { return FPopup && FPopup->isVisible() ? FPopup : nullptr; }

QToolButton *TODSHelp::MakeMouseHelpButton(QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("MouseHelpButton"));
    button->setText(QStringLiteral("?"));
    button->setToolTip(QStringLiteral("What's this?"));
    // The click must not take the focus: help mode gives it back to the
    // control that had it.
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked, button, [button] {
        if (TODSHelp *help = OfForm(button))
            help->StartHelpMode();
    });
    return button;
}

// ---- the popup ----

TODSHelpPopup::TODSHelpPopup(TODSHelp &owner)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), FOwner(owner)
{
    setObjectName(QStringLiteral("ODSHelpPopup"));
}

QFont TODSHelpPopup::TextFont() const { return FOwner.ParentFont() ? FOwner.Form()->font() : FOwner.Font(); }

QFont TODSHelpPopup::MoreFont() const
{
    QFont font = TextFont();
    font.setBold(!font.bold());
    return font;
}

void TODSHelpPopup::Popup(const QString &text, const QRect &controlOnScreen, int helpContext)
{
    FText = text;
    FHelpContext = helpContext;

    const QFontMetrics metrics(TextFont());
    const QRect measured = metrics.boundingRect(QRect(0, 0, FOwner.MaxWidth(), 10), Qt::TextWordWrap, text);
    QSize area(measured.width() + 16, measured.height() + 10);
    FMoreRect = QRect();
    if (helpContext != 0) {
        const QFontMetrics more(MoreFont());
        const int lineHeight = more.height();
        area.setWidth(qMax(area.width(), more.horizontalAdvance(FOwner.MoreText()) + 16));
        FMoreRect = QRect(0, area.height(), area.width() - 8, lineHeight);
        area.setHeight(area.height() + lineHeight + 3);
    }
    FTextArea = QRect(QPoint(0, 0), area);
    const QSize window(area.width() + kShadow, area.height() + kShadow);

    QScreen *screen = FOwner.Form()->screen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    int left = qMax(screenRect.left(), controlOnScreen.left() - area.width() / 2);
    if (left + window.width() > screenRect.right() + 1 - kScreenGap)
        left = screenRect.right() + 1 - window.width() - kScreenGap;
    int top = controlOnScreen.top() + 8;
    if (top + window.height() > screenRect.bottom() + 1 - kScreenGap)
        top = screenRect.bottom() + 1 - window.height() - kScreenGap;

    // The shadow darkens what lies underneath, so that is kept to draw on.
    FUnderneath = screen ? screen->grabWindow(0, left, top, window.width(), window.height()) : QPixmap();
    setGeometry(left, top, window.width(), window.height());
    show();
    raise();
    update();
}

void TODSHelpPopup::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!FUnderneath.isNull() && FUnderneath.size() == size())
        p.drawPixmap(0, 0, FUnderneath);
    else
        p.fillRect(rect(), palette().window());

    // A 50 % checkered shadow: every other pixel of the area to the right and
    // below turns black, the rest shows through.
    const QRect shadow = rect().translated(kShadow, kShadow) & rect();
    for (int y = shadow.top(); y <= shadow.bottom(); ++y)
        for (int x = shadow.left() + ((shadow.left() + y) & 1); x <= shadow.right(); x += 2)
            if (!FTextArea.contains(x, y))
                p.fillRect(x, y, 1, 1, Qt::black);

    p.fillRect(FTextArea, ColorOf(FOwner.Color()));
    p.setPen(Qt::black);
    p.drawRect(FTextArea.adjusted(0, 0, -1, -1));
    p.setFont(TextFont());
    const QRect textRect = FTextArea.adjusted(8, 4, -8, 0);
    p.drawText(textRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, FText);
    if (!FMoreRect.isEmpty()) {
        p.setFont(MoreFont());
        p.drawText(FMoreRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, FOwner.MoreText());
    }
}

void TODSHelpPopup::OpenHelpPage()
{
    if (FHelpContext != 0)
        ::OpenHelpPage(FHelpContext);
}

void TODSHelpPopup::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1)
        OpenHelpPage();
    hide();
}

void TODSHelpPopup::mousePressEvent(QMouseEvent *event)
{
    if (!FMoreRect.isEmpty() && FMoreRect.contains(event->position().toPoint()))
        OpenHelpPage();
    hide();
}

void TODSHelpPopup::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit FOwner.OnHelpDone();
}

// ---- the help pages ----

void SetHelpPageOpener(std::function<void(int context)> opener) { g_helpPageOpener = std::move(opener); }

void OpenHelpPage(int context)
{
    if (g_helpPageOpener)
        g_helpPageOpener(context);
}
