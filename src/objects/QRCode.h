// A QR code on the card: the text it carries (a web address, free text or a
// vCard of the personal information; text beyond ASCII as UTF-8 announced by
// its ECI marker, so that scanners do not guess the character set) drawn as square modules that fill the
// largest square fitting the object's bounds. Screen and print share one set
// of module rectangles, so what scans on screen scans on paper.
// Holds TGQRCode.
#pragma once

#include "platform/Colors.h"
#include "surface/CardObject.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

class TGQRCode : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TErrorCorrection ErrorCorrection READ ErrorCorrection WRITE SetErrorCorrection)
    Q_PROPERTY(TColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(int QuietZone READ QuietZone WRITE SetQuietZone)
    // The code carries the personal information as a vCard: the panel's on
    // screen, each person's own when printing for several people. Written
    // only when set, so cards made before it keep their bytes.
    Q_PROPERTY(bool PersonalVCard READ PersonalVCard WRITE SetPersonalVCard)
    Q_CLASSINFO("default:ErrorCorrection", "ecMedium")
    Q_CLASSINFO("default:ForeColor", "0")
    Q_CLASSINFO("default:BackColor", "16777215")
    Q_CLASSINFO("default:Transparent", "false")
    Q_CLASSINFO("default:QuietZone", "4")
    Q_CLASSINFO("default:PersonalVCard", "false")

public:
    // The share of the code that may be damaged and still read: about 7, 15,
    // 25 and 30 per cent.
    enum TErrorCorrection { ecLow, ecMedium, ecQuartile, ecHigh };
    Q_ENUM(TErrorCorrection)

    // The widest quiet zone the object accepts, in modules.
    static constexpr int kMaxQuietZone = 16;

    Q_INVOKABLE explicit TGQRCode(QObject *owner = nullptr);
    ~TGQRCode() override;

    QString Text() const { return FText; }
    void SetText(const QString &v);
    TErrorCorrection ErrorCorrection() const { return FErrorCorrection; }
    void SetErrorCorrection(TErrorCorrection v);
    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor v);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    int QuietZone() const { return FQuietZone; }
    void SetQuietZone(int v);
    bool PersonalVCard() const { return FPersonalVCard; }
    void SetPersonalVCard(bool v);

    // Copies every stored property but the bounds (the dialog's sample).
    void AssignCode(const TGQRCode &other);

    // Whether the text makes a QR code: false for an empty text and for a
    // text too long for the largest code at this level.
    bool HasCode() const;
    // Modules along one side of the code, without the quiet zone; 0 without a code.
    int ModuleCount() const;
    // The dark modules as rectangles in module units, neighbours merged.
    QList<QRect> DarkAreas() const;
    // The square the code and its quiet zone fill, in the object's pixels.
    QRectF CodeSquare(double width, double height) const;

    // The vCard 3.0 text of the personal information (name, company, title,
    // address 1 to 3, phone 1 and 2, e-mail, fax); empty entries are left
    // out, and without any entry there is no vCard (an empty text).
    static QString VCardOf(const QStringList &personalInfo);
    // The card panel's personal information as a vCard, when on a panel.
    QString PanelVCard() const;
    // A code that carries the personal information takes the vCard of these
    // ten values; true when its text changed. Other codes keep their text.
    bool FollowPersonalInfo(const QStringList &personalInfo);
    // Opens the property dialog; true when the user chose OK.
    bool EditCode();

    void BuildContextMenu() override;
    void Paint(QPainter &canvas) override;
    void Print(TBaseReport &report, double originX, double originY) override;

private:
    // The encoded code, made again after a change of text or level.
    struct TEncoded;
    const TEncoded &Encoded() const;
    void CodeChanged();

    QString FText;
    TErrorCorrection FErrorCorrection = ecMedium;
    TColor FForeColor{platform::clBlack};
    TColor FBackColor{platform::clWhite};
    bool FTransparent = false;
    int FQuietZone = 4;
    bool FPersonalVCard = false;
    mutable std::unique_ptr<TEncoded> FEncoded;
};
