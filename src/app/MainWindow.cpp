// Holds TPrintingCommands, TMainScreen.
#include "app/MainWindow.h"

#include "app/AppHelpers.h"
#include "app/BackgroundArtDialog.h"
#include "app/PersonalInformationDialog.h"
#include "app/AboutDialog.h"
#include "app/ToolIcons.h"
#include "app/ExportCardDialog.h"
#include "app/PrintShopDialog.h"
#include "dialogs/ImageBrowser.h"
#include "objects/BusinessCardLabel.h"
#include "objects/QRCode.h"
#include "platform/Dialogs.h"
#include "platform/Graphics.h"
#include "platform/IniFile.h"
#include "platform/InputFiles.h"
#include "platform/OutputFiles.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "printing/DialogKit.h"
#include "printing/SheetLayoutDialog.h"
#include "printing/PrintCommands.h"
#include "printing/FineTuningDialog.h"
#include "richtext/RichTextControl.h"
#include "surface/CardObject.h"
#include "surface/ClassRegistry.h"
#include "surface/ComponentStream.h"
#include "surface/LabelObjectFiler.h"
#include "surface/SelectionHandle.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"
#include "widgets/RecentFiles.h"
#include "widgets/SpinEdit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHash>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QToolBar>
#include <QVBoxLayout>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <stdexcept>
#include <utility>

const char *const TMainScreen::kHomePage = "https://quorvel.example.org/";

namespace {

TPrintingCommands g_printing = DefaultPrintingCommands();

constexpr int kMainHelpContext = 2016;
constexpr int kMaxRecentFiles = 5;

// The tool buttons in tool-bar order, with the card object class each tool
// creates: a tool is offered once its class is part of the program.
struct ToolButtonInfo {
    const char *name;
    const char *hint;
    TLPanelState state;
    const char *className;
    TToolIcon icon;
};

const ToolButtonInfo kTools[] = {
    {"Pointerbutton", "Selection tool", psPointing, nullptr, tiPointer},
    {"DrawLabelButton", "Text tool", psLabel, "TGBusinessCardLabel", tiText},
    {"DrawMLTextButton", "Multi-line text tool", psMultiLineLabel, "TGMultiLineLabel", tiMultiLineText},
    {"DrawSymbolButton", "Symbol tool", psSymbolLabel, "TGSymbolLabel", tiSymbol},
    {"DrawRectanglebutton", "Rectangle tool", psRectangle, "TBCShapes", tiRectangle},
    {"DrawEllipseButton", "Ellipse tool", psEllipse, "TBCShapes", tiEllipse},
    {"DrawRoundrectbutton", "Round Rectangle tool", psRoundRectangle, "TBCShapes", tiRoundRect},
    {"DrawLinebutton", "Line Tool", psLine, "TGLineShape", tiLine},
    {"DrawImageButton", "Clip Art Tool", psImage, "TGImage", tiImage},
    {"DrawSupershape", "Supershape tool \rMulti-purpose shapes and surfaces", psSuperShape, "TSuperShape",
     tiSuperShape},
    {"DrawRichText", "Rich Text tool \rMixed fonts, colors and styles", psRichLabel, "TGPRichBaseLabel", tiRichText},
    {"DrawSuperTextButton", "SuperText tool \rSpecial Effects Text - fill with gradients or bitmaps", psSuperText,
     "TGSuperText", tiSuperText},
    {"DrawCircleTextbutton", "CircleText Tool \rCircular or semi-circular text using any font", psCircleText,
     "TGPCircleText", tiCircleText},
    {"DrawQRCodeButton", "QR code tool \rA web address, text or your personal information as a QR code", psQRCode,
     "TGQRCode", tiQRCode},
};

// Hints keep the carriage returns they were written with;
// the desktop wants plain line feeds.
QString Lines(const char *text)
{
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString FileNameOnly(const QString &path) { return QFileInfo(path).fileName(); }

bool HasCardExtension(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("QRV"), Qt::CaseInsensitive) == 0
        && FileNameOnly(path).contains(QLatin1Char('.'));
}

const QString kWrongExtension = QStringLiteral("Must be a QRV (Quorvel) file");

} // namespace

void SetPrintingCommands(TPrintingCommands commands) { g_printing = std::move(commands); }
const TPrintingCommands &PrintingCommands() { return g_printing; }

// ======================================================================
// Creation

TMainScreen::TMainScreen(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainScreen"));
    setWindowTitle(QStringLiteral("Quorvel"));
    setWindowIcon(QIcon(ProgramPicture(64)));
    setFont(QFont(QStringLiteral("Arial"), 8));

    FScrollBox = new QScrollArea(this);
    FScrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    FScrollBox->setBackgroundRole(QPalette::Dark);
    FScrollBox->setAlignment(Qt::AlignCenter);
    FScrollBox->viewport()->installEventFilter(this);
    FPanel = new TGBusinessCardPanel32();
    FPanel->setObjectName(QStringLiteral("BusinessCardPanel"));
    // The engine that lays out and paints every rich-text label of the card.
    auto *masterRichText = new TWPRichText(this);
    masterRichText->setObjectName(QStringLiteral("MASTERWPRICHTEXT"));
    masterRichText->hide();
    FPanel->SetDrawOutline(true);
    FPanel->SetPrinting(false);
    FPanel->SetShape(lsRectangle);
    FPanel->SetGridSize(gs4x4);
    FPanel->SetShowGrid(false);
    FPanel->SetSnapToGrid(false);
    FPanel->SetPanelState(psPointing);
    FScrollBox->setWidget(FPanel);
    setCentralWidget(FScrollBox);
    connect(FPanel, &TGBasePanel::DroppedObjectEvent, this, [this] { BusinessCardPanelDroppedObjectEvent(); });
    // A change made with the mouse on the card is a step once the button is
    // released; a context-menu command names the step it makes.
    connect(FPanel, &TGBasePanel::MouseActionEnded, this, [this] { SettleStep(); });
    connect(FPanel, &TGBasePanel::MenuCommandChosen, this, &TMainScreen::NoteMenuCommand);

    BuildMenu();
    BuildToolBar();
    BuildBottomBar();
    AddZoomShortcuts();
    AttachFormHelp(this);
    qApp->installEventFilter(this);
    // Wide enough from the start for the bottom bar with Save and Cancel,
    // which the first change shows (they are not hidden yet here): the window
    // then keeps its size and the other buttons their places. The bar is
    // asked, not the window, whose minimum size would be fixed by asking.
    const int barWidth = findChild<QWidget *>(QStringLiteral("BottomBar"))->sizeHint().width();
    resize(std::max(622, barWidth), 404 + menuBar()->sizeHint().height());

    FormCreate();
}

TMainScreen::~TMainScreen()
{
    // Objects go before the panel that paints them.
    FPanel->DeleteAllObjects();
}

void TMainScreen::FormCreate()
{
    FPrintingAvailable = false;
    FStartupPending = true;
    FLoading = true;
    SelectAllLabels();
    LoadPreferences();
    SetCardSizeFromInches();
    SetDefaultFontCaption();
    SetPanelPersonalInfo();
    SetChangesMade(false);

    FRecentFiles = new TMRUFileList(this);
    FRecentFiles->SetMaxItems(kMaxRecentFiles);
    FRecentFiles->SetRemoveOnClick(true);
    FRecentFiles->SetIniSection(QStringLiteral("MRU"));
    FRecentFiles->AttachTo(FFileMenu);
    connect(FRecentFiles, &TMRUFileList::OnClick, this, &TMainScreen::RecentFileClick);
    {
        const TIniFile ini(SettingsFileName());
        FRecentFiles->Load(ini);
    }

    CreateProgramFolders();
    FOnlineMenu->menuAction()->setVisible(true);
    printing::SetHelpOpener([](int context) { ShowHelpContext(context); });
    Setbuttons();
}

void TMainScreen::CreateProgramFolders()
{
    // Failures (the folder is already there, a read-only disk) change nothing.
    const QString folder = platform::ProgramFolder();
    const bool newArtFolder = !QFileInfo::exists(BackgroundArtFolder());
    const bool newTextureFolder = !QFileInfo::exists(TextureFolder());
    for (const char *name : {"bmbrush", "saved", "bg"})
        QDir().mkpath(folder + QLatin1String(name));
    if (newArtFolder)
        ProvideSampleBackgroundArt(BackgroundArtFolder());
    if (newTextureFolder)
        ProvideDeliveredTextures(TextureFolder());
}

