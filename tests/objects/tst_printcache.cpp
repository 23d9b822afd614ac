// The text labels keep their print recording between prints. A kept recording
// that missed a change would put yesterday's card on paper, so every change
// that alters the drawing is made between two prints of the same label, and
// the second print must show it: it must differ from the first and match the
// print of a copy of the changed label, which has never recorded anything.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/MultiLineLabel.h"
#include "objects/SymbolLabel.h"
#include "objects/BusinessCardLabel.h"
#include "report/ReportRecorder.h"
#include "surface/BusinessCardPanel.h"

#include <functional>
#include <memory>

using namespace testsupport;

using LabelStep = std::function<void(TGGraphicControl &)>;
Q_DECLARE_METATYPE(LabelStep)

namespace {

// Two device pixels per label pixel, replayed one image pixel per device pixel.
constexpr int kDpi = 192;
constexpr double kOriginInches = 0.25;

// The part of the printed page where the labels of these tests lie.
QImage PrintedPage(TGGraphicControl &object)
{
    TPageMetrics metrics;
    metrics.XDPI = kDpi;
    metrics.YDPI = kDpi;
    TReportFiler filer;
    filer.SetPageMetrics(metrics);
    filer.OnPrint = [&](TBaseReport &report) { object.Print(report, kOriginInches, kOriginInches); };
    filer.Run();
    return RenderRecordedPage(filer.Recording(), 0, 100, kDpi).copy(0, 0, 1400, 900);
}

std::unique_ptr<TGGraphicControl> MakeLabel(const QString &kind)
{
    if (kind == QLatin1String("text")) {
        auto label = std::make_unique<TGBusinessCardLabel>();
        label->SetCaption(QStringLiteral("Cache Test"));
        label->Font()->SetName(QStringLiteral("Liberation Sans"));
        label->Font()->SetSize(12);
        // Effects that show, so that changes of their colours show as well.
        label->SetDepthShadow(2);
        label->SetDepthHighlight(1);
        label->SetDirectionHighlight(TGBaseLabel::hdUpLeft);
        label->SetTransparent(false);
        label->SetBackColor(0x80FFFF); // light yellow
        label->SetBounds(10, 10, 300, 40);
        return label;
    }
    if (kind == QLatin1String("multi")) {
        auto label = std::make_unique<TGMultiLineLabel>();
        label->SetItems({QStringLiteral("First line of the address block"), QStringLiteral("Second")});
        label->Font()->SetName(QStringLiteral("Liberation Sans"));
        label->SetBounds(10, 10, 260, 60);
        return label;
    }
    auto label = std::make_unique<TGSymbolLabel>();
    label->SetBounds(10, 10, 60, 50);
    return label;
}

// A label with the same stored state, position, size and zoom, read back
// from the card file format: it has recorded nothing yet.
std::unique_ptr<TGGraphicControl> FreshCopy(TGGraphicControl &label)
{
    const QList<TGGraphicControl *> read = ReadObjects(WriteObjects({&label}), nullptr, nullptr);
    if (read.size() != 1)
        qFatal("the label did not come back from the card file format");
    std::unique_ptr<TGGraphicControl> copy(read.first());
    copy->SetZoomFactorOnly(float(label.ZoomFactor()));
    copy->SetBounds(label.Left(), label.Top(), label.Width(), label.Height());
    return copy;
}

template <typename T>
LabelStep On(std::function<void(T &)> step)
{
    return [step](TGGraphicControl &object) { step(*qobject_cast<T *>(&object)); };
}

} // namespace

