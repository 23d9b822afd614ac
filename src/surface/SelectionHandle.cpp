// Holds TGHandle.
#include "surface/SelectionHandle.h"

#include "surface/CardObject.h"
#include "surface/CardPanel.h"

#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

using platform::TickCount;

namespace {
constexpr int kQuickClickMs = 150; // a press and release within this moves nothing
constexpr int kDragDelayMs = 10;   // a move this long after a selection starts a drag
constexpr int kZoneReach = 8;      // how near an edge the pointer must be to resize
constexpr int kMiddleReach = 6;    // half the width of the middle zones

bool IsArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}
} // namespace

TGHandle::TGHandle(TGBasePanel *panel) : QWidget(panel), FPanel(panel)
{
    // Transparent: the panel's painting shows through, the handle only takes input.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    resize(24, 24);
    setEnabled(false);
}

// ---- selection ----

void TGHandle::Select(TGGraphicControl *object)
{
    if (object && object->Unselectable())
        return;
    FLastSelectTime = TickCount();
    if (!object || IndexOf(object) >= 0)
        return;
    FPanel->SetScreenCursor(platform::crHandGrab);
    if (FSelection.isEmpty()) {
        ClearPreview();
        setEnabled(true);
        show();
        setGeometry(object->Left() - 2, object->Top() - 2, object->Width() + 5, object->Height() + 5);
    } else {
        const int newLeft = std::min(x(), object->Left() - 2);
        const int newTop = std::min(y(), object->Top() - 2);
        const int newWidth = std::max(x() + width() - 3, object->Left() + object->Width()) - newLeft + 3;
        const int newHeight = std::max(y() + height() - 3, object->Top() + object->Height()) - newTop + 3;
        setGeometry(newLeft, newTop, newWidth, newHeight);
    }
    FSelection.append(object);
    FZone = 0;
    raise();
    CaptureMouse();
    TakeFocus();
    FPanel->update();
}

void TGHandle::Deselect(TGGraphicControl *object)
{
    if (!FSelection.removeOne(object))
        return;
    if (!FSelection.isEmpty()) {
        int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
        for (const TGGraphicControl *o : FSelection) {
            l = std::min(l, o->Left());
            t = std::min(t, o->Top());
            r = std::max(r, o->Left() + o->Width());
            b = std::max(b, o->Top() + o->Height());
        }
        PlaceOver(l - 2, t - 2, r + 3, b + 3);
    } else {
        FLocked = false;
        setEnabled(false);
        hide();
        ClearPreview();
        ReleaseMouse();
    }
    FPanel->update();
}

void TGHandle::ClearSelection()
{
    FSelection.clear();
    FLocked = false;
    hide();
    resize(24, 24);
    setEnabled(false);
    ClearPreview();
    ReleaseMouse();
    FDragging = false;
    FNudging = false;
    FPanel->update();
}

int TGHandle::IndexOf(const TGGraphicControl *object) const
{
    return FSelection.indexOf(const_cast<TGGraphicControl *>(object));
}

TGGraphicControl *TGHandle::Selected(int i) const
{
    return i >= 0 && i < FSelection.size() ? FSelection[i] : nullptr;
}

static QRect Frame(const TGGraphicControl *o) { return o->BoundsRect().adjusted(-2, -2, 2, 2); }

bool TGHandle::HitsSelected(QPoint p) const { return ObjectAt(p) != nullptr; }

TGGraphicControl *TGHandle::ObjectAt(QPoint p) const
{
    for (TGGraphicControl *o : FSelection)
        if (Frame(o).contains(p))
            return o;
    return nullptr;
}

void TGHandle::RefitToSelection()
{
    if (FSelection.isEmpty())
        return;
    raise();
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (const TGGraphicControl *o : FSelection) {
        l = std::min(l, o->Left());
        t = std::min(t, o->Top());
        r = std::max(r, o->Left() + o->Width());
        b = std::max(b, o->Top() + o->Height());
    }
    setGeometry(l - 2, t - 2, r - l + 6, b - t + 6);
    FPanel->update();
}

void TGHandle::BringSelectionToFront()
{
    if (FSelection.isEmpty() || FLocked)
        return;
    for (TGGraphicControl *o : FSelection)
        FPanel->BringObjectToFront(o);
    raise();
    TakeFocus();
}

void TGHandle::SendSelectionToBack()
{
    if (FSelection.isEmpty() || FLocked)
        return;
    for (TGGraphicControl *o : FSelection)
        FPanel->SendObjectToBack(o);
    raise();
    TakeFocus();
}

void TGHandle::PlaceOver(int left, int top, int right, int bottom)
{
    setGeometry(left, top, right - left, bottom - top);
}

