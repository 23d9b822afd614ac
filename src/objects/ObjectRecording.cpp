#include "objects/ObjectRecording.h"

#include "platform/Screen.h"
#include "report/ReportBase.h"
#include "surface/CardObject.h"

#include <QPainter>

QPicture RecordObjectArea(const TGGraphicControl &object, const std::function<void(QPainter &)> &draw)
{
    QPicture picture;
    {
        QPainter p(&picture);
        p.setClipRect(0, 0, object.Width(), object.Height());
        draw(p);
    }
    picture.setBoundingRect(QRect(0, 0, object.Width(), object.Height()));
    return picture;
}

void PrintObjectRecording(const TGGraphicControl &object, TBaseReport &report, double originX, double originY,
                          const QPicture &recording)
{
    const double ppi = platform::ScreenPixelsPerInch();
    const QRect target = report.DeviceRect(originX + object.Left() / ppi, originY + object.Top() / ppi,
                                           originX + (object.Left() + object.Width()) / ppi,
                                           originY + (object.Top() + object.Height()) / ppi);
    report.DrawGraphicInRect(target, recording);
}
