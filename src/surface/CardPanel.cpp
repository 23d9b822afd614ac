// Holds TGBasePanel.
#include "surface/CardPanel.h"

#include "surface/CardObject.h"
#include "surface/ComponentStream.h"
#include "surface/SelectionHandle.h"
#include "surface/LabelObjectFiler.h"

#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Graphics.h"
#include "platform/InputFiles.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Posted by card objects after a bounds change; the handle then refits itself.
const QEvent::Type kRefreshEvent = QEvent::Type(QEvent::User + 42);
constexpr int kPasteRepeatMs = 1000; // a second paste within this is dropped

QSize ZoomedSize(const QSize &card, float factor)
{
    if (factor == 1.0f)
        return card;
    return QSize(platform::Round(card.width() * double(factor)), platform::Round(card.height() * double(factor)));
}
} // namespace

TGBasePanel::TGBasePanel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    FHandle = new TGHandle(this);
    FHandle->show();
    const QString folder = platform::ProgramFolder();
    FClipboardFile = folder + QStringLiteral("Clipbrd.tmp");
    FSpareFile = folder + QStringLiteral("TempFile.tmp");
    BuildContextMenu();
    FHandle->SetPanelMenu(FContextMenu);
}

TGBasePanel::~TGBasePanel()
{
    // Objects outlive nothing of the panel: detached before the widget goes,
    // so none calls back into it. Those the panel owns go with its other
    // children, which Qt deletes without looking each one up in its list of
    // children: deleted one by one here, a card of many objects took time
    // growing with the square of their number to close.
    const QList<TGGraphicControl *> objects = FObjects;
    FObjects.clear();
    for (TGGraphicControl *o : objects)
        o->ForgetPanel();
    for (TGGraphicControl *o : objects)
        if (o->parent() != this)
            delete o;
    QFile::remove(FClipboardFile);
    QFile::remove(FSpareFile);
    delete FContextMenu;
}

// ---- object list ----

// Called only by TGGraphicControl::SetPanel when the object moves onto this
// panel, so it is never in the list yet: no search of the list, which would
// make reading a card of many objects take time growing with their square.
void TGBasePanel::InsertObject(TGGraphicControl *object)
{
    FObjects.append(object);
    InvalidateObjectArea(object->BoundsRect());
}

void TGBasePanel::RemoveObject(TGGraphicControl *object)
{
    if (FHandle->IndexOf(object) >= 0)
        FHandle->Deselect(object);
    FObjects.removeOne(object);
    InvalidateObjectArea(object->BoundsRect());
}

void TGBasePanel::ObjectDestroyed(TGGraphicControl *object) { RemoveObject(object); }

void TGBasePanel::FreeObject(TGGraphicControl *object)
{
    // Detached at once, destroyed once control returns to the event loop: the
    // command may come from the object's own menu, which must outlive it.
    object->SetPanel(nullptr);
    object->SetVisible(false);
    object->deleteLater();
}

TGGraphicControl *TGBasePanel::ObjectAt(const QPoint &p) const
{
    for (auto it = FObjects.rbegin(); it != FObjects.rend(); ++it)
        if ((*it)->Visible() && (*it)->BoundsRect().contains(p))
            return *it;
    return nullptr;
}

void TGBasePanel::BringObjectToFront(TGGraphicControl *object)
{
    if (FObjects.removeOne(object))
        FObjects.append(object);
    update();
}

void TGBasePanel::SendObjectToBack(TGGraphicControl *object)
{
    if (FObjects.removeOne(object))
        FObjects.prepend(object);
    update();
}

void TGBasePanel::InvalidateObjectArea(const QRect &r)
{
    // Selection marks reach 2 pixels beyond an object.
    update(r.adjusted(-3, -3, 3, 3));
}

void TGBasePanel::PostRefresh()
{
    QCoreApplication::postEvent(this, new QEvent(kRefreshEvent));
}

void TGBasePanel::customEvent(QEvent *e)
{
    if (e->type() == kRefreshEvent)
        FHandle->RefitToSelection();
}

void TGBasePanel::SetScreenCursor(int id)
{
    FScreenCursor = id;
    const QCursor c = platform::CursorFor(id);
    setCursor(c);
    FHandle->setCursor(c);
}

// ---- properties ----

void TGBasePanel::SetShape(TLabelShapeType v)
{
    if (FShape == v)
        return;
    FShape = v;
    FBackgroundValid = false;
    update();
}

