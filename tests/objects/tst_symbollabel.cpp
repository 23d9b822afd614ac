// Symbol labels and the symbol faces this system lacks: which correspondence
// draws a face, what a code becomes, that a Wingdings telephone is drawn as a
// telephone, and how a symbol label sizes itself, keeps its font, and lives
// in card files.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/SymbolLabel.h"
#include "platform/CanvasFont.h"
#include "platform/Dialogs.h"
#include "platform/SymbolFonts.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QRawFont>

using namespace testsupport;
using platform::TSymbolSet;

namespace {

QStringList TopLevelCaptions(const TGGraphicControl &object)
{
    QStringList captions;
    for (const QAction *a : object.ContextMenu()->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

TGSymbolLabel *AddSymbol(TGBusinessCardPanel32 &panel, int left = 20, int top = 20)
{
    auto *symbol = new TGSymbolLabel(&panel);
    symbol->Loaded();
    panel.AddNewObject(symbol, {left, top, left + 50, top + 15});
    Flush();
    return symbol;
}

// The character drawn alone in the family, at the pixel size, as a label at
// the top-left of an image of that size.
QImage DrawCharacter(QSize size, const QString &family, int pixelSize, char32_t character)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoFontMerging);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(0, QFontMetrics(font).ascent()), QString::fromUcs4(&character, 1));
    return image;
}

} // namespace

