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
// Shows the font chooser preset to font (face, size, styles and, unless
// withColor is false, the text colour); true and the choice on OK.
bool ChooseFont(TFont &font, QWidget *parent, bool withColor = true);

using ColorChooser = std::function<bool(int32_t &color)>;
using FontChooser = std::function<bool(TFont &font)>;
void SetColorChooserForTests(ColorChooser chooser);
void SetFontChooserForTests(FontChooser chooser);

// ---- message boxes ----
enum TMsgIcon { miInformation, miQuestion, miWarning, miError };
enum TMsgButtons { mbOK, mbYesNo, mbYesNoCancel };
// The answers; their numbers are the modal results the forms return (1 OK, 2 Cancel).
enum TMsgResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

struct TMessageRequest {
    QString text; // "\r" and "\r\n" are line breaks
    QString caption;
    TMsgIcon icon = miInformation;
    TMsgButtons buttons = mbOK;
};

// Shows a modal message box and returns the button chosen; closing the box
// counts as Cancel (or No when there is no Cancel, or OK when OK is alone).
TMsgResult ShowMessageBox(const TMessageRequest &request, QWidget *parent = nullptr);
using MessageBoxHandler = std::function<TMsgResult(const TMessageRequest &request)>;
void SetMessageBoxForTests(MessageBoxHandler handler);

// The short system sound of a refused action.
void MessageBeep();
void SetBeepForTests(std::function<void()> handler);

} // namespace platform