void TGBasePanel::SetGridSize(TGridSize v)
{
    if (FGridSize == v)
        return;
    FGridSize = v;
    FHandle->SetGridPitch(v == gs4x4 ? 4 : 8);
    FBackgroundValid = false;
    update();
}

void TGBasePanel::SetShowGrid(bool v)
{
    if (FShowGrid == v)
        return;
    FShowGrid = v;
    FBackgroundValid = false;
    update();
}

void TGBasePanel::SetSnapToGrid(bool v)
{
    if (FSnapToGrid == v)
        return;
    FSnapToGrid = v;
    if (v)
        FHandle->SetGridPitch(FGridSize == gs4x4 ? 4 : 8);
    FHandle->SetSnapToGrid(v);
}

void TGBasePanel::SetDrawOutline(bool v)
{
    if (FDrawOutline == v)
        return;
    FDrawOutline = v;
    FBackgroundValid = false;
    update();
}

void TGBasePanel::SetPicture(const QImage &image)
{
    FPicture = image;
    FBackgroundValid = false;
    update();
}

void TGBasePanel::SetColorPicture(const QImage &image)
{
    FColorPicture = image;
    FColorMetafile = TMetafile();
    FBackgroundValid = false;
    update();
}

bool TGBasePanel::LoadColorPicture(const QString &fileName)
{
    // The same rule as the print, so panel and page never show different art;
    // art that cannot be loaded leaves the old art in place.
    TPicture art;
    if (!platform::LoadBackgroundArt(fileName, art))
        return false;
    if (art.Kind() == TPicture::pkMetafile) {
        SetColorPicture(QImage());
        FColorMetafile = art.Metafile();
    } else {
        SetColorPicture(art.Bitmap().Image());
    }
    return true;
}

void TGBasePanel::ClearColorPicture() { SetColorPicture(QImage()); }

void TGBasePanel::resizeEvent(QResizeEvent *)
{
    FBackgroundValid = false;
}

// ---- painting ----

QPainterPath TGBasePanel::CardRegion() const
{
    // The region covers (0, 0) to (W + 1, H + 1), right and bottom exclusive.
    QPainterPath path;
    const QRectF r(0, 0, width() + 1, height() + 1);
    switch (FShape) {
    case lsRectangle: path.addRect(r); break;
    case lsRoundRect: path.addRoundedRect(r, 12, 12); break;
    case lsEllipse: path.addEllipse(r); break;
    }
    return path;
}

void TGBasePanel::DrawGrid(QImage &image) const
{
    // Grid points at 2 modulo the pitch of the card at zoom 1.0, aligned to
    // the panel's top-left corner and shown where the zoom puts them, so that
    // what snaps to the grid lies on the dots at any zoom. Each is ANDed with
    // green so it shows green on white and darkened on art.
    const int pitch = FGridSize == gs4x4 ? 4 : 8;
    const QPainterPath region = CardRegion();
    const QRgb green = qRgb(0, 128, 0);
    const auto shown = [this](int v) { return FZoom == 1.0f ? v : platform::Round(v * double(FZoom)); };
    for (int cardY = 2, y = shown(cardY); y < image.height(); cardY += pitch, y = shown(cardY)) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int cardX = 2, x = shown(cardX); x < image.width(); cardX += pitch, x = shown(cardX)) {
            if (FShape != lsRectangle && !region.contains(QPointF(x + 0.5, y + 0.5)))
                continue;
            line[x] = (line[x] & green) | 0xFF000000u;
        }
    }
}

QImage TGBasePanel::RenderBackground() const
{
    if (FBackgroundValid && FBackgroundCache.size() == size())
        return FBackgroundCache;
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        const QPainterPath region = CardRegion();
        const QRect all(0, 0, width(), height());
        if (!FPicture.isNull()) {
            p.save();
            p.setClipPath(region);
            p.drawImage(all, FPicture);
            p.restore();
        }
        if (!FColorPicture.isNull()) {
            p.save();
            p.setClipPath(region);
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            p.drawImage(all, FColorPicture);
            p.restore();
        }
        if (!FColorMetafile.IsEmpty()) {
            p.save();
            p.setClipPath(region);
            p.setRenderHint(QPainter::Antialiasing, true);
            FColorMetafile.Draw(p, all);
            p.restore();
        }
        if (FDrawOutline) {
            QPen pen(Qt::black);
            pen.setWidth(1);
            pen.setDashPattern({1, 1});
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            const int W = width(), H = height();
            switch (FShape) {
            case lsRectangle: platform::GdiRectangle(p, 0, 0, W, H); break;
            case lsRoundRect: platform::GdiRoundRect(p, 0, 0, W, H, 24, 24); break;
            case lsEllipse: platform::GdiEllipse(p, 0, 0, W, H); break;
            }
        }
    }
    if (FShowGrid)
        DrawGrid(image);
    FBackgroundCache = image;
    FBackgroundValid = true;
    return image;
}

