// Holds TGSymbolLabel.
#include "objects/SymbolLabel.h"

#include "objects/TextLabel.h"
#include "objects/ObjectEditors.h"
#include "platform/Rounding.h"
#include "surface/CardPanel.h"

#include <QMenu>
#include <algorithm>

TGSymbolLabel::TGSymbolLabel(QObject *owner) : TGBaseLabel(owner)
{
    // Set before any change signal reaches a panel: a new label is no change.
    const QSignalBlocker block(Font());
    Font()->SetName(QStringLiteral("WingDings"));
    Font()->SetSize(24);
    SetCaption(QStringLiteral("["));
}

void TGSymbolLabel::Loaded()
{
    TGBaseLabel::Loaded();
    try {
        Layout();
        BoundsChanged();
    } catch (...) {
        // Sizing is redone on the next change of bounds.
    }
}

void TGSymbolLabel::BuildContextMenu()
{
    TGBaseLabel::BuildContextMenu();
    QMenu *menu = ContextMenu();
    const QList<QAction *> entries = menu->actions();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        QAction *a = *it;
        const QString caption = a->text();
        if (a->data().toInt() == TGPLabel::kTextCommandTag || caption == QLatin1String("Font")
            || caption == QLatin1String("Alignment") || caption == QLatin1String("Angle")) {
            if (QMenu *submenu = a->menu())
                delete submenu; // takes its entry along
            else
                delete a;
        }
    }
    FLeftItem = FCenterItem = FRightItem = nullptr;
    AddSeparator();
    AddMenuItem(tr("Symbol Selector"), [this] { RunSymbolSelector(); });
}

void TGSymbolLabel::BoundsChanged()
{
    TGBaseLabel::BoundsChanged();
    if (IsLoading() || !Panel())
        return;
    AutoSize();
    RequestHandleRefresh();
}

void TGSymbolLabel::AutoSize()
{
    const platform::TCanvasFont font = CanvasFont();
    const int maxX = std::max({TextOrigin().x(), ShadowOrigin().x(), HighlightOrigin().x()});
    const int maxY = std::max({TextOrigin().y(), ShadowOrigin().y(), HighlightOrigin().y()});
    // At least one pixel: the base label grows an empty object to one pixel,
    // and sizing back to nothing would call each other without end (an
    // empty caption from a damaged card file).
    const int width = std::max(1, platform::Trunc(font.TextWidth(Caption()) * 1.1) + maxX);
    const int height = std::max(1, platform::Trunc(font.TextHeight() * 1.1) + maxY);
    if (width != Width() || height != Height())
        SetFittedBounds(Left(), Top(), width, height);
}

void TGSymbolLabel::RunSymbolSelector()
{
    const auto &selector = editors::ObjectEditors().SymbolSelector;
    if (!selector)
        return;
    TFont font;
    font.Assign(*Font());
    QString character = Caption();
    if (!selector(Panel(), font, character))
        return;
    Font()->Assign(font);
    SetCaption(character);
    BoundsChanged();
    Invalidate();
}
