#include "objects/PrintShopRules.h"

#include "objects/CircleText.h"
#include "objects/FrameShapes.h"
#include "objects/ImageObject.h"
#include "objects/LineShape.h"
#include "objects/MultiLineLabelBase.h"
#include "objects/QRCode.h"
#include "objects/RichTextLabel.h"
#include "objects/SuperShape.h"
#include "objects/SuperText.h"
#include "objects/TextLabelBase.h"
#include "surface/CardPanel.h"

namespace printshop {

namespace {

bool ReachesCardEdge(const QRect &bounds, const QSize &card)
{
    return bounds.left() <= 1 || bounds.top() <= 1 || bounds.left() + bounds.width() >= card.width() - 1
           || bounds.top() + bounds.height() >= card.height() - 1;
}

} // namespace

// Text drawn outward would move its words towards the cut, and a stretched
// code no longer reads: only shapes, lines and pictures continue.
bool ContinuesIntoBleed(const TGGraphicControl *object)
{
    return qobject_cast<const TGLabelShapes *>(object) || qobject_cast<const TGLineShape *>(object)
           || qobject_cast<const TGImage *>(object) || qobject_cast<const TSuperShape *>(object);
}

bool KeptInsideSafeArea(const TGGraphicControl *object)
{
    return qobject_cast<const TGBaseLabel *>(object) || qobject_cast<const TGMultiLineBaseLabel *>(object)
           || qobject_cast<const TGPRichBaseLabel *>(object) || qobject_cast<const TGSuperText *>(object)
           || qobject_cast<const TGPCircleText *>(object) || qobject_cast<const TGQRCode *>(object)
           || qobject_cast<const TGImage *>(object);
}

QRect BleedBounds(const QRect &bounds, const QSize &card, int bleedPixels)
{
    int left = bounds.left(), top = bounds.top();
    int right = bounds.left() + bounds.width(), bottom = bounds.top() + bounds.height();
    if (left <= 1)
        left = qMin(left, 0) - bleedPixels;
    if (top <= 1)
        top = qMin(top, 0) - bleedPixels;
    if (right >= card.width() - 1)
        right = qMax(right, card.width()) + bleedPixels;
    if (bottom >= card.height() - 1)
        bottom = qMax(bottom, card.height()) + bleedPixels;
    return QRect(left, top, right - left, bottom - top);
}

QRect SafeRect(const QSize &card, int marginPixels)
{
    return QRect(QPoint(0, 0), card).adjusted(marginPixels, marginPixels, -marginPixels, -marginPixels);
}

bool CrossesSafeLine(const TGGraphicControl *object, const QSize &card, int marginPixels)
{
    if (!object || !object->Visible() || !KeptInsideSafeArea(object))
        return false;
    const QRect bounds = object->StoredBounds();
    if (bounds.isEmpty() || SafeRect(card, marginPixels).contains(bounds))
        return false;
    return !(qobject_cast<const TGImage *>(object) && ReachesCardEdge(bounds, card));
}

QString ObjectDescription(const TGGraphicControl *object)
{
    auto quoted = [](const QString &kind, QString text) {
        text = text.simplified();
        if (text.isEmpty())
            return kind;
        if (text.size() > 40)
            text = text.left(39) + QChar(0x2026);
        return kind + QStringLiteral(" \"") + text + QLatin1Char('"');
    };
    if (const auto *label = qobject_cast<const TGBaseLabel *>(object))
        return quoted(QStringLiteral("Text"), label->Caption());
    if (const auto *lines = qobject_cast<const TGMultiLineBaseLabel *>(object))
        return quoted(QStringLiteral("Multi-line text"), lines->PaintedLines().join(QLatin1Char(' ')));
    if (const auto *super = qobject_cast<const TGSuperText *>(object))
        return quoted(QStringLiteral("SuperText"), super->Caption());
    if (const auto *circle = qobject_cast<const TGPCircleText *>(object))
        return quoted(QStringLiteral("Circle text"), circle->Caption());
    if (const auto *code = qobject_cast<const TGQRCode *>(object))
        return quoted(QStringLiteral("QR code"), code->Text());
    if (qobject_cast<const TGPRichBaseLabel *>(object))
        return QStringLiteral("Rich text");
    if (qobject_cast<const TGImage *>(object))
        return QStringLiteral("Picture");
    return object ? QString::fromLatin1(object->metaObject()->className()) : QString();
}

QList<TGGraphicControl *> ObjectsCrossingSafeLine(const TGBasePanel &panel, int marginPixels)
{
    QList<TGGraphicControl *> crossing;
    for (TGGraphicControl *o : panel.Objects())
        if (CrossesSafeLine(o, panel.CardSize(), marginPixels))
            crossing.append(o);
    return crossing;
}

TBleedExtension::TBleedExtension(TGBasePanel *panel, int bleedPixels) : FPanel(panel)
{
    if (!panel || bleedPixels <= 0)
        return;
    const bool printing = panel->Printing();
    panel->SetPrinting(true);
    const QSize card = panel->CardSize();
    for (TGGraphicControl *o : panel->Objects()) {
        if (!ContinuesIntoBleed(o))
            continue;
        const QRect own = o->StoredBounds();
        const QRect out = BleedBounds(own, card, bleedPixels);
        if (out == own)
            continue;
        FMoved.append({o, own});
        o->SetStoredBounds(out);
    }
    panel->SetPrinting(printing);
}

TBleedExtension::~TBleedExtension()
{
    if (!FPanel)
        return;
    const bool printing = FPanel->Printing();
    FPanel->SetPrinting(true);
    for (const auto &[object, own] : std::as_const(FMoved))
        if (object)
            object->SetStoredBounds(own);
    FPanel->SetPrinting(printing);
}

} // namespace printshop