void TGBasePanel::DrawObjects(QPainter &p, bool marks) const
{
    for (TGGraphicControl *o : FObjects) {
        if (!o->Visible())
            continue;
        // Laid out first: an object that grows when laid out is drawn whole
        // in the first picture of a card, not only from the second paint on.
        o->SettleBounds();
        p.save();
        p.translate(o->Left(), o->Top());
        p.setClipRect(0, 0, o->Width(), o->Height());
        o->Paint(p);
        p.restore();
    }
    // Marks go on top of every object, so a higher object never hides the
    // marks of a lower selected one.
    if (!marks)
        return;
    for (TGGraphicControl *o : FObjects)
        if (o->Visible())
            o->DrawSelectionMarks(p);
}

static void DrawXorFrame(QPainter &p, const TRect &r)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white);
    pen.setWidth(1);
    pen.setDashPattern({1, 1});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    platform::GdiRectangle(p, r.left, r.top, r.right, r.bottom);
    p.restore();
}

void TGBasePanel::DrawFrames(QPainter &p) const
{
    if (FRubberBandActive)
        DrawXorFrame(p, FRubberBand.Normalized());
    if (FHandle->HasDragPreview())
        DrawXorFrame(p, FHandle->DragPreviewFrame());
    if (FHandle->Nudging())
        DrawXorFrame(p, FHandle->NudgeFrame());
}

void TGBasePanel::SetSafeAreaGuides(int marginPixels, std::function<bool(const TGGraphicControl *)> crossing)
{
    FSafeMargin = marginPixels;
    FCrossesSafeLine = std::move(crossing);
    update();
}

// Guides for a print shop's cut, over the objects and under the selection
// handle: where the card is cut, where text is safe from the cut, and which
// objects reach past that.
void TGBasePanel::DrawSafeArea(QPainter &p) const
{
    if (FSafeMargin < 0)
        return;
    p.save();
    p.setBrush(Qt::NoBrush);
    QPen trim(QColor(0, 90, 200));
    trim.setWidth(1);
    trim.setDashPattern({4, 3});
    p.setPen(trim);
    p.drawRect(QRect(0, 0, width() - 1, height() - 1));
    const int inset = platform::Round(FSafeMargin * double(FZoom));
    QPen safe(QColor(0, 160, 80));
    safe.setWidth(1);
    safe.setDashPattern({2, 2});
    p.setPen(safe);
    p.drawRect(QRect(inset, inset, width() - 1 - 2 * inset, height() - 1 - 2 * inset));
    if (FCrossesSafeLine) {
        QPen marked(QColor(220, 0, 0));
        marked.setWidth(2);
        p.setPen(marked);
        for (const TGGraphicControl *o : FObjects)
            if (o->Visible() && FCrossesSafeLine(o))
                p.drawRect(o->BoundsRect().adjusted(1, 1, -1, -1));
    }
    p.restore();
}

void TGBasePanel::RenderCard(QPainter &p, bool decorations) const
{
    if (decorations) {
        p.drawImage(0, 0, RenderBackground());
    } else {
        // Background art only: no outline, grid or selection.
        TGBasePanel *self = const_cast<TGBasePanel *>(this);
        const bool outline = FDrawOutline, grid = FShowGrid;
        self->FDrawOutline = false;
        self->FShowGrid = false;
        self->FBackgroundValid = false;
        p.drawImage(0, 0, RenderBackground());
        self->FDrawOutline = outline;
        self->FShowGrid = grid;
        self->FBackgroundValid = false;
    }
    DrawObjects(p, decorations);
    if (decorations) {
        DrawSafeArea(p);
        DrawFrames(p);
    }
}

void TGBasePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    RenderCard(p, true);
}

QImage TGBasePanel::Grab()
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter p(&image);
    RenderCard(p, true);
    return image;
}

// ---- mouse ----

void TGBasePanel::mousePressEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (TGGraphicControl *o = ObjectAt(p))
        ObjectMouseDown(o, e->button(), p - QPoint(o->Left(), o->Top()));
    else
        PanelMouseDown(e->button(), p);
}