class TestPrintCache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    void secondPrintShowsTheChange_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<LabelStep>("setup");
        QTest::addColumn<LabelStep>("change");
        const LabelStep none = [](TGGraphicControl &) {};
        using Base = TGBaseLabel;
        using Multi = TGMultiLineBaseLabel;

        QTest::newRow("text: caption") << "text" << none
                                       << On<Base>([](Base &l) { l.SetCaption(QStringLiteral("Changed Words")); });
        QTest::newRow("text: font colour") << "text" << none
                                           << On<Base>([](Base &l) { l.Font()->SetColor(platform::clRed); });
        QTest::newRow("text: font size") << "text" << none << On<Base>([](Base &l) { l.Font()->SetSize(16); });
        QTest::newRow("text: bold") << "text" << none
                                    << On<Base>([](Base &l) { l.Font()->SetStyle(Vcl::TFontStyles(Vcl::fsBold)); });
        QTest::newRow("text: font face") << "text" << none
                                         << On<Base>([](Base &l) { l.Font()->SetName(QStringLiteral("DejaVu Serif")); });
        QTest::newRow("text: font assigned") << "text" << none << On<Base>([](Base &l) {
            TFont font;
            font.SetName(QStringLiteral("Liberation Mono"));
            font.SetSize(14);
            font.SetColor(platform::clNavy);
            l.AssignFont(font);
        });
        QTest::newRow("text: shadow colour") << "text" << none
                                             << On<Base>([](Base &l) { l.SetcolorShadow(platform::clLime); });
        QTest::newRow("text: highlight colour") << "text" << none
                                                << On<Base>([](Base &l) { l.SetcolorHighlight(platform::clRed); });
        QTest::newRow("text: shadow depth") << "text" << none << On<Base>([](Base &l) { l.SetDepthShadow(5); });
        QTest::newRow("text: shadow direction") << "text" << none
                                                << On<Base>([](Base &l) { l.SetDirectionShadow(Base::sdLeft); });
        QTest::newRow("text: highlight depth") << "text" << none << On<Base>([](Base &l) { l.SetDepthHighlight(4); });
        QTest::newRow("text: background colour") << "text" << none
                                                 << On<Base>([](Base &l) { l.SetBackColor(platform::clAqua); });
        QTest::newRow("text: transparent") << "text" << none << On<Base>([](Base &l) { l.SetTransparent(true); });
        QTest::newRow("text: border") << "text" << none << On<Base>([](Base &l) { l.SetBorderStyle(Vcl::bsSingle); });
        QTest::newRow("text: alignment") << "text" << none
                                         << On<Base>([](Base &l) { l.SetAlignment(Vcl::taRightJustify); });
        QTest::newRow("text: angle") << "text" << none << On<Base>([](Base &l) { l.SetAngle(90); });
        QTest::newRow("text: narrower") << "text" << none
                                        << On<Base>([](Base &l) { l.SetBounds(l.Left(), l.Top(), 120, l.Height()); });
        QTest::newRow("text: zoom") << "text" << none << On<Base>([](Base &l) { l.SetZoom(1.5f); });
        QTest::newRow("text: moved") << "text" << none
                                     << On<Base>([](Base &l) { l.SetBounds(40, 30, l.Width(), l.Height()); });
        QTest::newRow("text: fitted to a longer caption") << "text" << none << On<Base>([](Base &l) {
            l.SetCaption(QStringLiteral("A much longer caption than before"));
            l.FitToText();
        });

        QTest::newRow("multi: lines") << "multi" << none << On<Multi>([](Multi &l) {
            l.SetItems({QStringLiteral("Other"), QStringLiteral("Lines"), QStringLiteral("Here")});
        });
        QTest::newRow("multi: font colour") << "multi" << none
                                            << On<Multi>([](Multi &l) { l.Font()->SetColor(platform::clBlue); });
        QTest::newRow("multi: font size") << "multi" << none << On<Multi>([](Multi &l) { l.Font()->SetSize(14); });
        QTest::newRow("multi: italic") << "multi" << none << On<Multi>([](Multi &l) {
            l.Font()->SetStyle(Vcl::TFontStyles(Vcl::fsItalic));
        });
        QTest::newRow("multi: alignment") << "multi" << none
                                          << On<Multi>([](Multi &l) { l.SetAlignment(Vcl::taRightJustify); });
        QTest::newRow("multi: word wrap") << "multi" << none << On<Multi>([](Multi &l) {
            l.SetBounds(l.Left(), l.Top(), 150, l.Height());
            l.SetWordWrap(true);
        });
        QTest::newRow("multi: narrower while wrapping")
            << "multi" << On<Multi>([](Multi &l) { l.SetWordWrap(true); })
            << On<Multi>([](Multi &l) { l.SetBounds(l.Left(), l.Top(), 120, l.Height()); });
        QTest::newRow("multi: zoom") << "multi" << none << On<Multi>([](Multi &l) { l.SetZoom(1.3f); });

        QTest::newRow("symbol: character") << "symbol" << none
                                           << On<Base>([](Base &l) { l.SetCaption(QStringLiteral("(")); });
        QTest::newRow("symbol: colour") << "symbol" << none
                                        << On<Base>([](Base &l) { l.Font()->SetColor(platform::clRed); });
        QTest::newRow("symbol: size") << "symbol" << none << On<Base>([](Base &l) { l.Font()->SetSize(30); });
    }

    void secondPrintShowsTheChange()
    {
        QFETCH(QString, kind);
        QFETCH(LabelStep, setup);
        QFETCH(LabelStep, change);
        const std::unique_ptr<TGGraphicControl> label = MakeLabel(kind);
        setup(*label);
        const QImage first = PrintedPage(*label);
        QVERIFY(InkCount(first, IsDark) > 0);

        change(*label);
        const std::unique_ptr<TGGraphicControl> fresh = FreshCopy(*label);
        const QImage second = PrintedPage(*label);
        QVERIFY2(second != first, "the change does not show on the second print");
        QCOMPARE(second, PrintedPage(*fresh));
    }

    void unchangedLabelPrintsTheSameAgain_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text") << "text";
        QTest::newRow("multi") << "multi";
        QTest::newRow("symbol") << "symbol";
    }

    void unchangedLabelPrintsTheSameAgain()
    {
        QFETCH(QString, kind);
        const std::unique_ptr<TGGraphicControl> label = MakeLabel(kind);
        const QImage first = PrintedPage(*label);
        QCOMPARE(PrintedPage(*label), first);
        QCOMPARE(PrintedPage(*label), PrintedPage(*FreshCopy(*label)));
    }

    // Printing a sheet plays every label ten times; a new recording each time
    // costs Qt a check and a decode on its first replay.
    void unchangedLabelKeepsItsRecording()
    {
        // Two recordings share their data only when the second is the first.
        const auto same = [](const QPicture &a, const QPicture &b) {
            return static_cast<const void *>(a.data()) == static_cast<const void *>(b.data());
        };
        TGBusinessCardLabel text;
        QVERIFY(same(text.Recording(), text.Recording()));
        TGMultiLineLabel lines;
        QVERIFY(same(lines.Recording(), lines.Recording()));
        TGSymbolLabel symbol;
        QVERIFY(same(symbol.Recording(), symbol.Recording()));
    }
};

QTEST_MAIN(TestPrintCache)
#include "tst_printcache.moc"
