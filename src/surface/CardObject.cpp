// Holds TGGraphicControl.
#include "surface/CardObject.h"

#include "surface/SelectionHandle.h"
#include "surface/CardPanel.h"
#include "surface/LabelObjectFiler.h"

#include "platform/Graphics.h"
#include "platform/Rounding.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace {
// Bounds far beyond any card (a damaged card file) are held to a range in
// which the bounds arithmetic, zoomed or not, cannot overflow.
constexpr int kMaxCoordinate = 1 << 20;
int ClampCoordinate(int v) { return std::clamp(v, -kMaxCoordinate, kMaxCoordinate); }
} // namespace

TGGraphicControl::TGGraphicControl(QObject *owner) : QObject(owner) {}

TGGraphicControl::~TGGraphicControl()
{
    if (FPanel)
        FPanel->ObjectDestroyed(this);
    delete FContextMenu;
}

void TGGraphicControl::SetBounds(int left, int top, int width, int height)
{
    left = ClampCoordinate(left);
    top = ClampCoordinate(top);
    width = ClampCoordinate(width);
    height = ClampCoordinate(height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    const QRect old = BoundsRect();
    StoreChangedBounds(left, top, width, height);
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FPanel && FVisible)
        FPanel->InvalidateObjectArea(old.united(BoundsRect()));
    if (!FLoading)
        BoundsChanged();
}

// Each part of the bounds that changes is converted back to zoom 1.0 on its
// own, so moving an object keeps its stored size and resizing its position.
void TGGraphicControl::StoreChangedBounds(int left, int top, int width, int height)
{
    if (FDerivingBounds && FZoom != 1.0f)
        return;
    const auto unzoomed = [this](int v) { return FZoom == 1.0f ? v : platform::Round(double(v) / FZoom); };
    if (left != FLeft)
        FStored.moveLeft(unzoomed(left));
    if (top != FTop)
        FStored.moveTop(unzoomed(top));
    if (width != FWidth)
        FStored.setWidth(unzoomed(width));
    if (height != FHeight)
        FStored.setHeight(unzoomed(height));
}

void TGGraphicControl::SetVisible(bool v)
{
    if (FVisible == v)
        return;
    FVisible = v;
    Invalidate();
}

void TGGraphicControl::SetPanel(TGBasePanel *panel)
{
    if (FPanel == panel)
        return;
    if (FPanel)
        FPanel->RemoveObject(this);
    FPanel = panel;
    if (panel)
        panel->InsertObject(this);
}

void TGGraphicControl::Invalidate()
{
    if (FPanel)
        FPanel->InvalidateObjectArea(BoundsRect());
}

int TGGraphicControl::ppi() { return platform::ScreenPixelsPerInch(); }

// ---- stored flags ----

void TGGraphicControl::SetLocked(bool v)
{
    if (FLocked == v)
        return;
    FLocked = v;
    if (FLoading)
        return;
    if (FLockItem)
        FLockItem->setChecked(v);
    NotifyChanged();
}

void TGGraphicControl::SetUnselectable(bool v)
{
    if (FUnselectable == v)
        return;
    FUnselectable = v;
    if (FLoading)
        return;
    NotifyChanged();
    if (v && FPanel)
        FPanel->Handle()->Deselect(this);
}

// ---- change notification ----

quint64 TGGraphicControl::NextChangeStamp()
{
    static quint64 last = 0;
    return ++last;
}

void TGGraphicControl::NotifyChanged()
{
    FChangeStamp = NextChangeStamp();
    if (FPanel && !FPanel->Printing())
        FPanel->NotifyLabelChanged();
}

void TGGraphicControl::RequestHandleRefresh()
{
    if (FPanel)
        FPanel->PostRefresh();
}