void TGBasePanel::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (FHandleCapture) {
        FHandle->HandleMouseMove(e->buttons(), p - FHandle->pos());
        return;
    }
    if (!FRubberBandActive)
        SetScreenCursor(ObjectAt(p) && FPointing ? platform::crHandPoint
                        : FPointing              ? platform::crDefault
                                                 : platform::crDrag);
    PanelMouseMove(p);
}

void TGBasePanel::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (FHandleCapture)
        FHandle->HandleMouseUp(e->button(), p - FHandle->pos());
    else
        PanelMouseUp(e->button(), p);
}

void TGBasePanel::mouseDoubleClickEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (TGGraphicControl *o = ObjectAt(p))
        ObjectDoubleClick(o, p);
    else
        emit OnDblClick(this);
    mousePressEvent(e);
}

void TGBasePanel::PanelMouseDown(Qt::MouseButton button, QPoint p)
{
    FRubberBand = {p.x(), p.y(), p.x(), p.y()};
    if (button == Qt::LeftButton) {
        FRubberBandActive = true;
        SetScreenCursor(platform::crHandPoint);
    } else {
        PopupPanelMenu();
    }
}

void TGBasePanel::PanelMouseMove(QPoint p)
{
    if (!FRubberBandActive)
        return;
    SetScreenCursor(platform::crHandPoint);
    FRubberBand.right = p.x();
    FRubberBand.bottom = p.y();
    update();
}

void TGBasePanel::PanelMouseUp(Qt::MouseButton, QPoint p)
{
    if (FRubberBandActive) {
        FRubberBand.right = p.x();
        FRubberBand.bottom = p.y();
        const TRect r = FRubberBand.Normalized();
        FRubberBandActive = false;
        update();
        if (!FPointing) {
            CreateToolObject(r);
            emit DroppedObjectEvent(r);
        } else {
            SelectInRect(r);
            FHandle->update();
        }
    }
    if (FPointing)
        SetScreenCursor(platform::crDefault);
    emit MouseActionEnded();
}

void TGBasePanel::SelectInRect(TRect r)
{
    const bool shift = platform::IsShiftDown();
    QList<TGGraphicControl *> list;
    if (shift)
        list = FHandle->Selection();
    FHandle->ClearSelection();
    for (auto it = FObjects.rbegin(); it != FObjects.rend(); ++it) {
        TGGraphicControl *o = *it;
        const QRect b = o->BoundsRect();
        const bool overlaps = r.left < b.x() + b.width() && b.x() < r.right && r.top < b.y() + b.height()
            && b.y() < r.bottom;
        if (!overlaps)
            continue;
        if (shift && list.contains(o))
            list.removeOne(o);
        else
            list.append(o);
    }
    for (TGGraphicControl *o : list)
        FHandle->Select(o);
    // A rubber band is not a press on the objects: no drag follows it.
    FHandleCapture = false;
}

void TGBasePanel::ObjectMouseDown(TGGraphicControl *sender, Qt::MouseButton button, QPoint local)
{
    const QPoint panelPoint = local + QPoint(sender->Left(), sender->Top());
    if (!FPointing || sender->Unselectable()) {
        PanelMouseDown(button, panelPoint);
        return;
    }
    if (!platform::IsShiftDown())
        FHandle->ClearSelection();
    FHandle->Select(sender);
    if (button == Qt::LeftButton)
        FHandle->NoteSelectingPress(panelPoint);
    FHandle->update();
    if (FHandle->Count() == 1 && button == Qt::RightButton)
        sender->PopupContextMenu(QCursor::pos());
}

void TGBasePanel::HandleMouseDown(Qt::MouseButton button, QPoint handlePoint)
{
    const QPoint p = handlePoint + FHandle->pos();
    if (!FPointing)
        PanelMouseDown(button, p);
    if (!platform::IsShiftDown())
        return;
    // Shift+click on a selected object takes it out of the selection. No
    // events are handled in between, so the objects listed stay alive.
    QList<TGGraphicControl *> list = FHandle->Selection();
    FHandle->ClearSelection();
    for (int i = list.size() - 1; i >= 0; --i)
        if (list[i]->BoundsRect().contains(p))
            list.removeAt(i);
    for (TGGraphicControl *o : list)
        FHandle->Select(o);
    FHandle->update();
}

void TGBasePanel::ObjectDoubleClick(QObject *sender, QPoint panelPoint)
{
    if (sender == FHandle) {
        if (FHandle->Count() > 1)
            return;
        if (TGGraphicControl *o = FHandle->ObjectAt(panelPoint)) {
            if (o->OnEdit)
                o->OnEdit(this);
            else
                o->PopupContextMenu(QCursor::pos());
        }
    } else if (auto *o = qobject_cast<TGGraphicControl *>(sender)) {
        o->PopupContextMenu(QCursor::pos());
    }
}

