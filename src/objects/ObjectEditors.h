// What card objects ask of the property dialogs. Objects never include a
// dialog: they call these replaceable functions, which the dialogs module
// fills in at start-up (RegisterDialogEditors) and tests replace. An empty
// function means no dialog is available; the command then changes nothing.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class TFont;
class TGBaseLabel;
class TPicture;
class TGSuperText;
class TGPCircleText;
class TGQRCode;
class TRichTextContainer;
class TSuperShape;

namespace editors {

// The text dialog: shows text, returns true and the edited text on OK.
using TLabelTextEditor = std::function<bool(QWidget *parent, QString &text)>;
// The business-card text dialog; personalInfo holds the card's ten entries
// (name, company, title, address 1 to 3, phone 1 and 2, e-mail, fax).
using TBusinessCardTextEditor =
    std::function<bool(QWidget *parent, QString &text, const QStringList &personalInfo)>;
// The multi-line text editor, showing the lines in the label's font.
using TMultiLineTextEditor = std::function<bool(QWidget *parent, const TFont &font, QStringList &lines)>;
// The Symbol Selector: returns true, the chosen font and the character on OK.
using TSymbolSelector = std::function<bool(QWidget *parent, TFont &font, QString &character)>;
// The 3-D effects dialog: changes the label itself, and only on OK.
using TEffectsEditor = std::function<bool(QWidget *parent, TGBaseLabel &label)>;
// The SuperText and circle text properties dialogs: they edit a sample and,
// on OK, hand it back to the object, which then returns true.
using TSuperTextEditor = std::function<bool(QWidget *parent, TGSuperText &text)>;
using TCircleTextEditor = std::function<bool(QWidget *parent, TGPCircleText &text)>;
// The SuperShape properties dialog, likewise through a sample shape.
using TSuperShapeEditor = std::function<bool(QWidget *parent, TSuperShape &shape)>;

// The image browser's answer: preset with the two options; on OK the chosen
// file name (empty when none was selected), the previewed picture copied into
// picture, and the options as the user left them.
struct TImageChoice {
    QString fileName;
    TPicture *picture = nullptr; // owned by the caller
    bool stretch = true;
    bool autoSize = false;
};
using TImageBrowser = std::function<bool(QWidget *parent, TImageChoice &choice)>;
// The QR code properties dialog: changes the code itself, and only on OK;
// personalInfo as for the business-card text.
using TQRCodeEditor = std::function<bool(QWidget *parent, TGQRCode &code, const QStringList &personalInfo)>;

// What the rich-text editor opens with: the label's text (replaced on OK),
// the panel it edits on and the page the text is laid out on.
struct TRichTextEditSetup {
    TRichTextContainer *Text = nullptr;
    bool Transparent = true;
    int BackgroundColor = 0xFFFFFF; // the panel's colour when not transparent
    int PanelWidth = 0, PanelHeight = 0;
    int PageWidthTwips = 0, PageHeightTwips = 0;
    int Zoom = 100; // percent
};
using TRichTextEditor = std::function<bool(QWidget *parent, TRichTextEditSetup &setup)>;

struct TObjectEditors {
    TLabelTextEditor LabelText;
    TBusinessCardTextEditor BusinessCardText;
    TMultiLineTextEditor MultiLineText;
    TSymbolSelector SymbolSelector;
    TEffectsEditor Effects3D;
    TImageBrowser ImageBrowser;
    TSuperTextEditor SuperTextProperties;
    TCircleTextEditor CircleTextProperties;
    TQRCodeEditor QRCode;
    TRichTextEditor RichText;
    TSuperShapeEditor SuperShapeProperties;
};

// The one set of editors of the program.
TObjectEditors &ObjectEditors();

} // namespace editors
