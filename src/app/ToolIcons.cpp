#include "app/ToolIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

constexpr int kSize = 24;

void DrawPointer(QPainter &p)
{
    QPainterPath arrow;
    arrow.moveTo(7, 3);
    arrow.lineTo(7, 19);
    arrow.lineTo(11, 15);
    arrow.lineTo(14, 21);
    arrow.lineTo(16, 20);
    arrow.lineTo(13, 14);
    arrow.lineTo(18, 14);
    arrow.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(arrow);
}

void DrawLetters(QPainter &p, const QString &text, int pixelSize, const QColor &color, bool bold = true)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void DrawFigure(QPainter &p, TToolIcon kind)
{
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(255, 255, 160));
    switch (kind) {
    case tiRectangle: p.drawRect(QRectF(3.5, 6.5, 17, 11)); break;
    case tiEllipse: p.drawEllipse(QRectF(3.5, 5.5, 17, 13)); break;
    case tiRoundRect: p.drawRoundedRect(QRectF(3.5, 6.5, 17, 11), 4, 4); break;
    case tiLine: p.drawLine(QPointF(4, 20), QPointF(20, 4)); break;
    default: break;
    }
}

void DrawStar(QPainter &p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 10 : 4.2;
        const double a = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(12 + r * qCos(a), 12.5 + r * qSin(a));
    }
    QLinearGradient g(0, 2, 0, 22);
    g.setColorAt(0, QColor(255, 220, 60));
    g.setColorAt(1, QColor(220, 80, 0));
    p.setBrush(g);
    p.setPen(QPen(QColor(120, 40, 0), 1));
    p.drawPolygon(star);
}

void DrawImage(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(170, 210, 255));
    p.drawRect(QRectF(2.5, 4.5, 19, 15));
    p.setBrush(QColor(60, 150, 60));
    QPolygonF hills;
    hills << QPointF(3, 19) << QPointF(9, 11) << QPointF(13, 16) << QPointF(16, 13) << QPointF(21, 19);
    p.drawPolygon(hills);
    p.setBrush(QColor(255, 210, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16.5, 8.5), 2, 2);
}

void DrawSuperText(QPainter &p)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(20);
    f.setBold(true);
    QPainterPath path;
    path.addText(4, 19, f, QStringLiteral("S"));
    QLinearGradient g(0, 3, 0, 21);
    g.setColorAt(0, QColor(40, 90, 230));
    g.setColorAt(1, QColor(230, 40, 160));
    p.setBrush(g);
    p.setPen(QPen(Qt::black, 0.8));
    p.drawPath(path);
}

// Three finder squares and a scatter of modules: what any QR code looks like.
void DrawQRCode(QPainter &p)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const auto finder = [&p](int x, int y) {
        p.fillRect(x, y, 7, 7, Qt::black);
        p.fillRect(x + 1, y + 1, 5, 5, Qt::white);
        p.fillRect(x + 2, y + 2, 3, 3, Qt::black);
    };
    finder(3, 3);
    finder(14, 3);
    finder(3, 14);
    const QPoint modules[] = {{11, 4}, {12, 6}, {11, 8}, {4, 11}, {7, 12}, {9, 11}, {12, 12},
                              {14, 11}, {16, 12}, {18, 14}, {15, 16}, {13, 18}, {17, 19}, {20, 17}, {11, 15}};
    for (const QPoint &m : modules)
        p.fillRect(m.x(), m.y(), 2, 2, Qt::black);
    p.restore();
}

void DrawCircleText(QPainter &p)
{
    p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4, 4, 16, 16));
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    const QString letters = QStringLiteral("ABCDE");
    for (int i = 0; i < letters.size(); ++i) {
        const double a = M_PI + i * M_PI / 4;
        p.save();
        p.translate(12 + 9 * qCos(a), 12 + 9 * qSin(a));
        p.rotate(qRadiansToDegrees(a) + 90);
        p.drawText(QRectF(-4, -4, 8, 8), Qt::AlignCenter, letters.mid(i, 1));
        p.restore();
    }
}

void DrawGrid(QPainter &p, bool snap)
{
    p.setPen(QPen(QColor(0, 128, 0), 1.5));
    for (int y = 4; y < kSize; y += 5)
        for (int x = 4; x < kSize; x += 5)
            p.drawPoint(QPointF(x, y));
    if (snap) {
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(QColor(120, 170, 255));
        p.drawRect(QRectF(9, 9, 10, 10));
    }
}

void DrawBackgroundArt(QPainter &p)
{
    QLinearGradient g(0, 0, kSize, kSize);
    g.setColorAt(0, QColor(130, 180, 255));
    g.setColorAt(1, QColor(255, 255, 255));
    p.setBrush(g);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(2.5, 5.5, 19, 13));
    p.setPen(QPen(QColor(30, 60, 160), 2));
    p.drawLine(QPointF(4, 16), QPointF(20, 8));
}

void DrawMultiLine(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1.5));
    for (int y = 6; y <= 18; y += 4)
        p.drawLine(QPointF(4, y), QPointF(y == 18 ? 13 : 20, y));
}

void DrawHelpPointer(QPainter &p)
{
    DrawPointer(p);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 160));
    p.drawText(QRect(13, 1, 11, 13), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QIcon ToolIcon(TToolIcon kind)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case tiPointer: DrawPointer(p); break;
    case tiText: DrawLetters(p, QStringLiteral("A"), 20, Qt::black); break;
    case tiMultiLineText: DrawMultiLine(p); break;
    case tiSymbol: DrawLetters(p, QString(QChar(0x263A)), 20, Qt::black, false); break;
    case tiRectangle:
    case tiEllipse:
    case tiRoundRect:
    case tiLine: DrawFigure(p, kind); break;
    case tiImage: DrawImage(p); break;
    case tiSuperShape: DrawStar(p); break;
    case tiRichText:
        DrawLetters(p, QStringLiteral("A"), 16, QColor(200, 0, 0));
        p.translate(6, 3);
        DrawLetters(p, QStringLiteral("b"), 14, QColor(0, 0, 200), false);
        break;
    case tiSuperText: DrawSuperText(p); break;
    case tiCircleText: DrawCircleText(p); break;
    case tiQRCode: DrawQRCode(p); break;
    case tiGrid: DrawGrid(p, false); break;
    case tiSnap: DrawGrid(p, true); break;
    case tiBackgroundArt: DrawBackgroundArt(p); break;
    case tiHelpPointer: DrawHelpPointer(p); break;
    }
    p.end();
    return QIcon(pixmap);
}

QPixmap ProgramPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Three cards fanned out, the top one with a name line and a logo.
    const QColor edges[] = {QColor(90, 90, 120), QColor(70, 70, 110), QColor(40, 40, 90)};
    const QColor faces[] = {QColor(220, 230, 250), QColor(240, 244, 255), Qt::white};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(32, 34);
        p.rotate(-14 + i * 7);
        p.setPen(QPen(edges[i], 1.5));
        p.setBrush(faces[i]);
        p.drawRoundedRect(QRectF(-26, -15, 52, 30), 3, 3);
        p.restore();
    }
    p.translate(32, 34);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 200));
    p.drawEllipse(QRectF(-21, -10, 12, 12));
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(-5, -8, 24, 3.5));
    p.setBrush(QColor(130, 130, 130));
    p.drawRect(QRectF(-5, -1, 18, 2.5));
    p.drawRect(QRectF(-21, 6, 32, 2.5));
    return pixmap;
}