void TMainScreen::BuildMenu()
{
    auto add = [this](QMenu *menu, const char *name, const QString &caption, auto handler) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    FFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FFileMenu->setObjectName(QStringLiteral("File1"));
    add(FFileMenu, "New1", QStringLiteral("&New"), [this] { New1Click(); })->setShortcut(QKeySequence::New);
    add(FFileMenu, "Open1", QStringLiteral("&Open"), [this] { Open1Click(); })->setShortcut(QKeySequence::Open);
    add(FFileMenu, "Delete1", QStringLiteral("&Delete"), [this] { Delete1Click(); });
    FFileMenu->addSeparator();
    FSaveAction = add(FFileMenu, "mnuSave", QStringLiteral("Save"), [this] { mnuSaveClick(); });
    FSaveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    add(FFileMenu, "mnuSaveAs", QStringLiteral("Save &As..."), [this] { mnuSaveAsClick(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // Save is offered for a titled card only; on an untitled one its key
    // asks for a name instead (the two are never enabled together).
    FSaveKeyAction = new QAction(this);
    FSaveKeyAction->setObjectName(QStringLiteral("SaveKey"));
    FSaveKeyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(FSaveKeyAction, &QAction::triggered, this, [this] { mnuSaveAsClick(); });
    addAction(FSaveKeyAction);
    QMenu *exportMenu = FFileMenu->addMenu(QStringLiteral("&Export"));
    exportMenu->setObjectName(QStringLiteral("mnuExport"));
    add(exportMenu, "mnuExportCard", QStringLiteral("&Card..."), [this] { ExportCardCommand(*this); });
    add(exportMenu, "mnuExportForPrintShop", QStringLiteral("For a &Print Shop..."),
        [this] { ExportForPrintShopCommand(*this); });
    FFileMenu->addSeparator();
    FPrintingActions.append(add(FFileMenu, "mnuPrint", QStringLiteral("&Print"), [this] { mnuPrintClick(); }));
    FPrintingActions.last()->setShortcut(QKeySequence::Print);
    FPrintingActions.append(add(FFileMenu, "mnuPreview", QStringLiteral("Pre&view"), [this] { mnuPreviewClick(); }));
    FPrintingActions.append(add(FFileMenu, "mnuPrintForPeople", QStringLiteral("Print for Several Peop&le..."), [this] {
        if (FPrintingAvailable && g_printing.PrintForPeople)
            g_printing.PrintForPeople(*this);
    }));
    FFileMenu->addSeparator();
    FPrintingActions.append(
        add(FFileMenu, "mnuPrinterSetup", QStringLiteral("Printer S&etup"), [this] { PrinterSetupClick(); }));
    FFineTuningAction =
        add(FFileMenu, "mnuFineTuning", QStringLiteral("Printer Fine &Tuning"), [this] { FineTuningClick(); });
    FPrintingActions.append(FFineTuningAction);
    FBackFineTuningAction = add(FFileMenu, "mnuBackFineTuning", QStringLiteral("Printer Fine Tuning for Bac&ks"),
                                [this] { BackFineTuningClick(); });
    FPrintingActions.append(FBackFineTuningAction);
    FPrintingActions.append(add(FFileMenu, "mnuPrintOutlineTestPage", QStringLiteral("Print O&utline Test Page"),
                                [this] { mnuPrintOutlineTestPageClick(); }));
    FPrintingActions.append(add(FFileMenu, "mnuPrintCalibrationPage", QStringLiteral("Print &Calibration Page"),
                                [this] { mnuPrintCalibrationPageClick(); }));
    FPrintingActions.append(add(FFileMenu, "mnuPrintTwoSidedCalibration",
                                QStringLiteral("Print Calibration Page for &Both Sides"), [this] {
                                    if (FPrintingAvailable && g_printing.TwoSidedCalibration)
                                        g_printing.TwoSidedCalibration(*this);
                                }));
    FFileMenu->addSeparator();
    add(FFileMenu, "Exit1", QStringLiteral("E&xit"), [this] { close(); });

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    FUndoAction = add(edit, "mnuUndo", QStringLiteral("Undo"), [this] { UndoClick(); });
    FUndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    FRedoAction = add(edit, "mnuRedo", QStringLiteral("Redo"), [this] { RedoClick(); });
    FRedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    using CC = TGBasePanel::ClipboardCommand;
    auto clipboard = [this, add, edit](const char *name, const char *caption, QKeySequence key, CC command) {
        const QString step = QString::fromLatin1(caption).remove(QLatin1Char('&'));
        QAction *a = add(edit, name, QString::fromLatin1(caption),
                         [this, step, command] { EditCommand(step, [this, command] {
                             FPanel->SelectionClipboardCommand(command); }); });
        a->setShortcut(key);
        return a;
    };
    FSelectionActions.append(clipboard("mnuCut", "Cu&t", QKeySequence::Cut, CC::ccCut));
    FSelectionActions.append(clipboard("mnuCopy", "&Copy", QKeySequence::Copy, CC::ccCopy));
    FPasteAction = clipboard("mnuPaste", "&Paste", QKeySequence::Paste, CC::ccPaste);
    FSelectionActions.append(clipboard("mnuDeleteObjects", "De&lete", QKeySequence(Qt::Key_Delete), CC::ccDelete));
    FSelectAllAction = add(edit, "mnuSelectAll", QStringLiteral("Select &All"), [this] { FPanel->SelectAll(); });
    FSelectAllAction->setShortcut(QKeySequence::SelectAll);
    connect(edit, &QMenu::aboutToShow, this, [this] {
        SettleStep();
        UpdateEditActions();
    });
    edit->addSeparator();
    FDefaultFontAction = add(edit, "mnuDefaultFont", QStringLiteral("Default Font"), [this] { DefaultFontClick(); });
    add(edit, "PersonalInformation1", QStringLiteral("&Personal Information"),
        [this] { PersonalInformation1Click(); });
    add(edit, "mnuSetorChangeBackgroundArt", QStringLiteral("&Set or Change Background Art"),
        [this] { mnuSetorChangeBackgroundArtClick(); });
    edit->addSeparator();
    FChangeLayoutAction = add(edit, "ChangeCardLayout1", QStringLiteral("Change Business Card Layout"),
                              [this] { ChangeCardLayout1Click(); });

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    FFitAction = add(view, "mnuFitToWindow", QStringLiteral("&Fit to Window"), [this] { FitToWindowClick(); });
    FFitAction->setCheckable(true);
    QAction *safeArea = add(view, "mnuSafeArea", QStringLiteral("&Safe Area"), [this](bool on) {
        ShowSafeAreaGuides(*FPanel, on);
    });
    safeArea->setCheckable(true);
    view->addSeparator();
    auto *sides = new QActionGroup(this);
    FFrontAction = add(view, "mnuFront", QStringLiteral("F&ront"), [this] { ShowSide(TCardSide::Front); });
    FBackAction = add(view, "mnuBack", QStringLiteral("&Back"), [this] { ShowSide(TCardSide::Back); });
    for (QAction *a : {FFrontAction, FBackAction}) {
        a->setCheckable(true);
        sides->addAction(a);
    }
    FFrontAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    FBackAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    FFrontAction->setChecked(true);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    add(help, "Contents1", QStringLiteral("&Contents"), [] { ShowHelpContents(); });
    add(help, "About1", QStringLiteral("&About"), [this] { AboutClick(); });

    FOnlineMenu = menuBar()->addMenu(QStringLiteral("Online"));
    FOnlineMenu->setObjectName(QStringLiteral("Online1"));
    FOnlineMenu->menuAction()->setVisible(false);
    add(FOnlineMenu, "VisitOurInternetWebsite1", QStringLiteral("Visit Our Internet Website"),
        [this] { VisitWebsiteClick(); });
}

void TMainScreen::BuildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    bar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    FToolGroup = new QButtonGroup(this);
    FToolGroup->setExclusive(true);
    for (const ToolButtonInfo &t : kTools) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(t.name));
        b->setToolTip(Lines(t.hint));
        b->setIcon(ToolIcon(t.icon));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        FToolGroup->addButton(b, int(t.state));
        bar->addWidget(b);
        if (t.state == psPointing) {
            FPointerButton = b;
            b->setChecked(true);
        }
    }
    connect(FToolGroup, &QButtonGroup::idClicked, this,
            [this](int id) { FPanel->SetPanelState(TLPanelState(id)); });
    UpdateToolAvailability();

    bar->addSeparator();
    auto toggle = [bar](const char *name, const char *hint, TToolIcon icon) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(QLatin1String(hint));
        b->setIcon(ToolIcon(icon));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        bar->addWidget(b);
        return b;
    };
    FShowGridButton = toggle("ShowGrid", "Show grid", tiGrid);
    connect(FShowGridButton, &QToolButton::toggled, FPanel, &TGBasePanel::SetShowGrid);
    FSnapToGridButton = toggle("SnapToGrid", "Snap to Grid", tiSnap);
    connect(FSnapToGridButton, &QToolButton::toggled, FPanel, &TGBasePanel::SetSnapToGrid);
    bar->addSeparator();
    QToolButton *art = toggle("SetBackgroundArtButton", "Set or change background art", tiBackgroundArt);
    art->setCheckable(false);
    connect(art, &QToolButton::clicked, this, [this] { mnuSetorChangeBackgroundArtClick(); });
}