void TGGraphicControl::RememberBounds()
{
    const int now[4] = {FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    std::copy(now, now + 4, FLastBounds);
    FBoundsRemembered = true;
}

void TGGraphicControl::BoundsChanged()
{
    if (FBoundsGuard)
        return;
    FBoundsGuard = true;
    const int now[4] = {FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    if (!FBoundsRemembered) {
        std::copy(now, now + 4, FLastBounds);
        FBoundsRemembered = true;
    } else if (!std::equal(now, now + 4, FLastBounds)) {
        // Bounds derived at a zoom (a label fitted to its zoomed font) leave
        // the card as it was: the user changed nothing.
        if (!FZooming && !(FDerivingBounds && FZoom != 1.0f))
            NotifyChanged();
        std::copy(now, now + 4, FLastBounds);
        RequestHandleRefresh();
    }
    FBoundsGuard = false;
}

// ---- zoom ----

int TGGraphicControl::Zoomed(int v) const { return FZoom == 1.0f ? v : platform::Round(double(v) * FZoom); }

void TGGraphicControl::SetZoom(float factor)
{
    if (factor == FZoom)
        return;
    FZoom = factor;
    const QRect stored = FStored;
    FDerivingBounds = true;
    FZooming = true;
    SetBounds(Zoomed(stored.left()), Zoomed(stored.top()), Zoomed(stored.width()), Zoomed(stored.height()));
    BoundsChanged();
    FZooming = false;
    FDerivingBounds = false;
}

void TGGraphicControl::SetStoredBounds(const QRect &stored)
{
    if (FZoom == 1.0f) {
        SetBounds(stored.left(), stored.top(), stored.width(), stored.height());
        return;
    }
    const QRect clamped(ClampCoordinate(stored.left()), ClampCoordinate(stored.top()),
                        ClampCoordinate(stored.width()), ClampCoordinate(stored.height()));
    if (clamped == FStored)
        return;
    FStored = clamped;
    const bool deriving = FDerivingBounds;
    FDerivingBounds = true;
    SetBounds(Zoomed(clamped.left()), Zoomed(clamped.top()), Zoomed(clamped.width()), Zoomed(clamped.height()));
    FDerivingBounds = deriving;
    // The card changed even when the screen cannot show a step this small.
    NotifyChanged();
    RequestHandleRefresh();
}

void TGGraphicControl::SetFittedBounds(int left, int top, int width, int height)
{
    const bool deriving = FDerivingBounds;
    FDerivingBounds = true;
    SetBounds(left, top, width, height);
    FDerivingBounds = deriving;
}

void TGGraphicControl::SetZoomFactorOnly(float factor)
{
    if (factor == FZoom)
        return;
    FZoom = factor;
    const auto unzoomed = [factor](int v) { return factor == 1.0f ? v : platform::Round(double(v) / factor); };
    FStored = QRect(unzoomed(FLeft), unzoomed(FTop), unzoomed(FWidth), unzoomed(FHeight));
}

// ---- painting ----

void TGGraphicControl::Paint(QPainter &) {}

void TGGraphicControl::Print(TBaseReport &, double, double) {}

void TGGraphicControl::DrawSelectionMarks(QPainter &canvas) const
{
    if (!FPanel)
        return;
    const TGHandle *handle = FPanel->Handle();
    if (handle->IndexOf(this) < 0)
        return;
    const bool single = handle->Count() == 1;
    const QColor color = platform::ToQColor(single ? handle->Color() : handle->SecondaryColor());
    const int L = FLeft - 2, T = FTop - 2, R = FLeft + FWidth + 2, B = FTop + FHeight + 2;
    auto square = [&](int l, int t) { canvas.fillRect(QRect(l, t, 5, 5), color); };
    square(L, T);
    square(R - 5, T);
    square(R - 5, B - 5);
    square(L, B - 5);
    if (single) {
        const int cx = L + platform::Trunc((R - L) * 0.5);
        const int cy = T + platform::Trunc((B - T) * 0.5);
        square(cx - 2, T);
        square(cx - 2, B - 5);
        square(L, cy - 2);
        square(R - 5, cy - 2);
    }
}

// ---- centring ----

void TGGraphicControl::CenterVertically()
{
    if (!FPanel)
        return;
    QRect card = FStored;
    card.moveTop(FPanel->CardSize().height() / 2 - card.height() / 2);
    SetStoredBounds(card);
    NotifyChanged();
    FPanel->update();
}

void TGGraphicControl::CenterHorizontally()
{
    if (!FPanel)
        return;
    QRect card = FStored;
    card.moveLeft(FPanel->CardSize().width() / 2 - card.width() / 2);
    SetStoredBounds(card);
    NotifyChanged();
    FPanel->update();
}

TGGraphicControl *TGGraphicControl::FindNewestOfClass() const
{
    if (!FPanel)
        return nullptr;
    const auto &objects = FPanel->Objects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        if ((*it)->metaObject()->inherits(metaObject()))
            return *it;
    return nullptr;
}

// ---- spaces ----

QString TGGraphicControl::TrimLeadingSpaces(const QString &s)
{
    int i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' '))
        ++i;
    return s.mid(i);
}

QString TGGraphicControl::TrimTrailingSpaces(const QString &s)
{
    int n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return s.left(n);
}

QString TGGraphicControl::TrimSpaces(const QString &s) { return TrimTrailingSpaces(TrimLeadingSpaces(s)); }

// ---- context menu ----

QMenu *TGGraphicControl::ContextMenu() const
{
    if (!FContextMenu && FMenuWanted && !FBuildingMenu) {
        // Built on first use; the object itself is unchanged by it.
        auto *self = const_cast<TGGraphicControl *>(this);
        self->FBuildingMenu = true;
        self->FContextMenu = new QMenu();
        connect(FContextMenu, &QMenu::aboutToShow, self, [self] { self->UpdateContextMenu(); });
        connect(FContextMenu, &QMenu::triggered, self, [self](QAction *a) {
            if (self->FPanel)
                self->FPanel->NoteMenuCommand(a->text());
        });
        self->BuildContextMenu();
        self->FBuildingMenu = false;
    }
    return FContextMenu;
}

