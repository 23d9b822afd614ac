// The "Super Shape Properties" dialog as a user drives it: the SuperShape
// tool opens it on the new shape, which takes the settings on OK and keeps
// its own on Cancel; what it shows for a shape it is opened on; a texture
// that survives switching the surface away and back.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/DialogEditors.h"
#include "dialogs/ImageBrowser.h"
#include "dialogs/SuperShapeDialog.h"
#include "objects/SuperShape.h"
#include "platform/Picture.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/ColorDropDown.h"
#include "widgets/SpinEdit.h"

#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>

using namespace testsupport;

namespace {

// Picks a colour from the drop-down list as a user does.
void ChooseColor(TColorDrop *drop, TColor color)
{
    const int index = TColorDrop::NearestEntry(color);
    drop->setCurrentIndex(index);
    emit drop->activated(index);
}

QImage Checkers()
{
    QImage texture(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            texture.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0));
    return texture;
}

} // namespace

class TestSuperShapeDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    // Dragging with the SuperShape tool makes a shape and opens the dialog;
    // OK gives the shape the diamond and the lime surface chosen there, and
    // the card now counts as holding complex shapes.
    void toolOpensTheDialogAndOkTakesTheSample()
    {
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        panel->SetPanelState(psSuperShape);
        TColor shownInGradientPanel = 0;
        WhenModal([&shownInGradientPanel](QWidget *modal) {
            auto *dialog = qobject_cast<TSuperShapeProperties *>(modal);
            QVERIFY(dialog);
            dialog->ShapeCombo->setCurrentIndex(TSuperShape::gstDiamond);
            dialog->SurfaceTypeCombo->setCurrentIndex(Fill::stBrushTransparent);
            QCOMPARE(dialog->SurfacePanels->currentWidget()->objectName(), QStringLiteral("SolidPanel"));
            ChooseColor(dialog->BackGroundColorCombo, platform::clLime);
            shownInGradientPanel = dialog->BackGroundColorCombo2->SelectedColor();
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        Drag(panel.get(), {30, 30}, {130, 110});
        QCOMPARE(panel->ObjectCount(), 1);
        QCOMPARE(shownInGradientPanel, TColor(platform::clLime));
        auto *shape = qobject_cast<TSuperShape *>(panel->Objects().at(0));
        QVERIFY(shape);
        QCOMPARE(shape->Shape(), TSuperShape::gstDiamond);
        const QImage image = RenderObject(*shape);
        QCOMPARE(image.pixel(shape->Width() / 2, shape->Height() / 2), qRgb(0, 255, 0));
        QVERIFY(panel->HasComplexObjects());
    }

    // What the dialog shows for the shape it opens on: the shape list, the
    // panel of the shape's own settings, and star points kept to what the
    // spin edit can show (which the sample then takes).
    void loadingShowsTheShape_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("vectors");
        QTest::addColumn<int>("shownShape");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("sampleVectors");
        QTest::newRow("polygon: no entry, no panel")
            << int(TSuperShape::gstPolyGon) << 15 << -1 << "NoShapePanel" << 14;
        QTest::newRow("star of 15 shows 7 points") << int(TSuperShape::gstStar) << 15 << 4 << "StarPanel" << 14;
        QTest::newRow("star of 60 shows 20 points") << int(TSuperShape::gstStar) << 60 << 4 << "StarPanel" << 40;
        QTest::newRow("round rectangle") << int(TSuperShape::gstRoundRect) << 10 << 1 << "RoundingPanel" << 10;
    }
    void loadingShowsTheShape()
    {
        QFETCH(int, shape);
        QFETCH(int, vectors);
        QFETCH(int, shownShape);
        QFETCH(QString, panel);
        QFETCH(int, sampleVectors);
        TSuperShape object;
        object.SetBounds(0, 0, 80, 80);
        object.SetShape(TSuperShape::TGPShapeType(shape));
        object.SetVectors(vectors);
        TSuperShapeProperties dialog;
        dialog.Sample()->CopySettings(object);
        ShowActive(&dialog, "Super Shape Properties");
        QCOMPARE(dialog.ShapeCombo->currentIndex(), shownShape);
        QCOMPARE(dialog.ShapePanels->currentWidget()->objectName(), panel);
        QCOMPARE(dialog.Sample()->Vectors(), sampleVectors);
        dialog.reject();
    }

    // What the user leaves in the dialog is what OK gives the shape and what
    // its card file reads back: a regular polygon (a star with no inward
    // vector), a shadow on a shape without a surface, and a shadow depth
    // typed beyond the field's range, which the field shows as its end.
    void okGivesTheShapeWhatTheDialogShows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("inVector");
        QTest::addColumn<int>("orient");
        QTest::addColumn<int>("depth");
        QTest::newRow("polygon opened and confirmed") << "open a 0 % star" << 0 << 0 << 5;
        QTest::newRow("rectangle made a polygon") << "star, 0 %" << 0 << 0 << 5;
        QTest::newRow("shadow on no surface") << "no surface, shadow" << 50 << int(TSuperShape::soLowerRight) << 5;
        QTest::newRow("depth 99 typed") << "type depth 99" << 50 << int(TSuperShape::soLowerRight) << 10;
    }
    void okGivesTheShapeWhatTheDialogShows()
    {
        QFETCH(QString, action);
        QFETCH(int, inVector);
        QFETCH(int, orient);
        QFETCH(int, depth);
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        auto *shape = new TSuperShape(panel.get());
        panel->AddNewObject(shape, TRect{10, 10, 90, 90});
        if (action == "open a 0 % star")
            shape->SetInVectorPercent(0);
        else if (action == "star, 0 %")
            shape->SetShape(TSuperShape::gstRectangle);
        else if (action == "type depth 99")
            shape->SetShadowOrient(TSuperShape::soLowerRight);
        QString shownPercent;
        QString shownDepth;
        WhenModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<TSuperShapeProperties *>(modal);
            QVERIFY(dialog);
            shownPercent = dialog->PercentinVector->text();
            if (action == "star, 0 %") {
                dialog->ShapeCombo->setCurrentIndex(TSuperShape::gstStar);
                dialog->PercentinVector->setFocus();
                dialog->PercentinVector->selectAll();
                QTest::keyClicks(dialog->PercentinVector, "0");
            } else if (action == "no surface, shadow") {
                dialog->SurfaceTypeCombo->setCurrentIndex(Fill::stNormal);
                dialog->ShadowOrientationCombo->setCurrentIndex(TSuperShape::soLowerRight);
            } else if (action == "type depth 99") {
                dialog->ShadowDepthSpinner->setFocus();
                dialog->ShadowDepthSpinner->selectAll();
                QTest::keyClicks(dialog->ShadowDepthSpinner, "99");
                dialog->OutLineWidthSpinner->setFocus();
            }
            shownDepth = dialog->ShadowDepthSpinner->text();
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        shape->EditProperties();
        if (action == "open a 0 % star")
            QCOMPARE(shownPercent, QStringLiteral("0"));
        QCOMPARE(shownDepth, QString::number(depth));

        // The card file holds the same.
        const QList<TGGraphicControl *> read = ReadObjects(WriteObjects({shape}), panel.get(), nullptr);
        QCOMPARE(read.size(), 1);
        auto *reopened = qobject_cast<TSuperShape *>(read.first());
        QVERIFY(reopened);
        for (TSuperShape *s : {shape, reopened}) {
            QCOMPARE(s->InVectorPercent(), inVector);
            QCOMPARE(int(s->ShadowOrient()), orient);
            QCOMPARE(s->ShadowDepth(), depth);
        }
        // A regular polygon covers well over half its box, a star less.
        const auto inked = [](const QImage &image) {
            return InkCount(image, [](QRgb p) { return p != qRgb(255, 255, 255); });
        };
        if (inVector == 0)
            QVERIFY(inked(RenderObject(*reopened)) > 80 * 80 / 2);
        // The shadow shows: the shape without it has far less black.
        if (orient != 0) {
            const auto black = [](const QImage &image) {
                return InkCount(image, [](QRgb p) { return p == qRgb(0, 0, 0); });
            };
            const int withShadow = black(RenderObject(*reopened));
            reopened->SetShadowOrient(TSuperShape::soNone);
            QVERIFY2(withShadow > black(RenderObject(*reopened)) + 200, qPrintable(QString::number(withShadow)));
        }
        qDeleteAll(read);
    }

    // A texture loaded once comes back when the surface goes to the
    // gradient and back to "Texture"; Cancel leaves the shape as it was.
    void textureComesBackAndCancelKeepsTheShape()
    {
        QString offeredPath;
        TGBrushImageBrowser::SetRunnerForTests([&offeredPath](QWidget *, QString &file, TBitmap &texture) {
            offeredPath = file;
            file = QStringLiteral("/textures/checkers.bmp");
            texture = TBitmap::FromImage(Checkers());
            return true;
        });
        TSuperShape object;
        object.SetBounds(0, 0, 60, 60);
        object.SetLastBitmapFileNameandPath(QStringLiteral("/textures/old.bmp"));
        ScopedEditors scope;
        RegisterDialogEditors();
        WhenModal([](QWidget *modal) {
            auto *dialog = qobject_cast<TSuperShapeProperties *>(modal);
            QVERIFY(dialog);
            dialog->SurfaceTypeCombo->setCurrentIndex(Fill::stBrushImage);
            QTest::mouseClick(dialog->LoadImageButton, Qt::LeftButton);
            dialog->SurfaceTypeCombo->setCurrentIndex(Fill::stGradientFill);
            QVERIFY(dialog->Sample()->Image()->IsEmpty());
            dialog->SurfaceTypeCombo->setCurrentIndex(Fill::stBrushImage);
            const QImage sample = RenderObject(*dialog->Sample());
            QVERIFY(InkCount(sample, [](QRgb p) { return p == qRgb(255, 255, 0); }) > 100);
            QTest::mouseClick(dialog->Cancelbutton, Qt::LeftButton);
        });
        object.EditProperties();
        TGBrushImageBrowser::SetRunnerForTests({});
        QCOMPARE(offeredPath, QStringLiteral("/textures/old.bmp"));
        QCOMPARE(object.SurfaceType(), Fill::stGradientFill);
        QVERIFY(object.Image()->IsEmpty());
        QCOMPARE(object.LastBitmapFileNameandPath(), QStringLiteral("/textures/old.bmp"));
    }
};

QTEST_MAIN(TestSuperShapeDialog)
#include "tst_supershapedialog.moc"
