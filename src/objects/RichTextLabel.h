// The rich-text label: a block of formatted text (several fonts, sizes,
// colours, styles and paragraph alignments) held as an RTF document and
// word-wrapped to the box, optionally on a background colour and framed.
// The label lays out and paints nothing itself: the program's master
// rich-text engine does it for every label in turn.
// Holds TGPRichBaseLabel.
#pragma once

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "richtext/RichTextContainer.h"
#include "surface/CardObject.h"

#include <QPointer>

class TWPRichText;

class TGPRichBaseLabel : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(TRichTextContainer *RTFText READ RTFText WRITE SetRTFText)
    Q_PROPERTY(Vcl::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor BGColor READ BGColor WRITE SetBGColor)

public:
    Q_INVOKABLE explicit TGPRichBaseLabel(QObject *owner = nullptr);

    // ---- stored properties ----
    TRichTextContainer *RTFText() const { return FRTFText; }
    // The label's container takes a full copy of the text.
    void SetRTFText(TRichTextContainer *text);
    Vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(Vcl::TBorderStyle v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TColor BGColor() const { return FBGColor; }
    void SetBGColor(TColor v);

    // ---- card object slots ----
    void Loaded() override;
    void Paint(QPainter &canvas) override;
    void UpdateContextMenu() override;
    void Print(TBaseReport &report, double originX, double originY) override;

    // Draws background, text and frame at the label's size; nothing when no
    // master engine is known.
    void Render(QPainter &canvas);
    // The Edit command: the rich-text editor on the label's text.
    void Edit();
    // The "Background Color" command.
    void ChooseBackgroundColor();

    // The page the text is laid out on: the label's size at zoom 1, in twips.
    int PageWidthTwips() const;
    int PageHeightTwips() const;
    TWPRichText *MasterEngine() const;

private:
    TRichTextContainer *FRTFText;
    Vcl::TBorderStyle FBorderStyle = Vcl::bsSingle;
    bool FTransparent = true;
    TColor FBGColor = platform::clWhite;

    QPointer<TWPRichText> FMaster;
    QAction *FTransparentItem = nullptr;
    QAction *FBorderItem = nullptr;
};
