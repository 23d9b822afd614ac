// Holds TGQRCode.
#include "objects/QRCode.h"

#include "objects/ObjectEditors.h"
#include "platform/Dialogs.h"
#include "report/ReportBase.h"
#include "surface/BusinessCardPanel.h"

#include <qrcodegen/qrcodegen.hpp>

#include <QMap>
#include <algorithm>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <cstdint>
#include <vector>
#include <optional>

struct TGQRCode::TEncoded {
    std::optional<qrcodegen::QrCode> code;
    QList<QRect> dark;
};

namespace {

qrcodegen::QrCode::Ecc LibraryLevel(TGQRCode::TErrorCorrection level)
{
    switch (level) {
    case TGQRCode::ecLow: return qrcodegen::QrCode::Ecc::LOW;
    case TGQRCode::ecQuartile: return qrcodegen::QrCode::Ecc::QUARTILE;
    case TGQRCode::ecHigh: return qrcodegen::QrCode::Ecc::HIGH;
    case TGQRCode::ecMedium: break;
    }
    return qrcodegen::QrCode::Ecc::MEDIUM;
}

// Runs of dark modules along each row, and runs of the same span in rows
// below each other joined into one rectangle: far fewer figures to fill, and
// no seams between modules that touch.
QList<QRect> MergedDarkModules(const qrcodegen::QrCode &code)
{
    const int n = code.getSize();
    QList<QRect> done;
    // Rectangles still growing downwards, by their span in the row.
    QMap<QPair<int, int>, QRect> open;
    for (int y = 0; y < n; ++y) {
        QMap<QPair<int, int>, QRect> next;
        for (int x = 0; x < n;) {
            if (!code.getModule(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < n && code.getModule(end, y))
                ++end;
            const QPair<int, int> span(x, end);
            QRect r = open.take(span);
            if (r.isNull())
                r = QRect(x, y, end - x, 1);
            else
                r.setHeight(r.height() + 1);
            next.insert(span, r);
            x = end;
        }
        done.append(open.values());
        open = next;
    }
    done.append(open.values());
    return done;
}

// ASCII text is encoded as the library chooses (digits and capitals in their
// compact modes), as codes have always been. Any other text goes as UTF-8
// bytes after the ECI marker for UTF-8 (26): without it a scanner may read
// the bytes as Latin-1 and show "ZoÃ«" for "Zoë".
qrcodegen::QrCode EncodeText(const QString &text, qrcodegen::QrCode::Ecc level)
{
    const QByteArray utf8 = text.toUtf8();
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; });
    if (ascii)
        return qrcodegen::QrCode::encodeText(utf8.constData(), level);
    constexpr long kEciUtf8 = 26;
    const std::vector<std::uint8_t> bytes(utf8.begin(), utf8.end());
    return qrcodegen::QrCode::encodeSegments({qrcodegen::QrSegment::makeEci(kEciUtf8), qrcodegen::QrSegment::makeBytes(bytes)},
                                             level);
}

// vCard text values escape backslashes, commas, semicolons and line breaks.
QString VCardText(QString s)
{
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char(','), QLatin1String("\\,"));
    s.replace(QLatin1Char(';'), QLatin1String("\\;"));
    s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return s;
}

// Where the edge before module i of n lies along a side of the given length
// starting at `from`: whole pixels, so modules stay crisp and touch exactly.
double ModuleEdge(double from, double length, int i, int n)
{
    return std::floor(from + length * i / n + 0.5);
}

} // namespace

TGQRCode::TGQRCode(QObject *owner) : TGGraphicControl(owner)
{
    SetInitialSize(96, 96);
}

TGQRCode::~TGQRCode() = default;

void TGQRCode::SetText(const QString &v)
{
    if (FText == v)
        return;
    FText = v;
    CodeChanged();
}

void TGQRCode::SetErrorCorrection(TErrorCorrection v)
{
    if (FErrorCorrection == v)
        return;
    FErrorCorrection = v;
    CodeChanged();
}

void TGQRCode::SetForeColor(TColor v)
{
    if (FForeColor == v)
        return;
    FForeColor = v;
    Invalidate();
}

void TGQRCode::SetBackColor(TColor v)
{
    if (FBackColor == v)
        return;
    FBackColor = v;
    Invalidate();
}

void TGQRCode::SetTransparent(bool v)
{
    if (FTransparent == v)
        return;
    FTransparent = v;
    Invalidate();
}

