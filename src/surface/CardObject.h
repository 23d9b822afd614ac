// The common base of every object that can be placed on a card. A card object
// is windowless: it keeps its bounds, is painted by the card panel it sits on
// and receives mouse input through that panel. All its stored state is held in
// published (Q_PROPERTY) properties so that the component stream can save and
// restore any object without code of its own.
// Holds TGGraphicControl.
#pragma once

#include "platform/Screen.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QMenu;
class QAction;
class QPainter;
class TFont;
class TPen;
class TGBasePanel;
class TBaseReport;

class TGGraphicControl : public QObject
{
    Q_OBJECT
    // The platform ancestors' stored properties come first: the component's Tag,
    // then the control's bounds, cursor and hint.
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)
    Q_PROPERTY(bool Unselectable READ Unselectable WRITE SetUnselectable)
    Q_CLASSINFO("default:Tag", "0")
    Q_CLASSINFO("default:Cursor", "0")

public:
    explicit TGGraphicControl(QObject *owner = nullptr);
    ~TGGraphicControl() override;

    // ---- bounds, in panel pixels at the current zoom ----
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    void SetBounds(int left, int top, int width, int height);
    QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v) { FCursor = v; }
    QString Hint() const { return FHint; }
    void SetHint(const QString &v) { FHint = v; }

    bool Locked() const { return FLocked; }
    void SetLocked(bool v);
    bool Unselectable() const { return FUnselectable; }
    void SetUnselectable(bool v);

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);

    // ---- parent panel; nothing of the panel's part happens without one ----
    TGBasePanel *Panel() const { return FPanel; }
    void SetPanel(TGBasePanel *panel);

    // True while the stream reader fills the object: setters store values
    // without side effects.
    bool IsLoading() const { return FLoading; }
    void SetLoading(bool v) { FLoading = v; }

    double ZoomFactor() const { return FZoom; }
    // Shows the object at Factor: the bounds are derived from the stored
    // bounds (round half to even), which stay as they are.
    void SetZoom(float factor);
    // Takes the present bounds as those at Factor without moving anything
    // (the panel adopting pasted or cloned objects, which hold the bounds of
    // the zoom they were copied at); the stored bounds follow from them.
    void SetZoomFactorOnly(float factor);
    // The bounds at zoom 1.0, which the card file holds. Only changes made
    // through SetBounds (the user's moves and resizes) alter them; deriving
    // the bounds for another zoom never does.
    QRect StoredBounds() const { return FStored; }
    // Sets the bounds at zoom 1.0 and shows the object at its zoom from them.
    // Commands that work on the card itself (align, centring, moves of a
    // selection, clone) go through this, so no rounded screen pixel ends up
    // in the card file.
    void SetStoredBounds(const QRect &stored);
    // A length or position at zoom 1.0 as shown at the object's zoom.
    int Zoomed(int v) const;

    // ---- slots of the object's life, overridden by subclasses ----
    // Run after creation by a tool or by the stream reader. The context menu
    // is built only when it is first needed (shown, or an entry looked up),
    // so reading a card of many objects builds no menus.
    virtual void Loaded();
    // Draws the object with the painter's origin at the object's top-left corner.
    virtual void Paint(QPainter &canvas);
    // Gives an object that sizes itself around its content the bounds it
    // will paint with; the panel calls it before it clips to the bounds.
    virtual void SettleBounds() {}
    virtual void BoundsChanged();
    virtual void UpdateContextMenu() {}
    virtual void AssignFont(const TFont &) {}
    // Draws the object onto a report page; origin in inches of the card cell.
    virtual void Print(TBaseReport &report, double originX, double originY);

    // Takes the present bounds as the last seen ones, so that the next
    // different bounds are a change (an object just read from a file).
    void RememberBounds();

    // Draws the marks of a selected object onto the panel's canvas.
    void DrawSelectionMarks(QPainter &panelCanvas) const;
    void NotifyChanged();
    // Changes with every reported change of the object; no two objects of
    // the program's life share a value, so a record kept for an object is
    // current exactly while its stamp is the one it was written at.
    quint64 ChangeStamp() const { return FChangeStamp; }
    void RequestHandleRefresh();
    void CenterVertically();
    void CenterHorizontally();
    TGGraphicControl *FindNewestOfClass() const;
    void Invalidate();

    static QString TrimLeadingSpaces(const QString &s);
    static QString TrimTrailingSpaces(const QString &s);
    static QString TrimSpaces(const QString &s);

    // The context menu, built on first use; null before Loaded.
    QMenu *ContextMenu() const;
    // Whether the menu has been built yet.
    bool ContextMenuBuilt() const { return FContextMenu != nullptr; }
    void PopupContextMenu(const QPoint &globalPos);
    // Finds a menu entry by its caption path ("Line Thickness/3 Point"); tests
    // and the panel use it.
    QAction *MenuAction(const QString &path) const;

    // A double click runs this instead of opening the context menu when set.
    std::function<void(QObject *sender)> OnEdit;

    // Clone entry: a copy 25 pixels lower, selected in place of this object.
    void Clone();

protected:
    // Fills the new, empty context menu: the base's entries; subclasses call
    // their ancestor's and add their own.
    virtual void BuildContextMenu();
    // The size an object has after construction; not a change of bounds.
    void SetInitialSize(int width, int height)
    {
        FWidth = width;
        FHeight = height;
        FStored.setSize(QSize(width, height));
    }
    // Sizes the object to what it draws at the current zoom (a label fitted
    // to its zoomed font). Only at zoom 1.0 is that a change of the stored
    // bounds: fitting to a zoomed font is nothing the user did.
    void SetFittedBounds(int left, int top, int width, int height);
    QAction *AddMenuItem(const QString &caption, std::function<void()> action);
    QMenu *AddSubMenu(const QString &caption);
    // The "Line Thickness" submenu: entries "1 Point" to "10 Point" set the
    // pen's width and report the change.
    QList<QAction *> AddLineThicknessMenu(TPen *pen);
    static void TickLineThickness(const QList<QAction *> &items, int width);
    void AddSeparator();
    // The screen's logical pixels per inch: one inch of card at zoom 1.0.
    static int ppi();

private:
    void StoreChangedBounds(int left, int top, int width, int height);

    static quint64 NextChangeStamp();

    quint64 FChangeStamp = NextChangeStamp();
    int FTag = 0;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TCursor FCursor;
    QString FHint;
    bool FLocked = false;
    bool FUnselectable = false;
    bool FVisible = true;
    bool FLoading = false;
    bool FBoundsGuard = false;
    // False until BoundsChanged or RememberBounds has seen the bounds once.
    bool FBoundsRemembered = false;
    float FZoom = 1.0f;
    // Bounds seen by the last BoundsChanged as left, top, right, bottom; all
    // zero until the first call.
    int FLastBounds[4] = {0, 0, 0, 0};
    // Left, top, width and height at zoom 1.0.
    QRect FStored;
    // True while SetZoom derives the bounds or an object fits itself to what
    // it draws: such sizing is no change of the stored bounds, except at zoom
    // 1.0 where shown and stored bounds are one.
    bool FDerivingBounds = false;
    // True while SetZoom shows the object at another factor: looking, not
    // editing, whatever the factor.
    bool FZooming = false;
    TGBasePanel *FPanel = nullptr;
    QMenu *FContextMenu = nullptr;
    bool FMenuWanted = false; // Loaded has run: the menu may be built
    bool FBuildingMenu = false;
    QAction *FLockItem = nullptr;
};
