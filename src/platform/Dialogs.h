// The platform's standard dialogs (colour, font) and message boxes, behind
// replaceable functions so that commands can be driven without a user.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;
class TFont;

namespace platform {

// Shows the colour chooser preset to color; true and the choice on OK.
bool ChooseColor(int32_t &color, QWidget *parent);
// Shows the font chooser preset to font; true and the choice on OK.
bool ChooseFont(TFont &font, QWidget *parent);

using ColorChooser = std::function<bool(int32_t &color)>;
using FontChooser = std::function<bool(TFont &font)>;
void SetColorChooserForTests(ColorChooser chooser);
void SetFontChooserForTests(FontChooser chooser);

} // namespace platform