void TMainScreen::UpdateToolAvailability()
{
    for (const ToolButtonInfo &t : kTools)
        if (QAbstractButton *b = FToolGroup->button(int(t.state)))
            b->setEnabled(!t.className || FindCardClass(QByteArray(t.className)) != nullptr);
}

void TMainScreen::BuildBottomBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("BottomBar"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 3, 4, 3);

    FZoomSpinner = new TSpinButton(bar);
    FZoomSpinner->setObjectName(QStringLiteral("ZoomSpinner"));
    FZoomSpinner->setFixedSize(20, 25);
    FZoomSpinner->setToolTip(Lines("Press plus (+) or minus (-) to \rincrease or decrease the zoom percentage"));
    connect(FZoomSpinner, &TSpinButton::OnUpClick, this, &TMainScreen::ZoomIn);
    connect(FZoomSpinner, &TSpinButton::OnDownClick, this, &TMainScreen::ZoomOut);
    row->addWidget(FZoomSpinner);

    auto *zoomBox = new QFrame(bar);
    zoomBox->setFrameShape(QFrame::StyledPanel);
    zoomBox->setFrameShadow(QFrame::Sunken);
    auto *zoomRow = new QHBoxLayout(zoomBox);
    zoomRow->setContentsMargins(4, 1, 4, 1);
    zoomRow->addWidget(new QLabel(QStringLiteral("Zoom:"), zoomBox));
    FZoomCaption = new QLabel(QStringLiteral("100%"), zoomBox);
    FZoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    FZoomCaption->setMinimumWidth(FZoomCaption->fontMetrics().horizontalAdvance(QStringLiteral("400%")) + 2);
    zoomRow->addWidget(FZoomCaption);
    zoomBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    zoomBox->setMinimumWidth(zoomBox->sizeHint().width());
    row->addWidget(zoomBox);
    row->addSpacing(8);

    // No button of the bar is a default button: in a window that is busy
    // with the card, Enter belongs to the card and its controls, and a key
    // event must never turn into a click on "Save".
    auto button = [bar, row](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, bar);
        b->setObjectName(QLatin1String(name));
        b->setDefault(false);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    FSaveButton = button("Savebutton", QStringLiteral("Save as"));
    connect(FSaveButton, &QPushButton::clicked, this, &TMainScreen::SavebuttonClick);
    FCancelButton = button("Cancelbutton", QStringLiteral("Cancel"));
    connect(FCancelButton, &QPushButton::clicked, this, &TMainScreen::CancelbuttonClick);
    row->addStretch();
    FPrintButton = button("PrintButton", QStringLiteral("&Print"));
    connect(FPrintButton, &QPushButton::clicked, this, &TMainScreen::mnuPrintClick);
    FPreviewButton = button("Previewbutton", QStringLiteral("Pre&view"));
    connect(FPreviewButton, &QPushButton::clicked, this, &TMainScreen::mnuPreviewClick);
    QPushButton *help = button("Helpbutton", QStringLiteral("&Help"));
    connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(kMainHelpContext); });
    row->addWidget(MakeMouseHelpButton(bar));
    QPushButton *exit = button("CloseButton", QStringLiteral("E&xit"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);

    // The card area and the bar share one column whose layout sets the
    // window's minimum size, so the buttons never overlap however small the
    // window is made, and no empty strip lies under them.
    QWidget *cardArea = takeCentralWidget();
    cardArea->setMinimumSize(160, 120);
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildSideSwitch());
    column->addWidget(cardArea, 1);
    column->addWidget(bar);
    setCentralWidget(central);
}

// The switch between the card's two sides, just above the card: the same
// commands as View > Front and View > Back.
QWidget *TMainScreen::BuildSideSwitch()
{
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("SideSwitch"));
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(0);
    auto side = [strip, row](const char *name, QAction *action, const QString &caption) {
        auto *b = new QToolButton(strip);
        b->setObjectName(QLatin1String(name));
        b->setDefaultAction(action);
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAutoRaise(false);
        b->setMinimumWidth(56);
        row->addWidget(b);
        return b;
    };
    side("FrontSideButton", FFrontAction, QStringLiteral("Front"));
    side("BackSideButton", FBackAction, QStringLiteral("Back"));
    row->addStretch();
    return strip;
}

// ======================================================================
// Activation and start-up

void TMainScreen::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TMainScreen::FormActivate()
{
    FPanel->update();
    if (!FStartupPending)
        return;
    // Cleared first: the start-up itself activates the window again.
    FStartupPending = false;

    RestoreWindowPlacement(this);
    show();

    FPanel->SetShape(lsRectangle);
    SetCardSizeFromInches();
    FPanel->show();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();

    if (!FStartupCardFile.isEmpty()) {
        // A card named on the command line comes instead of the most recent one.
        const QString path = FStartupCardFile;
        FStartupCardFile.clear();
        OpenNamedCardFile(path);
    } else if (FRecentFiles->Count() > 0 && QFileInfo::exists(FRecentFiles->Items().first())) {
        OpenBCFile(FRecentFiles->Items().first());
    }

    connect(FPanel, &TGBasePanel::LabelChangedEvent, this, &TMainScreen::CardChanged, Qt::UniqueConnection);
    SetChangesMade(false);
    FLoading = false;
    ResetHistory();
    update();

    // Printing is offered once the printing commands are part of the program
    // and a printer is there to print on.
    if (g_printing.Print && PrinterAvailable(true))
        FPrintingAvailable = true;
    Setbuttons();
}

// ======================================================================
// Change state, title and captions

void TMainScreen::SetChangesMade(bool value)
{
    FChangesMade = value;
    FCancelButton->setVisible(value);
    FSaveButton->setVisible(value);
    FSaveButton->setText(FCardFileName.isEmpty() ? QStringLiteral("Save As") : QStringLiteral("Save"));
    FSaveAction->setEnabled(!FCardFileName.isEmpty());
    FSaveKeyAction->setEnabled(FCardFileName.isEmpty());
    setWindowModified(value);
}

void TMainScreen::Setbuttons()
{
    FSaveAction->setEnabled(!FCardFileName.isEmpty());
    FSaveKeyAction->setEnabled(FCardFileName.isEmpty());
    setWindowTitle(FCardFileName.isEmpty() ? QStringLiteral("Quorvel[*]")
                                           : QStringLiteral("Quorvel - ") + FileNameOnly(FCardFileName)
                                               + QStringLiteral("[*]"));
    FPrintButton->setEnabled(FPrintingAvailable);
    FPreviewButton->setEnabled(FPrintingAvailable);
    for (QAction *a : std::as_const(FPrintingActions))
        a->setEnabled(FPrintingAvailable);
    FFineTuningAction->setEnabled(FPrintingAvailable && bool(g_printing.FineTuning));
    FBackFineTuningAction->setEnabled(FPrintingAvailable && bool(g_printing.BackFineTuning));
    FChangeLayoutAction->setEnabled(bool(g_printing.EditLayout));
}

void TMainScreen::CardChanged(QObject *)
{
    if (FLoading || FRestoring)
        return;
    SetChangesMade(true);
    ScheduleSettle();
}

void TMainScreen::SelectAllLabels()
{
    // One flag per cell of the sheet, ten at the least.
    const int cells = qBound(10, FPrefs.Layout.CellCount(), 300);
    FSelectedCells = SelectedCells(cells, true);
}