void TGHandle::TakeFocus()
{
    if (!isHidden() && isEnabled())
        setFocus(Qt::OtherFocusReason);
}

void TGHandle::CaptureMouse() { FPanel->SetHandleCapture(true); }
void TGHandle::ReleaseMouse() { FPanel->SetHandleCapture(false); }

// ---- grid ----

// Setting a step sets both the pitch and the step in effect.
static bool SetGridStep(int &step, int &pitch, int v)
{
    v = std::clamp(v, 1, 32);
    if (v == step)
        return false;
    step = pitch = v;
    return true;
}

void TGHandle::SetGridX(int v)
{
    if (SetGridStep(FGridX, FPitchX, v))
        update();
}

void TGHandle::SetGridY(int v)
{
    if (SetGridStep(FGridY, FPitchY, v))
        update();
}

void TGHandle::SetSnapToGrid(bool v)
{
    FGridX = v ? FPitchX : 1;
    FGridY = v ? FPitchY : 1;
}

void TGHandle::SetGridPitch(int pitch)
{
    FPitchX = FPitchY = pitch;
    if (SnapToGrid()) {
        FGridX = FGridY = pitch;
    }
}

// ---- moving the handle moves the objects ----

QRect TGHandle::CardHandleBounds() const
{
    if (FSelection.isEmpty())
        return QRect(x(), y(), width(), height());
    // Edges as left, top, right, bottom (right and bottom exclusive), on the
    // screen and on the card; an object 0 pixels high on the screen counts too.
    int screen[4] = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    int card[4] = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    const auto unite = [](int (&edges)[4], const QRect &r) {
        edges[0] = std::min(edges[0], r.left());
        edges[1] = std::min(edges[1], r.top());
        edges[2] = std::max(edges[2], r.left() + r.width());
        edges[3] = std::max(edges[3], r.top() + r.height());
    };
    for (const TGGraphicControl *o : FSelection) {
        unite(screen, o->BoundsRect());
        unite(card, o->StoredBounds());
    }
    const int left = card[0] - (screen[0] - x());
    const int top = card[1] - (screen[1] - y());
    const int right = card[2] + (x() + width() - screen[2]);
    const int bottom = card[3] + (y() + height() - screen[3]);
    return QRect(left, top, right - left, bottom - top);
}

void TGHandle::SetCardHandleBounds(const QRect &n)
{
    const QRect h = CardHandleBounds();
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FSelection)) {
        if (o->Locked())
            continue;
        const QRect b = o->StoredBounds();
        o->SetStoredBounds(QRect(n.left() + b.left() - h.left(), n.top() + b.top() - h.top(),
                                 n.width() + b.width() - h.width(), n.height() + b.height() - h.height()));
    }
    const TRect frame = FrameOnScreen(n);
    setGeometry(frame.left - 2, frame.top - 2, frame.right - frame.left + 5, frame.bottom - frame.top + 5);
}

TRect TGHandle::FrameOnScreen(const QRect &h) const
{
    const double zoom = FPanel->ZoomFactor();
    const auto shown = [zoom](int v) { return zoom == 1.0 ? v : platform::Round(v * zoom); };
    return {shown(h.left() + 2), shown(h.top() + 2), shown(h.left() + h.width() - 3), shown(h.top() + h.height() - 3)};
}

int TGHandle::ScreenToCard(int distance) const
{
    const double zoom = FPanel->ZoomFactor();
    return zoom == 1.0 ? distance : platform::Round(distance / zoom);
}

// ---- drag ----

QPoint TGHandle::ClampToPanel(QPoint p) const
{
    return QPoint(std::clamp(x() + p.x(), 0, FPanel->width()) - x(),
                  std::clamp(y() + p.y(), 0, FPanel->height()) - y());
}