// ---- creation ----

void TGBasePanel::CreateToolObject(TRect) {}

void TGBasePanel::AddNewObject(TGGraphicControl *object, TRect r)
{
    object->SetVisible(false);
    object->SetPanel(this);
    object->setObjectName(UniqueName(QStringLiteral("Special")));
    object->SetBounds(r.left, r.top, std::max(r.right - r.left, 10), std::max(r.bottom - r.top, 15));
    AdoptObject(object);
    object->SetZoomFactorOnly(FZoom);
    object->SetVisible(true);
    NotifyLabelChanged();
    update();
}

QString TGBasePanel::UniqueName(const QString &prefix) const
{
    for (int n = 1; n <= 1000; ++n) {
        const QString name = prefix + QString::number(n);
        bool taken = false;
        for (const TGGraphicControl *o : FObjects)
            if (o->objectName().compare(name, Qt::CaseInsensitive) == 0) {
                taken = true;
                break;
            }
        if (!taken)
            return name;
    }
    return QString();
}

void TGBasePanel::AdoptObject(TGGraphicControl *object)
{
    // Mouse input of card objects always reaches the panel (they have no
    // window), so adopting only makes sure the object sits on this panel.
    object->SetPanel(this);
}

// Objects just read (pasted, cloned) hold the card's own bounds at zoom 1.0,
// as every record does; they are shown at the panel's zoom from those.
void TGBasePanel::AdoptAllObjects()
{
    for (int i = FObjects.size() - 1; i >= 0; --i) {
        AdoptObject(FObjects[i]);
        FObjects[i]->SetZoom(FZoom);
    }
}

void TGBasePanel::NotifyLabelChanged()
{
    if (!FZooming)
        emit LabelChangedEvent(this);
}

// ---- zoom, files, clean-up ----

void TGBasePanel::SetZoom(float factor)
{
    if (factor == FZoom)
        return;
    FZooming = true;
    if (FZoom * 10 == 0)
        FZoom = 1.0f;
    // Sized from the card at zoom 1.0, not from the last zoom's rounded size,
    // so that no number of steps makes the card drift.
    const QSize card = CardSize();
    FCardSize = card;
    FZoom = factor;
    FBackgroundValid = false; // the grid follows the zoom
    resize(ZoomedSize(card, factor));
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        o->SetZoom(factor);
    // Fitted while zooming, so that fitting is not taken for a change of the
    // card by the next paint.
    FitObjectsAsDrawn();
    update();
    FZooming = false;
}

QSize TGBasePanel::CardSize() const
{
    if (FZoom == 1.0f)
        return size();
    if (size() == ZoomedSize(FCardSize, FZoom))
        return FCardSize;
    // Resized by hand at this zoom: the nearest card size.
    return QSize(platform::Round(width() / double(FZoom)), platform::Round(height() / double(FZoom)));
}

void TGBasePanel::SaveToFile(const QString &fileName)
{
    const float remembered = FZoom;
    if (FZoom != 1.0f)
        SetZoom(1.0f);
    struct Restore {
        TGBasePanel *panel;
        float zoom;
        ~Restore()
        {
            if (zoom != 1.0f)
                panel->SetZoom(zoom);
        }
    } restore{this, remembered};
    TGLabelObjectFiler().WritePanel(this, fileName);
}

void TGBasePanel::LoadFromFile(const QString &fileName)
{
    if (!QFile::exists(fileName))
        return;
    // The file holds the bounds at zoom 1.0: they are read at that zoom and
    // then shown at the user's.
    const float remembered = FZoom;
    if (FZoom != 1.0f)
        SetZoom(1.0f);
    struct Restore {
        TGBasePanel *panel;
        float zoom;
        ~Restore()
        {
            if (zoom != 1.0f)
                panel->SetZoom(zoom);
        }
    } restore{this, remembered};
    TGLabelObjectFiler().ReadIntoPanel(this, this, fileName);
    AdoptAllObjects();
}

void TGBasePanel::FitObjectsAsDrawn() const
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter p(&scratch);
    RenderCard(p, false);
}