void TMainScreen::SetDefaultFontCaption()
{
    const QFont f = FPanel->font();
    QString caption = QStringLiteral("Default Font: ") + f.family() + QStringLiteral(", ")
        + QString::number(f.pointSize()) + QStringLiteral(" pt ");
    if (f.bold())
        caption += QStringLiteral(", bold");
    if (f.italic())
        caption += QStringLiteral(", italic");
    if (f.underline())
        caption += QStringLiteral(", underline");
    FDefaultFontAction->setText(caption);
}

QString TMainScreen::DefaultFontCaption() const { return FDefaultFontAction->text(); }
QString TMainScreen::ZoomCaptionText() const { return FZoomCaption->text(); }

QToolButton *TMainScreen::ToolButton(TLPanelState state) const
{
    return qobject_cast<QToolButton *>(FToolGroup->button(int(state)));
}

QSize TMainScreen::CardSizeAtZoomOne() const
{
    const int ppi = platform::ScreenPixelsPerInch();
    // A garbled layout must not ask for a card the size of a wall.
    const double maxInches = 12.0;
    const double h = qBound(0.0, double(FPrefs.Layout.Height), maxInches);
    const double w = qBound(0.0, double(FPrefs.Layout.Width), maxInches);
    return QSize(platform::Round(ppi * w), platform::Round(ppi * h));
}

void TMainScreen::SetCardSizeFromInches()
{
    const float zoom = FPanel->ZoomFactor();
    if (zoom != 1.0f)
        FPanel->SetZoom(1.0f);
    FPanel->resize(CardSizeAtZoomOne());
    // Card stock with rounded corners shows them in the card's outline.
    FPanel->SetShape(FPrefs.Layout.RoundedCorners ? lsRoundRect : lsRectangle);
    if (zoom != 1.0f)
        FPanel->SetZoom(zoom);
    FPanel->update();
}

void TMainScreen::SetPanelPersonalInfo()
{
    for (int i = 0; i < 10; ++i) {
        if (FPanel->PersonalInfo.size() <= i)
            FPanel->PersonalInfo.append(QString());
        FPanel->PersonalInfo[i] = FPrefs.Personal.value(i);
    }
}

void TMainScreen::BusinessCardPanelDroppedObjectEvent()
{
    FPanel->SetPanelState(psPointing);
    FPointerButton->setChecked(true);
}

// ======================================================================
// Preferences

TDefaultFont TMainScreen::PanelDefaultFont() const
{
    const QFont f = FPanel->font();
    TDefaultFont d;
    d.Name = f.family();
    d.Size = f.pointSize();
    d.Bold = f.bold();
    d.Italic = f.italic();
    d.Underline = f.underline();
    return d;
}

void TMainScreen::ApplyDefaultFont(const TDefaultFont &font)
{
    // Only the five values of the settings change; strike-out stays as it was.
    QFont f = FPanel->font();
    f.setFamily(font.Name.left(255));
    f.setPointSize(qBound(1, font.Size, 1638));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    FPanel->setFont(f);
}

void TMainScreen::LoadPreferences()
{
    const TIniFile ini(SettingsFileName());
    ::LoadPreferences(ini, FPrefs);
    ApplyDefaultFont(FPrefs.Font);
}

void TMainScreen::SavePreferences()
{
    FPrefs.Font = PanelDefaultFont();
    WriteSettings([prefs = FPrefs](TIniFile &ini) { ::SavePreferences(ini, prefs); });
}

void TMainScreen::SaveRecentFiles()
{
    // The list as it is now, also when the write waits for a later one.
    WriteSettings([section = FRecentFiles->IniSection(), items = FRecentFiles->Items()](TIniFile &ini) {
        TMRUFileList::SaveItems(ini, section, items);
    });
}

// ======================================================================
// Zoom and keys

void TMainScreen::StepZoom(int step)
{
    FFitToWindow = false;
    FFitAction->setChecked(false);
    // The factor moves in whole tenths from 0.5 to 4.0, so repeated steps do
    // not drift away from the tenths.
    const int tenths = platform::Round(double(FPanel->ZoomFactor()) * 10.0);
    const int next = tenths + step;
    ApplyZoom(next >= 5 && next <= 40 ? float(next) / 10.0f : FPanel->ZoomFactor());
}

void TMainScreen::ApplyZoom(float factor)
{
    // A change still waiting to become a step is recorded first: while the
    // zoom changes, changes are not the user's.
    SettleStep();
    FLoading = true;
    FPanel->Handle()->ClearSelection();
    if (factor != FPanel->ZoomFactor())
        ApplyZoomSize(factor);
    FZoomCaption->setText(QString::number(platform::Round(double(FPanel->ZoomFactor()) * 100.0)) + QLatin1Char('%'));
    FPanel->update();
    FLoading = false;
}

float TMainScreen::FitFactor() const
{
    // The card at zoom 1.0, with a small margin of the scroll box around it.
    const QSize card = CardSizeAtZoomOne();
    const double cardWidth = card.width();
    const double cardHeight = card.height();
    const QSize room = FScrollBox->viewport()->size() - QSize(16, 16);
    if (cardWidth < 1 || cardHeight < 1 || room.width() < 1 || room.height() < 1)
        return FPanel->ZoomFactor();
    const double f = std::min(room.width() / cardWidth, room.height() / cardHeight);
    // Whole hundredths, so the caption says what is shown.
    return float(qBound(0.5, std::floor(f * 100.0) / 100.0, 4.0));
}

void TMainScreen::FitToWindowClick()
{
    FFitToWindow = FFitAction->isChecked();
    if (FFitToWindow)
        ApplyZoom(FitFactor());
}

void TMainScreen::ZoomIn() { StepZoom(1); }
void TMainScreen::ZoomOut() { StepZoom(-1); }
void TMainScreen::ZoomToActualSize()
{
    StepZoom(10 - platform::Round(double(FPanel->ZoomFactor()) * 10.0));
}

void TMainScreen::AddZoomShortcuts()
{
    // The keys every desktop program zooms with, besides the keypad's + and -.
    const auto shortcut = [this](const QList<QKeySequence> &keys, void (TMainScreen::*slot)()) {
        auto *a = new QAction(this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    // Where + is a shifted key, the window system offers Ctrl with it as both
    // Ctrl++ and Ctrl+Shift+=; an action holding both would find the key
    // ambiguous and do nothing, so Ctrl++ alone stands for it.
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             &TMainScreen::ZoomIn);
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &TMainScreen::ZoomOut);
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_0)}, &TMainScreen::ZoomToActualSize);
}

bool TMainScreen::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == FAwaitedClose && e->type() == QEvent::Hide) {
        // A popup that is not a menu has closed (see SettleWhenClosed).
        FAwaitedClose->removeEventFilter(this);
        FAwaitedClose = nullptr;
        ScheduleSettle();
    }
    if (watched == FScrollBox->viewport() && e->type() == QEvent::Resize && FFitToWindow && !FFitting) {
        FFitting = true;
        const float f = FitFactor();
        if (std::abs(f - FPanel->ZoomFactor()) > 0.001f)
            ApplyZoom(f);
        FFitting = false;
    }
    if (watched == FScrollBox->viewport() && e->type() == QEvent::MouseButtonPress) {
        FPanel->Handle()->ClearSelection();
        return false;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    // A key travels from the focused control up to its parents; the window
    // sees it once, on its first stop: the focused control, or the window
    // itself when no control of it has the focus.
    QWidget *focus = QApplication::focusWidget();
    const bool focusInWindow = focus && focus->window() == this;
    if (focusInWindow ? w != focus : w != this)
        return false;
    auto *key = static_cast<QKeyEvent *>(e);
    return e->type() == QEvent::KeyPress ? HandleFormKeyDown(key) : HandleFormKeyUp(key);
}

namespace {
bool IsNudgeKey(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}
} // namespace

