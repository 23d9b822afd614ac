// SuperText and circle text as a user, a printed page and a card file see
// them: cards written elsewhere read, draw and save back byte for byte; the
// letters' fills, outline, shadow and shortening; the gradient's bands and
// directions; where each letter of a circle text stands; text in any script.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/CircleText.h"
#include "objects/SuperText.h"
#include "platform/GradientFill.h"
#include "surface/BusinessCardPanel.h"

#include <QFile>
#include <QPainter>

using namespace testsupport;

namespace {

// The object records of a card file, each from its "TPF0" signature on.
QList<QByteArray> Records(const QByteArray &card)
{
    QList<QByteArray> records;
    qsizetype at = card.indexOf("TPF0");
    while (at >= 0) {
        qsizetype next = card.indexOf("TPF0", at + 4);
        records.append(card.mid(at, (next < 0 ? card.size() - 1 : next) - at));
        at = next;
    }
    return records;
}

QByteArray ClassOf(const QByteArray &record) { return record.mid(5, uint8_t(record.at(4))); }

// A card holding just the decor card's SuperText and circle text.
QByteArray DecorDisplayCard()
{
    QFile file(SampleCardsFolder() + QStringLiteral("/decor.qrv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray card("\x01", 1);
    for (const QByteArray &record : Records(file.readAll())) {
        const QByteArray name = ClassOf(record);
        if (name == "TGSuperText" || name == "TGPCircleText")
            card += record;
    }
    return card + QByteArray(1, '\0');
}

bool Near(QRgb pixel, QRgb colour, int tolerance = 40)
{
    return qAbs(qRed(pixel) - qRed(colour)) <= tolerance && qAbs(qGreen(pixel) - qGreen(colour)) <= tolerance
        && qAbs(qBlue(pixel) - qBlue(colour)) <= tolerance;
}

std::function<bool(QRgb)> Colour(QRgb colour, int tolerance = 40)
{
    return [colour, tolerance](QRgb p) { return Near(p, colour, tolerance); };
}

// The mean of a channel over the pixels the filter accepts.
double Mean(const QImage &image, const std::function<bool(QRgb)> &accept, const std::function<int(QRgb)> &value)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb p = image.pixel(x, y); accept(p)) {
                sum += value(p);
                ++count;
            }
    return count ? sum / count : -1000;
}

std::unique_ptr<TGSuperText> MakeSuperText(const QString &caption, int pixels = 40)
{
    auto text = std::make_unique<TGSuperText>();
    text->Font()->SetName(QStringLiteral("DejaVu Sans"));
    text->Font()->SetHeight(-pixels);
    text->SetCaption(caption);
    text->SetBounds(0, 0, 400, 80);
    return text;
}

} // namespace

