// The card panel's selection handle: holds the selected objects and lets the
// user move and resize them with the mouse and the arrow keys. It is a
// transparent child widget lying over the selection (grown by a small margin);
// it draws nothing itself: the marks and the drag frames are painted by the
// panel.
// Holds TGHandle.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <QList>
#include <QWidget>
#include <optional>

class QMenu;
class TGGraphicControl;
class TGBasePanel;

class TGHandle : public QWidget
{
    Q_OBJECT

public:
    explicit TGHandle(TGBasePanel *panel);

    void Select(TGGraphicControl *object);
    void Deselect(TGGraphicControl *object);
    void ClearSelection();
    int IndexOf(const TGGraphicControl *object) const;
    int Count() const { return FSelection.size(); }
    TGGraphicControl *Selected(int i) const;
    const QList<TGGraphicControl *> &Selection() const { return FSelection; }
    bool HitsSelected(QPoint panelPoint) const;
    TGGraphicControl *ObjectAt(QPoint panelPoint) const;
    void RefitToSelection();
    void BringSelectionToFront();
    void SendSelectionToBack();

    bool Locked() const { return FLocked; }
    void SetLocked(bool v) { FLocked = v; }
    int32_t Color() const { return FColor; }
    void SetColor(int32_t v) { FColor = v; }
    int32_t SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(int32_t v) { FSecondaryColor = v; }
    int GridX() const { return FGridX; }
    int GridY() const { return FGridY; }
    void SetGridX(int v);
    void SetGridY(int v);
    bool SnapToGrid() const { return FGridX > 1 || FGridY > 1; }
    void SetSnapToGrid(bool v);
    void SetGridPitch(int pitch);

    void SetPanelMenu(QMenu *menu) { FPanelMenu = menu; }

    // The handle's bounds in pixels of the card at zoom 1.0: around the
    // selected objects' bounds at zoom 1.0 with the margins the handle has
    // on the screen. Drags, nudges and snapping work in these, so every
    // object of a selection moves by the same distance on the card at any zoom.
    QRect CardHandleBounds() const;
    // Handle bounds (handle's own bounds operation), in card pixels: moves
    // and resizes every unlocked selected object by the handle's
    // displacement and growth on the card.
    void SetCardHandleBounds(const QRect &bounds);

    // Frames the panel paints (panel coordinates); empty when none.
    bool HasDragPreview() const { return FPreviewShown; }
    TRect DragPreviewFrame() const;
    bool Nudging() const { return FNudging; }
    TRect NudgeFrame() const; // panel coordinates
    bool Dragging() const { return FDragging; }
    // The panel's press on an unselected object, which it has just selected.
    void NoteSelectingPress(QPoint panelPoint) { FSelectingPress = panelPoint; }
    int Zone() const { return FZone; }

    // Mouse handling in handle coordinates; Qt events and the panel's
    // forwarding after a selection both arrive here.
    void HandleMouseDown(Qt::MouseButton button, QPoint p);
    void HandleMouseMove(Qt::MouseButtons buttons, QPoint p);
    void HandleMouseUp(Qt::MouseButton button, QPoint p);
    void HandleKeyDown(int key, Qt::KeyboardModifiers shift);
    void HandleKeyUp(int key, Qt::KeyboardModifiers shift);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void leaveEvent(QEvent *e) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    void PlaceOver(int left, int top, int right, int bottom);
    void TakeFocus();
    void CaptureMouse();
    void ReleaseMouse();
    QPoint ClampToPanel(QPoint p) const;
    // The handle's new bounds in card pixels for a drag to p.
    QRect NewCardBounds(QPoint p) const;
    // A pointer distance on the screen as a distance on the card.
    int ScreenToCard(int distance) const;
    // The frame of what the objects will cover, from handle bounds in card
    // pixels to panel coordinates.
    TRect FrameOnScreen(const QRect &cardHandle) const;
    void UpdatePreview(const TRect &bounds);
    void ClearPreview();

    TGBasePanel *FPanel;
    QMenu *FPanelMenu = nullptr;
    int64_t FLastSelectTime = 0;
    QPoint FDragStart;
    // Where the press that selected an object lay, in panel coordinates: the
    // drag that follows starts there, so the object stays under the pointer
    // however far the first move after the press goes.
    std::optional<QPoint> FSelectingPress;
    int FZone = 0;
    bool FDragging = false;
    bool FNudging = false;
    TRect FNudgeFrame; // card pixels at zoom 1.0
    TRect FPreview; // the previewed frame, panel coordinates
    bool FPreviewShown = false;
    bool FLocked = false;
    int32_t FColor = 0;
    int32_t FSecondaryColor = 8421504;
    int FGridX = 1, FGridY = 1;
    int FPitchX = 8, FPitchY = 8;
    QList<TGGraphicControl *> FSelection;
    bool FDoubleClicked = false;
};
