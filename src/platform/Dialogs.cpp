#include "platform/Dialogs.h"

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QColorDialog>
#include <QFontDialog>

namespace platform {
namespace {
ColorChooser g_colorChooser;
FontChooser g_fontChooser;
} // namespace

void SetColorChooserForTests(ColorChooser chooser) { g_colorChooser = std::move(chooser); }
void SetFontChooserForTests(FontChooser chooser) { g_fontChooser = std::move(chooser); }

bool ChooseColor(int32_t &color, QWidget *parent)
{
    if (g_colorChooser)
        return g_colorChooser(color);
    const QColor chosen = QColorDialog::getColor(ToQColor(color), parent);
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

bool ChooseFont(TFont &font, QWidget *parent)
{
    if (g_fontChooser)
        return g_fontChooser(font);
    bool ok = false;
    QFont initial(font.Name());
    initial.setPointSize(qMax(1, font.Size()));
    initial.setBold(font.Style().testFlag(Vcl::fsBold));
    initial.setItalic(font.Style().testFlag(Vcl::fsItalic));
    initial.setUnderline(font.Style().testFlag(Vcl::fsUnderline));
    initial.setStrikeOut(font.Style().testFlag(Vcl::fsStrikeOut));
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return false;
    font.SetName(chosen.family());
    font.SetSize(chosen.pointSize() > 0 ? chosen.pointSize() : 10);
    Vcl::TFontStyles style;
    if (chosen.bold())
        style |= Vcl::fsBold;
    if (chosen.italic())
        style |= Vcl::fsItalic;
    if (chosen.underline())
        style |= Vcl::fsUnderline;
    if (chosen.strikeOut())
        style |= Vcl::fsStrikeOut;
    font.SetStyle(style);
    return true;
}

} // namespace platform