bool TMainScreen::HandleFormKeyDown(QKeyEvent *e)
{
    // A run of nudges is one step, recorded when the last arrow key is let go.
    if (IsNudgeKey(e->key())) {
        FHeldNudgeKeys.insert(e->key());
        FPendingStepName = QStringLiteral("Move");
    } else if (e->key() == Qt::Key_Delete) {
        FPendingStepName = QStringLiteral("Delete");
    } else if ((e->key() == Qt::Key_Plus || e->key() == Qt::Key_Minus) && e->modifiers().testFlag(Qt::KeypadModifier)
               && !e->modifiers().testFlag(Qt::ControlModifier)) {
        FHeldZoomKeys.insert(e->key());
    }
    // F1 shows the focused control's "What's this?" text where it has one,
    // and the window's help page everywhere else (the card, the tool bar).
    if (e->key() == Qt::Key_F1 && e->modifiers() == Qt::NoModifier) {
        QWidget *focus = QApplication::focusWidget();
        TODSHelp *help = focus ? TODSHelp::OfForm(focus) : nullptr;
        if (help && help->HelpText().Find(focus->objectName()))
            return false;
        ShowHelpContext(kMainHelpContext);
        return true;
    }
    QScrollBar *v = FScrollBox->verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_PageUp: v->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_PageDown: v->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    case Qt::Key_Home: v->triggerAction(QAbstractSlider::SliderToMinimum); return true;
    case Qt::Key_End: v->triggerAction(QAbstractSlider::SliderToMaximum); return true;
    default: break;
    }
    // The panel and its selection handle handle their own keys; from
    // anywhere else in the window the panel gets them too.
    QWidget *focus = QApplication::focusWidget();
    const bool inPanel = focus && (focus == FPanel || FPanel->isAncestorOf(focus));
    if (!inPanel)
        FPanel->HandleKey(e->key(), e->modifiers());
    return false;
}

bool TMainScreen::HandleFormKeyUp(QKeyEvent *e)
{
    // A key's change is a step when the key is let go; a run of nudges when
    // the last arrow key is.
    if (!e->isAutoRepeat() && (!FHeldNudgeKeys.remove(e->key()) || FHeldNudgeKeys.isEmpty()))
        ScheduleSettle();
    // With Ctrl the key is a zoom shortcut and has zoomed already.
    if (e->isAutoRepeat() || !e->modifiers().testFlag(Qt::KeypadModifier)
        || e->modifiers().testFlag(Qt::ControlModifier) || !FHeldZoomKeys.remove(e->key()))
        return false;
    if (e->key() == Qt::Key_Plus)
        ZoomIn();
    else if (e->key() == Qt::Key_Minus)
        ZoomOut();
    return false;
}

// ======================================================================
// Closing

void TMainScreen::closeEvent(QCloseEvent *e)
{
    // Every way out (Exit, the Exit button, the close box, the desktop) asks
    // about unsaved changes, and the user may stay.
    if (!CheckSaveNeeded()) {
        e->ignore();
        return;
    }
    SaveWindowPlacement(this);
    e->accept();
}

void TMainScreen::BringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    // A dialog that is open stays in front of the window it belongs to.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

// ======================================================================
// File commands

QString TMainScreen::SideFileName(const QString &cardFile)
{
    // Only the file name's own extension is replaced: a dot in a folder name
    // must not send the side file elsewhere.
    const qsizetype slash = qMax(cardFile.lastIndexOf(QLatin1Char('/')), cardFile.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = cardFile.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? cardFile.left(dot) : cardFile;
    return stem + QStringLiteral(".QRE");
}

QString TMainScreen::BackgroundArtOf(const QString &cardFile)
{
    const QString sideFile = FindFileIgnoringCase(SideFileName(cardFile));
    if (!QFileInfo::exists(sideFile))
        return QString();
    // Something else than a short regular file (a FIFO would block the
    // program) names no background art.
    QByteArray content;
    try {
        content = platform::ReadInputFile(sideFile, platform::TInputKind::SideFile);
    } catch (const platform::EInputFileError &) {
        return QString();
    }
    // Older side files were written in the Windows code page, not UTF-8.
    const qsizetype lineEnd = content.indexOf('\n');
    const QByteArray firstLine = lineEnd < 0 ? content : content.left(lineEnd + 1);
    QString art = QString::fromUtf8(firstLine);
    if (art.contains(QChar::ReplacementCharacter))
        art = QString::fromLatin1(firstLine);
    while (art.endsWith(QLatin1Char('\n')) || art.endsWith(QLatin1Char('\r')))
        art.chop(1);
    return art;
}

QString TMainScreen::ProposeCardFileName()
{
    QSet<QString> taken;
    const QStringList names = QDir(CardFolder()).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        taken.insert(name.toUpper());
    for (int n = 10001; n <= 99999; ++n) {
        const QString name = QStringLiteral("BC") + QString::number(n).right(4) + QStringLiteral(".QRV");
        if (!taken.contains(name))
            return name;
    }
    return QString();
}

bool TMainScreen::CheckSaveNeeded()
{
    if (!FChangesMade)
        return true;
    const platform::TMsgResult answer = platform::ShowMessageBox(
        {QStringLiteral("Save changes?"), QStringLiteral("Save"), platform::miQuestion, platform::mbYesNoCancel},
        this);
    if (answer == platform::mrNo)
        return true;
    if (answer != platform::mrYes)
        return false;
    if (FCardFileName.isEmpty())
        return mnuSaveAsClick();
    FPanel->RemoveObjectsOffCard();
    if (!SaveCardReportingErrors(FCardFileName))
        return false;
    CardWasSaved();
    return true;
}

void TMainScreen::ClearCard()
{
    FPanel->DeleteAllObjects();
    FBackgroundArtPath.clear();
    FPanel->ClearColorPicture();
    FBackArtPath.clear();
    FHiddenObjects.clear();
    FHiddenHistory = TUndoHistory();
    FHiddenHistoryBegun = false;
    FShownSide = TCardSide::Front;
    ShowSideState();
    FPanel->update();
}

void TMainScreen::New1Click()
{
    if (!CheckSaveNeeded())
        return;
    FLoading = true;
    ClearCard();
    FCardFileName.clear();
    SetChangesMade(false);
    FLoading = false;
    ResetHistory();
    Setbuttons();
}

std::unique_ptr<QFileDialog> TMainScreen::MakeOpenDialog(const QString &title)
{
    auto dialog = std::make_unique<QFileDialog>(this, title, CardFolder());
    dialog->setObjectName(QStringLiteral("OpenDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(QStringLiteral("QRV File (*.qrv)"));
    dialog->setDefaultSuffix(QStringLiteral("QRV"));
    dialog->setOption(QFileDialog::ReadOnly, false);
    return dialog;
}

void TMainScreen::Open1Click()
{
    if (!CheckSaveNeeded())
        return;
    std::unique_ptr<QFileDialog> dialog = MakeOpenDialog(QStringLiteral("Open Business Card"));
    const std::optional<QString> file = RunFileDialog(*dialog);
    if (!file)
        return;
    if (!HasCardExtension(*file))
        ShowInformation(kWrongExtension);
    else
        OpenBCFile(*file);
}

void TMainScreen::OpenBCFile(const QString &path)
{
    // The file is read and parsed once, into objects held aside: only a card
    // read completely replaces the open one; a file that cannot be opened
    // leaves that card, its name and its changes alone.
    QObject holder; // frees what was read when the read fails
    QList<TGGraphicControl *> read;
    TCardBack back;
    try {
        read = TGLabelObjectFiler().ReadCardFile(&holder, path, &back);
    } catch (const std::exception &) {
        ShowInformation(QStringLiteral("Unable to open ") + path
                        + QStringLiteral(". Possibly corrupted, possibly not a QRV file"));
        return;
    }
    FLoading = true;
    FPanel->DeleteAllObjects();
    // The handle waits just right of the card until something is selected.
    FPanel->Handle()->move(FPanel->width() + 1, FPanel->Handle()->y());
    FBackgroundArtPath.clear();
    FPanel->ClearColorPicture();
    FPanel->TakeReadObjects(read);
    // A card opens on its front; its back waits as the file holds it.
    FShownSide = TCardSide::Front;
    FHiddenObjects = back.Objects;
    FBackArtPath = back.BackgroundArt;
    FHiddenHistory = TUndoHistory();
    FHiddenHistoryBegun = false;
    ShowSideState();
    FCardFileName = path;
    FRecentFiles->Add(path);
    SaveRecentFiles();
    FBackgroundArtPath = BackgroundArtOf(path);
    // A picture that has gone is skipped; the card keeps naming it.
    if (!FBackgroundArtPath.isEmpty() && QFileInfo::exists(FBackgroundArtPath))
        FPanel->LoadColorPicture(FBackgroundArtPath);
    SetChangesMade(false);
    FLoading = false;
    ResetHistory();
    Setbuttons();
    FPanel->update();
}

void TMainScreen::SaveBCFile(const QString &path)
{
    // The side file is settled first: when it cannot be written (or an old
    // one cannot be removed), the card file stays as it was too, so a card
    // never sits beside another card's background art.
    const QString side = FindFileIgnoringCase(SideFileName(path));
    try {
        // A side file spelled in other letters is replaced by ours.
        if (FBackgroundArtPath.isEmpty() || side != SideFileName(path))
            if (QFileInfo::exists(side))
                platform::RemoveOutputFile(side);
        if (!FBackgroundArtPath.isEmpty())
            platform::WriteOutputFile(SideFileName(path), FBackgroundArtPath.toUtf8() + "\r\n");
    } catch (const platform::EOutputFileError &e) {
        throw std::runtime_error(e.what());
    }
    // The front's list comes first and whole; the back follows it in the
    // same file.
    const QByteArray front = FrontObjects();
    TGLabelObjectFiler().WriteCardFile(path, front, Back());
}

bool TMainScreen::SaveCardReportingErrors(const QString &path)
{
    try {
        SaveBCFile(path);
        return true;
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()) + QLatin1Char('.'));
        return false;
    }
}

void TMainScreen::Delete1Click()
{
    std::unique_ptr<QFileDialog> dialog = MakeOpenDialog(QStringLiteral("Delete Business Card"));
    const std::optional<QString> file = RunFileDialog(*dialog);
    if (!file)
        return;
    if (!HasCardExtension(*file)) {
        ShowInformation(kWrongExtension);
        return;
    }
    if (!AskYesNo(QStringLiteral("Delete ") + *file + QLatin1Char('?'), QStringLiteral("CONFIRM")))
        return;
    QFile::remove(*file);
    const QString side = FindFileIgnoringCase(SideFileName(*file));
    if (QFileInfo::exists(side))
        QFile::remove(side);
    // A deleted card is no longer offered for opening.
    const QString deleted = QFileInfo(*file).absoluteFilePath();
    bool listed = false;
    for (const QString &entry : QStringList(FRecentFiles->Items()))
        if (QFileInfo(entry).absoluteFilePath().compare(deleted, Qt::CaseInsensitive) == 0) {
            FRecentFiles->Remove(entry);
            listed = true;
        }
    if (listed)
        SaveRecentFiles();
}

void TMainScreen::mnuSaveClick()
{
    FPanel->RemoveObjectsOffCard();
    if (FCardFileName.isEmpty()) {
        platform::MessageBeep();
        return;
    }
    if (SaveCardReportingErrors(FCardFileName))
        CardWasSaved();
}

bool TMainScreen::mnuSaveAsClick()
{
    FPanel->RemoveObjectsOffCard();
    QFileDialog dialog(this, QStringLiteral("Save Business Card As"), CardFolder());
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("QRV File (*.QRV)"));
    dialog.setDefaultSuffix(QStringLiteral("QRV"));
    if (FCardFileName.isEmpty()) {
        const QString proposal = ProposeCardFileName();
        if (!proposal.isEmpty())
            FSaveDialogFileName = proposal;
    } else {
        FSaveDialogFileName = FileNameOnly(FCardFileName);
    }
    dialog.selectFile(FSaveDialogFileName);

    bool saved = false;
    if (std::optional<QString> chosen = RunFileDialog(dialog)) {
        // Open takes card files only: a card saved under another extension
        // could not be opened again.
        if (!HasCardExtension(*chosen))
            *chosen += QStringLiteral(".qrv");
        FSaveDialogFileName = FileNameOnly(*chosen);
        if (SaveCardReportingErrors(*chosen)) {
            FCardFileName = *chosen;
            CardWasSaved();
            FRecentFiles->Add(*chosen);
            SaveRecentFiles();
            saved = true;
        }
    }
    Setbuttons();
    return saved;
}

