// The yardstick of bench_coldstart: a bare Qt program, linked with Qt's GUI
// library only, that writes the same sheet as `quorvel --print` does for the
// benchmark's card (ten cards of three text lines, two frames and a line on
// a Letter page) with QPdfWriter.
//
//   bare_pdf_sheet OUT.pdf
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    QPainter p(&pdf);
    const double dpi = 600;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(int(10.0 / 72 * dpi));
    p.setFont(font);
    for (int cell = 0; cell < 10; ++cell) {
        const QPointF origin((0.75 + (cell % 2) * 3.5) * dpi, (0.5 + (cell / 2) * 2.0) * dpi);
        p.save();
        p.translate(origin);
        p.setPen(QPen(Qt::black, 6));
        p.setBrush(QColor(40, 80, 160));
        p.drawRect(QRectF(0.1 * dpi, 0.1 * dpi, 0.6 * dpi, 0.4 * dpi));
        p.drawEllipse(QRectF(2.6 * dpi, 0.1 * dpi, 0.6 * dpi, 0.4 * dpi));
        p.drawLine(QPointF(0.1 * dpi, 1.0 * dpi), QPointF(3.3 * dpi, 1.0 * dpi));
        for (int line = 0; line < 3; ++line)
            p.drawText(QPointF(0.3 * dpi, (1.3 + line * 0.2) * dpi),
                       QStringLiteral("Quorvel business card line %1").arg(line + 1));
        p.restore();
    }
    return p.end() ? 0 : 1;
}