// The pointer's travel is taken to the card, and the handle's edges snap to
// the grid of the card at zoom 1.0, where the objects are stored.
QRect TGHandle::NewCardBounds(QPoint p) const
{
    const QRect h = CardHandleBounds();
    const int hL = h.left(), hT = h.top(), hW = h.width(), hH = h.height();
    const int dX = ScreenToCard(p.x() - FDragStart.x()), dY = ScreenToCard(p.y() - FDragStart.y());
    auto snapX = [this](int v) { return (v / FGridX) * FGridX; };
    auto snapY = [this](int v) { return (v / FGridY) * FGridY; };
    int L = hL, T = hT, W = hW, H = hH;
    switch (FZone) {
    case 0:
        L = snapX(dX + hL);
        T = snapY(dY + hT);
        break;
    case 1:
        L = snapX(dX + hL);
        T = snapY(dY + hT);
        W = hW - (L - hL);
        H = hH - (T - hT);
        break;
    case 2:
        T = snapY(dY + hT);
        W = snapX(dX + hW) - 1;
        H = hH - (T - hT);
        break;
    case 3:
        L = snapX(dX + hL);
        W = hW - (L - hL);
        H = snapY(dY + hH) - 1;
        break;
    case 4:
        W = snapX(dX + hW) - 1;
        H = snapY(dY + hH) - 1;
        break;
    case 5:
        T = snapY(dY + hT);
        H = hH - (T - hT);
        break;
    case 6:
        L = snapX(dX + hL);
        W = hW - (L - hL);
        break;
    case 7:
        H = snapY(dY + hH) - 1;
        break;
    case 8:
        W = snapX(dX + hW) - 1;
        break;
    }
    W = std::max(W, 5);
    H = std::max(H, 5);
    return QRect(L, T, W, H);
}

TRect TGHandle::DragPreviewFrame() const { return FPreview; }

void TGHandle::UpdatePreview(const TRect &frame)
{
    FPreview = frame;
    FPreviewShown = true;
    FPanel->update();
}

void TGHandle::ClearPreview()
{
    if (FPreviewShown)
        FPanel->update();
    FPreview = {};
    FPreviewShown = false;
}

// ---- mouse ----

void TGHandle::HandleMouseDown(Qt::MouseButton button, QPoint p)
{
    FLastSelectTime = TickCount();
    FSelectingPress.reset();
    if (FPanel->Pointing() && button == Qt::LeftButton) {
        if (!FLocked) {
            FDragStart = p;
            FDragging = true;
        }
        FPanel->HandleMouseDown(button, p);
    } else if (button == Qt::RightButton) {
        const QPoint panelPoint = p + pos();
        if (FSelection.size() == 1 && Frame(FSelection.first()).contains(panelPoint))
            FSelection.first()->PopupContextMenu(QCursor::pos());
        else if (FPanelMenu) {
            FPanel->UpdateMenuStates();
            FPanelMenu->popup(QCursor::pos());
        }
    } else {
        FPanel->SetScreenCursor(platform::crDefault);
        FPanel->PanelMouseDown(button, p + pos());
    }
}

void TGHandle::HandleMouseMove(Qt::MouseButtons buttons, QPoint p)
{
    if (FDoubleClicked) {
        FDragging = false;
        FDoubleClicked = false;
    }
    if (!FPanel->Pointing()) {
        FPanel->SetScreenCursor(platform::crDrag);
    } else if ((buttons & Qt::LeftButton) && !FDragging && !FLocked) {
        if (FLastSelectTime > 0 && TickCount() - FLastSelectTime > kDragDelayMs) {
            FDragStart = FSelectingPress ? *FSelectingPress - pos() : p;
            FDragging = true;
        }
    } else {
        if (!(buttons & Qt::LeftButton))
            ReleaseMouse();
        int zone = 0;
        if (!FDragging)
            FPanel->SetScreenCursor(platform::crHandGrab);
        if (FSelection.size() == 1) {
            const int X = p.x(), Y = p.y(), W = width(), H = height();
            struct Test {
                bool hit;
                int zone;
                int cursor;
            };
            const Test tests[] = {
                {std::abs(X) < kZoneReach && std::abs(Y) < kZoneReach, 1, platform::crSizeNWSE},
                {std::abs(X - W) < kZoneReach && std::abs(Y - H) < kZoneReach, 4, platform::crSizeNWSE},
                {std::abs(X - W) < kZoneReach && std::abs(Y) < kZoneReach, 2, platform::crSizeNESW},
                {std::abs(X) < kZoneReach && std::abs(Y - H) < kZoneReach, 3, platform::crSizeNESW},
                {std::abs(X - W * 0.5) < kMiddleReach && std::abs(Y) < kZoneReach, 5, platform::crSizeNS},
                {std::abs(X - W * 0.5) < kMiddleReach && std::abs(Y - H) < kZoneReach, 7, platform::crSizeNS},
                {std::abs(Y - H * 0.5) < kMiddleReach && std::abs(X) < kZoneReach, 6, platform::crSizeWE},
                {std::abs(Y - H * 0.5) < kMiddleReach && std::abs(X - W) < kZoneReach, 8, platform::crSizeWE},
            };
            for (const Test &t : tests)
                if (t.hit) {
                    zone = t.zone;
                    FPanel->SetScreenCursor(t.cursor);
                }
        }
        if (FLocked)
            FPanel->SetScreenCursor(platform::crNoDrop);
        if (FDragging)
            UpdatePreview(FrameOnScreen(NewCardBounds(ClampToPanel(p))));
        else
            FZone = zone;
    }
    FPanel->PanelMouseMove(p + pos());
}