class TestSymbols : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    // ---- faces and correspondences ----

    void symbolSetOfAFace_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("charset");
        QTest::addColumn<int>("set");
        QTest::newRow("WingDings") << "WingDings" << 1 << int(TSymbolSet::Wingdings);
        QTest::newRow("any case") << "wingdings" << 1 << int(TSymbolSet::Wingdings);
        QTest::newRow("symbol charset kept") << "Wingdings" << 2 << int(TSymbolSet::Wingdings);
        QTest::newRow("Symbol") << "Symbol" << 1 << int(TSymbolSet::Symbol);
        QTest::newRow("missing face with symbol charset") << "Marlett" << 2 << int(TSymbolSet::Symbol);
        QTest::newRow("ordinary face") << "Arial" << 1 << int(TSymbolSet::None);
        QTest::newRow("installed face with symbol charset") << "DejaVu Sans" << 2 << int(TSymbolSet::None);
    }
    void symbolSetOfAFace()
    {
        QFETCH(QString, face);
        QFETCH(int, charset);
        QFETCH(int, set);
        if (platform::FamilyInstalled(face) && set != int(TSymbolSet::None))
            QSKIP("the symbol face is installed here");
        QCOMPARE(int(platform::SymbolSetFor(face, charset)), set);
    }

    void publishedCorrespondences_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("code");
        QTest::addColumn<uint>("unicode");
        const int w = int(TSymbolSet::Wingdings), s = int(TSymbolSet::Symbol);
        QTest::newRow("Wingdings space") << w << 0x20 << 0x20u;
        QTest::newRow("Wingdings scissors") << w << 0x22 << 0x2702u;
        QTest::newRow("Wingdings telephone") << w << 0x28 << 0x1F57Fu;
        QTest::newRow("Wingdings telephone sign") << w << 0x29 << 0x2706u;
        QTest::newRow("Wingdings envelope") << w << 0x2A << 0x1F582u;
        QTest::newRow("Wingdings yin yang") << w << 0x5B << 0x262Fu;
        QTest::newRow("Wingdings circled one") << w << 0x81 << 0x2460u;
        QTest::newRow("Wingdings check mark") << w << 0xFC << 0x2714u;
        QTest::newRow("Wingdings 0x7F has none") << w << 0x7F << 0u;
        QTest::newRow("Wingdings logo has none") << w << 0xFF << 0u;
        QTest::newRow("Symbol alpha") << s << int('a') << 0x3B1u;
        QTest::newRow("Symbol for all") << s << 0x22 << 0x2200u;
        QTest::newRow("Symbol Omega") << s << int('W') << 0x3A9u;
        QTest::newRow("Symbol infinity") << s << 0xA5 << 0x221Eu;
        QTest::newRow("Symbol copyright") << s << 0xD3 << 0xA9u;
        QTest::newRow("Symbol summation") << s << 0xE5 << 0x2211u;
        QTest::newRow("Symbol 0x80 has none") << s << 0x80 << 0u;
        QTest::newRow("below 32") << w << 0x1F << 0u;
    }
    void publishedCorrespondences()
    {
        QFETCH(int, set);
        QFETCH(int, code);
        QFETCH(uint, unicode);
        QCOMPARE(uint(platform::SymbolToUnicode(TSymbolSet(set), code)), unicode);
    }

    void captionCharactersTakeTheirCardFileCode_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("code");
        QTest::newRow("ascii") << "(" << 0x28;
        QTest::newRow("latin-1") << QString(QChar(0xFC)) << 0xFC;
        QTest::newRow("euro sign is 0x80") << QString(QChar(0x20AC)) << 0x80;
        QTest::newRow("outside the code page") << QString(QChar(0x3B1)) << -1;
        QTest::newRow("control character") << QString(QChar(9)) << -1;
    }
    void captionCharactersTakeTheirCardFileCode()
    {
        QFETCH(QString, character);
        QFETCH(int, code);
        QCOMPARE(platform::SymbolCodeOf(character.at(0)), code);
    }

    void everyDrawnCharacterComesFromAFamilyThatHasIt()
    {
        for (TSymbolSet set : {TSymbolSet::Wingdings, TSymbolSet::Symbol})
            for (int code = 32; code < 256; ++code) {
                const platform::TSymbolGlyph glyph = platform::ResolveSymbolGlyph(set, code);
                QVERIFY(!glyph.family.isEmpty());
                const char32_t published = platform::SymbolToUnicode(set, code);
                if (published == 0) {
                    QCOMPARE(uint(glyph.character), uint(U' '));
                    continue;
                }
                QFont font(glyph.family);
                font.setPixelSize(20);
                const QRawFont raw = QRawFont::fromFont(font);
                if (raw.supportsCharacter(glyph.character))
                    continue;
                // No installed family has it: the published character is kept.
                QCOMPARE(uint(glyph.character), uint(published));
            }
    }

    void wingdingsTelephoneIsDrawnAsATelephone()
    {
        const platform::TSymbolGlyph glyph = platform::ResolveSymbolGlyph(TSymbolSet::Wingdings, '(');
        QVERIFY2(glyph.character == 0x1F57F || glyph.character == 0x260E,
                 qPrintable(QString::number(uint(glyph.character), 16)));

        TGSymbolLabel label;
        label.SetCaption(QStringLiteral("("));
        label.SetBounds(0, 0, 60, 60);
        // The effect copies lie under the text; white ones leave it as drawn alone.
        label.SetcolorShadow(platform::clWhite);
        label.SetcolorHighlight(platform::clWhite);
        const QImage drawn = RenderObject(label);
        const QRect ink = InkBox(drawn, IsDark);
        QVERIFY(!ink.isNull());
        // A telephone is about as wide as high; the parenthesis an ordinary
        // face would draw is a narrow stroke.
        QVERIFY2(ink.width() * 10 > ink.height() * 8,
                 qPrintable(QStringLiteral("ink %1 x %2").arg(ink.width()).arg(ink.height())));
        QCOMPARE(drawn, DrawCharacter(drawn.size(), glyph.family, 32, glyph.character));
    }

    void telephoneIsPrintedAsATelephone()
    {
        TGSymbolLabel label;
        label.SetCaption(QStringLiteral("("));
        label.SetBounds(96, 96, 48, 48);
        const QImage page = PrintObject(label, 0.0, 0.0, 300);
        const QRect ink = InkBox(page, IsDark);
        QVERIFY(!ink.isNull());
        QVERIFY(ink.left() >= 300 && ink.right() < 450 && ink.top() >= 300 && ink.bottom() < 450);
        QVERIFY2(ink.width() * 10 > ink.height() * 8,
                 qPrintable(QStringLiteral("ink %1 x %2").arg(ink.width()).arg(ink.height())));
    }

    void symbolFaceTextIsMeasuredAsDrawn()
    {
        TFont font;
        font.SetName(QStringLiteral("Symbol"));
        font.SetHeight(-20);
        const platform::TCanvasFont canvas(font);
        const platform::TSymbolGlyph alpha = platform::ResolveSymbolGlyph(TSymbolSet::Symbol, 'a');
        QFont reference(alpha.family);
        reference.setPixelSize(20);
        reference.setStyleStrategy(QFont::NoFontMerging);
        QCOMPARE(canvas.TextWidth(QStringLiteral("a")), QFontMetrics(reference).horizontalAdvance(QChar(0x3B1)));
        QCOMPARE(canvas.TextWidth(QStringLiteral("ab")),
                 QFontMetrics(reference).horizontalAdvance(QString::fromUcs4(U"\u03B1\u03B2", 2)));
    }

    // ---- the symbol label ----

    void constructorValues()
    {
        TGSymbolLabel label;
        QCOMPARE(label.Font()->Name(), QStringLiteral("WingDings"));
        QCOMPARE(label.Font()->Size(), 24);
        QCOMPARE(label.Font()->Height(), -32);
        QCOMPARE(label.Caption(), QStringLiteral("["));
        QCOMPARE(label.Angle(), 0);
        QVERIFY(label.Transparent());
    }

    void menuOffersTheSymbolSelectorInsteadOfFontAndAlignment()
    {
        TGSymbolLabel label;
        label.Loaded();
        const QStringList captions = TopLevelCaptions(label);
        const QStringList tail{QStringLiteral("Center Horizontally"), QStringLiteral("-"), QStringLiteral("3D Effects"),
                               QStringLiteral("Transparent"), QStringLiteral("Background Color"),
                               QStringLiteral("Border"), QStringLiteral("-"), QStringLiteral("Symbol Selector")};
        QCOMPARE(captions.mid(captions.size() - tail.size()), tail);
        QVERIFY(!captions.contains(QStringLiteral("Font")));
        QVERIFY(!captions.contains(QStringLiteral("Alignment")));
        QVERIFY(!captions.contains(QStringLiteral("Rotation")));
        emit label.ContextMenu()->aboutToShow(); // no ticks of removed entries
    }

    void sizesItselfToItsCharacterOnThePanel()
    {
        auto panel = MakePanel();
        TGSymbolLabel *symbol = AddSymbol(*panel);
        const platform::TCanvasFont font = symbol->CanvasFont();
        const int width = int(font.TextWidth(QStringLiteral("[")) * 1.1) + symbol->TextOrigin().x();
        const int height = int(font.TextHeight() * 1.1) + symbol->TextOrigin().y();
        QCOMPARE(symbol->Width(), width);
        QCOMPARE(symbol->Height(), height);
        // A resize is undone.
        symbol->SetBounds(symbol->Left(), symbol->Top(), 200, 150);
        QCOMPARE(symbol->Width(), width);
        QCOMPARE(symbol->Height(), height);
    }

    void effectsEnlargeTheAutoSize()
    {
        auto panel = MakePanel();
        TGSymbolLabel *symbol = AddSymbol(*panel);
        const QSize plain(symbol->Width(), symbol->Height());
        symbol->SetDirectionHighlight(TGBaseLabel::hdUpLeft);
        symbol->SetDepthHighlight(4);
        symbol->Layout();
        symbol->AutoSize();
        QCOMPARE(symbol->TextOrigin(), QPoint(4, 4));
        QCOMPARE(QSize(symbol->Width(), symbol->Height()), plain + QSize(4, 4));
    }

    void offThePanelTheBoundsStay()
    {
        TGSymbolLabel symbol;
        symbol.SetBounds(0, 0, 200, 40);
        QCOMPARE(symbol.Width(), 200);
    }

    void keepsItsFontWhenTheDefaultFontChanges()
    {
        auto panel = MakePanel();
        TGSymbolLabel *symbol = AddSymbol(*panel);
        TFont font;
        font.SetName(QStringLiteral("Arial"));
        font.SetSize(10);
        symbol->AssignFont(font);
        QCOMPARE(symbol->Font()->Name(), QStringLiteral("WingDings"));

        panel->Handle()->Select(symbol);
        platform::SetFontChooserForTests([](TFont &chosen) {
            chosen.SetName(QStringLiteral("Times New Roman"));
            return true;
        });
        panel->FontForSelection();
        platform::SetFontChooserForTests({});
        QCOMPARE(symbol->Font()->Name(), QStringLiteral("WingDings"));
        QCOMPARE(symbol->Font()->Height(), -32);
    }

    void symbolSelectorCommand_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void symbolSelectorCommand()
    {
        QFETCH(bool, ok);
        ScopedEditors editors;
        QString offered;
        editors->SymbolSelector = [&](QWidget *, TFont &font, QString &character) {
            offered = font.Name() + QLatin1Char('/') + character;
            font.SetName(QStringLiteral("Symbol"));
            font.SetSize(36);
            character = QStringLiteral("W");
            return ok;
        };
        auto panel = MakePanel();
        TGSymbolLabel *symbol = AddSymbol(*panel);
        const int before = symbol->Width();
        symbol->MenuAction(QStringLiteral("Symbol Selector"))->trigger();
        QCOMPARE(offered, QStringLiteral("WingDings/["));
        QCOMPARE(symbol->Caption(), ok ? QStringLiteral("W") : QStringLiteral("["));
        QCOMPARE(symbol->Font()->Name(), ok ? QStringLiteral("Symbol") : QStringLiteral("WingDings"));
        if (ok)
            QCOMPARE(symbol->Width(), int(symbol->CanvasFont().TextWidth(QStringLiteral("W")) * 1.1)
                                          + symbol->TextOrigin().x());
        else
            QCOMPARE(symbol->Width(), before);
    }

    void symbolToolOpensTheSelector()
    {
        ScopedEditors editors;
        int opened = 0;
        editors->SymbolSelector = [&opened](QWidget *, TFont &, QString &character) {
            ++opened;
            character = QStringLiteral("(");
            return true;
        };
        auto panel = MakePanel();
        panel->SetPanelState(psSymbolLabel);
        Drag(panel.get(), QPoint(100, 50), QPoint(100, 50));
        QCOMPARE(panel->ObjectCount(), 1);
        auto *symbol = qobject_cast<TGSymbolLabel *>(panel->Objects().first());
        QVERIFY(symbol);
        QCOMPARE(opened, 1);
        QCOMPARE(symbol->Caption(), QStringLiteral("("));
        QCOMPARE(symbol->objectName(), QStringLiteral("Special1"));
        QCOMPARE(symbol->Left(), 100);
    }

    // ---- card files ----

    void sampleCardsKeepEverythingButTheSelfSizedBounds_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("count");
        QTest::newRow("symbol") << "symbol.qrv" << 2;
        QTest::newRow("charset") << "charset.qrv" << 2;
    }
    void sampleCardsKeepEverythingButTheSelfSizedBounds()
    {
        // A symbol label lays itself out when loaded, so its height follows the
        // character as drawn here; every other value is kept byte for byte.
        QFETCH(QString, card);
        QFETCH(int, count);
        const QByteArray stream = ReadSampleCard(card);
        QObject owner;
        const QList<TGGraphicControl *> read = ReadObjects(stream, &owner, nullptr);
        QCOMPARE(read.size(), count);
        for (int i = 0; i < read.size(); ++i) {
            read[i]->setObjectName(QStringLiteral("Special%1").arg(i + 1));
            if (qobject_cast<TGSymbolLabel *>(read[i]))
                read[i]->SetBounds(read[i]->Left(), read[i]->Top(), 40, 40);
        }
        QCOMPARE(WriteObjects(read), stream);
    }

    void sampleSymbolLabelsReadTheirValues()
    {
        QObject owner;
        const QList<TGGraphicControl *> read = ReadObjects(ReadSampleCard(QStringLiteral("symbol.qrv")), &owner, nullptr);
        auto *second = qobject_cast<TGSymbolLabel *>(read.at(1));
        QVERIFY(second);
        QCOMPARE(second->Caption(), QStringLiteral("("));
        QCOMPARE(second->DepthShadow(), 2);
        QCOMPARE(second->Font()->Name(), QStringLiteral("Wingdings"));
        QCOMPARE(int(second->BackColor()), int(platform::clAqua));
        QVERIFY(!second->Transparent());

        const QList<TGGraphicControl *> charset = ReadObjects(ReadSampleCard(QStringLiteral("charset.qrv")), &owner, nullptr);
        auto *symbol = qobject_cast<TGSymbolLabel *>(charset.at(0));
        QCOMPARE(int(symbol->Font()->Charset()), platform::SYMBOL_CHARSET);
        QCOMPARE(symbol->Font()->Pitch(), Vcl::fpVariable);
        QCOMPARE(symbol->CanvasFont().SymbolSet(), TSymbolSet::Wingdings);
    }

    void everyPropertyRoundTrips()
    {
        QObject owner;
        auto *symbol = new TGSymbolLabel(&owner);
        symbol->setObjectName(QStringLiteral("Special1"));
        symbol->SetBounds(3, 4, 50, 60);
        symbol->SetCaption(QString(QChar(0xFC)));
        symbol->Font()->SetName(QStringLiteral("Symbol"));
        symbol->Font()->SetCharset(platform::SYMBOL_CHARSET);
        symbol->SetDepthShadow(3);
        symbol->SetDirectionShadow(TGBaseLabel::sdLeft);
        symbol->SetTransparent(false);
        symbol->SetBorderStyle(Vcl::bsSingle);
        const QByteArray written = WriteObjects({symbol});
        const QList<TGGraphicControl *> read = ReadObjects(written, &owner, nullptr);
        auto *copy = qobject_cast<TGSymbolLabel *>(read.first());
        QVERIFY(copy);
        QCOMPARE(copy->Caption(), QString(QChar(0xFC)));
        QVERIFY(copy->Font()->SameAs(*symbol->Font()));
        QCOMPARE(copy->DepthShadow(), 3);
        QCOMPARE(copy->DirectionShadow(), TGBaseLabel::sdLeft);
        QCOMPARE(copy->BorderStyle(), Vcl::bsSingle);
        copy->setObjectName(QStringLiteral("Special1"));
        copy->SetBounds(3, 4, 50, 60);
        QCOMPARE(WriteObjects(read), written);
    }
};

QTEST_MAIN(TestSymbols)
#include "tst_symbollabel.moc"
