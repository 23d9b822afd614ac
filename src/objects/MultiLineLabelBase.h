// The multi-line label: a block of text lines, such as an address, in one
// font, aligned left, right or centred, optionally wrapped at the object's
// width. No background, border, rotation or effects.
// Holds TGMultiLineBaseLabel.
#pragma once

#include "objects/ObjectRecording.h"
#include "platform/CanvasFont.h"
#include "platform/Graphics.h"
#include "surface/CardObject.h"

#include <QPicture>
#include <QRgb>
#include <QStringList>
#include <optional>

class TGMultiLineBaseLabel : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(Vcl::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_CLASSINFO("default:WordWrap", "false")

public:
    explicit TGMultiLineBaseLabel(QObject *owner = nullptr);

    // ---- stored properties ----
    QStringList Items() const { return FItems; }
    void SetItems(const QStringList &v);
    // Kept and stored; nothing depends on it.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    Vcl::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(Vcl::TAlignment v);
    TFont *Font() const { return FFont; }
    void SetFont(TFont *v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);

    // ---- card object slots ----
    void BuildContextMenu() override;
    void Paint(QPainter &canvas) override;
    void BoundsChanged() override;
    void UpdateContextMenu() override;
    void AssignFont(const TFont &font) override;
    void Print(TBaseReport &report, double originX, double originY) override;

    // Rebuilds the wrapped lines from Items at the current width (only while
    // WordWrap is on) and repaints.
    virtual void Rewrap();
    // Height for every line, width grown to the widest line; never narrower.
    void FitToText();
    // The "Font" command.
    void EditFont();

    const QStringList &WrappedLines() const { return FWrapped; }
    // The lines as painted, "<blank>" included.
    QStringList PaintedLines() const;
    // The x at which a line of that width starts, by Alignment.
    int LineX(int lineWidth) const;
    // The lines drawn as on screen, recorded at the label's size in pixels.
    // The recording is kept and made again only when something it draws
    // changed, as a sheet prints the label once per card.
    QPicture Recording();

    platform::TCanvasFont CanvasFont() const { return platform::TCanvasFont(*FFont, ZoomFactor()); }

    // Breaks one line so that each piece fits the width: after the spaces
    // that follow the last word that fits, or inside a word longer than the
    // width. The spaces at a break stay at the end of the piece before it.
    static QStringList WrapLine(const QString &line, const platform::TCanvasFont &font, int width);

protected:
    void DrawLines(QPainter &canvas);
    void Changed();

    QAction *FLeftItem = nullptr;
    QAction *FCenterItem = nullptr;
    QAction *FRightItem = nullptr;
    QAction *FWordWrapItem = nullptr;

private:
    // Every value the drawing reads; a recording made with an equal key draws
    // the same.
    struct TDrawingKey {
        QStringList Lines;
        QString FontName;
        int FontHeight = 0;
        int FontStyle = 0;
        int FontCharset = 0;
        int FontPitch = 0;
        QRgb FontColor = 0;
        double Zoom = 0;
        int ScreenPpi = 0; // font sizes at a zoom other than 1.0 depend on it
        int Width = 0, Height = 0;
        int Alignment = 0;
        bool operator==(const TDrawingKey &) const = default;
    };
    TDrawingKey DrawingKey() const;

    QStringList FItems;
    bool FAutoSize = false;
    Vcl::TAlignment FAlignment = Vcl::taLeftJustify;
    TFont *FFont;
    bool FWordWrap = false;
    QStringList FWrapped;

    TRecordingCache<TDrawingKey> FRecording;
};
