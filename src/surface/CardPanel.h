// The card panel: a widget the size of one card at the current zoom that shows
// the card's background, outline and grid, holds the card objects in z-order
// (bottom first), routes mouse work on them into creation and selection, and
// offers the editing commands of its context menu and keyboard.
// Holds TGBasePanel.
#pragma once

#include "platform/Geometry.h"
#include "platform/Picture.h"

#include <QImage>
#include <QPainterPath>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QMenu;
class QAction;
class TGGraphicControl;
class TGHandle;
class TBaseReport;
class TFont;

enum TLabelShapeType { lsRectangle, lsRoundRect, lsEllipse };
enum TGridSize { gs4x4, gs8x8 };

class TGBasePanel : public QWidget
{
    Q_OBJECT

public:
    // Codes of the clipboard commands.
    enum ClipboardCommand { ccCut = 0, ccCopy = 1, ccPaste = 2, ccDelete = 3 };

    explicit TGBasePanel(QWidget *parent = nullptr);
    ~TGBasePanel() override;

    // ---- objects, bottom of the z-order first ----
    const QList<TGGraphicControl *> &Objects() const { return FObjects; }
    TGHandle *Handle() const { return FHandle; }
    int ObjectCount() const { return FObjects.size(); }
    // Topmost visible object whose bounds contain the panel point.
    TGGraphicControl *ObjectAt(const QPoint &p) const;
    void BringObjectToFront(TGGraphicControl *object);
    void SendObjectToBack(TGGraphicControl *object);

    // ---- state ----
    bool Pointing() const { return FPointing; }
    void SetPointing(bool v) { FPointing = v; }
    bool Printing() const { return FPrinting; }
    void SetPrinting(bool v) { FPrinting = v; }
    bool Previewing() const { return FPreviewing; }
    void SetPreviewing(bool v) { FPreviewing = v; }
    float ZoomFactor() const { return FZoom; }
    // The card's size at zoom 1.0, in the pixels the card file counts in.
    QSize CardSize() const;
    TLabelShapeType Shape() const { return FShape; }
    void SetShape(TLabelShapeType v);
    TGridSize GridSize() const { return FGridSize; }
    void SetGridSize(TGridSize v);
    bool ShowGrid() const { return FShowGrid; }
    void SetShowGrid(bool v);
    bool SnapToGrid() const { return FSnapToGrid; }
    void SetSnapToGrid(bool v);
    bool DrawOutline() const { return FDrawOutline; }
    void SetDrawOutline(bool v);

    // Background art stretched to the card (a bitmap under it in Picture).
    const QImage &Picture() const { return FPicture; }
    void SetPicture(const QImage &image);
    const QImage &ColorPicture() const { return FColorPicture; }
    // Metafile art, drawn as vectors; empty for bitmap art.
    const TMetafile &ColorMetafile() const { return FColorMetafile; }
    bool LoadColorPicture(const QString &fileName);
    void SetColorPicture(const QImage &image);
    void ClearColorPicture();

    // ---- operations ----
    void SetZoom(float factor);
    void SaveToFile(const QString &fileName);
    void LoadFromFile(const QString &fileName);
    // The card file's bytes, in memory.
    QByteArray SaveToBytes();
    // Adds the objects of a card file's list of objects (bounds at zoom 1.0),
    // shown at the panel's zoom; nothing for no bytes. Only a list read
    // completely reaches the panel.
    void LoadFromBytes(const QByteArray &objects);
    void DeleteAllObjects();
    virtual void RemoveObjectsOffCard();
    virtual void PrintObjects(TBaseReport &report, double originX, double originY);
    virtual void CreateToolObject(TRect r);

    void NotifyLabelChanged();
    // Takes objects read from a card file on no panel (bounds at zoom 1.0)
    // as objects of this panel, shown at its zoom.
    void TakeReadObjects(const QList<TGGraphicControl *> &objects);
    // Objects that fit themselves to their font do so when drawn: draws the
    // card once into a scratch image so that they fit now.
    void FitObjectsAsDrawn() const;
    void AdoptObject(TGGraphicControl *object);
    void AdoptAllObjects();
    void AddNewObject(TGGraphicControl *object, TRect r);
    QString UniqueName(const QString &prefix) const;
    void SelectInRect(TRect r);

    // ---- editing commands ----
    void SelectionClipboardCommand(int command);
    void ObjectClipboardCommand(TGGraphicControl *object, int command);
    void BringSelectionToFront();
    void SendSelectionToBack();
    enum class AlignEdge { Left, Right, Top, Bottom };
    void AlignSelection(AlignEdge edge);
    void AlignLefts();
    void AlignRights();
    void AlignTops();
    void AlignBottoms();
    void CenterSelectionVertically();
    void CenterSelectionHorizontally();
    void LockAll();
    void UnlockAll();
    void MarkAllSelectable();
    void MarkAllUnselectable();
    void SelectAll();
    void FontForSelection();
    // The panel's font as a card font: face, size and style; the colour is
    // left as it is.
    void DefaultFontInto(TFont &to) const;
    void HandleKey(int key, Qt::KeyboardModifiers shift);
    QMenu *ContextMenu() const { return FContextMenu; }
    QAction *MenuAction(const QString &caption) const;
    QString ClipboardFileName() const { return FClipboardFile; }
    // Sets the enabled states of the context menu (run before it opens).
    void UpdateMenuStates();

