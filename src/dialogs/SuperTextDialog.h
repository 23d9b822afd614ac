// The "SuperText Properties" dialog: every setting of a SuperText tried on a
// live sample, with the "Symbol Selector" that puts one character of a symbol
// face into the text. The edited object takes the sample back on OK.
// Holds TObjectSampleView, TSuperTextGetSymbol, TSuperTextProperties.
#pragma once

#include "dialogs/PropertyDialog.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"

#include <QFrame>
#include <QImage>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QTimer;
class TDFSColorButton;
class TGGraphicControl;
class TGSuperText;
class TSpinButton;
class TSpinEdit;
class TSymbolListBox;

// A white framed panel that paints one card object at its top-left corner.
class TObjectSampleView : public QFrame
{
    Q_OBJECT

public:
    explicit TObjectSampleView(QWidget *parent = nullptr);
    void SetSample(TGGraphicControl *sample) { FSample = sample; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TGGraphicControl *FSample = nullptr;
};

// "Symbol Selector": the installed symbol faces and the characters of the
// chosen one from the space upwards.
class TSuperTextGetSymbol : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TSuperTextGetSymbol(QWidget *parent = nullptr);

    // The symbol faces offered: installed faces with the symbol character
    // set, and the symbol faces the program draws through Unicode.
    static QStringList InstalledSymbolFaces();
    // Replaces the list of faces (tests); empty function: the real list.
    static void SetSymbolFacesForTests(std::function<QStringList()> faces);

    // False when no face qualified ("No Symbol fonts installed" was shown).
    bool HasFaces() const { return FHasFaces; }
    QString FaceName() const { return FFaceName; }
    QString Character() const { return FCharacter; }

    QComboBox *SymbolSets;
    TSymbolListBox *SymbolList;

public slots:
    void accept() override;

private:
    void SymbolSetsChange();

    QString FFaceName;
    QString FCharacter;
    bool FHasFaces = false;
};

class TSuperTextProperties : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TSuperTextProperties(QWidget *parent = nullptr);

    // Loads the sample from the object, runs the dialog and on OK gives the
    // sample back to the object.
    static bool Execute(QWidget *parent, TGSuperText &text);

    TGSuperText *Preview() const { return FPreview; }
    QString RememberedPath() const { return FRememberedPath; }
    void SetRememberedPath(const QString &v) { FRememberedPath = v; }

    TObjectSampleView *SamplePanel;
    QLineEdit *CaptionText;
    QComboBox *SurfaceTypeCombo;
    QStackedWidget *SurfacePanels;
    QComboBox *FillDirectionCombo;
    TDFSColorButton *GradientFromcolorButton;
    TDFSColorButton *GradientToColorButton;
    TDFSColorButton *FontColorButton;
    QPushButton *LoadImageButton;
    TDFSColorButton *OutlineColorButton;
    QComboBox *OutlineStyleCombo;
    TSpinEdit *OutLineWidthSpinner;
    TDFSColorButton *ShadowColorButton;
    QComboBox *ShadowOrientationCombo;
    TSpinEdit *ShadowDepthSpinner;
    QPushButton *Fontbutton;
    QPushButton *SelectSymbolbutton;
    TSpinButton *RapidChangeFontSize;
    QTimer *CaptionTimer;

    // The font-size buttons: 5 points up below 150, 5 down above 10.
    void FontSizeUp();
    void FontSizeDown();

public slots:
    void accept() override;

private:
    void FormActivate() override;
    void UpdatePanels();
    void SampleChanged();
    void FitSample();
    void ShowFaceInCaption();
    void FontbuttonClick();
    void SelectSymbolbuttonClick();
    void LoadImageButtonClick();
    void CaptionTimerTick();

    TGSuperText *FPreview;
    QString FRememberedPath;
    TBitmap FLastUsedImage;
    bool FCaptionChanged = false;
    bool FActivating = false;
};