void TGQRCode::SetQuietZone(int v)
{
    v = std::clamp(v, 0, kMaxQuietZone);
    if (FQuietZone == v)
        return;
    FQuietZone = v;
    Invalidate();
}

void TGQRCode::SetPersonalVCard(bool v)
{
    FPersonalVCard = v;
}

void TGQRCode::AssignCode(const TGQRCode &other)
{
    SetText(other.Text());
    SetPersonalVCard(other.PersonalVCard());
    SetErrorCorrection(other.ErrorCorrection());
    SetForeColor(other.ForeColor());
    SetBackColor(other.BackColor());
    SetTransparent(other.Transparent());
    SetQuietZone(other.QuietZone());
}

void TGQRCode::CodeChanged()
{
    FEncoded.reset();
    Invalidate();
}

const TGQRCode::TEncoded &TGQRCode::Encoded() const
{
    if (FEncoded)
        return *FEncoded;
    FEncoded = std::make_unique<TEncoded>();
    if (FText.isEmpty())
        return *FEncoded;
    try {
        FEncoded->code = EncodeText(FText, LibraryLevel(FErrorCorrection));
        FEncoded->dark = MergedDarkModules(*FEncoded->code);
    } catch (const std::exception &) {
        // Too long for the largest code: no code rather than a wrong one.
        FEncoded->code.reset();
    }
    return *FEncoded;
}

bool TGQRCode::HasCode() const { return Encoded().code.has_value(); }

int TGQRCode::ModuleCount() const
{
    const TEncoded &e = Encoded();
    return e.code ? e.code->getSize() : 0;
}

QList<QRect> TGQRCode::DarkAreas() const { return Encoded().dark; }

QRectF TGQRCode::CodeSquare(double width, double height) const
{
    const double side = std::max(0.0, std::min(width, height));
    return QRectF((width - side) / 2, (height - side) / 2, side, side);
}

// ---- personal information ----

QString TGQRCode::VCardOf(const QStringList &info)
{
    const auto entry = [&info](int i) { return info.value(i).trimmed(); };
    if (std::all_of(info.begin(), info.end(), [](const QString &s) { return s.trimmed().isEmpty(); }))
        return QString();
    const QString name = entry(0);
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0")};
    // The structured name wants family and given names apart: the last word
    // of the name is taken as the family name.
    const qsizetype lastSpace = name.lastIndexOf(QLatin1Char(' '));
    const QString family = lastSpace < 0 ? name : name.mid(lastSpace + 1);
    const QString given = lastSpace < 0 ? QString() : name.left(lastSpace).trimmed();
    lines << QStringLiteral("N:") + VCardText(family) + QLatin1Char(';') + VCardText(given) + QStringLiteral(";;;");
    lines << QStringLiteral("FN:") + VCardText(name);
    if (!entry(1).isEmpty())
        lines << QStringLiteral("ORG:") + VCardText(entry(1));
    if (!entry(2).isEmpty())
        lines << QStringLiteral("TITLE:") + VCardText(entry(2));
    QStringList address;
    for (int i = 3; i <= 5; ++i)
        if (!entry(i).isEmpty())
            address << VCardText(entry(i));
    if (!address.isEmpty())
        lines << QStringLiteral("ADR;TYPE=WORK:;;") + address.join(QStringLiteral("\\n")) + QStringLiteral(";;;;");
    if (!entry(6).isEmpty())
        lines << QStringLiteral("TEL;TYPE=WORK,VOICE:") + VCardText(entry(6));
    if (!entry(7).isEmpty())
        lines << QStringLiteral("TEL;TYPE=VOICE:") + VCardText(entry(7));
    if (!entry(8).isEmpty())
        lines << QStringLiteral("EMAIL;TYPE=INTERNET:") + VCardText(entry(8));
    if (!entry(9).isEmpty())
        lines << QStringLiteral("TEL;TYPE=WORK,FAX:") + VCardText(entry(9));
    lines << QStringLiteral("END:VCARD");
    return lines.join(QStringLiteral("\r\n"));
}

QString TGQRCode::PanelVCard() const
{
    if (const auto *panel = qobject_cast<const TGBusinessCardPanel32 *>(Panel()))
        return VCardOf(panel->PersonalInfo);
    return QString();
}

bool TGQRCode::FollowPersonalInfo(const QStringList &personalInfo)
{
    if (!FPersonalVCard)
        return false;
    const QString card = VCardOf(personalInfo);
    if (card == FText)
        return false;
    SetText(card);
    return true;
}

