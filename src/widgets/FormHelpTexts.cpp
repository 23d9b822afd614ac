// Holds the table of the forms' help texts and AttachFormHelp.
#include "widgets/FormHelpTexts.h"

#include "widgets/ContextHelp.h"

#include <QAbstractButton>
#include <QHash>
#include <QStringList>
#include <QWidget>

namespace {

struct TFormTexts {
    const char *form;
    QList<TFormHelpEntry> entries;
};

// The texts are the program's own, kept exactly as its forms have always
// shown them.
const QList<TFormTexts> &Table()
{
    static const QList<TFormTexts> table = {
        {"TCircleTextProperties", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"CaptionText", "Enter the text here"},
            {"cbDrawLettersAngled", "Check here if you want the letters of the text to be drawn at an angle matching their position on the circle. Otherwise, characters will be drawn normally."},
            {"cbMirrored", "Check here to mirror the text"},
            {"DegreesBar", "Click here to set the number of degrees in the circle, i.e.:\r\n\r\n90 degrees = 1/4 circle\r\n180 degrees = 1/2 circle\r\n270 degrees = 3/4 circle\r\n360 degrees = full circle"},
            {"Fontbutton", "Click here to change the font"},
            {"FontColorButton", "Click here to set the font color"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
            {"RapidChangeFontSize", "Click the up or down arrow to increase or decrease the font size by 5 points"},
            {"StartingAngleBar", "Click here to set the starting angle i.e. where the text begins printing:\r\n\r\n90 degrees\r\n180 degrees\r\n270 degrees\r\n360 degrees"},
            {"ZoomMinusButton", "Click here to zoom out"},
            {"ZoomPlusButton", "Click here to zoom in"},
        }},
        {"TEditCardLayout", {
            {"Cancelbutton", "Clcik here to cancel changes and return to the previous screen"},
            {"eCardHeight", "Set the height for one individual card here"},
            {"eCardwidth", "Set the width for one individual card here"},
            {"eHorizPitch", "The horizontal pitch is the distance from the left edge of one card to the right edge of the card next to it. You could also look at it as the card width plus the distance between cards (horizontally).\r\n\r\nIf there is no space between cards, or if there is only one card across, then this value should be the same as the card width."},
            {"eleftmarg", "This is the distance between the  left edge of the paper, and the left edge of the first card."},
            {"enbracross", "This is the number of cards across the page, or the number of cards in one row of one page."},
            {"enbrdown", "This is the number of cards down the page, or the number of cards in one column of one page."},
            {"epapersize", "This sets the paper size as either Letter or A4.\r\n"},
            {"etopmarg", "This is the distance between the top edge of the paper, and the top edge of the first card."},
            {"eVertPitch", "The vertical pitch is the distance from the top edge of one card to the top edge of the card below it. You could also look at it as the card height plus the distance between cards (vertically).\r\n\r\nIf there is no space between cards then this value should be the same as the card height."},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"Inchesbutton", "Click here to view/enter measurements in inches."},
            {"MMButton", "Click here to view/enter measurements in millimeters."},
            {"OKButton", "Click here to accept changes and return to the previous screen"},
            {"PredefinedLayouts", "Select from a list of predefined card layouts here. The values below will be filled in automatically, although you can still adjust them if needed."},
        }},
        {"TGBrushImageBrowser", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"DirectoryListBox1", "Click here to select a directory"},
            {"DriveComboBox1", "Click here to select a drive"},
            {"FileListBox1", "Click here to select a file"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TGetBCLabelText", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"LabelText", "Enter the text you wish displayed here"},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TGetLabelText", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"LabelText", "Enter the text you wish displayed here"},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TGetSymbol", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"Fontbutton", "Click here to change the font from which the symbol is selected"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
            {"SymbolList", "Select the symbol from this list"},
        }},
        {"TGFont3DEffects", {
            {"Cancelbutton", "Click here to cancel and return to the previous screen"},
            {"FontColorCombo", "Set the color of the main text"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"HighLightColorCombo", "Set the highlight text color"},
            {"HighLightDepth", "Set the depth of the highlight text"},
            {"HighlightDirection", "Set the direction of the highlight text"},
            {"OKButton", "Click here to accept and return to the previous screen"},
            {"ShadowColorCombo", "Set the shadow text color"},
            {"ShadowDepth", "Set the depth of the shadow text"},
            {"ShadowDirection", "Set the direction of the shadow text"},
        }},
        {"TGImageBrowser", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"CBAutoSize", "Check here to indicate that the image should automatically stretch or shrink to its actual size"},
            {"CBStretch", "Check here to indicate that the image should automatically stretch or shrink to fit the size of the frame"},
            {"DirectoryListBox1", "Click here to select a directory"},
            {"DriveComboBox1", "Click here to select a drive"},
            {"FileListBox1", "Click here to select a file"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TLoadBackGround", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"FileListBox1", "Click here to select an image file"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"NoneButton", "Click here to clear the current background art"},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TMainScreen", {
            {"CloseButton", "Click here to exit"},
            {"DrawCircleTextbutton", "Click here to draw a CircleText object\r\n\r\nA CircleText object:\r\n-Can be from 90 to 360 degrees of circular text\r\n-Can start at 90,180,270 or 360 degree vector\r\n-Can use any TrueType font\r\n"},
            {"DrawEllipseButton", "Click here to draw an ellipse (circular) object"},
            {"DrawImageButton", "Click here to draw an image (clip art) object"},
            {"DrawLabelButton", "Click here to draw a text object"},
            {"DrawLinebutton", "Click here to draw a line object. You can change the line to horizontal, vertical or angled by right clicking on it and selecting the Style option from the menu."},
            {"DrawMLTextButton", "Click here to draw a multi-line text object "},
            {"DrawRectanglebutton", "Click here to draw a rectangle object"},
            {"DrawRichText", "Click here to draw a Rich Text object\r\n\r\nA Rich Text object:\r\n-can have multiple fonts and colors in a single block of text\r\n-can have a background color and a border"},
            {"DrawRoundrectbutton", "Click here to draw a rounded rectangle object "},
            {"DrawSupershape", "Click here to draw a SuperShape object. \r\n\r\nA SuperShape object:\r\n-Can be a rectangle, ellipse, round rectangle, diamond, triangle or star\r\n-Can have various special effect surface styles\r\n-Can have various shadows\r\n"},
            {"DrawSuperTextButton", "Click here to draw a SuperText object. \r\n\r\nA SuperText object:\r\n-Can have various special effect surface styles\r\n-Can have various shadows\r\n"},
            {"DrawSymbolButton", "Click here to draw a symbol object"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"Pointerbutton", "Click here to use the pointer tool, for selecting and moving objects on the card"},
            {"Previewbutton", "Click here to preview the current business card"},
            {"PrintButton", "Click here to print a sheet or sheets of the current business card"},
            {"SetBackgroundArtButton", "Click here to select (or clear) the background or border art that will be used for this card. "},
            {"ShowGrid", "Check here to show the grid"},
            {"SnapToGrid", "Click here to have objects snap to the grid when moved with the mouse"},
            {"ZoomCaption", "Press plus (+) or minus (-) to increase or decrease the zoom view percentage.\r\n\r\nNOTE: WYSIWYG Accuracy is best at 100%"},
            {"ZoomSpinner", "Press plus (+) or minus (-) to increase or decrease the zoom view percentage.\r\n\r\nNOTE: WYSIWYG Accuracy is best at 100%"},
        }},
        {"TMultiLineTextEditor", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"Memo", "Enter the multi-line text here. You will be able to enter a maximum of 255 characters."},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TPersonalInformation", {
            {"Cancelbutton", "Click here to cancel changes and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click here to accept changes to your personal information.\r\n\r\nNOTE: Personal Information can be used to fill in a TEXT object by right clicking on the text object and selecting Personal Information from the menu."},
            {"pPersonalAddress1", "Enter your address line 1 "},
            {"pPersonalAddress2", "Enter your address line 2"},
            {"pPersonalAddress3", "Enter your address line 3 "},
            {"pPersonalCompany", "Enter your place of business"},
            {"pPersonalEmail", "Enter your email address"},
            {"pPersonalFax", "Enter your fax number"},
            {"pPersonalName", "Enter your name"},
            {"pPersonalPhone1", "Enter your phone #"},
            {"pPersonalPhone2", "Enter your second phone #"},
            {"pPersonalTitle", "Enter your title"},
        }},
        {"TPreviewForm", {
            {"CloseButton", "Click here to close and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"sbFirstPage", "Click here to see the first page"},
            {"sbLastPAge", "Click here to see the last page"},
            {"sbNextPage", "Click here to see the next page."},
            {"sbPrevPage", "Click here to see the previous page."},
            {"sbZoomIn", "Click here to Zoom in."},
            {"sbZoomOut", "Click here to Zoom out."},
            {"sbZoomPage", "Click here to see the full page."},
            {"sbZoomPageWidth", "Click here to make the width of the page fit into the preview."},
        }},
        {"TPrintFineTune", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"DefaultButton", "Click here to return all values to their defaults"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"HorizontalSpacingSpinner", "Increase or decrease to adjust horizontal spacing between cards "},
            {"LeftMarginSpinner", "Increase or decrease to adjust where horizontal printing starts. "},
            {"OKButton", "Click to accept changes and return to the previous screen"},
            {"TopMarginSpinner", "Increase or decrease to adjust where vertical printing starts. "},
            {"VerticalSpacingSpinner", "Increase or decrease to adjust vertical spacing between cards.\r\n\r\nNOTE: You may need to adjust this if printing \"creeps\" between the top and bottom cards."},
        }},
        {"TRichTextLabelEditor", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
            {"WPRichText1", "Enter your rich text here"},
            {"WPToolBar1", "Change fonts and attributes with this toolbar, and also use the plus (+) and minus(-) buttons to zoom in and out."},
        }},
        {"TSelectSpecificLabels", {
            {"BothSidesCheck", "Tick to print the back of the card behind each front as well"},
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"DuplexCombo", "How the sheet turns over: a duplex printer flips it over its long or its short edge; without duplex all fronts print first, then you turn the stack and the backs print"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept changes and return to the previous screen"},
            {"pages", "Enter the number of pages to print here"},
            {"PaintBox1", "Click on a card to select or unselect it for printing. Selected cards are shown in RED."},
            {"PrinterSetupButton", "Click here to change printers, or to change the setup of the current printer"},
            {"SelectAll", "Click here to select all cards"},
            {"Selectnone", "Click here to unselect all cards"},
        }},
        {"TSuperShapeProperties", {
            {"BackGroundColorCombo", "Select a background color"},
            {"BackGroundColorCombo2", "Select a FROM color for the gradient fill"},
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"FillDirectionCombo", "Set the direction of the gradient fill from one of these options"},
            {"ForeGroundColorCombo", "Select the foreground (pattern) color"},
            {"GradientToColorCombo", "Select a TO color for the gradient fill"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"LoadImageButton", "Click here to browse/load a new image for the texture surface"},
            {"OKButton", "Click to accept and return to the previous screen"},
            {"OutlineColorCombo", "Select the outline (border) color"},
            {"OutlineStyleCombo", "Select the style of outline. \r\n\r\nNOTE: If the width of the outline is more than 1, the style will always be solid."},
            {"OutLineWidthSpinner", "Select the width of the outline"},
            {"PatternCombo", "Select a pattern "},
            {"PercentinVector", "Set the Percent of Inward Vector here.\r\n\r\nA star shape has points going out and points coming in. Use this to set the percentage of the star's radius that the inward points (vectors) are pointing in.\r\n\r\nHaving said that, its best just to experiment and see which effect you like best."},
            {"PointsOnStar", "Set the number of outward pointing points for the star"},
            {"RoundPercent", "Set the percentage of roundness of the round rectangle"},
            {"ShadowColorCombo", "Set the color of the shadow"},
            {"ShadowDepthSpinner", "Set the depth (in pixels) of the shadow"},
            {"ShadowOrientationCombo", "Set the shadow orientation"},
            {"ShapeCombo", "Set the shape of the SuperShape"},
            {"SurfaceTypeCombo", "Select the surface type"},
        }},
        {"TSuperTextBrushImageBrowser", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"DirectoryListBox1", "Click here to select a directory"},
            {"DriveComboBox1", "Click here to select a drive"},
            {"FileListBox1", "Click here to select a file"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
        }},
        {"TSuperTextProperties", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"CaptionText", "Enter the text here"},
            {"FillDirectionCombo", "Set the direction of the gradient fill from one of these options"},
            {"Fontbutton", "Click here to change the font"},
            {"FontColorButton", "Click here to set the font color"},
            {"GradientFromcolorButton", "Click here to set the 'From' gradient color"},
            {"GradientToColorButton", "Click here to set the 'To' gradient color"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"LoadImageButton", "Click here to browse/load a new image for the texture surface"},
            {"OKButton", "Click to accept and return to the previous screen"},
            {"OutlineColorButton", "Click here to set the outline color"},
            {"OutlineStyleCombo", "Select the style of outline. \r\n\r\nNOTE: If the width of the outline is more than 1, the style will always be solid."},
            {"OutLineWidthSpinner", "Select the width of the outline"},
            {"RapidChangeFontSize", "Click the up or down arrow to increase or decrease the font size by 5 points"},
            {"SelectSymbolbutton", "Click here to select a symbol from one of the Windows symbol fonts (Wingdings, etc)"},
            {"ShadowColorButton", "Click here to set the shadow color"},
            {"ShadowDepthSpinner", "Set the depth (in pixels) of the shadow"},
            {"ShadowOrientationCombo", "Set the shadow orientation"},
            {"SurfaceTypeCombo", "Select the surface type"},
        }},
        {"TWarnBottomMargin", {
            {"Cancelbutton", "Click to cancel print job"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to continue with print job"},
        }},

        // The forms added since, in the same style.
        {"TMainScreen", {
            {"DrawQRCodeButton", "Click here to draw a QR code object\r\n\r\nA QR code object:\r\n-Can carry a web address, any text or your personal information as an electronic business card\r\n-Prints sharp at any size\r\n"},
        }},
        {"TQRCodeProperties", {
            {"Cancelbutton", "Click here to cancel and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"LevelCombo", "A higher level still reads when part of the code is covered or damaged, but needs more modules"},
            {"OKButton", "Click here to accept and return to the previous screen"},
            {"PersonalInfoButton", "Put your personal information into the code as an electronic business card"},
            {"QuietZoneSpin", "The empty margin around the code, which scanners need to find it"},
            {"TextEdit", "Type the web address or text the QR code carries"},
            {"ForeColorCombo", "Select the color of the dark modules"},
            {"BackColorCombo", "Select the color of the light modules and the margin"},
            {"TransparentCheck", "Check here to leave the light modules unpainted, so that the card shows through"},
        }},
        {"TSuperTextGetSymbol", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to accept and return to the previous screen"},
            {"SymbolList", "Select the symbol from this list"},
            {"SymbolSets", "Select the symbol font from which the symbol is selected"},
        }},
        {"TExportCardOptions", {
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"DpiSpin", "Pixels per inch of the picture: 300 suits printing, 96 a web page"},
            {"OKButton", "Click to choose where the picture is saved"},
            {"TransparentCheck", "Leave out the card's white, so that only the objects are seen"},
        }},
        {"TPrintShopDialog", {
            {"BleedEdit", "How far the background and the shapes at the card's edge go on past the cut; print shops ask for 3 mm or 1/8 inch"},
            {"Cancelbutton", "Click to cancel and return to the previous screen"},
            {"CropMarksCheck", "Print short lines at the corners, outside the bleed, that show the shop where to cut"},
            {"Helpbutton", "Click to bring up Windows Help for the program"},
            {"OKButton", "Click to choose where the PDF file is saved"},
            {"PaperCombo", "The paper the sheet of cards is printed on"},
            {"SafeLineList", "Text and pictures that reach past the safe line: the cut may touch them"},
            {"SafeMarginEdit", "How far inside the cut text and pictures should stay; View > Safe Area shows this line on the card"},
            {"SheetCardsSpin", "How many cards the sheet holds"},
            {"SheetCheck", "Print several cards on one sheet of paper, each with its own crop marks, instead of one card on a page of its own size"},
            {"UnitCombo", "Give the bleed and the safe margin in millimetres or in inches"},
        }},
        {"TPeoplePrintDialog", {
            {"CancelButton", "Click to cancel and return to the previous screen"},
            {"ColumnMatching", "Choose for each piece of personal information the column of the list that holds it"},
            {"CardsEach", "Click here to print the given number of cards for each person, one person after another on the same sheets"},
            {"CardsPerPerson", "Set the number of cards printed for each person"},
            {"PeopleTable", "Tick the people to print cards for. Each row is one person; the columns are filled into the card's text objects as the column matching below tells"},
            {"FitList", "Lists, before anything is printed, each person's value that has to be drawn smaller or cut to fit its place on the card, and each field of the card that no column is chosen for"},
            {"PreviewButton", "Click here to preview every sheet as it will print, person by person"},
            {"PrintButton", "Click here to print the cards of every person ticked"},
            {"SheetEach", "Click here to print a whole sheet of cards for each person"},
        }},
        {"TPrinterSetup", {
            {"PrinterCombo", "Select the printer the cards are printed on"},
            {"PropertiesButton", "Click here to change the setup of the selected printer"},
        }},
        {"TSplashform", {
            {"OKButton", "Click here to close this window"},
        }},
    };
    return table;
}

} // namespace

