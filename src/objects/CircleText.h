// Circle text: the caption set letter by letter along a quarter, half,
// three-quarter or full circle fitted into the object's bounds, each letter
// turned to stand on the arc or drawn upright, optionally mirrored so that
// text along the bottom of a circle reads left to right.
// Holds TGPCircleText.
#pragma once

#include "platform/CanvasFont.h"
#include "platform/Graphics.h"
#include "surface/CardObject.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <optional>

class TGPCircleText : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(TDegrees StartingVector READ StartingVector WRITE SetStartingVector)
    Q_PROPERTY(TDegrees Degrees READ Degrees WRITE SetDegrees)
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(bool Mirror READ Mirror WRITE SetMirror)
    Q_PROPERTY(bool DrawLettersAngled READ DrawLettersAngled WRITE SetDrawLettersAngled)
    Q_PROPERTY(Vcl::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool ControlTransparent READ ControlTransparent WRITE SetControlTransparent)
    Q_PROPERTY(TColor BGColor READ BGColor WRITE SetBGColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    // An emptied caption must come back empty, not as the constructor's text.
    Q_CLASSINFO("storeEmpty:Caption", "true")

public:
    // As a starting vector: the direction from the centre, counter-clockwise
    // from the right (dg90 the top). As an arc: its length.
    enum TDegrees { dg90, dg180, dg270, dg360 };
    Q_ENUM(TDegrees)

    Q_INVOKABLE explicit TGPCircleText(QObject *owner = nullptr);

    TDegrees StartingVector() const { return FStartingVector; }
    void SetStartingVector(TDegrees v);
    TDegrees Degrees() const { return FDegrees; }
    void SetDegrees(TDegrees v);
    TFont *Font() const { return FFont; }
    void SetFont(TFont *v);
    bool Mirror() const { return FMirror; }
    void SetMirror(bool v);
    bool DrawLettersAngled() const { return FDrawLettersAngled; }
    void SetDrawLettersAngled(bool v);
    Vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(Vcl::TBorderStyle v);
    bool ControlTransparent() const { return FControlTransparent; }
    void SetControlTransparent(bool v);
    TColor BGColor() const { return FBGColor; }
    void SetBGColor(TColor v);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &v);

    // ---- card object slots ----
    void BuildContextMenu() override;
    void BoundsChanged() override;
    void UpdateContextMenu() override;
    void AssignFont(const TFont &font) override;
    void Paint(QPainter &canvas) override;
    void Print(TBaseReport &report, double originX, double originY) override;
    void EditFont();

    // Where one letter goes: its character, the middle of its foot, and its
    // turn in tenths of a degree counter-clockwise.
    struct TLetterPlacement {
        QString Letter;
        QPoint Foot;
        int Rotation = 0;
        bool Inside = false; // outside letters are skipped, not clipped
    };
    // Every letter of the caption placed for the current bounds and font.
    QList<TLetterPlacement> Placements() const;
    // The same with the font already set up for drawing.
    QList<TLetterPlacement> Placements(const platform::TCanvasFont &font) const;
    // The arc's step between letters in degrees.
    float Step() const;

    // Copies the settings of another circle text (the dialog's sample) with
    // no notification on the way, then repaints once.
    void CopySettings(const TGPCircleText &other);
    // The "Properties" command.
    void EditProperties();

private:
    void Changed();
    void Render(QPainter &canvas) const;
    float Sweep() const;

    TDegrees FStartingVector = dg180;
    TDegrees FDegrees = dg360;
    TFont *FFont;
    bool FMirror = false;
    bool FDrawLettersAngled = true;
    Vcl::TBorderStyle FBorderStyle = Vcl::bsNone;
    bool FControlTransparent = true;
    TColor FBGColor{0xFFFFFF};
    QString FCaption;

    // Every value the drawing reads; the screen image of the letters is made
    // again only when one of them changed (turned letters are slow to draw).
    struct TDrawingKey {
        QString Caption;
        QFont Font;
        int32_t Color = 0;
        int Width = 0, Height = 0;
        TDegrees StartingVector = dg180, Degrees = dg360;
        bool Mirror = false, Angled = true, Transparent = true;
        Vcl::TBorderStyle BorderStyle = Vcl::bsNone;
        int32_t BGColor = 0;
        qreal PixelRatio = 1;
        bool operator==(const TDrawingKey &) const = default;
    };
    TDrawingKey DrawingKey(qreal pixelRatio) const;

    bool FPainting = false;
    std::optional<TDrawingKey> FScreenKey;
    QImage FScreenImage;
    QAction *FBorderItem = nullptr;
    QAction *FTransparentItem = nullptr;
};