bool TGQRCode::EditCode()
{
    const auto &editor = editors::ObjectEditors().QRCode;
    if (!editor)
        return false;
    QStringList info;
    if (const auto *panel = qobject_cast<const TGBusinessCardPanel32 *>(Panel()))
        info = panel->PersonalInfo;
    if (!editor(Panel(), *this, info))
        return false;
    NotifyChanged();
    Invalidate();
    return true;
}

// ---- menu ----

// Built when the menu is first shown, not while a card is read.
void TGQRCode::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("QR Code Properties..."), [this] { EditCode(); });
    AddMenuItem(tr("Use Personal Information"), [this] {
        const QString card = PanelVCard();
        if (card.isEmpty()) {
            platform::ShowMessageBox({tr("There is no personal information yet.\rEnter it with Edit > Personal "
                                         "Information."),
                                      tr("Information")},
                                     Panel());
            return;
        }
        if (card == FText && FPersonalVCard)
            return;
        SetText(card);
        SetPersonalVCard(true);
        NotifyChanged();
    });
    AddMenuItem(tr("Code Color"), [this] {
        int32_t color = FForeColor;
        if (!platform::ChooseColor(color, Panel()))
            return;
        SetForeColor(color);
        NotifyChanged();
    });
    AddMenuItem(tr("Background Color"), [this] {
        int32_t color = FBackColor;
        if (!platform::ChooseColor(color, Panel()))
            return;
        SetBackColor(color);
        SetTransparent(false);
        NotifyChanged();
    });
    OnEdit = [this](QObject *) { EditCode(); };
}

// ---- drawing ----

void TGQRCode::Paint(QPainter &canvas)
{
    const TEncoded &e = Encoded();
    if (!e.code) {
        // Nothing to scan; on the card a faint frame still shows where the
        // object is, so that it can be found and edited.
        if (Panel()) {
            canvas.save();
            canvas.setPen(QPen(Qt::gray, 1, Qt::DashLine));
            canvas.setBrush(Qt::NoBrush);
            canvas.drawRect(0, 0, Width() - 1, Height() - 1);
            canvas.restore();
        }
        return;
    }
    const QRectF square = CodeSquare(Width(), Height());
    const int n = e.code->getSize() + 2 * FQuietZone;
    const auto edgeX = [&](int i) { return ModuleEdge(square.left(), square.width(), i + FQuietZone, n); };
    const auto edgeY = [&](int i) { return ModuleEdge(square.top(), square.height(), i + FQuietZone, n); };
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(Qt::NoPen);
    if (!FTransparent) {
        const double l = ModuleEdge(square.left(), square.width(), 0, n);
        const double t = ModuleEdge(square.top(), square.height(), 0, n);
        canvas.fillRect(QRectF(l, t, ModuleEdge(square.left(), square.width(), n, n) - l,
                               ModuleEdge(square.top(), square.height(), n, n) - t),
                        platform::ToQColor(FBackColor));
    }
    QPainterPath path;
    for (const QRect &r : e.dark) {
        const double l = edgeX(r.left()), t = edgeY(r.top());
        path.addRect(QRectF(l, t, edgeX(r.left() + r.width()) - l, edgeY(r.top() + r.height()) - t));
    }
    canvas.fillPath(path, platform::ToQColor(FForeColor));
    canvas.restore();
}

void TGQRCode::Print(TBaseReport &report, double originX, double originY)
{
    const TEncoded &e = Encoded();
    if (!e.code)
        return;
    const double screenPpi = ppi();
    const QRectF px = CodeSquare(Width(), Height());
    // The square in inches on the page.
    const QRectF square(originX + (Left() + px.left()) / screenPpi, originY + (Top() + px.top()) / screenPpi,
                        px.width() / screenPpi, px.height() / screenPpi);
    const int n = e.code->getSize() + 2 * FQuietZone;
    const auto x = [&](int i) { return square.left() + square.width() * (i + FQuietZone) / n; };
    const auto y = [&](int i) { return square.top() + square.height() * (i + FQuietZone) / n; };
    if (!FTransparent)
        report.FillArea({QRectF(square)}, FBackColor);
    QList<QRectF> dark;
    dark.reserve(e.dark.size());
    for (const QRect &r : e.dark)
        dark.append(QRectF(QPointF(x(r.left()), y(r.top())), QPointF(x(r.left() + r.width()), y(r.top() + r.height()))));
    report.FillArea(dark, FForeColor);
}