QList<TFormHelpEntry> FormHelpTexts(const QString &formClass)
{
    QList<TFormHelpEntry> entries;
    for (const TFormTexts &form : Table())
        if (formClass == QLatin1String(form.form))
            entries += form.entries;
    return entries;
}

QStringList FormsWithHelpTexts()
{
    QStringList forms;
    for (const TFormTexts &form : Table())
        if (!forms.contains(QLatin1String(form.form)))
            forms << QLatin1String(form.form);
    return forms;
}

TODSHelp *AttachFormHelp(QWidget *form, const QString &formClass)
{
    TODSHelp *help = TODSHelp::OfForm(form);
    if (!help || help->Form() != form)
        help = new TODSHelp(form);
    const QString key = formClass.isEmpty() ? QString::fromLatin1(form->metaObject()->className()) : formClass;
    help->HelpText().Clear();
    const QList<TFormHelpEntry> entries = FormHelpTexts(key);
    for (const TFormHelpEntry &entry : entries)
        help->HelpText().Add(QString::fromLatin1(entry.control), QString::fromLatin1(entry.text));
    // Qt's own "What's this?" and the accessibility tools read the same text.
    for (const TFormHelpEntry &entry : entries)
        for (QWidget *control : form->findChildren<QWidget *>(QString::fromLatin1(entry.control)))
            control->setWhatsThis(help->TextOf(control));
    return help;
}
