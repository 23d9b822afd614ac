// The single-line text labels: metrics and zoom, quarter turns, shadow and
// highlight, layout and fit to text, their context menus with the personal
// information, the text tool, and what card files keep of them.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/TextLabel.h"
#include "objects/BusinessCardLabel.h"
#include "platform/CanvasFont.h"
#include "platform/Dialogs.h"
#include "surface/ComponentText.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"

#include <QMenu>
#include <QSignalSpy>

using namespace testsupport;

namespace {

bool IsRed(QRgb p) { return qRed(p) > 160 && qGreen(p) < 96 && qBlue(p) < 96; }
bool IsBlue(QRgb p) { return qBlue(p) > 160 && qRed(p) < 96 && qGreen(p) < 96; }
bool IsBlack(QRgb p) { return qRed(p) < 96 && qGreen(p) < 96 && qBlue(p) < 96; }
bool IsTinted(QRgb p)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    return std::max({std::abs(r - g), std::abs(g - b), std::abs(r - b)}) > 100;
}

QStringList TopLevelCaptions(const TGGraphicControl &object)
{
    QStringList captions;
    for (const QAction *a : object.ContextMenu()->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

// A business-card label on the panel, as the text tool leaves it before its dialog.
TGBusinessCardLabel *AddLabel(TGBusinessCardPanel32 &panel, int left = 20, int top = 20, int width = 142,
                              int height = 33)
{
    auto *label = new TGBusinessCardLabel(&panel);
    label->SetPanel(&panel);
    label->Loaded();
    panel.AddNewObject(label, {left, top, left + width, top + height});
    Flush();
    return label;
}

} // namespace

class TestTextLabels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    // ---- metrics and zoom ----

    void metricsComeFromTheFont()
    {
        TFont font;
        font.SetName(QStringLiteral("Arial"));
        font.SetHeight(-13);
        const platform::TCanvasFont canvas(font);
        const platform::TTextMetric m = canvas.Metrics();
        QCOMPARE(canvas.EmPixels(), 13);
        QCOMPARE(m.Height, m.Ascent + m.Descent);
        QCOMPARE(m.InternalLeading, m.Height - 13);
        QVERIFY(m.InternalLeading >= 0);
        QVERIFY(m.ExternalLeading >= 0);
        QCOMPARE(canvas.TextHeight(), m.Height);
        QVERIFY(canvas.TextWidth(QStringLiteral("Text ")) > canvas.TextWidth(QStringLiteral("Text")));
    }

    void zoomScalesThePointSizeTruncated_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("em");
        QTest::newRow("1.0 draws the stored height") << 1.0f << 13;
        QTest::newRow("1.5: 15 pt") << 1.5f << 20;
        QTest::newRow("1.6: 16 pt") << 1.6f << 21;
        // 1.3 in single precision is a little below 1.3: 12.99... points.
        QTest::newRow("1.3: 12 pt") << 1.3f << 16;
    }
    void zoomScalesThePointSizeTruncated()
    {
        QFETCH(float, zoom);
        QFETCH(int, em);
        TGPLabel label;
        QCOMPARE(label.Font()->Height(), -13);
        label.SetZoomFactorOnly(zoom);
        QCOMPARE(label.CanvasFont().EmPixels(), em);
        QCOMPARE(label.Font()->Height(), -13); // the stored font never zooms
    }

    // ---- quarter turns ----

    void anglesOtherThanQuarterTurnsAreIgnored_data()
    {
        QTest::addColumn<int>("angle");
        for (int angle : {45, -90, 360, 1, 89})
            QTest::newRow(qPrintable(QString::number(angle))) << angle;
    }
    void anglesOtherThanQuarterTurnsAreIgnored()
    {
        QFETCH(int, angle);
        TGPLabel label;
        label.SetAlignment(Vcl::taCenter);
        label.Layout();
        label.SetAngle(angle);
        QCOMPARE(label.Angle(), 0);
        QCOMPARE(label.BoundsRect(), QRect(0, 0, 142, label.Height()));
        QCOMPARE(label.Alignment(), Vcl::taCenter);
        QVERIFY(!label.LayoutDirty());
    }

    void quarterTurnSwapsTheBoundsAndAlignsLeft()
    {
        TGPLabel label;
        label.SetAlignment(Vcl::taRightJustify);
        label.SetAngle(90);
        QCOMPARE(label.Angle(), 90);
        QCOMPARE(label.Width(), 33);
        QCOMPARE(label.Height(), 142);
        QCOMPARE(label.Alignment(), Vcl::taLeftJustify);
        label.SetAngle(270); // already upright on its side: no swap
        QCOMPARE(label.Width(), 33);
        label.SetAngle(180);
        QCOMPARE(label.Width(), 142);
        QCOMPARE(label.Height(), 33);
    }

    void turnedTextIsDrawnInsideTheLabel_data()
    {
        QTest::addColumn<int>("angle");
        for (int angle : {0, 90, 180, 270})
            QTest::newRow(qPrintable(QString::number(angle))) << angle;
    }
    void turnedTextIsDrawnInsideTheLabel()
    {
        QFETCH(int, angle);
        TGPLabel label;
        label.SetCaption(QStringLiteral("Quorvel Cards"));
        label.SetBounds(0, 0, 300, 300);
        label.SetAngle(angle);
        label.SetBounds(0, 0, angle % 180 ? 30 : 300, angle % 180 ? 300 : 30);
        const QImage image = RenderObject(label);
        const QRect ink = InkBox(image, IsDark);
        QVERIFY2(!ink.isNull(), "no text drawn");
        const int along = angle % 180 ? ink.height() : ink.width();
        const int across = angle % 180 ? ink.width() : ink.height();
        QVERIFY2(along > 3 * across, qPrintable(QStringLiteral("ink %1 x %2").arg(ink.width()).arg(ink.height())));
        QVERIFY(along >= label.CanvasFont().TextWidth(label.Caption()) - 4);
    }

    void longCaptionDrawsWhatFitsItsBounds_data()
    {
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("alignment");
        QTest::newRow("left aligned") << 0 << int(Vcl::taLeftJustify);
        QTest::newRow("right aligned") << 0 << int(Vcl::taRightJustify);
        QTest::newRow("turned 90 degrees") << 90 << int(Vcl::taLeftJustify);
        QTest::newRow("turned 270 degrees") << 270 << int(Vcl::taLeftJustify);
    }
    void longCaptionDrawsWhatFitsItsBounds()
    {
        QFETCH(int, angle);
        QFETCH(int, alignment);
        QString caption;
        while (caption.size() < 300000)
            caption += QStringLiteral("Quorvel cards, printed on every sheet. ");
        // The label with the long caption, and one with just as much of it as
        // can show: the part at the start, or at the end when right aligned.
        const bool end = alignment == Vcl::taRightJustify;
        const QString shown = end ? caption.right(120) : caption.left(120);
        QList<QImage> images;
        qsizetype recorded = 0;
        for (const QString &text : {caption, shown}) {
            TGPLabel label;
            label.SetCaption(text);
            label.SetAlignment(Vcl::TAlignment(alignment));
            label.SetAngle(angle);
            label.SetBounds(0, 0, angle % 180 ? 30 : 300, angle % 180 ? 300 : 30);
            images.append(RenderObject(label));
            if (text == caption)
                recorded = label.Recording().size();
        }
        const QRect longInk = InkBox(images[0], IsDark), shortInk = InkBox(images[1], IsDark);
        QVERIFY(!longInk.isNull());
        // The same stretch of the card is covered with text.
        QVERIFY((longInk.topLeft() - shortInk.topLeft()).manhattanLength() <= 3);
        QVERIFY((longInk.bottomRight() - shortInk.bottomRight()).manhattanLength() <= 3);
        if (!end)
            QCOMPARE(images[0], images[1]);
        // What is printed holds the visible text, not the whole caption.
        QVERIFY2(recorded < 64 * 1024, qPrintable(QString::number(recorded)));
    }

    // ---- shadow and highlight ----

    void effectOffsets_data()
    {
        QTest::addColumn<int>("shadow");
        QTest::addColumn<QPoint>("shadowOffset");
        QTest::addColumn<int>("highlight");
        QTest::addColumn<QPoint>("highlightOffset");
        QTest::newRow("none") << int(TGBaseLabel::sdNone) << QPoint(0, 0) << int(TGBaseLabel::hdNone) << QPoint(0, 0);
        QTest::newRow("right") << int(TGBaseLabel::sdRight) << QPoint(3, 0) << int(TGBaseLabel::hdright) << QPoint(3, 0);
        QTest::newRow("left") << int(TGBaseLabel::sdLeft) << QPoint(-3, 0) << int(TGBaseLabel::hdLeft) << QPoint(-3, 0);
        QTest::newRow("diagonal right") << int(TGBaseLabel::sdDownRight) << QPoint(3, 3) << int(TGBaseLabel::hdUpRight)
                                        << QPoint(3, -3);
        QTest::newRow("diagonal left") << int(TGBaseLabel::sdDownLeft) << QPoint(-3, 3) << int(TGBaseLabel::hdUpLeft)
                                       << QPoint(-3, -3);
        QTest::newRow("vertical") << int(TGBaseLabel::sdDown) << QPoint(0, 3) << int(TGBaseLabel::hdUp) << QPoint(0, -3);
    }
    void effectOffsets()
    {
        QFETCH(int, shadow);
        QFETCH(QPoint, shadowOffset);
        QFETCH(int, highlight);
        QFETCH(QPoint, highlightOffset);
        TGPLabel label;
        label.SetDirectionShadow(TGBaseLabel::TShadowDirection(shadow));
        label.SetDirectionHighlight(TGBaseLabel::THighlightDirection(highlight));
        label.SetDepthShadow(3);
        label.SetDepthHighlight(3);
        QCOMPARE(label.ShadowOffset(), shadowOffset);
        QCOMPARE(label.HighlightOffset(), highlightOffset);
    }

    void shadowDownRightAndHighlightUpLeft()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("HIM"));
        label.Font()->SetHeight(-30);
        label.SetcolorShadow(platform::clRed);
        label.SetcolorHighlight(platform::clBlue);
        label.SetDirectionShadow(TGBaseLabel::sdDownRight);
        label.SetDepthShadow(2);
        label.SetDirectionHighlight(TGBaseLabel::hdUpLeft);
        label.SetDepthHighlight(1);
        label.SetBounds(0, 0, 200, 200);
        label.Layout();
        QCOMPARE(label.Inset(), QPoint(1, 1));
        QCOMPARE(label.Extent(), label.LineHeight() + 3);
        QCOMPARE(label.Height(), int(label.Extent() * 1.2));
        QCOMPARE(label.TextOrigin(), QPoint(1, 1));
        QCOMPARE(label.ShadowOrigin(), QPoint(3, 3));
        QCOMPARE(label.HighlightOrigin(), QPoint(0, 0));

        const QImage image = RenderObject(label);
        const QRect black = InkBox(image, IsBlack);
        const QRect red = InkBox(image, IsRed);
        const QRect blue = InkBox(image, IsBlue);
        QVERIFY(!black.isNull() && !red.isNull() && !blue.isNull());
        QCOMPARE(red.right(), black.right() + 2);
        QCOMPARE(red.bottom(), black.bottom() + 2);
        QCOMPARE(blue.left(), black.left() - 1);
        QCOMPARE(blue.top(), black.top() - 1);
    }

    void copiesWithoutDepthLieUnderTheText()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("HIM"));
        label.Font()->SetHeight(-30);
        label.SetcolorShadow(platform::clRed);
        label.SetcolorHighlight(platform::clBlue);
        const QImage image = RenderObject(label);
        QVERIFY(InkCount(image, IsBlack) > 50);
        QCOMPARE(InkCount(image, IsTinted), 0);
    }

    // ---- layout ----

    void heightFollowsTheExtent_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("cut");
        QTest::newRow("tall label is cut to 1.2 extents") << 200 << true;
        QTest::newRow("low label grows to the extent") << 6 << false;
    }
    void heightFollowsTheExtent()
    {
        QFETCH(int, height);
        QFETCH(bool, cut);
        TGPLabel label;
        label.SetBounds(0, 0, 142, height);
        label.Layout();
        const int e = label.Extent();
        QCOMPARE(label.Extent(), label.LineHeight());
        QCOMPARE(label.Height(), cut ? int(e * 1.2) : e);
        QCOMPARE(label.Width(), 142); // the width is left to fit to text
    }

    void lineHeightAddsBothLeadings()
    {
        TGPLabel label;
        label.Layout();
        const platform::TTextMetric m = label.CanvasFont().Metrics();
        QCOMPARE(label.LineHeight(), m.Height + m.InternalLeading + m.ExternalLeading);
        QCOMPARE(label.TextRect(), (TRect{0, 0, 142, label.LineHeight()}));
    }

    void upsideDownLabelIsCutToTwiceTheTextWidth()
    {
        TGPLabel label;
        label.SetBounds(0, 0, 500, 33);
        label.SetAngle(180);
        label.Layout();
        QCOMPARE(label.Width(), 2 * label.CaptionWidth());
        // The text rectangle is moved to the right edge; the text starts at
        // its bottom-right corner.
        QCOMPARE(label.TextOrigin(), QPoint(label.TextRect().right, label.TextRect().bottom));
    }

    void collapsedWidthTakesTheTextWidth()
    {
        TGPLabel label;
        label.SetBounds(0, 0, 5, 33);
        label.Layout();
        QCOMPARE(label.Width(), label.CaptionWidth());
    }

    void emptyCaptionLaysOutWithOneSpace()
    {
        TGPLabel label;
        label.SetCaption(QString());
        label.Layout();
        QCOMPARE(label.CaptionWidth(), label.CanvasFont().TextWidth(QStringLiteral(" ")));
        QVERIFY(label.CaptionWidth() > 0);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("width");
        QTest::newRow("left") << int(Vcl::taLeftJustify) << 142;
        QTest::newRow("right") << int(Vcl::taRightJustify) << 142;
        QTest::newRow("centre") << int(Vcl::taCenter) << 142;
        QTest::newRow("centre, text wider than the label") << int(Vcl::taCenter) << 40;
    }
    void alignment()
    {
        QFETCH(int, alignment);
        QFETCH(int, width);
        TGPLabel label;
        label.SetCaption(QStringLiteral("A rather long line of text"));
        label.SetBounds(0, 0, width, 33);
        label.SetAlignment(Vcl::TAlignment(alignment));
        label.SetDirectionShadow(TGBaseLabel::sdRight);
        label.SetDepthShadow(2);
        label.Layout();
        const int w = label.CaptionWidth();
        const TRect r = label.TextRect();
        int x = r.left;
        if (alignment == Vcl::taRightJustify)
            x = r.right - w;
        else if (alignment == Vcl::taCenter)
            x = (r.right - r.left) / 2 - w / 2;
        QCOMPARE(label.TextOrigin().x(), x);
        QCOMPARE(label.ShadowOrigin().x(), x + 2);
        if (width < w)
            QVERIFY(label.TextOrigin().x() < 0);
    }

    void wideCentredTextIsClippedAtTheLeftEdge()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("WWWWWWWWWWWW"));
        label.SetBounds(0, 0, 60, 33);
        label.SetAlignment(Vcl::taCenter);
        const QImage image = RenderObject(label);
        // Text runs through both edges of the label.
        QVERIFY(IsDark(image.pixel(0, 8)) || IsDark(image.pixel(1, 8)) || IsDark(image.pixel(2, 8)));
        QVERIFY(label.TextOrigin().x() < 0);
    }

    // ---- fit to text ----

    void fitToTextGrowsButNeverShrinks()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("Quorvel business cards"));
        label.SetBounds(0, 0, 20, 10);
        label.Layout();
        label.FitToText();
        const platform::TCanvasFont font = label.CanvasFont();
        QCOMPARE(label.Width(), font.TextWidth(label.Caption() + QStringLiteral("     ")));
        QVERIFY(label.Height() >= font.TextHeight());
        QVERIFY(label.LayoutDirty());

        label.SetBounds(0, 0, 600, 90);
        label.FitToText();
        QCOMPARE(label.Width(), 600);
        QCOMPARE(label.Height(), 90);
    }

    void fitToTextLeavesTurnedLabelsAlone()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("Quorvel business cards"));
        label.SetAngle(90);
        label.SetBounds(0, 0, 10, 10);
        label.FitToText();
        QCOMPARE(label.BoundsRect(), QRect(0, 0, 10, 10));
    }

    // ---- background and border ----

    void backgroundAndBorder()
    {
        TGPLabel label;
        label.SetCaption(QString());
        label.SetBackColor(platform::clYellow);
        QImage image = RenderObject(label);
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white)); // transparent
        label.SetTransparent(false);
        image = RenderObject(label);
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::yellow));
        // A rectangle without a pen leaves the last column and row.
        QCOMPARE(image.pixelColor(label.Width() - 1, 5), QColor(Qt::white));
        label.SetBorderStyle(Vcl::bsSingle);
        image = RenderObject(label);
        QCOMPARE(image.pixelColor(0, 5), QColor(Qt::black));
        QCOMPARE(image.pixelColor(label.Width() - 1, 5), QColor(Qt::black));
        QCOMPARE(image.pixelColor(5, label.Height() - 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(1, 5), QColor(Qt::yellow));
    }

    // ---- context menus ----

    void menusInOrder_data()
    {
        QTest::addColumn<bool>("businessCard");
        QTest::addColumn<QStringList>("captions");
        const QStringList base{QStringLiteral("Bring To Front"), QStringLiteral("Send To Back"), QStringLiteral("Cut"),
                               QStringLiteral("Copy"),           QStringLiteral("Delete"),       QStringLiteral("Clone"),
                               QStringLiteral("-"),              QStringLiteral("Locked"),       QStringLiteral("Unselectable"),
                               QStringLiteral("-"),              QStringLiteral("Center Vertically"),
                               QStringLiteral("Center Horizontally")};
        const QStringList label{QStringLiteral("-"),          QStringLiteral("Font"),   QStringLiteral("3D Effects"),
                                QStringLiteral("Alignment"),  QStringLiteral("Transparent"),
                                QStringLiteral("Background Color"), QStringLiteral("Border"), QStringLiteral("-"),
                                QStringLiteral("Text"),       QStringLiteral("-"),      QStringLiteral("Rotation")};
        QTest::newRow("text label") << false << base + label;
        QTest::newRow("business-card label")
            << true << QStringList{QStringLiteral("Personal Information"), QStringLiteral("-")} + base + label;
    }
    void menusInOrder()
    {
        QFETCH(bool, businessCard);
        QFETCH(QStringList, captions);
        auto panel = MakePanel();
        TGBaseLabel *label = businessCard ? static_cast<TGBaseLabel *>(new TGBusinessCardLabel(panel.get()))
                                          : new TGPLabel(panel.get());
        label->SetPanel(panel.get());
        label->Loaded();
        QCOMPARE(TopLevelCaptions(*label), captions);
        QVERIFY(label->MenuAction(QStringLiteral("Alignment/Center")));
        QVERIFY(label->MenuAction(QStringLiteral("Rotation/270 Degrees")));
    }

    void personalInformationOnlyOnTheBusinessCardPanel()
    {
        TGBusinessCardLabel label;
        label.Loaded();
        QCOMPARE(TopLevelCaptions(label).first(), QStringLiteral("Bring To Front"));
    }

    void menuTicksFollowTheLabel()
    {
        auto panel = MakePanel();
        TGBusinessCardLabel *label = AddLabel(*panel);
        label->SetBorderStyle(Vcl::bsSingle);
        label->SetAlignment(Vcl::taRightJustify);
        label->SetAngle(0);
        emit label->ContextMenu()->aboutToShow();
        QVERIFY(label->MenuAction(QStringLiteral("Border"))->isChecked());
        QVERIFY(label->MenuAction(QStringLiteral("Alignment/Right"))->isChecked());
        QVERIFY(!label->MenuAction(QStringLiteral("Alignment/Left"))->isChecked());
        QVERIFY(label->MenuAction(QStringLiteral("Rotation/No Rotation"))->isChecked());
        QVERIFY(label->MenuAction(QStringLiteral("Transparent"))->isChecked());

        label->MenuAction(QStringLiteral("Rotation/90 Degrees"))->trigger();
        QCOMPARE(label->Angle(), 90);
        emit label->ContextMenu()->aboutToShow();
        QVERIFY(label->MenuAction(QStringLiteral("Rotation/90 Degrees"))->isChecked());
        QVERIFY(label->MenuAction(QStringLiteral("Alignment/Left"))->isChecked());

        label->MenuAction(QStringLiteral("Border"))->trigger();
        QCOMPARE(label->BorderStyle(), Vcl::bsNone);
        label->MenuAction(QStringLiteral("Transparent"))->trigger();
        QVERIFY(!label->Transparent());
        QVERIFY(!label->MenuAction(QStringLiteral("Transparent"))->isChecked());
    }

    void backgroundColorAlwaysTurnsTransparencyOff_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::newRow("another colour") << int(platform::clAqua);
        QTest::newRow("the same colour") << int(platform::clWhite);
    }
    void backgroundColorAlwaysTurnsTransparencyOff()
    {
        QFETCH(int, chosen);
        auto panel = MakePanel();
        TGBusinessCardLabel *label = AddLabel(*panel);
        QVERIFY(label->Transparent());
        platform::SetColorChooserForTests([chosen](int32_t &color) {
            color = chosen;
            return true;
        });
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        label->MenuAction(QStringLiteral("Background Color"))->trigger();
        platform::SetColorChooserForTests({});
        QVERIFY(!label->Transparent());
        QCOMPARE(int(label->BackColor()), chosen);
        QVERIFY(!label->MenuAction(QStringLiteral("Transparent"))->isChecked());
        QVERIFY(changed.count() >= 1);
    }

    void cancelledColorChooserChangesNothing()
    {
        auto panel = MakePanel();
        TGBusinessCardLabel *label = AddLabel(*panel);
        platform::SetColorChooserForTests([](int32_t &) { return false; });
        label->MenuAction(QStringLiteral("Background Color"))->trigger();
        platform::SetColorChooserForTests({});
        QVERIFY(label->Transparent());
    }

    void personalInformationSubmenuListsAllTenEntries()
    {
        auto panel = MakePanel();
        panel->PersonalInfo = {QStringLiteral("John Smith"), QStringLiteral("Smith & Sons"), QString(),
                               QStringLiteral("1 Main Street"), QString(), QString(),
                               QStringLiteral("555-1234"), QString(), QStringLiteral("john@example.com"), QString()};
        TGBusinessCardLabel *label = AddLabel(*panel);
        emit label->ContextMenu()->aboutToShow();
        QMenu *menu = label->ContextMenu()->actions().first()->menu();
        QVERIFY(menu);
        QStringList captions;
        for (const QAction *a : menu->actions())
            captions.append(a->text());
        QCOMPARE(captions, (QStringList{QStringLiteral("Name\tJohn Smith"), QStringLiteral("Company\tSmith && Sons"),
                                        QStringLiteral("Title\t"), QStringLiteral("Address 1\t1 Main Street"),
                                        QStringLiteral("Address 2\t"), QStringLiteral("Address 3\t"),
                                        QStringLiteral("Phone 1\t555-1234"), QStringLiteral("Phone 2\t"),
                                        QStringLiteral("EMail\tjohn@example.com"), QStringLiteral("Fax\t")}));

        // The submenu follows the panel's current entries each time it opens.
        panel->PersonalInfo[2] = QStringLiteral("Director");
        emit label->ContextMenu()->aboutToShow();
        menu = label->ContextMenu()->actions().first()->menu();
        QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("Title\tDirector"));
    }

    void choosingPersonalInformationSetsTheCaption()
    {
        auto panel = MakePanel();
        panel->PersonalInfo[1] = QStringLiteral("Smith & Sons International Trading Company");
        TGBusinessCardLabel *label = AddLabel(*panel, 10, 10, 50, 20);
        label->Layout();
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        emit label->ContextMenu()->aboutToShow();
        label->ContextMenu()->actions().first()->menu()->actions().at(1)->trigger();
        QCOMPARE(label->Caption(), panel->PersonalInfo[1]);
        QVERIFY(label->Width() >= label->CanvasFont().TextWidth(label->Caption()));
        QVERIFY(changed.count() >= 1);
    }

    void longPersonalInformationIsCutTo255Characters()
    {
        auto panel = MakePanel();
        panel->PersonalInfo[0] = QString(300, QLatin1Char('x'));
        TGBusinessCardLabel *label = AddLabel(*panel);
        emit label->ContextMenu()->aboutToShow();
        label->ContextMenu()->actions().first()->menu()->actions().at(0)->trigger();
        QCOMPARE(label->Caption().size(), 255);
    }

    // ---- text and font commands ----

    void businessCardTextCommandOffersThePersonalInformation()
    {
        ScopedEditors editors;
        QStringList offered;
        QString shown;
        editors->BusinessCardText = [&](QWidget *, QString &text, const QStringList &info) {
            shown = text;
            offered = info;
            text = QStringLiteral("Jane Doe");
            return true;
        };
        editors->LabelText = [](QWidget *, QString &) {
            qFatal("the plain dialog must not open for a business-card label");
            return false;
        };
        auto panel = MakePanel();
        panel->PersonalInfo[0] = QStringLiteral("Jane Doe");
        TGBusinessCardLabel *label = AddLabel(*panel, 10, 10, 30, 20);
        label->MenuAction(QStringLiteral("Text"))->trigger();
        QCOMPARE(shown, QStringLiteral("Text"));
        QCOMPARE(offered.size(), 10);
        QCOMPARE(offered.first(), QStringLiteral("Jane Doe"));
        QCOMPARE(label->Caption(), QStringLiteral("Jane Doe"));
        QVERIFY(label->Width() > 30); // fitted
    }

    void plainTextCommand_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void plainTextCommand()
    {
        QFETCH(bool, ok);
        ScopedEditors editors;
        editors->LabelText = [ok](QWidget *, QString &text) {
            text = QString();
            return ok;
        };
        TGPLabel label;
        label.Loaded();
        label.MenuAction(QStringLiteral("Text"))->trigger();
        // An empty text is accepted on OK.
        QCOMPARE(label.Caption(), ok ? QString() : QStringLiteral("Text"));
    }

    void fontCommandTakesTheFontAndFits()
    {
        TGPLabel label;
        label.Loaded();
        label.Layout();
        platform::SetFontChooserForTests([](TFont &font) {
            font.SetName(QStringLiteral("Times New Roman"));
            font.SetSize(36);
            return true;
        });
        label.MenuAction(QStringLiteral("Font"))->trigger();
        platform::SetFontChooserForTests({});
        QCOMPARE(label.Font()->Name(), QStringLiteral("Times New Roman"));
        QCOMPARE(label.Font()->Height(), -48);
        QVERIFY(label.Width() >= label.CanvasFont().TextWidth(QStringLiteral("Text     ")));
        QVERIFY(label.LayoutDirty());
    }

    void effectsCommandNotifiesOnlyOnOk()
    {
        ScopedEditors editors;
        bool accept = false;
        editors->Effects3D = [&accept](QWidget *, TGBaseLabel &label) {
            if (accept)
                label.SetDepthShadow(4);
            return accept;
        };
        auto panel = MakePanel();
        TGBusinessCardLabel *label = AddLabel(*panel);
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        label->MenuAction(QStringLiteral("3D Effects"))->trigger();
        QCOMPARE(changed.count(), 0);
        accept = true;
        label->MenuAction(QStringLiteral("3D Effects"))->trigger();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(label->DepthShadow(), 4);
    }

    void assignFontTakesTheWholeFont()
    {
        TGPLabel label;
        label.Layout();
        TFont font;
        font.SetName(QStringLiteral("Courier New"));
        font.SetSize(14);
        font.SetStyle(Vcl::fsBold);
        label.AssignFont(font);
        QVERIFY(label.Font()->SameAs(font));
        QVERIFY(label.LayoutDirty());
    }

    // ---- the text tool ----

    void textToolCreatesABusinessCardLabel()
    {
        ScopedEditors editors;
        int opened = 0;
        QString shown;
        editors->BusinessCardText = [&](QWidget *, QString &text, const QStringList &) {
            ++opened;
            shown = text;
            text = QStringLiteral("Quorvel Business Cards");
            return true;
        };
        auto panel = MakePanel();
        QFont font(QStringLiteral("Times New Roman"));
        font.setPointSize(12);
        font.setBold(true);
        panel->setFont(font);
        panel->SetPanelState(psLabel);
        Drag(panel.get(), QPoint(30, 40), QPoint(40, 45));
        QCOMPARE(panel->ObjectCount(), 1);
        auto *label = qobject_cast<TGBusinessCardLabel *>(panel->Objects().first());
        QVERIFY(label);
        QCOMPARE(opened, 1);
        QCOMPARE(shown, QStringLiteral("Text"));
        QCOMPARE(label->objectName(), QStringLiteral("Special1"));
        QCOMPARE(label->Caption(), QStringLiteral("Quorvel Business Cards"));
        QCOMPARE(label->Font()->Name(), QStringLiteral("Times New Roman"));
        QCOMPARE(label->Font()->Size(), 12);
        QCOMPARE(label->Font()->Style(), Vcl::TFontStyles(Vcl::fsBold));
        QCOMPARE(label->Left(), 30);
        QCOMPARE(label->Top(), 40);
        QVERIFY(label->Width() >= label->CanvasFont().TextWidth(label->Caption()));
        QCOMPARE(TopLevelCaptions(*label).first(), QStringLiteral("Personal Information"));
    }

    void labelStaysWhenTheDialogIsCancelled()
    {
        ScopedEditors editors;
        editors->BusinessCardText = [](QWidget *, QString &, const QStringList &) { return false; };
        auto panel = MakePanel();
        panel->SetPanelState(psLabel);
        Drag(panel.get(), QPoint(30, 40), QPoint(31, 41));
        QCOMPARE(panel->ObjectCount(), 1);
        QCOMPARE(qobject_cast<TGBaseLabel *>(panel->Objects().first())->Caption(), QStringLiteral("Text"));
    }

    // ---- card files ----

    void sampleLabelRoundTripsByteForByte()
    {
        const QByteArray stream = ReadSampleCard(QStringLiteral("label_defaults.qrv"));
        QObject owner;
        const QList<TGGraphicControl *> read = ReadObjects(stream, &owner, nullptr);
        QCOMPARE(read.size(), 1);
        auto *label = qobject_cast<TGBusinessCardLabel *>(read.first());
        QVERIFY(label);
        QCOMPARE(label->Caption(), QStringLiteral("Text"));
        QCOMPARE(label->BoundsRect(), QRect(100, 8, 142, 33));
        label->setObjectName(QStringLiteral("Special1"));
        QCOMPARE(WriteObjects(read), stream);
    }

    void newLabelWritesTheSampleCard()
    {
        TGBusinessCardLabel label;
        label.setObjectName(QStringLiteral("Special1"));
        label.SetBounds(100, 8, 142, 33);
        QCOMPARE(WriteObjects({&label}), ReadSampleCard(QStringLiteral("label_defaults.qrv")));
    }

    void everyPropertyRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("className");
        QTest::newRow("text label") << QByteArray("TGPLabel");
        QTest::newRow("business-card label") << QByteArray("TGBusinessCardLabel");
    }
    void everyPropertyRoundTrips()
    {
        QFETCH(QByteArray, className);
        QObject owner;
        TGBaseLabel *label = className == "TGPLabel" ? static_cast<TGBaseLabel *>(new TGPLabel(&owner))
                                                     : new TGBusinessCardLabel(&owner);
        label->setObjectName(QStringLiteral("Special1"));
        label->SetBounds(12, 34, 56, 120);
        label->SetTag(5);
        label->SetLocked(true);
        label->SetUnselectable(true);
        label->SetDepthHighlight(3);
        label->SetDepthShadow(4);
        label->SetDirectionHighlight(TGBaseLabel::hdright);
        label->SetDirectionShadow(TGBaseLabel::sdDown);
        label->SetcolorHighlight(platform::clLime);
        label->SetcolorShadow(0x123456);
        label->SetAngle(270);
        label->SetCaption(QStringLiteral("Zolt\u00E1n's card"));
        label->Font()->SetName(QStringLiteral("Courier New"));
        label->Font()->SetHeight(-17);
        label->Font()->SetColor(platform::clNavy);
        label->Font()->SetStyle(Vcl::fsItalic | Vcl::fsUnderline);
        label->Font()->SetCharset(238);
        label->Font()->SetPitch(Vcl::fpFixed);
        label->SetTransparent(false);
        label->SetBackColor(platform::clYellow);
        label->SetBorderStyle(Vcl::bsSingle);
        const QByteArray written = WriteObjects({label});

        QObject other;
        const QList<TGGraphicControl *> read = ReadObjects(written, &other, nullptr);
        QCOMPARE(read.size(), 1);
        auto *copy = qobject_cast<TGBaseLabel *>(read.first());
        QCOMPARE(QByteArray(copy->metaObject()->className()), className);
        QCOMPARE(copy->BoundsRect(), QRect(12, 34, 56, 120));
        QCOMPARE(copy->Tag(), 5);
        QVERIFY(copy->Locked() && copy->Unselectable());
        QCOMPARE(copy->DepthHighlight(), 3);
        QCOMPARE(copy->DepthShadow(), 4);
        QCOMPARE(copy->DirectionHighlight(), TGBaseLabel::hdright);
        QCOMPARE(copy->DirectionShadow(), TGBaseLabel::sdDown);
        QCOMPARE(int(copy->colorHighlight()), int(platform::clLime));
        QCOMPARE(int(copy->colorShadow()), 0x123456);
        QCOMPARE(copy->Angle(), 270);
        QCOMPARE(copy->Alignment(), Vcl::taLeftJustify);
        QCOMPARE(copy->Caption(), QStringLiteral("Zolt\u00E1n's card"));
        QVERIFY(copy->Font()->SameAs(*label->Font()));
        QVERIFY(!copy->Transparent());
        QCOMPARE(int(copy->BackColor()), int(platform::clYellow));
        QCOMPARE(copy->BorderStyle(), Vcl::bsSingle);
        copy->setObjectName(QStringLiteral("Special1"));
        QCOMPARE(WriteObjects(read), written);

        // Alignment is written only for upright labels that are not left aligned.
        label->SetAngle(0);
        label->SetAlignment(Vcl::taCenter);
        const QList<TGGraphicControl *> centred = ReadObjects(WriteObjects({label}), &other, nullptr);
        QCOMPARE(qobject_cast<TGBaseLabel *>(centred.first())->Alignment(), Vcl::taCenter);
    }

    void emptiedCaptionStaysEmpty()
    {
        TGBusinessCardLabel label;
        label.SetCaption(QString());
        QObject owner;
        const QList<TGGraphicControl *> read = ReadObjects(WriteObjects({&label}), &owner, nullptr);
        QCOMPARE(qobject_cast<TGBaseLabel *>(read.first())->Caption(), QString());
    }

    void propertiesAreWrittenInCardFileOrder()
    {
        TGBusinessCardLabel label;
        label.setObjectName(QStringLiteral("Special1"));
        label.SetDepthShadow(2);
        label.SetAlignment(Vcl::taCenter);
        const QByteArray text = ComponentStreamToText(WriteObjects({&label}));
        const QList<QByteArray> order{"Alignment", "DepthShadow", "Caption", "Font.Color", "Transparent", "BorderStyle"};
        qsizetype last = -1;
        for (const QByteArray &name : order) {
            const qsizetype at = text.indexOf("  " + name + " = ");
            QVERIFY2(at > last, name.constData());
            last = at;
        }
    }

    // ---- printing ----

    void recordingCoversTheLabel()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("Printed"));
        label.SetTransparent(false);
        label.SetBackColor(platform::clYellow);
        const QPicture picture = label.Recording();
        QCOMPARE(picture.boundingRect(), QRect(0, 0, label.Width(), label.Height()));
        QImage image(label.Width(), label.Height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.drawPicture(0, 0, picture);
        p.end();
        QCOMPARE(image, RenderObject(label));
    }

    void printFillsTheLabelsRectangleInInches()
    {
        TGPLabel label;
        label.SetCaption(QStringLiteral("Printed Text"));
        label.SetTransparent(false);
        label.SetBackColor(platform::clYellow);
        label.SetBounds(96, 48, 192, 48); // 1 inch in, half an inch down, 2 inches wide
        label.Layout();
        const int bottom = 300 + label.Height() * 300 / 96; // device row below the label
        const QImage page = PrintObject(label, 1.0, 0.5, 300);
        // The cell starts at (1, 0.5) inches; the label one inch and half an inch further.
        const QColor yellow(255, 255, 0);
        QCOMPARE(page.pixelColor(605, 305), yellow);
        QCOMPARE(page.pixelColor(1190, bottom - 8), yellow);
        QCOMPARE(page.pixelColor(1190, bottom + 2), QColor(Qt::white));
        QCOMPARE(page.pixelColor(595, 305), QColor(Qt::white));
        QCOMPARE(page.pixelColor(1205, 305), QColor(Qt::white));
        QCOMPARE(page.pixelColor(605, 295), QColor(Qt::white));

        // The text is where the screen shows it, scaled from 96 to 300 pixels per inch.
        const QRect screenInk = InkBox(RenderObject(label), IsDark);
        const QRect printInk = InkBox(page.copy(600, 300, 600, 160), IsDark);
        const double scale = 300.0 / 96.0;
        QVERIFY(std::abs(printInk.left() - screenInk.left() * scale) <= 4);
        QVERIFY(std::abs(printInk.top() - screenInk.top() * scale) <= 4);
        QVERIFY(std::abs(printInk.width() - screenInk.width() * scale) <= 8);
        QVERIFY(std::abs(printInk.height() - screenInk.height() * scale) <= 8);
    }
};

QTEST_MAIN(TestTextLabels)
#include "tst_textlabel.moc"
