#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "report/ReportRecorder.h"
#include "surface/ComponentStream.h"
#include "surface/CardObject.h"

#include <QFile>
#include <QPainter>

namespace testsupport {

QImage RenderObject(TGGraphicControl &object, QColor background)
{
    QImage image(qMax(1, object.Width()), qMax(1, object.Height()), QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setClipRect(0, 0, object.Width(), object.Height());
    object.Paint(p);
    p.end();
    // The object may have re-laid itself out while painting.
    if (image.size() != QSize(object.Width(), object.Height()))
        return RenderObject(object, background);
    return image;
}

QRect InkBox(const QImage &image, const std::function<bool(QRgb)> &isInk)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

int InkCount(const QImage &image, const std::function<bool(QRgb)> &isInk)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isInk(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool IsDark(QRgb pixel) { return qGray(pixel) < 128; }

QImage PrintObject(TGGraphicControl &object, double originX, double originY, int dpi)
{
    TPageMetrics metrics;
    metrics.XDPI = dpi;
    metrics.YDPI = dpi;
    TReportFiler filer;
    filer.SetPageMetrics(metrics);
    filer.OnPrint = [&](TBaseReport &report) { object.Print(report, originX, originY); };
    filer.Run();
    QImage page(qRound(metrics.PaperSize.width() * dpi), qRound(metrics.PaperSize.height() * dpi),
                QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    PlayRecordedPage(p, filer.Recording(), 0);
    return page;
}

QByteArray ReadSampleCard(const QString &fileName)
{
    QFile file((testsupport::TestDataFolder() + QStringLiteral("/cards/")) + fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read sample card %s", qPrintable(fileName));
    return file.readAll();
}

QList<TGGraphicControl *> ReadObjects(const QByteArray &stream, QObject *owner, TGBasePanel *panel)
{
    return TComponentReader(stream).ReadObjectList(owner, panel);
}

QByteArray WriteObjects(const QList<TGGraphicControl *> &objects)
{
    return TComponentWriter::ObjectListToBytes(objects);
}

ScopedEditors::ScopedEditors() : FSaved(editors::ObjectEditors()) { editors::ObjectEditors() = {}; }

ScopedEditors::~ScopedEditors() { editors::ObjectEditors() = FSaved; }

} // namespace testsupport