void TMainScreen::SavebuttonClick()
{
    if (FCardFileName.isEmpty())
        mnuSaveAsClick();
    else
        mnuSaveClick();
}

void TMainScreen::CancelbuttonClick()
{
    if (!AskYesNo(QStringLiteral("Cancel all changes?"), QStringLiteral("CANCEL")))
        return;
    ClearCard();
    if (!FCardFileName.isEmpty())
        OpenBCFile(FCardFileName);
    SetChangesMade(false);
    ResetHistory();
    FPanel->update();
}

void TMainScreen::RecentFileClick(const QString &path)
{
    if (!CheckSaveNeeded()) {
        // The user stayed with the open card: the entry goes back where it was.
        FRecentFiles->Insert(FRecentFiles->LastClickedIndex(), path);
        return;
    }
    if (QFileInfo::exists(path))
        OpenBCFile(path);
    else
        ShowInformation(path + QStringLiteral(" no longer exists"));
}

void TMainScreen::OpenRequestedFile(const QString &path)
{
    BringToFront();
    if (path.isEmpty())
        return;
    FHandedOverCard = path;
    OpenHandedOverCard();
}

// A card handed over by another start opens only when nothing has the card
// in hand: an open dialog may be editing one of its objects, which opening
// another card would free under it, and a menu or a drag may be about to act
// on them. Until then it waits, and opens once the last dialog or menu has
// closed; of several handed over meanwhile, the last one opens.
void TMainScreen::OpenHandedOverCard()
{
    if (FHandedOverCard.isEmpty())
        return;
    // Above the main loop (a dialog that is closing has not yet returned).
    const bool nested = QThread::currentThread()->loopLevel() > 1;
    if (UserActionUnderway() || nested || FLoading || FPanel->Printing()) {
        if (!FHandoverPosted) {
            FHandoverPosted = true;
            QTimer::singleShot(100, this, [this] {
                FHandoverPosted = false;
                OpenHandedOverCard();
            });
        }
        return;
    }
    const QString path = std::exchange(FHandedOverCard, QString());
    if (!CheckSaveNeeded())
        return;
    OpenNamedCardFile(path);
}

// A button held, a nudge key held down, or a menu or modal dialog open: the
// user is in the middle of something that may act on the card's objects.
bool TMainScreen::UserActionUnderway() const
{
    return QApplication::mouseButtons() != Qt::NoButton || !FHeldNudgeKeys.isEmpty()
        || QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr;
}

void TMainScreen::OpenNamedCardFile(const QString &path)
{
    if (!HasCardExtension(path))
        ShowInformation(kWrongExtension);
    else if (!QFileInfo::exists(path))
        ShowInformation(path + QStringLiteral(" does not exist"));
    else
        OpenBCFile(path);
}

// ======================================================================
// Edit, help and online commands

void TMainScreen::DefaultFontClick()
{
    const TDefaultFont current = PanelDefaultFont();
    TFont font;
    font.SetName(current.Name);
    font.SetSize(current.Size);
    Vcl::TFontStyles style;
    if (current.Bold)
        style |= Vcl::fsBold;
    if (current.Italic)
        style |= Vcl::fsItalic;
    if (current.Underline)
        style |= Vcl::fsUnderline;
    if (FPanel->font().strikeOut())
        style |= Vcl::fsStrikeOut;
    font.SetStyle(style);
    // The default font is a face, a size and styles; it keeps no colour.
    if (platform::ChooseFont(font, this, false)) {
        QFont f = FPanel->font();
        f.setFamily(font.Name());
        f.setPointSize(qMax(1, font.Size()));
        f.setBold(font.Style().testFlag(Vcl::fsBold));
        f.setItalic(font.Style().testFlag(Vcl::fsItalic));
        f.setUnderline(font.Style().testFlag(Vcl::fsUnderline));
        f.setStrikeOut(font.Style().testFlag(Vcl::fsStrikeOut));
        FPanel->setFont(f);
    }
    SetDefaultFontCaption();
    SavePreferences();
}

void TMainScreen::PersonalInformation1Click()
{
    TPersonalInformation dialog(this);
    LoadPreferences();
    dialog.SetValues(FPrefs.Personal);
    CenterForm(&dialog);
    if (ExecDialog(dialog) != 1)
        return;
    FPrefs.Personal = dialog.Values();
    SavePreferences();
    SetPanelPersonalInfo();
    ShowPersonalInfoInCard();
}

