// Holds TGBusinessCardLabel.
#include "objects/BusinessCardLabel.h"

#include "objects/ObjectEditors.h"
#include "surface/BusinessCardPanel.h"

#include <QMenu>
#include <algorithm>
#include <cstdlib>

TGBusinessCardLabel::TGBusinessCardLabel(QObject *owner) : TGPLabel(owner) {}

QStringList TGBusinessCardLabel::PersonalInfoCaptions()
{
    return {tr("Name"),    tr("Company"), tr("Title"),   tr("Address 1"), tr("Address 2"),
            tr("Address 3"), tr("Phone 1"), tr("Phone 2"), tr("EMail"),     tr("Fax")};
}

QStringList TGBusinessCardLabel::PersonalFieldKeys()
{
    return {QStringLiteral("Name"),     QStringLiteral("Company"),  QStringLiteral("Title"),
            QStringLiteral("Address1"), QStringLiteral("Address2"), QStringLiteral("Address3"),
            QStringLiteral("Phone1"),   QStringLiteral("Phone2"),   QStringLiteral("EMail"),
            QStringLiteral("Fax")};
}

void TGBusinessCardLabel::SetPersonalField(const QString &key)
{
    if (FPersonalField == key)
        return;
    FPersonalField = key;
    Changed();
}

QStringList TGBusinessCardLabel::PanelPersonalInfo() const
{
    QStringList entries;
    if (const auto *panel = qobject_cast<const TGBusinessCardPanel32 *>(Panel()))
        entries = panel->PersonalInfo;
    while (entries.size() < 10)
        entries.append(QString());
    return entries.mid(0, 10);
}

void TGBusinessCardLabel::BuildContextMenu()
{
    FPersonalInfoMenu = nullptr; // went with the previous menu
    TGPLabel::BuildContextMenu();
    QMenu *menu = ContextMenu();
    if (qobject_cast<TGBusinessCardPanel32 *>(Panel())) {
        QAction *first = menu->actions().value(0);
        FPersonalInfoMenu = new QMenu(tr("Personal Information"), menu);
        menu->insertMenu(first, FPersonalInfoMenu);
        menu->insertSeparator(first);
        try {
            RebuildPersonalInfoMenu();
        } catch (...) {
            // A menu without entries is still a working label.
        }
    }
    for (QAction *a : menu->actions())
        if (a->data().toInt() == kTextCommandTag) {
            a->disconnect(this);
            connect(a, &QAction::triggered, this, [this] { EditBusinessCardText(); });
        }
    if (FTransparentItem)
        FTransparentItem->setChecked(Transparent());
}

void TGBusinessCardLabel::UpdateContextMenu()
{
    TGPLabel::UpdateContextMenu();
    RebuildPersonalInfoMenu();
}

void TGBusinessCardLabel::RebuildPersonalInfoMenu()
{
    if (!FPersonalInfoMenu)
        return;
    FPersonalInfoMenu->clear();
    const QStringList captions = PersonalInfoCaptions();
    const QStringList values = PanelPersonalInfo();
    for (int i = 0; i < captions.size(); ++i) {
        // The tab shows the value right-aligned; a '&' in it must not become
        // a keyboard accelerator.
        QString shown = values[i];
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *a = FPersonalInfoMenu->addAction(captions[i] + QLatin1Char('\t') + shown);
        const QString value = values[i];
        connect(a, &QAction::triggered, this, [this, i, value] { TakePersonalInfo(i, value); });
    }
}

void TGBusinessCardLabel::TakePersonalInfo(int index, const QString &value)
{
    SetPersonalField(PersonalFieldKeys().value(index));
    SetCaption(value.left(255));
    FitToText();
    NotifyChanged();
    Invalidate();
}

void TGBusinessCardLabel::EditBusinessCardText()
{
    const auto &editor = editors::ObjectEditors().BusinessCardText;
    if (!editor)
        return;
    QString text = Caption();
    const QStringList entries = PanelPersonalInfo();
    if (!editor(Panel(), text, entries))
        return;
    // The dialog hands back only the text: a text that is one of the entries
    // was chosen from the list (or typed as it stands there) and binds the
    // label to that entry; any other text was typed and unbinds it. An
    // unchanged text keeps the binding it had.
    if (text != Caption()) {
        const int chosen = text.isEmpty() ? -1 : entries.indexOf(text);
        SetPersonalField(chosen >= 0 ? PersonalFieldKeys().value(chosen) : QString());
    }
    SetCaption(text);
    FitToText();
    Invalidate();
}