void TGBasePanel::TakeReadObjects(const QList<TGGraphicControl *> &objects)
{
    const float remembered = FZoom;
    if (FZoom != 1.0f)
        SetZoom(1.0f);
    for (TGGraphicControl *o : objects) {
        o->setParent(this);
        o->SetPanel(this);
    }
    AdoptAllObjects();
    if (remembered != 1.0f)
        SetZoom(remembered);
    // Read on no panel, they fit themselves to it now, while the card is
    // being opened, not at its first paint.
    FitObjectsAsDrawn();
}

void TGBasePanel::LoadFromBytes(const QByteArray &objects)
{
    if (objects.isEmpty())
        return;
    QObject holder; // frees what was read when the read fails
    const QList<TGGraphicControl *> read = TComponentReader(objects).ReadObjectList(&holder, nullptr);
    TakeReadObjects(read);
}

QByteArray TGBasePanel::SaveToBytes()
{
    const float remembered = FZoom;
    if (FZoom != 1.0f)
        SetZoom(1.0f);
    const QByteArray card = TComponentWriter::ObjectListToBytes(FObjects);
    if (remembered != 1.0f)
        SetZoom(remembered);
    return card;
}

void TGBasePanel::DeleteAllObjects()
{
    FHandle->ClearSelection();
    for (int i = FObjects.size() - 1; i >= 0; --i)
        FreeObject(FObjects[i]);
    update();
}

// Judged on the card as the file holds it (zoom 1.0): at a small zoom a thin
// line shows 0 pixels high and an object near the edge lies a few screen
// pixels from it, yet both are on the card.
void TGBasePanel::RemoveObjectsOffCard()
{
    FHandle->ClearSelection();
    const QSize card = CardSize();
    for (int i = FObjects.size() - 1; i >= 0; --i) {
        TGGraphicControl *o = FObjects[i];
        const QRect b = o->StoredBounds();
        if (b.top() > card.height() - 10 || b.left() > card.width() - 10 || b.width() < 1 || b.height() < 1)
            FreeObject(o);
    }
    update();
}

void TGBasePanel::PrintObjects(TBaseReport &report, double originX, double originY)
{
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        o->Print(report, originX, originY);
}

// ---- editing commands ----