    // ---- drawing ----
    // Background, picture, outline and grid of the card as the panel shows them.
    QImage RenderBackground() const;
    // The whole card: background and objects, optionally with outline, grid,
    // selection marks and drag frames; the one drawing path for screen,
    // command-line rendering and tests.
    void RenderCard(QPainter &p, bool decorations) const;
    QImage Grab(); // the panel's own paint, read back (tests)
    // View > Safe Area: the trim line (the card's edge) and the safe line
    // `marginPixels` inside it (card pixels at zoom 1.0) as dashed guides,
    // and a red frame round each object `crossing` names. A margin below 0
    // hides them.
    void SetSafeAreaGuides(int marginPixels, std::function<bool(const TGGraphicControl *)> crossing);
    int SafeAreaMargin() const { return FSafeMargin; }

    // ---- hooks for card objects and the selection handle ----
    void InsertObject(TGGraphicControl *object);
    void RemoveObject(TGGraphicControl *object);
    void ObjectDestroyed(TGGraphicControl *object);
    // Takes an object off the card and frees it.
    void FreeObject(TGGraphicControl *object);
    void InvalidateObjectArea(const QRect &r);
    void PostRefresh();
    void SetScreenCursor(int id);
    int ScreenCursor() const { return FScreenCursor; }
    TRect RubberBand() const { return FRubberBand; }
    bool RubberBandActive() const { return FRubberBandActive; }
    // Mouse handlers in panel coordinates (Qt events and forwarded ones).
    void PanelMouseDown(Qt::MouseButton button, QPoint p);
    void PanelMouseMove(QPoint p);
    void PanelMouseUp(Qt::MouseButton button, QPoint p);
    void ObjectMouseDown(TGGraphicControl *sender, Qt::MouseButton button, QPoint local);
    void HandleMouseDown(Qt::MouseButton button, QPoint handlePoint);
    void ObjectDoubleClick(QObject *sender, QPoint panelPoint);
    // The handle takes the mouse after a selection from a panel press.
    void SetHandleCapture(bool v) { FHandleCapture = v; }
    bool HandleCapture() const { return FHandleCapture; }

    // A context-menu command of the panel or an object was chosen (its caption).
    void NoteMenuCommand(const QString &caption) { emit MenuCommandChosen(caption); }

signals:
    void LabelChangedEvent(QObject *sender);
    // A mouse action on the card is over: the button was released on the
    // panel or its selection handle, after whatever the release did.
    void MouseActionEnded();
    void MenuCommandChosen(const QString &caption);
    void DroppedObjectEvent(TRect r);
    void OnDblClick(QObject *sender);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void customEvent(QEvent *e) override;
    bool focusNextPrevChild(bool) override { return false; }
    void resizeEvent(QResizeEvent *e) override;

    QPainterPath CardRegion() const;
    void BuildContextMenu();
    void PopupPanelMenu();

    bool FZooming = false;

private:
    void DrawGrid(QImage &image) const;
    void DrawObjects(QPainter &p, bool marks) const;
    void DrawFrames(QPainter &p) const;
    void DrawSafeArea(QPainter &p) const;

    float FZoom = 1.0f;
    // The size at zoom 1.0 that the present zoomed size was made from.
    QSize FCardSize;
    bool FPointing = true;
    QImage FPicture;
    QImage FColorPicture;
    TMetafile FColorMetafile;
    QMenu *FContextMenu = nullptr;
    TLabelShapeType FShape = lsRoundRect;
    bool FRubberBandActive = false;
    TGridSize FGridSize = gs4x4;
    bool FShowGrid = false;
    bool FSnapToGrid = false;
    bool FPrinting = false;
    int64_t FLastPasteTime = 0;
    bool FDrawOutline = false;
    bool FPreviewing = false;
    bool FHandleCapture = false;
    bool FRefreshPosted = false;
    int FScreenCursor = 0;
    TGHandle *FHandle = nullptr;
    QString FClipboardFile;
    QString FSpareFile;
    TRect FRubberBand; // anchor (left, top) and corner (right, bottom)
    QList<TGGraphicControl *> FObjects;
    int FSafeMargin = -1;
    std::function<bool(const TGGraphicControl *)> FCrossesSafeLine;
    mutable QImage FBackgroundCache;
    mutable bool FBackgroundValid = false;
};

// Puts the panel at zoom 1.0 for a print or an export, whose objects print
// from their 100 % bounds, and back to its zoom afterwards whatever happens.
// Meanwhile the screen goes on showing the card at the user's zoom.
class TPanelAtZoomOne
{
public:
    explicit TPanelAtZoomOne(TGBasePanel *panel);
    ~TPanelAtZoomOne();
    TPanelAtZoomOne(const TPanelAtZoomOne &) = delete;
    TPanelAtZoomOne &operator=(const TPanelAtZoomOne &) = delete;

private:
    QPointer<TGBasePanel> FPanel;
    QPointer<QWidget> FFrozen;
    float FZoom = 1.0f;
};