class TestDisplayText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    // The two objects of a card written by another program read, draw as
    // written (a navy-to-aqua gradient running leftwards, maroon letters on
    // an arc) and save back to the very same bytes.
    void decorCardReadsDrawsAndSavesUnchanged()
    {
        const QByteArray card = DecorDisplayCard();
        QVERIFY(card.size() > 100);
        const QString path = ProgramFolder() + QStringLiteral("display.qrv");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(card);
        out.close();

        auto panel = MakePanel();
        panel->LoadFromFile(path);
        QCOMPARE(panel->ObjectCount(), 2);
        auto *super = qobject_cast<TGSuperText *>(panel->Objects().at(0));
        auto *circle = qobject_cast<TGPCircleText *>(panel->Objects().at(1));
        QVERIFY(super && circle);
        panel->grab();

        const QImage letters = RenderObject(*super);
        const QRect ink = InkBox(letters, [](QRgb p) { return p != qRgb(255, 255, 255); });
        QVERIFY(!ink.isNull());
        const QImage left = letters.copy(ink.left(), 0, ink.width() / 4, letters.height());
        const QImage right = letters.copy(ink.right() - ink.width() / 4, 0, ink.width() / 4, letters.height());
        // Gradient pixels: no red, much blue; aqua has green, navy none.
        const auto gradient = [](QRgb p) { return qBlue(p) - qRed(p) > 60; };
        QVERIFY(Mean(left, gradient, [](QRgb p) { return qGreen(p); }) > 180);
        QVERIFY(Mean(right, gradient, [](QRgb p) { return qGreen(p); }) < 120);
        QVERIFY(InkCount(letters, Colour(qRgb(128, 128, 128), 8)) > 20); // the shadow
        QVERIFY(InkCount(RenderObject(*circle), Colour(qRgb(128, 0, 0), 50)) > 30);

        super->setObjectName(QStringLiteral("Special2"));
        circle->setObjectName(QStringLiteral("Special3"));
        const QString saved = ProgramFolder() + QStringLiteral("display-saved.qrv");
        panel->SaveToFile(saved);
        QFile back(saved);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), card);
    }

    // What the letters are filled and outlined with.
    void superTextFillAndOutline_data()
    {
        QTest::addColumn<int>("surface");
        QTest::addColumn<int>("outlineStyle");
        QTest::addColumn<int>("outlineWidth");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<bool>("outlined");
        QTest::newRow("solid, no outline") << int(Fill::stNormal) << int(Vcl::psClear) << 1 << true << false;
        QTest::newRow("solid, outline") << int(Fill::stNormal) << int(Vcl::psSolid) << 2 << true << true;
        QTest::newRow("outline only") << int(Fill::stBrushTransparent) << int(Vcl::psDash) << 1 << false << true;
        QTest::newRow("width 0 draws no outline") << int(Fill::stNormal) << int(Vcl::psSolid) << 0 << true << false;
        QTest::newRow("clear outline on empty letters turns solid")
            << int(Fill::stBrushTransparent) << int(Vcl::psClear) << 1 << false << true;
    }
    void superTextFillAndOutline()
    {
        QFETCH(int, surface);
        QFETCH(int, outlineStyle);
        QFETCH(int, outlineWidth);
        QFETCH(bool, filled);
        QFETCH(bool, outlined);
        auto text = MakeSuperText(QStringLiteral("HOLM"), 48);
        text->Font()->SetColor(platform::clRed);
        text->SetOutlineColor(platform::clBlue);
        text->SetOutlineStyle(Vcl::TPenStyle(outlineStyle));
        text->SetOutlineWidth(outlineWidth);
        text->SetSurfaceType(Fill::TSurfaceType(surface));
        const QImage image = RenderObject(*text);
        QCOMPARE(InkCount(image, Colour(qRgb(255, 0, 0), 10)) > 100, filled);
        QCOMPARE(InkCount(image, Colour(qRgb(0, 0, 255), 10)) > 50, outlined);
    }

    // A gradient has 256 bands whatever the size: its first pixels carry the
    // start colour and its last the end colour exactly, and the direction
    // decides which end is which.
    void gradientDirections_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QPoint>("fromCorner"); // 0 or 1 for each axis
        QTest::addColumn<QPoint>("toCorner");
        QTest::newRow("up: from at the bottom") << int(Fill::gdUp) << QPoint(0, 1) << QPoint(0, 0);
        QTest::newRow("down: from at the top") << int(Fill::gdDown) << QPoint(0, 0) << QPoint(0, 1);
        QTest::newRow("left: from at the right") << int(Fill::gdLeft) << QPoint(1, 0) << QPoint(0, 0);
        QTest::newRow("right: from at the left") << int(Fill::gdRight) << QPoint(0, 0) << QPoint(1, 0);
    }
    void gradientDirections()
    {
        QFETCH(int, direction);
        QFETCH(QPoint, fromCorner);
        QFETCH(QPoint, toCorner);
        const auto dir = Fill::TFillDirection(direction);
        const bool vertical = dir == Fill::gdUp || dir == Fill::gdDown;
        // Blue "from", yellow "to", as a new SuperText has them; one band a
        // pixel, so both ends show their colours exactly.
        const QImage exact = platform::GradientBitmap(256, 256, platform::clBlue, platform::clYellow, dir);
        QCOMPARE(exact.pixel(fromCorner * 255), qRgb(0, 0, 255));
        QCOMPARE(exact.pixel(toCorner * 255), qRgb(255, 255, 0));

        // A short gradient still runs the 256 bands: colours skip steps, none
        // repeats, and the ends come close to the two colours.
        const QSize size(100, 40);
        const QImage g = platform::GradientBitmap(size.width(), size.height(), platform::clBlue, platform::clYellow, dir);
        const int length = vertical ? size.height() : size.width();
        QSet<QRgb> distinct;
        for (int i = 0; i < length; ++i)
            distinct.insert(vertical ? g.pixel(50, i) : g.pixel(i, 20));
        QCOMPARE(int(distinct.size()), length);
        const QPoint last(size.width() - 1, size.height() - 1);
        const auto at = [&](QPoint corner) { return g.pixel(corner.x() * last.x(), corner.y() * last.y()); };
        QVERIFY(Near(at(fromCorner), qRgb(0, 0, 255), 12));
        QVERIFY(Near(at(toCorner), qRgb(255, 255, 0), 12));
    }

    // A caption wider than the object loses characters from its end until it
    // fits, however long it is; it is never wrapped. An empty one shows a
    // crossed frame.
    void superTextShortensAndCrossesOut_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("16 characters") << QStringLiteral("WIDE").repeated(4);
        QTest::newRow("20,000 characters") << QStringLiteral("WIDE").repeated(5000);
    }
    void superTextShortensAndCrossesOut()
    {
        QFETCH(QString, caption);
        auto text = MakeSuperText(caption, 30);
        text->SetBounds(0, 0, 150, 60);
        const QImage image = RenderObject(*text);
        const QString shown = text->VisibleText();
        QVERIFY(!shown.isEmpty() && shown.size() < text->Caption().size());
        QVERIFY(text->Caption().startsWith(shown));
        const QRect ink = InkBox(image, [](QRgb p) { return p != qRgb(255, 255, 255); });
        QVERIFY(ink.right() < 150);
        QVERIFY(text->CanvasFont().TextWidth(text->Caption().left(shown.size() + 1)) > 150 - 5);

        text->SetCaption(QString());
        const QImage cross = RenderObject(*text);
        const int W = text->Width(), H = text->Height();
        QVERIFY(IsDark(cross.pixel(W / 2, H / 2)));
        QVERIFY(IsDark(cross.pixel(0, H / 2)));
        QVERIFY(IsDark(cross.pixel(W - 1, H / 2)));
        QVERIFY(!IsDark(cross.pixel(W / 2, 2)));
    }

    // At zoom 2 a shadow of depth 3 lies 6 pixels from the letters.
    void zoomedShadowOffset_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("distance");
        QTest::newRow("zoom 1") << 1.0f << 3;
        QTest::newRow("zoom 2") << 2.0f << 6;
    }
    void zoomedShadowOffset()
    {
        QFETCH(float, zoom);
        QFETCH(int, distance);
        auto text = MakeSuperText(QStringLiteral("I"), 48);
        text->Font()->SetSize(24);
        text->SetSurfaceType(Fill::stNormal);
        text->SetOutlineStyle(Vcl::psClear);
        text->SetShadowDepth(3);
        text->SetShadowOrientation(TGSuperText::sdRight);
        text->SetShadowcolor(platform::clRed);
        text->SetZoom(zoom);
        const QImage image = RenderObject(*text);
        const QRect face = InkBox(image, [](QRgb p) { return IsDark(p) && qRed(p) < 60; });
        const QRect shadow = InkBox(image, Colour(qRgb(255, 0, 0), 30));
        QVERIFY(!face.isNull() && !shadow.isNull());
        QCOMPARE(shadow.right() - face.right(), distance);
    }

    // A damaged card's giant SuperText and circle text paint their corner
    // without holding images of their whole size.
    void giantObjectsPaintWithoutGiantImages()
    {
        auto text = MakeSuperText(QStringLiteral("HUGE"), 60);
        text->SetOutlineStyle(Vcl::psClear);
        text->SetBounds(0, 0, 60000, 60000);
        QVERIFY(text->GradientImage().isNull());
        TGPCircleText circle;
        circle.SetBounds(0, 0, 60000, 60000);
        circle.Font()->SetSize(400);
        circle.SetCaption(QStringLiteral("MMMM"));
        circle.SetDegrees(TGPCircleText::dg90);
        circle.SetStartingVector(TGPCircleText::dg90);
        for (TGGraphicControl *object : std::initializer_list<TGGraphicControl *>{text.get(), &circle}) {
            QImage corner(400, 400, QImage::Format_RGB32);
            corner.fill(Qt::white);
            QPainter p(&corner);
            p.setClipRect(corner.rect());
            object->Paint(p);
            p.end();
            QVERIFY(InkCount(corner, [](QRgb px) { return px != qRgb(255, 255, 255); }) > 100);
        }
    }

    // A texture fills the letters with its tiles: a 20-pixel picture repeats
    // every 20 pixels at zoom 1 and every 40 at zoom 2, and on paper the
    // letters wear the picture, not the font colour.
    void textureTilesFillTheLetters_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("period");
        QTest::newRow("zoom 1") << 1.0f << 20;
        QTest::newRow("zoom 2") << 2.0f << 40;
    }
    void textureTilesFillTheLetters()
    {
        QFETCH(float, zoom);
        QFETCH(int, period);
        QImage tile(20, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                tile.setPixel(x, y, x < 10 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        auto text = MakeSuperText(QStringLiteral("MMMM"), 60);
        text->Font()->SetStyle(Vcl::TFontStyles(Vcl::fsBold));
        text->SetOutlineStyle(Vcl::psClear);
        text->SetSurfaceType(Fill::stBrushImage);
        text->Image()->SetImage(tile);
        text->SetZoom(zoom);
        const QImage image = RenderObject(*text);
        int red = 0, blue = 0, misplaced = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                const bool isRed = p == qRgb(255, 0, 0), isBlue = p == qRgb(0, 0, 255);
                red += isRed;
                blue += isBlue;
                if ((isRed && x % period >= period / 2) || (isBlue && x % period < period / 2))
                    ++misplaced;
            }
        QVERIFY(red > 200 && blue > 200);
        QCOMPARE(misplaced, 0);
        QCOMPARE(InkCount(image, [](QRgb p) { return IsDark(p) && qRed(p) < 60 && qBlue(p) < 60; }), 0);

        text->SetZoom(1.0);
        const QImage printed = PrintObject(*text, 1.0, 1.0, 300);
        QVERIFY(InkCount(printed, Colour(qRgb(255, 0, 0), 30)) > 1000);
        QVERIFY(InkCount(printed, Colour(qRgb(0, 0, 255), 30)) > 1000);
        QCOMPARE(InkCount(printed, [](QRgb p) { return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60; }), 0);
    }

    // The texture picture lives only while the surface is a texture; it is
    // kept byte for byte in the card file.
    void texturePictureKeptOnlyForTextures()
    {
        QImage tile(8, 6, QImage::Format_RGB32);
        tile.fill(qRgb(10, 200, 30));
        auto text = MakeSuperText(QStringLiteral("Tex"));
        text->SetSurfaceType(Fill::stBrushImage);
        text->Image()->SetImage(tile);

        auto panel = MakePanel();
        const QByteArray bytes = WriteObjects({text.get()});
        const QList<TGGraphicControl *> read = ReadObjects(bytes, panel.get(), nullptr);
        auto *copy = qobject_cast<TGSuperText *>(read.value(0));
        QVERIFY(copy);
        copy->setObjectName(QString());
        QCOMPARE(copy->Image()->Image().convertToFormat(QImage::Format_RGB32), tile);
        QCOMPARE(WriteObjects({copy}), bytes);

        text->SetSurfaceType(Fill::stGradientFill);
        text->SetSurfaceType(Fill::stBrushImage);
        QVERIFY(text->Image()->IsEmpty());
    }

    // Where the letters of a circle text stand: their turn in tenths of a
    // degree and the side of the centre their foot is on.
    void circleLetterPlacement_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("degrees");
        QTest::addColumn<int>("start");
        QTest::addColumn<double>("step");
        QTest::addColumn<QList<int>>("rotations");
        QTest::addColumn<QString>("sides"); // L, R, T, B: left of, right of, above, below the middle
        using C = TGPCircleText;
        QTest::newRow("ABCDE over a full circle")
            << "ABCDE" << int(C::dg360) << int(C::dg180) << 72.0 << QList<int>{900, 180, 3060, 2340, 1620} << "LTRBB";
        QTest::newRow("ABCDEF leaves a gap") << "ABCDEF" << int(C::dg360) << int(C::dg180) << 355.0 / 6
                                             << QList<int>{900, 308, 3317, 2725, 2133, 1542} << "LTTRBB";
        QTest::newRow("ABC on a half circle from the top")
            << "ABC" << int(C::dg180) << int(C::dg90) << 90.0 << QList<int>{0, 2700, 1800} << "TRB";
        QTest::newRow("one letter ends a quarter arc")
            << "A" << int(C::dg90) << int(C::dg180) << 90.0 << QList<int>{0} << "T";
        QTest::newRow("one letter ends a half arc")
            << "A" << int(C::dg180) << int(C::dg180) << 180.0 << QList<int>{2700} << "R";
        QTest::newRow("one letter stands at the start of a circle")
            << "A" << int(C::dg360) << int(C::dg180) << 360.0 << QList<int>{900} << "L";
    }
    void circleLetterPlacement()
    {
        QFETCH(QString, caption);
        QFETCH(int, degrees);
        QFETCH(int, start);
        QFETCH(double, step);
        QFETCH(QList<int>, rotations);
        QFETCH(QString, sides);
        TGPCircleText text;
        text.SetBounds(0, 0, 200, 200);
        text.SetCaption(caption);
        text.SetDegrees(TGPCircleText::TDegrees(degrees));
        text.SetStartingVector(TGPCircleText::TDegrees(start));
        QCOMPARE(qRound(text.Step() * 1000), qRound(step * 1000));
        const auto placements = text.Placements();
        QCOMPARE(placements.size(), rotations.size());
        // The arc's centre: the middle of the object, or the middle of its left
        // side for a half circle that starts at the top.
        const QPoint centre = degrees == TGPCircleText::dg180 && start == TGPCircleText::dg90
                                  ? QPoint(placements.at(0).Foot.x(), 100)
                                  : QPoint(100, 100);
        for (int i = 0; i < placements.size(); ++i) {
            const auto &p = placements.at(i);
            QCOMPARE(p.Letter, caption.mid(i, 1));
            QCOMPARE(p.Rotation, rotations.at(i));
            QVERIFY(p.Inside);
            const QPoint d = p.Foot - centre;
            const QChar side = sides.at(i);
            if (side == 'L' || side == 'R')
                QVERIFY2((side == 'L') == (d.x() < 0), qPrintable(QString::number(i)));
            if (side == 'T' || side == 'B')
                QVERIFY2((side == 'T') == (d.y() < 0), qPrintable(QString::number(i)));
        }
        QVERIFY(InkCount(RenderObject(text), IsDark) > 20);
    }

    // Mirroring needs angled letters: without them the letters keep their
    // order and places. A radius that turns negative puts every letter
    // outside the bounds, and none is drawn.
    void circleMirrorAndNegativeRadius()
    {
        TGPCircleText plain, mirrored;
        for (TGPCircleText *t : {&plain, &mirrored}) {
            t->SetBounds(0, 0, 160, 160);
            t->SetCaption(QStringLiteral("MIRROR"));
            t->SetDrawLettersAngled(false);
        }
        mirrored.SetMirror(true);
        const auto a = plain.Placements(), b = mirrored.Placements();
        for (int i = 0; i < a.size(); ++i) {
            QCOMPARE(b.at(i).Letter, a.at(i).Letter);
            QCOMPARE(b.at(i).Foot, a.at(i).Foot);
        }
        QCOMPARE(RenderObject(mirrored), RenderObject(plain));

        TGPCircleText small;
        small.SetBounds(0, 0, 30, 30);
        small.Font()->SetSize(48);
        small.SetCaption(QStringLiteral("ABCD"));
        for (const auto &p : small.Placements())
            QVERIFY(!p.Inside);
        QCOMPARE(InkCount(RenderObject(small), IsDark), 0);
    }

    // Printing puts the letters where the screen shows them, at printer
    // resolution; the SuperText's gradient reaches the paper.
    void printedWhereShown()
    {
        TGPCircleText circle;
        circle.SetBounds(24, 12, 120, 120);
        circle.Font()->SetSize(14);
        circle.SetCaption(QStringLiteral("PRINTED TEXT"));
        const QRect screen = InkBox(RenderObject(circle), IsDark);
        const QImage page = PrintObject(circle, 1.0, 1.0, 300);
        const QRect paper = InkBox(page, IsDark);
        const double k = 300.0 / 96.0;
        QVERIFY(qAbs(paper.left() - (300 + (24 + screen.left()) * k)) <= 2 * k);
        QVERIFY(qAbs(paper.top() - (300 + (12 + screen.top()) * k)) <= 2 * k);

        auto text = MakeSuperText(QStringLiteral("MMMM"), 48);
        text->SetOutlineStyle(Vcl::psClear);
        text->SetFillDirection(Fill::gdRight);
        text->FitToText();
        const QImage printed = PrintObject(*text, 1.0, 1.0, 300);
        const QRect ink = InkBox(printed, [](QRgb p) { return p != qRgb(255, 255, 255); });
        QVERIFY(!ink.isNull());
        // Blue at the left turning to yellow towards the right.
        const auto inked = [](QRgb p) { return p != qRgb(255, 255, 255); };
        const auto blueness = [](QRgb p) { return qBlue(p) - qRed(p); };
        QVERIFY(Mean(printed.copy(ink.left(), ink.top(), 40, ink.height()), inked, blueness) > 150);
        QVERIFY(Mean(printed.copy(ink.right() - 40, ink.top(), 40, ink.height()), inked, blueness) < 0);
    }

    // Text in any script draws and comes back from the card file unchanged.
    void anyScriptDrawsAndSurvives_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("Cyrillic") << QStringLiteral("Привет мир");
        QTest::newRow("Greek") << QStringLiteral("Καλημέρα");
        QTest::newRow("accented Latin") << QStringLiteral("Žluťoučký kůň");
    }
    void anyScriptDrawsAndSurvives()
    {
        QFETCH(QString, caption);
        auto super = MakeSuperText(caption, 30);
        super->SetSurfaceType(Fill::stNormal);
        TGPCircleText circle;
        circle.SetBounds(0, 0, 200, 200);
        circle.Font()->SetName(QStringLiteral("DejaVu Sans"));
        circle.SetCaption(caption);
        QVERIFY(InkCount(RenderObject(*super), IsDark) > 50);
        QVERIFY(InkCount(RenderObject(circle), IsDark) > 50);

        auto panel = MakePanel();
        const QList<TGGraphicControl *> read = ReadObjects(WriteObjects({super.get(), &circle}), panel.get(), nullptr);
        QCOMPARE(read.size(), 2);
        QCOMPARE(qobject_cast<TGSuperText *>(read.at(0))->Caption(), caption);
        QCOMPARE(qobject_cast<TGPCircleText *>(read.at(1))->Caption(), caption);
    }
};

QTEST_MAIN(TestDisplayText)
#include "tst_displaytext.moc"