// ---- one value of a person ----

namespace {

// The longest value a label takes, as the personal-information dialog keeps.
constexpr int kLongestValue = 255;
// Below this length along the line a label cannot show a character; the
// layout would widen it to its text again.
constexpr int kLeastRoom = 6;
// Widths are measured in whole pixels of the screen, while a printed page
// places the letters by their exact widths: a pixel is kept to spare, so
// that a value shown up to the card's edge does not end a fraction beyond it.
constexpr int kRoundingSpare = 1;

} // namespace

int TGBusinessCardLabel::AlongLineStart() const
{
    return Angle() == 0 || Angle() == 180 ? Left() : Top();
}

int TGBusinessCardLabel::AlongLineEnd() const
{
    return Angle() == 0 || Angle() == 180 ? Left() + Width() : Top() + Height();
}

void TGBusinessCardLabel::SetAlongLine(int start, int end)
{
    if (Angle() == 0 || Angle() == 180)
        SetBounds(start, Top(), end - start, Height());
    else
        SetBounds(Left(), start, Width(), end - start);
}

TGBusinessCardLabel::TValueFit TGBusinessCardLabel::ShowValue(const QString &value, const QRect &card)
{
    TValueFit fit;
    SetCaption(value.left(kLongestValue));
    const bool across = Angle() == 0 || Angle() == 180;
    const int cardStart = across ? card.left() : card.top();
    const int cardEnd = across ? card.left() + card.width() : card.top() + card.height();
    // A label that reaches beyond the card as designed keeps to the card for
    // a person's value: what it shows belongs to this card's cell only.
    int start = std::max(AlongLineStart(), cardStart);
    int end = std::min(AlongLineEnd(), cardEnd);
    if (start != AlongLineStart() || end != AlongLineEnd())
        SetAlongLine(start, std::max(end, start + 1));
    const auto fits = [this] { return CaptionLength() + kRoundingSpare <= CaptionRoom(); };
    if (fits())
        return fit;

    // Smaller, down to half the font's size.
    TFont &font = *Font();
    const int designed = font.Height();
    const int pixels = std::abs(designed);
    if (pixels > 1) {
        const int sign = designed < 0 ? -1 : 1;
        const int least = (pixels + 1) / 2;
        int now = int(std::max<qint64>(least, qint64(pixels) * CaptionRoom() / std::max(1, CaptionLength())));
        for (;;) {
            font.SetHeight(sign * now);
            if (fits() || now <= least)
                break;
            --now;
        }
        fit.Percent = int(100.0 * now / pixels + 0.5);
        if (fits())
            return fit;
    }

    // Longer still: the label reaches out where the text runs over, up to
    // the card's edge.
    const int extra = CaptionLength() + kRoundingSpare - CaptionRoom();
    start = AlongLineStart();
    end = AlongLineEnd();
    if (Angle() == 180 || Angle() == 90 || (Angle() == 0 && Alignment() == Vcl::taRightJustify)) {
        start -= extra;
    } else if (Angle() == 0 && Alignment() == Vcl::taCenter) {
        start -= extra / 2;
        end += extra - extra / 2;
    } else {
        end += extra;
    }
    start = std::max(start, cardStart);
    end = std::min(end, cardEnd);
    SetAlongLine(start, std::max(end, start + 1));
    if (fits())
        return fit;

    // What still does not fit is left out, whole characters at a time, so
    // that a printed page holds no text beyond the card.
    fit.Cut = true;
    if (CaptionRoom() < kLeastRoom) {
        SetCaption(QString());
        return fit;
    }
    const QString full = Caption();
    qsizetype kept = CanvasFont().FittingLength(full, 0, CaptionRoom());
    SetCaption(full.left(kept));
    while (kept > 0 && !fits())
        SetCaption(full.left(--kept));
    return fit;
}

bool TGBusinessCardLabel::FollowPersonalInfo(const QStringList &personalInfo)
{
    const int entry = PersonalFieldIndex();
    if (entry < 0)
        return false;
    const QString value = personalInfo.value(entry).left(kLongestValue);
    if (value == Caption())
        return false;
    SetCaption(value);
    FitToText();
    return true;
}