void TMainScreen::ShowPersonalInfoInCard()
{
    // Labels bound to an entry and codes that carry the vCard show the
    // values just entered; each one that changed is a change of the card.
    for (TGGraphicControl *object : FPanel->Objects()) {
        bool changed = false;
        if (auto *label = qobject_cast<TGBusinessCardLabel *>(object))
            changed = label->FollowPersonalInfo(FPanel->PersonalInfo);
        else if (auto *code = qobject_cast<TGQRCode *>(object))
            changed = code->FollowPersonalInfo(FPanel->PersonalInfo);
        if (changed) {
            object->NotifyChanged();
            object->Invalidate();
        }
    }
}

void TMainScreen::mnuSetorChangeBackgroundArtClick()
{
    TLoadBackGround dialog(this);
    dialog.SetDirectory(BackgroundArtFolder());
    CenterForm(&dialog);
    dialog.Preselect(ShownArtPath(), BackgroundArtFolder());
    const int result = ExecDialog(dialog);
    if (result == 1) {
        // Art that cannot be loaded keeps the previous art and its path.
        const QString chosen = dialog.SelectedFile();
        if (FPanel->LoadColorPicture(chosen)) {
            ShownArtPath() = chosen;
            SetChangesMade(true);
        }
        FPanel->update();
        SettleStep();
    } else if (result == TLoadBackGround::kNoneResult) {
        ShownArtPath().clear();
        FPanel->ClearColorPicture();
        FPanel->update();
        SetChangesMade(true);
        SettleStep();
    }
}

void TMainScreen::AboutClick()
{
    TSplashform about(this);
    CenterForm(&about);
    ExecDialog(about);
}

void TMainScreen::VisitWebsiteClick() { OpenWebPage(QUrl(QString::fromLatin1(kHomePage))); }

// ======================================================================
// Printing commands: carried out by the printing module.

void TMainScreen::mnuPrintClick()
{
    if (FPrintingAvailable && g_printing.Print)
        g_printing.Print(*this);
}

void TMainScreen::mnuPreviewClick()
{
    if (FPrintingAvailable && g_printing.Preview)
        g_printing.Preview(*this);
}

void TMainScreen::PrinterSetupClick()
{
    if (FPrintingAvailable && g_printing.PrinterSetup)
        g_printing.PrinterSetup(*this);
}

void TMainScreen::FineTuningClick()
{
    if (!FPrintingAvailable || !g_printing.FineTuning)
        return;
    PrinterNudges nudges = FPrefs.Nudges;
    if (g_printing.FineTuning(*this, nudges)) {
        FPrefs.Nudges = nudges;
        SavePreferences();
    }
}

void TMainScreen::BackFineTuningClick()
{
    if (!FPrintingAvailable || !g_printing.BackFineTuning)
        return;
    PrinterNudges nudges = FPrefs.BackNudges;
    if (g_printing.BackFineTuning(*this, nudges)) {
        FPrefs.BackNudges = nudges;
        SavePreferences();
    }
}

void TMainScreen::mnuPrintOutlineTestPageClick()
{
    if (FPrintingAvailable && g_printing.OutlineTestPage)
        g_printing.OutlineTestPage(*this);
}

void TMainScreen::mnuPrintCalibrationPageClick()
{
    if (FPrintingAvailable && g_printing.CalibrationPage)
        g_printing.CalibrationPage(*this);
}

void TMainScreen::ChangeCardLayout1Click()
{
    if (!g_printing.EditLayout)
        return;
    LoadPreferences();
    CardSheetLayout layout = FPrefs.Layout;
    if (!g_printing.EditLayout(*this, layout))
        return;
    FPrefs.Layout = layout;
    SavePreferences();
    SetCardSizeFromInches();
}

// ======================================================================
// Undo and redo

void TMainScreen::ApplyZoomSize(float factor)
{
    FPanel->SetZoom(factor);
    // Sized from the card itself, not from the last zoom's rounded size, so
    // that no number of steps makes the card drift.
    const QSize card = CardSizeAtZoomOne();
    FPanel->resize(platform::Round(card.width() * double(factor)), platform::Round(card.height() * double(factor)));
}

// ======================================================================
// The two sides

QString &TMainScreen::ShownArtPath()
{
    return FShownSide == TCardSide::Front ? FBackgroundArtPath : FBackArtPath;
}

void TMainScreen::ShowArtOfShownSide()
{
    // A picture that has gone is skipped; the side keeps naming it.
    const QString &art = ShownArtPath();
    if (art.isEmpty() || !QFileInfo::exists(art) || !FPanel->LoadColorPicture(art))
        FPanel->ClearColorPicture();
    FPanel->update();
}

void TMainScreen::ShowSideState()
{
    (FShownSide == TCardSide::Front ? FFrontAction : FBackAction)->setChecked(true);
    ShowArtOfShownSide();
}

QByteArray TMainScreen::FrontObjects()
{
    return FShownSide == TCardSide::Front ? FPanel->SaveToBytes() : FHiddenObjects;
}

TCardBack TMainScreen::Back()
{
    TCardBack back;
    back.Objects = FShownSide == TCardSide::Back ? FPanel->SaveToBytes() : FHiddenObjects;
    back.BackgroundArt = FBackArtPath;
    return back;
}

std::unique_ptr<TGBusinessCardPanel32> TMainScreen::HiddenSidePanel() const
{
    auto panel = std::make_unique<TGBusinessCardPanel32>();
    panel->SetShape(FPanel->Shape());
    panel->resize(CardSizeAtZoomOne());
    panel->LoadFromBytes(FHiddenObjects);
    return panel;
}

void TMainScreen::ShowSide(TCardSide side)
{
    if (side == FShownSide) {
        ShowSideState();
        return;
    }
    // What was done on this side is a step of its own history first.
    SettleStep();
    const bool wasLoading = FLoading;
    FLoading = true;
    QByteArray shown;
    try {
        shown = FPanel->SaveToBytes();
        QObject holder;
        const QList<TGGraphicControl *> read =
            FHiddenObjects.isEmpty() ? QList<TGGraphicControl *>()
                                     : TComponentReader(FHiddenObjects).ReadObjectList(&holder, nullptr);
        FPanel->DeleteAllObjects();
        FPanel->TakeReadObjects(read);
    } catch (const std::exception &e) {
        // The side was read when the card was opened: only running out of
        // memory gets here, and the side shown stays as it was.
        FLoading = wasLoading;
        ShowSideState();
        ShowError(QString::fromUtf8(e.what()) + QLatin1Char('.'));
        return;
    }
    FPanel->Handle()->move(FPanel->width() + 1, FPanel->Handle()->y());
    FHiddenObjects = shown;
    FShownSide = side;
    std::swap(FHistory, FHiddenHistory);
    const bool shownHistoryBegun = FHiddenHistoryBegun;
    FHiddenHistoryBegun = true;
    ShowSideState();
    FLoading = wasLoading;
    if (shownHistoryBegun) {
        // The objects were read in the order of the history's current state:
        // its records are theirs.
        SeedRecords(FHistory.Current());
        FPendingStepName.clear();
        FMenuStepName.clear();
        UpdateEditActions();
    } else {
        // First shown since the card was opened: the side is as saved.
        FRecorded.clear();
        ResetHistory();
    }
}

TCardState TMainScreen::TakeCardState()
{
    TCardState state;
    // An object that reported no change since its record was taken keeps that
    // record, bytes shared; only the others are written again. The card file
    // holds the bounds at zoom 1.0: such an object shows itself at 1.0 for its
    // record and goes back to the zoom shown, which changes nothing of it (the
    // zoomed bounds derive from those at 1.0).
    const float zoom = FPanel->ZoomFactor();
    const bool wasLoading = FLoading;
    FLoading = true;
    QHash<const TGGraphicControl *, TRecordedObject> recorded;
    recorded.reserve(FPanel->ObjectCount());
    for (TGGraphicControl *o : FPanel->Objects()) {
        TRecordedObject kept = FRecorded.value(o);
        if (kept.Record.isNull() || kept.Stamp != o->ChangeStamp()) {
            if (zoom != 1.0f)
                o->SetZoom(1.0f);
            const QByteArray record = TComponentWriter::ObjectListToBytes({o});
            if (zoom != 1.0f)
                o->SetZoom(zoom);
            // A change undone by hand gives the bytes kept before: share them.
            if (!SameRecord(record, kept.Record))
                kept.Record = record;
            kept.Stamp = o->ChangeStamp();
        }
        state.Records.append(kept.Record);
        recorded.insert(o, kept);
    }
    FRecorded = std::move(recorded);
    FLoading = wasLoading;
    state.BackgroundArt = ShownArtPath();
    for (TGGraphicControl *o : FPanel->Handle()->Selection())
        state.Selection.append(FPanel->Objects().indexOf(o));
    for (const TGGraphicControl *o : FPanel->Objects())
        state.ObjectNames.append(o->objectName());
    return state;
}