void TGHandle::HandleMouseUp(Qt::MouseButton button, QPoint p)
{
    if (FDragging && TickCount() - FLastSelectTime < kQuickClickMs)
        FDragStart = p;
    FLastSelectTime = 0;
    FSelectingPress.reset();
    if (FDragging && button == Qt::LeftButton) {
        const QPoint c = ClampToPanel(p);
        if (c != FDragStart) {
            SetCardHandleBounds(NewCardBounds(c));
            FPanel->update();
        }
        ClearPreview();
        TakeFocus();
        FDragging = false;
        FPanel->SetScreenCursor(platform::crDefault);
        ReleaseMouse();
        FPanel->PanelMouseUp(button, p + pos());
    } else {
        FPanel->PanelMouseUp(button, p + pos());
    }
    // A release that moved nothing repaints nothing: what did change (the
    // objects, the drag outline, a rubber band) has asked for its repaint.
}

void TGHandle::mousePressEvent(QMouseEvent *e) { HandleMouseDown(e->button(), e->position().toPoint()); }

void TGHandle::mouseMoveEvent(QMouseEvent *e) { HandleMouseMove(e->buttons(), e->position().toPoint()); }

void TGHandle::mouseReleaseEvent(QMouseEvent *e) { HandleMouseUp(e->button(), e->position().toPoint()); }

void TGHandle::mouseDoubleClickEvent(QMouseEvent *e)
{
    FDoubleClicked = true;
    FPanel->ObjectDoubleClick(this, e->position().toPoint() + pos());
    HandleMouseDown(e->button(), e->position().toPoint());
}

void TGHandle::leaveEvent(QEvent *)
{
    if (!FDragging)
        FPanel->SetScreenCursor(FPanel->Pointing() ? platform::crDefault : platform::crDrag);
}

// ---- keyboard nudge ----

void TGHandle::HandleKeyDown(int key, Qt::KeyboardModifiers shift)
{
    // An arrow key moves or sizes by one pixel of the card, the smallest step
    // the card file knows, at any zoom.
    if (IsArrow(key) && !FNudging) {
        FNudging = true;
        const QRect h = CardHandleBounds();
        FNudgeFrame = {h.left() + 2, h.top() + 2, h.left() + h.width() - 3, h.top() + h.height() - 3};
    }
    if (FNudging && IsArrow(key)) {
        TRect &f = FNudgeFrame;
        const int w = f.right - f.left + 1, h = f.bottom - f.top + 1;
        const bool resize = shift.testFlag(Qt::ShiftModifier) && FSelection.size() == 1;
        const QSize card = FPanel->CardSize();
        const int panelW = card.width(), panelH = card.height();
        switch (key) {
        case Qt::Key_Left:
            if (resize) {
                if (w > 10)
                    --f.right;
            } else if (f.left > 0) {
                --f.left;
                --f.right;
            }
            break;
        case Qt::Key_Up:
            if (resize) {
                if (h > 10)
                    --f.bottom;
            } else if (f.top > 0) {
                --f.top;
                --f.bottom;
            }
            break;
        case Qt::Key_Right:
            if (panelW >= w + f.left) {
                if (!resize)
                    ++f.left;
                ++f.right;
            }
            break;
        case Qt::Key_Down:
            if (panelH >= h + f.top) {
                if (!resize)
                    ++f.top;
                ++f.bottom;
            }
            break;
        }
    }
    FPanel->HandleKey(key, shift);
    if (FNudging)
        FPanel->update();
}

TRect TGHandle::NudgeFrame() const
{
    const TRect &f = FNudgeFrame;
    return FrameOnScreen(QRect(f.left - 2, f.top - 2, f.right - f.left + 5, f.bottom - f.top + 5));
}

void TGHandle::HandleKeyUp(int, Qt::KeyboardModifiers)
{
    if (!FNudging)
        return;
    FNudging = false;
    const TRect f = FNudgeFrame;
    SetCardHandleBounds(QRect(f.left - 2, f.top - 2, f.right - f.left + 5, f.bottom - f.top + 5));
    update();
    FPanel->update();
}

void TGHandle::keyPressEvent(QKeyEvent *e) { HandleKeyDown(e->key(), e->modifiers()); }

void TGHandle::keyReleaseEvent(QKeyEvent *e)
{
    // A held key repeats as press/release pairs here; only the real release ends a nudge.
    if (e->isAutoRepeat())
        return;
    HandleKeyUp(e->key(), e->modifiers());
}
