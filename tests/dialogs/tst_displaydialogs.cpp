// The SuperText and circle text properties dialogs as a user drives them: the
// drawing tools open them on the new object, which takes what was set on OK;
// the font-size buttons; the surface panels; empty text refused; the symbol
// picker; the circle preview's zoom.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/CircleTextDialog.h"
#include "dialogs/DialogEditors.h"
#include "dialogs/ImageBrowser.h"
#include "dialogs/SuperTextDialog.h"
#include "dialogs/SymbolSelector.h"
#include "platform/Dialogs.h"
#include "objects/CircleText.h"
#include "objects/SuperText.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/PaletteColorButton.h"
#include "widgets/SpinEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

using namespace testsupport;

namespace {

void TypeCaption(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestDisplayDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    // Dragging with the SuperText tool makes a SuperText and opens its
    // dialog; on OK the object takes the text and the surface chosen there.
    void superTextToolOpensItsDialog()
    {
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        panel->SetPanelState(psSuperText);
        WhenModal([](QWidget *modal) {
            auto *dialog = qobject_cast<TSuperTextProperties *>(modal);
            QVERIFY(dialog);
            TypeCaption(dialog->CaptionText, QStringLiteral("Quorvel"));
            dialog->SurfaceTypeCombo->setCurrentIndex(int(Fill::stNormal));
            QCOMPARE(dialog->SurfacePanels->currentWidget()->objectName(), QStringLiteral("FontColorPanel"));
            dialog->FontColorButton->SetColor(platform::clRed);
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        Drag(panel.get(), {30, 30}, {120, 70});
        QCOMPARE(panel->ObjectCount(), 1);
        auto *text = qobject_cast<TGSuperText *>(panel->Objects().at(0));
        QVERIFY(text);
        QCOMPARE(text->Caption(), QStringLiteral("Quorvel"));
        QCOMPARE(text->SurfaceType(), Fill::stNormal);
        QCOMPARE(panel->PanelState(), psPointing);
        QVERIFY(InkCount(RenderObject(*text), [](QRgb p) { return p == qRgb(255, 0, 0); }) > 50);
    }

    // The circle text tool likewise; the preview zoomed out to 60 % gives the
    // object its size back at 100 %, and "+" stops at 100 %.
    void circleTextToolOpensItsDialog()
    {
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        panel->SetPanelState(psCircleText);
        QSize sampleSize;
        WhenModal([&sampleSize](QWidget *modal) {
            auto *dialog = qobject_cast<TCircleTextProperties *>(modal);
            QVERIFY(dialog);
            sampleSize = QSize(dialog->Preview()->Width(), dialog->Preview()->Height());
            QTest::mouseClick(dialog->ZoomPlusButton, Qt::LeftButton);
            QCOMPARE(dialog->ZoomLabel->text(), QStringLiteral("100%"));
            for (int i = 0; i < 6; ++i)
                QTest::mouseClick(dialog->ZoomMinusButton, Qt::LeftButton);
            QCOMPARE(dialog->ZoomLabel->text(), QStringLiteral("50%"));
            QTest::mouseClick(dialog->ZoomPlusButton, Qt::LeftButton);
            QCOMPARE(dialog->ZoomLabel->text(), QStringLiteral("60%"));
            dialog->DegreesBar->setValue(2);
            QCOMPARE(dialog->DegreesLabel->text(), QStringLiteral("180 degrees"));
            TypeCaption(dialog->CaptionText, QStringLiteral("ROUND"));
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        Drag(panel.get(), {30, 30}, {150, 90});
        auto *text = qobject_cast<TGPCircleText *>(panel->Objects().value(0));
        QVERIFY(text);
        QCOMPARE(text->Caption(), QStringLiteral("ROUND"));
        QCOMPARE(text->Degrees(), TGPCircleText::dg180);
        QVERIFY(qAbs(text->Width() - sampleSize.width()) <= 2);
        QVERIFY(qAbs(text->Height() - sampleSize.height()) <= 2);
    }

    // 5 points up unless already 150 or more, 5 down unless 10 or less.
    void fontSizeButtons_data()
    {
        QTest::addColumn<bool>("circle");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("expected");
        for (const bool circle : {false, true}) {
            const char *kind = circle ? "circle" : "supertext";
            QTest::addRow("%s 148 up", kind) << circle << 148 << true << 153;
            QTest::addRow("%s 153 up", kind) << circle << 153 << true << 153;
            QTest::addRow("%s 12 down", kind) << circle << 12 << false << 7;
            QTest::addRow("%s 7 down", kind) << circle << 7 << false << 7;
        }
    }
    void fontSizeButtons()
    {
        QFETCH(bool, circle);
        QFETCH(int, size);
        QFETCH(bool, up);
        QFETCH(int, expected);
        std::unique_ptr<TPropertyDialog> dialog;
        TFont *font;
        TSpinButton *buttons;
        if (circle) {
            auto *d = new TCircleTextProperties;
            font = d->Preview()->Font();
            buttons = d->RapidChangeFontSize;
            dialog.reset(d);
        } else {
            auto *d = new TSuperTextProperties;
            font = d->Preview()->Font();
            buttons = d->RapidChangeFontSize;
            dialog.reset(d);
        }
        font->SetSize(size);
        ShowActive(dialog.get(), "properties dialog");
        QTest::mouseClick(up ? static_cast<QWidget *>(buttons->UpButton()) : buttons->DownButton(), Qt::LeftButton);
        QCOMPARE(font->Size(), expected);
    }

    // Only the panel of the chosen surface shows. "Ok" with no text says so
    // and keeps the dialog open.
    void surfacePanelsAndEmptyText_data()
    {
        QTest::addColumn<int>("surface");
        QTest::addColumn<QString>("panel");
        QTest::newRow("gradient") << int(Fill::stGradientFill) << "GradientPanel";
        QTest::newRow("texture") << int(Fill::stBrushImage) << "TexturePanel";
        QTest::newRow("normal") << int(Fill::stNormal) << "FontColorPanel";
        QTest::newRow("transparent") << int(Fill::stBrushTransparent) << "";
    }
    void surfacePanelsAndEmptyText()
    {
        QFETCH(int, surface);
        QFETCH(QString, panel);
        TSuperTextProperties dialog;
        ShowActive(&dialog, "SuperText Properties");
        dialog.SurfaceTypeCombo->setCurrentIndex(surface);
        QCOMPARE(dialog.SurfacePanels->currentWidget()->objectName(), panel);

        QStringList messages;
        CollectMessageTexts(messages);
        TypeCaption(dialog.CaptionText, QString());
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        platform::SetMessageBoxForTests({});
        QCOMPARE(messages, QStringList{QStringLiteral("Please enter some text")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
    }

    // "Load Texture" offers the file the object last came from; the texture
    // chosen comes back after a detour through another surface, and OK gives
    // the object the picture's very bytes and the file's name.
    void textureLoadedReachesTheObject()
    {
        QImage checkers(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                checkers.setPixel(x, y, (x / 4 + y / 4) % 2 ? qRgb(255, 255, 0) : qRgb(0, 128, 0));
        const TBitmap texture = TBitmap::FromImage(checkers);
        QString offeredPath;
        TGBrushImageBrowser::SetRunnerForTests([&](QWidget *, QString &file, TBitmap &chosen) {
            offeredPath = file;
            file = QStringLiteral("/textures/checkers.bmp");
            chosen = texture;
            return true;
        });
        TGSuperText object;
        object.SetBounds(0, 0, 200, 60);
        object.SetCaption(QStringLiteral("Wood"));
        object.SetLastBitmapFileNameandPath(QStringLiteral("/textures/old.bmp"));
        ScopedEditors scope;
        RegisterDialogEditors();
        WhenModal([](QWidget *modal) {
            auto *dialog = qobject_cast<TSuperTextProperties *>(modal);
            QVERIFY(dialog);
            dialog->SurfaceTypeCombo->setCurrentIndex(int(Fill::stBrushImage));
            QVERIFY(dialog->LoadImageButton->isVisible());
            QTest::mouseClick(dialog->LoadImageButton, Qt::LeftButton);
            dialog->SurfaceTypeCombo->setCurrentIndex(int(Fill::stBrushTransparent));
            QVERIFY(dialog->Preview()->Image()->IsEmpty());
            dialog->SurfaceTypeCombo->setCurrentIndex(int(Fill::stBrushImage));
            QVERIFY(InkCount(RenderObject(*dialog->Preview()), [](QRgb p) { return p == qRgb(255, 255, 0); }) > 20);
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        object.EditProperties();
        TGBrushImageBrowser::SetRunnerForTests({});
        QCOMPARE(offeredPath, QStringLiteral("/textures/old.bmp"));
        QCOMPARE(object.SurfaceType(), Fill::stBrushImage);
        QCOMPARE(object.Image()->Bitmap().FileImage(), texture.FileImage());
        QCOMPARE(object.LastBitmapFileNameandPath(), QStringLiteral("/textures/checkers.bmp"));
    }

    void circleEmptyTextRefused()
    {
        TCircleTextProperties dialog;
        ShowActive(&dialog, "CircleText Properties");
        QStringList messages;
        CollectMessageTexts(messages);
        TypeCaption(dialog.CaptionText, QString());
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        platform::SetMessageBoxForTests({});
        QCOMPARE(messages, QStringList{QStringLiteral("Please enter some text")});
        QVERIFY(dialog.isVisible());
    }

    // The symbol picker prefers a Wingdings face, puts the chosen character
    // into the text in that face, and says when there is no symbol face.
    void symbolPicker()
    {
        TSuperTextGetSymbol::SetSymbolFacesForTests([] {
            return QStringList{QStringLiteral("Zeta Symbols"), QStringLiteral("Wingdings 3"),
                               QStringLiteral("Alpha Signs")};
        });
        TSuperTextProperties dialog;
        ShowActive(&dialog, "SuperText Properties");
        WhenModal([](QWidget *modal) {
            auto *picker = qobject_cast<TSuperTextGetSymbol *>(modal);
            QVERIFY(picker);
            QCOMPARE(picker->SymbolSets->currentText(), QStringLiteral("Wingdings 3"));
            QCOMPARE(picker->SymbolSets->itemText(0), QStringLiteral("Alpha Signs"));
            picker->SymbolList->setCurrentRow('J' - 32);
            QTest::mouseClick(picker->OKButton, Qt::LeftButton);
        });
        QTest::mouseClick(dialog.SelectSymbolbutton, Qt::LeftButton);
        QCOMPARE(dialog.CaptionText->text(), QStringLiteral("J"));
        QCOMPARE(dialog.Preview()->Caption(), QStringLiteral("J"));
        QCOMPARE(dialog.Preview()->Font()->Name(), QStringLiteral("Wingdings 3"));

        TSuperTextGetSymbol::SetSymbolFacesForTests([] { return QStringList(); });
        QStringList messages;
        CollectMessageTexts(messages);
        QTest::mouseClick(dialog.SelectSymbolbutton, Qt::LeftButton);
        platform::SetMessageBoxForTests({});
        TSuperTextGetSymbol::SetSymbolFacesForTests({});
        QCOMPARE(messages, QStringList{QStringLiteral("No Symbol fonts installed")});
        QCOMPARE(dialog.CaptionText->text(), QStringLiteral("J"));
    }
};

QTEST_MAIN(TestDisplayDialogs)
#include "tst_displaydialogs.moc"