QAction *TGBasePanel::MenuAction(const QString &caption) const
{
    for (QAction *a : FContextMenu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

void TGBasePanel::BuildContextMenu()
{
    FContextMenu = new QMenu();
    connect(FContextMenu, &QMenu::triggered, this, [this](QAction *a) { NoteMenuCommand(a->text()); });
    auto add = [this](const QString &caption, auto method) {
        QAction *a = FContextMenu->addAction(caption);
        connect(a, &QAction::triggered, this, method);
    };
    add(tr("Bring To Front"), [this] { BringSelectionToFront(); });
    add(tr("Send To Back"), [this] { SendSelectionToBack(); });
    FContextMenu->addSeparator();
    add(tr("Cut"), [this] { SelectionClipboardCommand(ccCut); });
    add(tr("Copy"), [this] { SelectionClipboardCommand(ccCopy); });
    add(tr("Paste"), [this] { SelectionClipboardCommand(ccPaste); });
    FContextMenu->addSeparator();
    add(tr("Delete"), [this] { SelectionClipboardCommand(ccDelete); });
    FContextMenu->addSeparator();
    add(tr("Align Left"), [this] { AlignLefts(); });
    add(tr("Align Right"), [this] { AlignRights(); });
    add(tr("Align Tops"), [this] { AlignTops(); });
    add(tr("Align Bottoms"), [this] { AlignBottoms(); });
    FContextMenu->addSeparator();
    add(tr("Center Vertically"), [this] { CenterSelectionVertically(); });
    add(tr("Center Horizontally"), [this] { CenterSelectionHorizontally(); });
    FContextMenu->addSeparator();
    add(tr("Lock All"), [this] { LockAll(); });
    add(tr("Unlock All"), [this] { UnlockAll(); });
    FContextMenu->addSeparator();
    add(tr("Mark All Selectable"), [this] { MarkAllSelectable(); });
    add(tr("Mark All Unselectable"), [this] { MarkAllUnselectable(); });
    add(tr("Select All"), [this] { SelectAll(); });
    FContextMenu->addSeparator();
    add(tr("Font"), [this] { FontForSelection(); });
    connect(FContextMenu, &QMenu::aboutToShow, this, [this] { UpdateMenuStates(); });
}

void TGBasePanel::UpdateMenuStates()
{
    const bool selected = FHandle->Count() > 0;
    const bool anyObject = !FObjects.isEmpty();
    for (const char *c : {"Bring To Front", "Send To Back", "Cut", "Copy", "Delete", "Align Left",
                          "Align Right", "Align Tops", "Align Bottoms", "Center Vertically",
                          "Center Horizontally", "Font"})
        MenuAction(tr(c))->setEnabled(selected);
    MenuAction(tr("Paste"))->setEnabled(QFile::exists(FClipboardFile));
    MenuAction(tr("Lock All"))->setEnabled(anyObject);
    MenuAction(tr("Unlock All"))->setEnabled(anyObject);
}

void TGBasePanel::PopupPanelMenu()
{
    UpdateMenuStates();
    FContextMenu->popup(QCursor::pos());
}

void TGBasePanel::SelectionClipboardCommand(int command)
{
    switch (command) {
    case ccCut:
    case ccCopy:
        TGLabelObjectFiler().WriteSelection(FHandle, FClipboardFile);
        if (command == ccCopy)
            break;
        [[fallthrough]];
    case ccDelete:
        for (int i = FHandle->Count() - 1; i >= 0; --i) {
            TGGraphicControl *o = FHandle->Selected(i);
            FHandle->Deselect(o);
            FreeObject(o);
            NotifyLabelChanged();
        }
        break;
    case ccPaste: {
        const int64_t now = platform::TickCount();
        if (FLastPasteTime == 0)
            FLastPasteTime = now;
        else if (now < FLastPasteTime + kPasteRepeatMs)
            return;
        if (QFile::exists(FClipboardFile))
            TGLabelObjectFiler().PasteIntoPanel(this, this, FClipboardFile);
        AdoptAllObjects();
        NotifyLabelChanged();
        update();
        FLastPasteTime = platform::TickCount();
        break;
    }
    default:
        break;
    }
}

void TGBasePanel::ObjectClipboardCommand(TGGraphicControl *object, int command)
{
    if (FHandle->IndexOf(object) >= 0) {
        SelectionClipboardCommand(command);
        return;
    }
    switch (command) {
    case ccCut:
    case ccCopy:
        TGLabelObjectFiler().WriteObject(object, FClipboardFile);
        if (command == ccCopy)
            break;
        [[fallthrough]];
    case ccDelete:
        NotifyLabelChanged();
        FHandle->Deselect(object);
        FreeObject(object);
        break;
    case ccPaste:
        if (QFile::exists(FClipboardFile))
            TGLabelObjectFiler().PasteIntoPanel(this, this, FClipboardFile);
        AdoptAllObjects();
        NotifyLabelChanged();
        update();
        FLastPasteTime = platform::TickCount();
        break;
    default:
        break;
    }
}

void TGBasePanel::BringSelectionToFront()
{
    if (FHandle->Count() == 0)
        return;
    for (TGGraphicControl *o : FHandle->Selection())
        BringObjectToFront(o);
    FHandle->raise();
    if (!FHandle->isHidden() && FHandle->isEnabled())
        FHandle->setFocus();
    NotifyLabelChanged();
}

void TGBasePanel::SendSelectionToBack()
{
    if (FHandle->Count() == 0)
        return;
    for (TGGraphicControl *o : FHandle->Selection())
        SendObjectToBack(o);
    FHandle->raise();
    if (!FHandle->isHidden() && FHandle->isEnabled())
        FHandle->setFocus();
    FHandle->ClearSelection();
    NotifyLabelChanged();
}

// Aligns one edge of every selected object to the outermost such edge. The
// reference starts from the panel's far side (or 0) so that it always moves
// towards the objects; objects are assigned from the last selected to the first.
void TGBasePanel::AlignSelection(AlignEdge edge)
{
    if (FHandle->Count() == 0)
        return;
    NotifyLabelChanged();
    const bool horizontal = edge == AlignEdge::Left || edge == AlignEdge::Right;
    const bool nearSide = edge == AlignEdge::Left || edge == AlignEdge::Top;
    // Edges are compared on the card at zoom 1.0: edges that meet on the
    // screen at a small zoom may lie a pixel apart on the card.
    auto position = [horizontal](const TGGraphicControl *o) {
        return horizontal ? o->StoredBounds().left() : o->StoredBounds().top();
    };
    auto extent = [horizontal](const TGGraphicControl *o) {
        return horizontal ? o->StoredBounds().width() : o->StoredBounds().height();
    };
    const QSize card = CardSize();
    int ref = nearSide ? (horizontal ? card.width() : card.height()) : 0;
    for (const TGGraphicControl *o : FHandle->Selection())
        ref = nearSide ? std::min(ref, position(o)) : std::max(ref, position(o) + extent(o));
    for (int i = FHandle->Count() - 1; i >= 0; --i) {
        TGGraphicControl *o = FHandle->Selected(i);
        const int value = nearSide ? ref : ref - extent(o);
        QRect b = o->StoredBounds();
        if (horizontal)
            b.moveLeft(value);
        else
            b.moveTop(value);
        o->SetStoredBounds(b);
    }
    update();
}

void TGBasePanel::AlignLefts() { AlignSelection(AlignEdge::Left); }
void TGBasePanel::AlignRights() { AlignSelection(AlignEdge::Right); }
void TGBasePanel::AlignTops() { AlignSelection(AlignEdge::Top); }
void TGBasePanel::AlignBottoms() { AlignSelection(AlignEdge::Bottom); }

void TGBasePanel::CenterSelectionVertically()
{
    if (FHandle->Count() == 0)
        return;
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FHandle->Selection()))
        o->CenterVertically();
    update();
}