QAction *TGGraphicControl::AddMenuItem(const QString &caption, std::function<void()> action)
{
    QAction *a = ContextMenu()->addAction(caption);
    connect(a, &QAction::triggered, this, [action] { action(); });
    return a;
}

QMenu *TGGraphicControl::AddSubMenu(const QString &caption) { return ContextMenu()->addMenu(caption); }

QList<QAction *> TGGraphicControl::AddLineThicknessMenu(TPen *pen)
{
    QMenu *thickness = AddSubMenu(tr("Line Thickness"));
    QList<QAction *> items;
    for (int n = 1; n <= 10; ++n) {
        QAction *a = thickness->addAction(QString::number(n) + tr(" Point"));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, pen, n] {
            pen->SetWidth(n);
            NotifyChanged();
        });
        items.append(a);
    }
    return items;
}

void TGGraphicControl::TickLineThickness(const QList<QAction *> &items, int width)
{
    for (int i = 0; i < items.size(); ++i)
        items[i]->setChecked(width == i + 1);
}

void TGGraphicControl::AddSeparator() { ContextMenu()->addSeparator(); }

void TGGraphicControl::Loaded()
{
    // A menu built before goes; the next use builds it afresh.
    delete FContextMenu;
    FContextMenu = nullptr;
    FLockItem = nullptr;
    FMenuWanted = true;
}

void TGGraphicControl::BuildContextMenu()
{
    AddMenuItem(tr("Bring To Front"), [this] {
        NotifyChanged();
        if (FPanel)
            FPanel->BringObjectToFront(this);
    });
    AddMenuItem(tr("Send To Back"), [this] {
        NotifyChanged();
        if (FPanel) {
            FPanel->SendObjectToBack(this);
            FPanel->Handle()->ClearSelection();
        }
    });
    AddMenuItem(tr("Cut"), [this] {
        if (FPanel) {
            NotifyChanged();
            FPanel->ObjectClipboardCommand(this, TGBasePanel::ccCut);
        }
    });
    AddMenuItem(tr("Copy"), [this] {
        if (FPanel)
            FPanel->ObjectClipboardCommand(this, TGBasePanel::ccCopy);
    });
    AddMenuItem(tr("Delete"), [this] {
        if (FPanel) {
            NotifyChanged();
            FPanel->ObjectClipboardCommand(this, TGBasePanel::ccDelete);
        }
    });
    AddMenuItem(tr("Clone"), [this] { Clone(); });
    AddSeparator();
    FLockItem = AddMenuItem(tr("Locked"), [this] {
        FLocked = !FLocked;
        FLockItem->setChecked(FLocked);
        NotifyChanged();
    });
    FLockItem->setCheckable(true);
    FLockItem->setChecked(FLocked);
    AddMenuItem(tr("Unselectable"), [this] {
        SetUnselectable(true);
        NotifyChanged();
        if (FPanel)
            FPanel->Handle()->Deselect(this);
    });
    AddSeparator();
    AddMenuItem(tr("Center Vertically"), [this] { CenterVertically(); });
    AddMenuItem(tr("Center Horizontally"), [this] { CenterHorizontally(); });
}

void TGGraphicControl::PopupContextMenu(const QPoint &globalPos)
{
    if (QMenu *menu = ContextMenu())
        menu->popup(globalPos);
}

QAction *TGGraphicControl::MenuAction(const QString &path) const
{
    const QMenu *menu = ContextMenu();
    if (!menu)
        return nullptr;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (int i = 0; i < parts.size(); ++i) {
        QAction *found = nullptr;
        for (QAction *a : menu->actions())
            if (a->text() == parts[i]) {
                found = a;
                break;
            }
        if (!found)
            return nullptr;
        if (i == parts.size() - 1)
            return found;
        menu = found->menu();
        if (!menu)
            return nullptr;
    }
    return nullptr;
}

void TGGraphicControl::Clone()
{
    TGBasePanel *panel = FPanel;
    TGLabelObjectFiler filer;
    filer.Duplicate(this, parent(), panel);
    TGGraphicControl *copy = FindNewestOfClass();
    if (!panel || !copy || copy == this)
        return;
    // The copy was read with this object's bounds at zoom 1.0 and is still
    // at that zoom: it goes 25 card pixels lower, then shows at the panel's zoom.
    copy->SetTop(copy->Top() + 25);
    panel->BringObjectToFront(copy);
    panel->AdoptAllObjects();
    if (panel->Handle()->IndexOf(this) >= 0) {
        panel->Handle()->Deselect(this);
        panel->Handle()->Select(copy);
    }
    NotifyChanged();
}
