// The "Text 3D Effects" dialog driven through its controls: it opens on the
// label's values, tries every change on its sample, and hands the values to
// the label only on OK.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/DialogEditors.h"
#include "dialogs/Effects3DDialog.h"
#include "objects/TextLabel.h"
#include "printing/DialogKit.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/ColorDropDown.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace testsupport;

namespace {

// A label with effects that differ from every default.
void Decorate(TGBaseLabel &label)
{
    label.SetDirectionShadow(TGBaseLabel::sdDownLeft);
    label.SetDepthShadow(3);
    label.SetDirectionHighlight(TGBaseLabel::hdUp);
    label.SetDepthHighlight(2);
    label.SetcolorShadow(TColorDrop::ColorValue(4));    // navy
    label.SetcolorHighlight(TColorDrop::ColorValue(11)); // yellow
    label.Font()->SetColor(TColorDrop::ColorValue(1));   // maroon
    label.Font()->SetName(QStringLiteral("Times New Roman"));
}

void ClickRow(QListWidget *list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Chooses a colour with the keyboard: from the first item down.
void ChooseColor(TColorDrop *combo, int index)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

} // namespace

class TestEffects3D : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void opensOnTheLabelsValues()
    {
        TGPLabel label;
        Decorate(label);
        TGFont3DEffects dialog(label);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Text 3D Effects"));
        QCOMPARE(dialog.ShadowDirection->count(), 6);
        QCOMPARE(dialog.ShadowDirection->item(3)->text(), QStringLiteral("Lower Right"));
        QCOMPARE(dialog.HighlightDirection->item(4)->text(), QStringLiteral("Upper Left"));
        QCOMPARE(dialog.ShadowDepth->count(), 11);
        QCOMPARE(dialog.ShadowDirection->currentRow(), int(TGBaseLabel::sdDownLeft));
        QCOMPARE(dialog.ShadowDepth->currentRow(), 3);
        QCOMPARE(dialog.HighlightDirection->currentRow(), int(TGBaseLabel::hdUp));
        QCOMPARE(dialog.HighLightDepth->currentRow(), 2);
        QCOMPARE(dialog.ShadowColorCombo->currentText(), QStringLiteral("Navy"));
        QCOMPARE(dialog.HighLightColorCombo->currentText(), QStringLiteral("Yellow"));
        QCOMPARE(dialog.FontColorCombo->currentText(), QStringLiteral("Maroon"));
        QCOMPARE(dialog.ShadowColorCombo->maxVisibleItems(), 18);
        // The sample shows the label's effects in the panel's size.
        QCOMPARE(dialog.Sample->Caption(), QStringLiteral("Text"));
        QVERIFY(dialog.Sample->Transparent());
        QCOMPARE(dialog.Sample->DepthShadow(), 3);
        QCOMPARE(dialog.Sample->Font()->Name(), QStringLiteral("Times New Roman"));
        QCOMPARE(dialog.Sample->Width(), dialog.SamplePanel->contentsRect().width());
        QCOMPARE(dialog.HighLightDepth->whatsThis(), QStringLiteral("Set the depth of the highlight text"));
        QCOMPARE(dialog.OKButton->whatsThis(), QStringLiteral("Click here to accept and return to the previous screen"));
    }

    void sampleShowsTheLabelsOwnCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a caption") << "Quorvel & Sons" << "Quorvel & Sons";
        QTest::newRow("no caption") << "" << "Text";
    }
    void sampleShowsTheLabelsOwnCaption()
    {
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        TGPLabel label;
        Decorate(label);
        label.SetCaption(caption);
        TGFont3DEffects dialog(label);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.Sample->Caption(), shown);
        // Its text looks as the label's own would at the sample's size.
        const QImage sample = dialog.SamplePanel->grab().toImage();
        const auto maroon = [](QRgb p) { return qRed(p) > 90 && qGreen(p) < 40 && qBlue(p) < 40; };
        TGPLabel alike;
        Decorate(alike);
        alike.SetCaption(shown);
        alike.SetTransparent(true);
        alike.SetBounds(0, 0, dialog.Sample->Width(), dialog.Sample->Height());
        const int expected = InkBox(RenderObject(alike), maroon).width();
        const int inkWidth = InkBox(sample, maroon).width();
        QVERIFY2(expected > 0 && std::abs(inkWidth - expected) <= 1,
                 qPrintable(QStringLiteral("%1 / %2").arg(inkWidth).arg(expected)));
        // Cancel leaves the caption as it was.
        QTest::mouseClick(dialog.Cancelbutton, Qt::LeftButton);
        QCOMPARE(label.Caption(), caption);
    }

    void depthAboveTenSelectsNothingAndIsKept()
    {
        TGPLabel label;
        label.SetDepthShadow(14);
        TGFont3DEffects dialog(label);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.ShadowDepth->currentRow(), -1);
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(label.DepthShadow(), 14);
    }

    void changesReachTheSampleAndOnOkTheLabel()
    {
        TGPLabel label;
        Decorate(label);
        TGFont3DEffects dialog(label);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ClickRow(dialog.ShadowDirection, 5);
        ClickRow(dialog.ShadowDepth, 7);
        ClickRow(dialog.HighlightDirection, 1);
        ClickRow(dialog.HighLightDepth, 10);
        ChooseColor(dialog.ShadowColorCombo, 9);
        ChooseColor(dialog.HighLightColorCombo, 14);
        ChooseColor(dialog.FontColorCombo, 12);
        QCOMPARE(dialog.Sample->DirectionShadow(), TGBaseLabel::sdDown);
        QCOMPARE(dialog.Sample->DepthShadow(), 7);
        QCOMPARE(dialog.Sample->DirectionHighlight(), TGBaseLabel::hdright);
        QCOMPARE(dialog.Sample->DepthHighlight(), 10);
        QCOMPARE(int(dialog.Sample->colorShadow()), int(platform::clRed));
        QCOMPARE(int(dialog.Sample->colorHighlight()), int(platform::clAqua));
        QCOMPARE(int(dialog.Sample->Font()->Color()), int(platform::clBlue));
        // The label is untouched until OK.
        QCOMPARE(label.DepthShadow(), 3);

        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        QCOMPARE(label.DirectionShadow(), TGBaseLabel::sdDown);
        QCOMPARE(label.DepthShadow(), 7);
        QCOMPARE(label.DirectionHighlight(), TGBaseLabel::hdright);
        QCOMPARE(label.DepthHighlight(), 10);
        QCOMPARE(int(label.colorShadow()), int(platform::clRed));
        QCOMPARE(int(label.colorHighlight()), int(platform::clAqua));
        QCOMPARE(int(label.Font()->Color()), int(platform::clBlue));
        QCOMPARE(label.Font()->Name(), QStringLiteral("Times New Roman"));
    }

    void sampleRepaintsWithTheChange()
    {
        TGPLabel label;
        label.Font()->SetHeight(-40);
        TGFont3DEffects dialog(label);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto redPixels = [&dialog] {
            return InkCount(dialog.SamplePanel->grab().toImage(),
                            [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; });
        };
        QCOMPARE(redPixels(), 0);
        ChooseColor(dialog.ShadowColorCombo, 9);
        ClickRow(dialog.ShadowDirection, 3);
        ClickRow(dialog.ShadowDepth, 4);
        QVERIFY(redPixels() > 20);
    }

    void cancelAfterChangesLeavesTheLabel()
    {
        TGPLabel label;
        Decorate(label);
        TGFont3DEffects dialog(label);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ClickRow(dialog.ShadowDepth, 9);
        ChooseColor(dialog.FontColorCombo, 17);
        ClickRow(dialog.HighlightDirection, 0);
        QTest::mouseClick(dialog.Cancelbutton, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(label.DepthShadow(), 3);
        QCOMPARE(label.DirectionHighlight(), TGBaseLabel::hdUp);
        QCOMPARE(int(label.Font()->Color()), int(TColorDrop::ColorValue(1)));
    }

    void labelCommandOpensTheDialogAndNotifiesOnOk()
    {
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        auto *label = new TGPLabel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, {10, 10, 150, 40});
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<TGFont3DEffects *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->ShadowDepth->setCurrentRow(5);
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        label->MenuAction(QStringLiteral("3D Effects"))->trigger();
        QCOMPARE(label->DepthShadow(), 5);
        QVERIFY(changed.count() >= 1);
    }
};

QTEST_MAIN(TestEffects3D)
#include "tst_effects3d.moc"