void TMainScreen::SeedRecords(const TCardState &state)
{
    // The objects now are those of the state: their records are the state's.
    FRecorded.clear();
    const QList<TGGraphicControl *> &objects = FPanel->Objects();
    for (qsizetype i = 0; i < objects.size() && i < state.Records.size(); ++i)
        FRecorded.insert(objects[i], {objects[i]->ChangeStamp(), state.Records[i]});
}

void TMainScreen::RebuildObjects(const TCardState &from, const TCardState &to)
{
    // Objects whose record the two states share stay; the others are freed or
    // read anew, and the z-order is set to the target's. Records are matched
    // by their shared bytes, never read for it.
    const QList<TGGraphicControl *> objects = FPanel->Objects();
    QHash<const char *, QList<TGGraphicControl *>> unchanged;
    for (int i = 0; i < objects.size() && i < from.Records.size(); ++i)
        unchanged[from.Records[i].constData()].append(objects[i]);
    QList<TGGraphicControl *> order;
    for (int j = 0; j < to.Records.size(); ++j) {
        QList<TGGraphicControl *> &same = unchanged[to.Records[j].constData()];
        if (!same.isEmpty()) {
            order.append(same.takeFirst());
            continue;
        }
        const QList<TGGraphicControl *> read = TComponentReader(to.Records[j]).ReadObjectList(FPanel, FPanel);
        for (TGGraphicControl *o : read) {
            // Read with the bounds at zoom 1.0, shown at the panel's zoom.
            FPanel->AdoptObject(o);
            o->SetZoomFactorOnly(1.0f);
            if (FPanel->ZoomFactor() != 1.0f)
                o->SetZoom(FPanel->ZoomFactor());
            if (j < to.ObjectNames.size())
                o->setObjectName(to.ObjectNames[j]);
            order.append(o);
        }
    }
    for (const QList<TGGraphicControl *> &left : std::as_const(unchanged))
        for (TGGraphicControl *o : left)
            FPanel->FreeObject(o);
    if (FPanel->Objects() != order)
        for (TGGraphicControl *o : order)
            FPanel->BringObjectToFront(o);
}

void TMainScreen::RestoreCardState(const TCardState &from, const TCardState &state)
{
    FRestoring = true;
    const bool wasLoading = FLoading;
    FLoading = true;
    FPanel->Handle()->ClearSelection();
    bool rebuilt = false;
    try {
        RebuildObjects(from, state);
        rebuilt = true;
    } catch (const std::exception &e) {
        // The history's own bytes: only running out of memory gets here.
        ShowError(QString::fromUtf8(e.what()) + QLatin1Char('.'));
    }
    if (state.BackgroundArt != ShownArtPath()) {
        ShownArtPath() = state.BackgroundArt;
        ShowArtOfShownSide();
    }
    const QList<TGGraphicControl *> &objects = FPanel->Objects();
    for (int index : state.Selection)
        if (index >= 0 && index < objects.size())
            FPanel->Handle()->Select(objects[index]);
    // The objects are the state's: its records are theirs. After a failed
    // rebuild every object is written afresh for the next step.
    if (rebuilt)
        SeedRecords(state);
    else
        FRecorded.clear();
    FLoading = wasLoading;
    FRestoring = false;
    SetChangesMade(!FHistory.AtSavedState() || !FHiddenHistory.AtSavedState());
    FPanel->update();
    UpdateEditActions();
}

void TMainScreen::ResetHistory()
{
    FHistory.Reset(TakeCardState());
    FPendingStepName.clear();
    FMenuStepName.clear();
    UpdateEditActions();
}

void TMainScreen::CardWasSaved()
{
    // What was written is the current state of the history.
    SettleStep();
    FHistory.MarkSaved();
    FHiddenHistory.MarkSaved();
    SetChangesMade(false);
}

void TMainScreen::SettleStep()
{
    if (FSettling || FRestoring || FLoading)
        return;
    FSettling = true;
    const TCardState now = TakeCardState();
    QString name;
    if (!now.SameCard(FHistory.Current())) {
        // The text of a label says more than the command that opened its
        // editor; otherwise the command names the step when there was one.
        const QString derived = DescribeStep(FHistory.Current(), now);
        name = derived == QLatin1String("Text") || FPendingStepName.isEmpty() ? derived : FPendingStepName;
        // A context-menu command names a step that the change itself does not.
        if (name == QLatin1String("Change") && !FMenuStepName.isEmpty())
            name = FMenuStepName;
    }
    FHistory.Record(now, name);
    FPendingStepName.clear();
    FMenuStepName.clear();
    FSettling = false;
    UpdateEditActions();
}

void TMainScreen::ScheduleSettle()
{
    // A change is a step once the action that made it is over: settled when
    // the events of the moment are done, or once the open menu or dialog has
    // closed, or when the last nudge key is let go.
    if (FSettlePosted)
        return;
    FSettlePosted = true;
    QTimer::singleShot(0, this, [this] {
        FSettlePosted = false;
        if (!FHeldNudgeKeys.isEmpty())
            return; // the key's release settles
        if (QWidget *open = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                              : QApplication::activePopupWidget()) {
            SettleWhenClosed(open);
            return;
        }
        SettleStep();
    });
}

void TMainScreen::SettleWhenClosed(QWidget *menuOrDialog)
{
    if (FAwaitedClose == menuOrDialog)
        return;
    if (FAwaitedClose)
        FAwaitedClose->removeEventFilter(this);
    FAwaitedClose = menuOrDialog;
    const auto closed = [this] {
        FAwaitedClose = nullptr;
        ScheduleSettle();
    };
    if (auto *menu = qobject_cast<QMenu *>(menuOrDialog))
        connect(menu, &QMenu::aboutToHide, this, closed, Qt::SingleShotConnection);
    else if (auto *dialog = qobject_cast<QDialog *>(menuOrDialog))
        connect(dialog, &QDialog::finished, this, closed, Qt::SingleShotConnection);
    else
        menuOrDialog->installEventFilter(this); // its Hide, in eventFilter
}

void TMainScreen::NoteMenuCommand(const QString &caption)
{
    // A command chosen from a context menu may name its step; one that
    // changed nothing leaves no name behind for the next.
    FMenuStepName = caption;
    FMenuStepName.remove(QLatin1Char('&'));
    FMenuStepName.remove(QLatin1String("..."));
    ScheduleSettle();
}

void TMainScreen::EditCommand(const QString &stepName, const std::function<void()> &command)
{
    SettleStep();
    FPendingStepName = stepName;
    command();
    SettleStep();
}

void TMainScreen::UndoClick()
{
    SettleStep();
    if (!FHistory.CanUndo())
        return;
    const TCardState from = FHistory.Current();
    RestoreCardState(from, FHistory.Undo());
}

void TMainScreen::RedoClick()
{
    SettleStep();
    if (!FHistory.CanRedo())
        return;
    const TCardState from = FHistory.Current();
    RestoreCardState(from, FHistory.Redo());
}

void TMainScreen::UpdateEditActions()
{
    if (!FUndoAction)
        return;
    FUndoAction->setEnabled(FHistory.CanUndo());
    FUndoAction->setText(FHistory.CanUndo() ? QStringLiteral("Undo ") + FHistory.UndoName() : QStringLiteral("Undo"));
    FRedoAction->setEnabled(FHistory.CanRedo());
    FRedoAction->setText(FHistory.CanRedo() ? QStringLiteral("Redo ") + FHistory.RedoName() : QStringLiteral("Redo"));
    const bool selected = FPanel->Handle()->Count() > 0;
    for (QAction *a : std::as_const(FSelectionActions))
        a->setEnabled(selected);
    FPasteAction->setEnabled(QFile::exists(FPanel->ClipboardFileName()));
    FSelectAllAction->setEnabled(FPanel->ObjectCount() > 0);
}