void TGBasePanel::CenterSelectionHorizontally()
{
    if (FHandle->Count() == 0)
        return;
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FHandle->Selection()))
        o->CenterHorizontally();
    update();
}

void TGBasePanel::LockAll()
{
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        if (!o->Locked())
            o->SetLocked(true);
}

void TGBasePanel::UnlockAll()
{
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        if (o->Locked())
            o->SetLocked(false);
}

void TGBasePanel::MarkAllSelectable()
{
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        o->SetUnselectable(false);
}

void TGBasePanel::MarkAllUnselectable()
{
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        o->SetUnselectable(true);
}

void TGBasePanel::SelectAll()
{
    FHandle->ClearSelection();
    for (TGGraphicControl *o : QList<TGGraphicControl *>(FObjects))
        FHandle->Select(o);
    FHandleCapture = false;
}

void TGBasePanel::DefaultFontInto(TFont &to) const
{
    const QFont &from = font();
    to.SetName(from.family());
    if (from.pixelSize() > 0)
        to.SetHeight(-from.pixelSize());
    else
        to.SetSize(qRound(from.pointSizeF()));
    Vcl::TFontStyles style;
    if (from.bold())
        style |= Vcl::fsBold;
    if (from.italic())
        style |= Vcl::fsItalic;
    if (from.underline())
        style |= Vcl::fsUnderline;
    if (from.strikeOut())
        style |= Vcl::fsStrikeOut;
    to.SetStyle(style);
}

void TGBasePanel::FontForSelection()
{
    if (FHandle->Count() == 0)
        return;
    // The dialog opens with what the user sees: the font of the first selected
    // object that has one, else the panel's default font.
    TFont font;
    font.SetColor(platform::clBlack);
    DefaultFontInto(font);
    for (TGGraphicControl *o : FHandle->Selection())
        if (const TFont *own = o->property("Font").value<TFont *>()) {
            font.Assign(*own);
            break;
        }
    if (platform::ChooseFont(font, this))
        for (TGGraphicControl *o : QList<TGGraphicControl *>(FHandle->Selection()))
            o->AssignFont(font);
    update();
}

void TGBasePanel::HandleKey(int key, Qt::KeyboardModifiers shift)
{
    if (shift.testFlag(Qt::ControlModifier)) {
        if (key == Qt::Key_C)
            SelectionClipboardCommand(ccCopy);
        else if (key == Qt::Key_V)
            SelectionClipboardCommand(ccPaste);
        else if (key == Qt::Key_X)
            SelectionClipboardCommand(ccCut);
    } else if (key == Qt::Key_Delete) {
        SelectionClipboardCommand(ccDelete);
    }
}

void TGBasePanel::keyPressEvent(QKeyEvent *e) { HandleKey(e->key(), e->modifiers()); }

// ---- zoom 1.0 for printing ----

TPanelAtZoomOne::TPanelAtZoomOne(TGBasePanel *panel) : FPanel(panel)
{
    if (!panel || panel->ZoomFactor() == 1.0f)
        return;
    FZoom = float(panel->ZoomFactor());
    // The panel and the area around it are not repainted while the card is
    // at 100 %, so the user does not see it jump to that size and back.
    FFrozen = panel->parentWidget() ? panel->parentWidget() : panel;
    FFrozen->setUpdatesEnabled(false);
    panel->SetZoom(1.0f);
}

TPanelAtZoomOne::~TPanelAtZoomOne()
{
    if (FPanel && FZoom != 1.0f)
        FPanel->SetZoom(FZoom);
    if (FFrozen)
        FFrozen->setUpdatesEnabled(true);
}
