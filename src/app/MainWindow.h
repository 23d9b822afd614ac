// The main window: the card panel in a scroll box, the drawing tools, zoom,
// the file commands with the recent-files list, personal information,
// background art, the default font, help, and the settings that go with them.
// Holds TPrintingCommands, TMainScreen.
#pragma once

#include "app/Preferences.h"
#include "app/UndoHistory.h"
#include "printing/CardSheetLayout.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardBack.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QButtonGroup;
class QFileDialog;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;
class TMRUFileList;
class TSpinButton;
class TMainScreen;

// The two sides of a card; the panel shows one of them at a time.
enum class TCardSide { Front, Back };

// The printing commands, carried out by the printing module; tests replace
// them. A command left empty stays disabled. The main window hands over only
// what a command needs and keeps the settings itself.
struct TPrintingCommands {
    std::function<void(TMainScreen &)> Print;           // "&Print" and the Print button
    std::function<void(TMainScreen &)> Preview;         // "Pre&view" and the Preview button
    std::function<void(TMainScreen &)> PrintForPeople;  // "Print for Several Peop&le..."
    std::function<void(TMainScreen &)> PrinterSetup;    // "Printer S&etup"
    std::function<void(TMainScreen &)> OutlineTestPage; // "Print O&utline Test Page"
    std::function<void(TMainScreen &)> CalibrationPage; // "Print &Calibration Page"
    std::function<void(TMainScreen &)> TwoSidedCalibration; // "Print Calibration Page for &Both Sides"
    // "Printer Fine &Tuning": edits the nudges; true on OK.
    std::function<bool(TMainScreen &, PrinterNudges &)> FineTuning;
    // "Printer Fine Tuning for Bac&ks": the nudges of the backs of two-sided sheets.
    std::function<bool(TMainScreen &, PrinterNudges &)> BackFineTuning;
    // "Change Business Card Layout": edits the layout; true on OK.
    std::function<bool(TMainScreen &, CardSheetLayout &)> EditLayout;
};
// The commands of the printing module, as the program uses them.
TPrintingCommands DefaultPrintingCommands();
void SetPrintingCommands(TPrintingCommands commands);
const TPrintingCommands &PrintingCommands();

class TMainScreen : public QMainWindow
{
    Q_OBJECT

public:
    // The web page "Visit Our Internet Website" opens.
    static const char *const kHomePage;

    explicit TMainScreen(QWidget *parent = nullptr);
    ~TMainScreen() override;

    // ---- state ----
    QString CardFileName() const { return FCardFileName; }
    // The front's background art (the side file names it).
    QString BackgroundArtPath() const { return FBackgroundArtPath; }
    // The back's own background art; empty for none.
    QString BackArtPath() const { return FBackArtPath; }
    bool ChangesMade() const { return FChangesMade; }
    bool Loading() const { return FLoading; }
    bool PrintingAvailable() const { return FPrintingAvailable; }
    bool StartupPending() const { return FStartupPending; }
    TGBusinessCardPanel32 *BusinessCardPanel() const { return FPanel; }
    QScrollArea *ScrollBox() const { return FScrollBox; }
    TMRUFileList *RecentFiles() const { return FRecentFiles; }
    QToolButton *ToolButton(TLPanelState state) const;
    QString ZoomCaptionText() const;
    QString DefaultFontCaption() const;

    // Settings the printing commands read and change.
    TPreferences &Preferences() { return FPrefs; }
    CardSheetLayout &Layout() { return FPrefs.Layout; }
    PrinterNudges &Nudges() { return FPrefs.Nudges; }
    SelectedCells &Cells() { return FSelectedCells; }
    bool PrintToPrinter = false;
    bool OutlineTestPage = false;
    // How Print turned the sheet over last ("Both sides"): a sheetprint::TDuplex.
    int PrintDuplex = 0;

    // ---- operations ----
    void FormActivate();
    void SetChangesMade(bool value);
    void Setbuttons();
    void SetDefaultFontCaption();
    void SetCardSizeFromInches();
    void SetPanelPersonalInfo();
    // After Edit > Personal Information: the card's bound labels and
    // personal QR codes take the new values.
    void ShowPersonalInfoInCard();
    void SelectAllLabels();
    void CardChanged(QObject *sender);
    void LoadPreferences();
    void SavePreferences();
    void ZoomIn();
    void ZoomOut();
    // Back to 100 %.
    void ZoomToActualSize();
    // View > Fit to Window: the card as large as the window allows, kept so
    // while the window is resized, until the zoom is stepped.
    void FitToWindowClick();
    bool FittingToWindow() const { return FFitToWindow; }

    // ---- the two sides ----
    // View > Front / Back and the switch beside the card: the panel shows
    // that side; editing, undo, the clipboard and background art work on it.
    // Each side keeps its own undo history.
    TCardSide ShownSide() const { return FShownSide; }
    void ShowSide(TCardSide side);
    // The front's list of objects and the back, as the card file holds them,
    // whichever side is shown.
    QByteArray FrontObjects();
    TCardBack Back();
    // Whether the card has a back (objects or art of its own).
    bool HasBack() { return !Back().IsEmpty(); }
    // A panel of the card's size holding the side not shown, for printing.
    std::unique_ptr<TGBusinessCardPanel32> HiddenSidePanel() const;

    // ---- undo and redo ----
    // Every change of the card ends as one step once the user's action is
    // over (the mouse released, the nudge key let go, the command done).
    const TUndoHistory &History() const { return FHistory; }
    void UndoClick();
    void RedoClick();
    // Records the change made since the last step, if any, as a step now.
    void SettleStep();
    // A card named on the command line opens at start-up instead of the most
    // recent one.
    void SetStartupCardFile(const QString &path) { FStartupCardFile = path; }
    // Another start of the program named a card file: open it after the save
    // prompt, once no dialog or menu is open.
    void OpenRequestedFile(const QString &path);
    // The card handed over and still waiting; empty when none waits.
    QString HandedOverCard() const { return FHandedOverCard; }
    void BringToFront();

    // ---- file commands ----
    // The save prompt: Yes saves, No drops the changes, Cancel keeps them.
    // False when the command that asked has to stop.
    bool CheckSaveNeeded();
    void OpenBCFile(const QString &path);
    // Writes the card file and its side file; errors propagate.
    void SaveBCFile(const QString &path);
    void New1Click();
    void Open1Click();
    void Delete1Click();
    void mnuSaveClick();
    // True when the card was saved.
    bool mnuSaveAsClick();
    void SavebuttonClick();
    void CancelbuttonClick();
    void RecentFileClick(const QString &path);

    // ---- other commands ----
    void DefaultFontClick();
    void PersonalInformation1Click();
    void mnuSetorChangeBackgroundArtClick();
    void AboutClick();
    void VisitWebsiteClick();
    void mnuPrintClick();
    void mnuPreviewClick();
    void PrinterSetupClick();
    void FineTuningClick();
    void BackFineTuningClick();
    void mnuPrintOutlineTestPageClick();
    void mnuPrintCalibrationPageClick();
    void ChangeCardLayout1Click();

    // The side file beside a card file: the card file's extension replaced by ".QRE".
    static QString SideFileName(const QString &cardFile);
    // The background art a card's side file names on its first line; empty
    // when the card has no readable side file.
    static QString BackgroundArtOf(const QString &cardFile);
    // The first free name BC0001.QRV, BC0002.QRV ... in the card folder; empty when all are taken.
    static QString ProposeCardFileName();
    // The open dialog as Open and Delete show it.
    std::unique_ptr<QFileDialog> MakeOpenDialog(const QString &title);

protected:
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void FormCreate();
    void BuildMenu();
    void BuildToolBar();
    void BuildBottomBar();
    QWidget *BuildSideSwitch();
    void ShowSideState();
    QString &ShownArtPath();
    void ShowArtOfShownSide();
    void CreateProgramFolders();
    void BusinessCardPanelDroppedObjectEvent();
    void UpdateToolAvailability();
    void StepZoom(int tenths);
    void AddZoomShortcuts();
    void ApplyZoom(float factor);
    float FitFactor() const;
    QSize CardSizeAtZoomOne() const;
    void ApplyZoomSize(float factor);
    TCardState TakeCardState();
    void RebuildObjects(const TCardState &from, const TCardState &to);
    void RestoreCardState(const TCardState &from, const TCardState &state);
    void ResetHistory();
    void ScheduleSettle();
    bool UserActionUnderway() const;
    void OpenHandedOverCard();
    void SettleWhenClosed(QWidget *menuOrDialog);
    void NoteMenuCommand(const QString &caption);
    void SeedRecords(const TCardState &state);
    void UpdateEditActions();
    void CardWasSaved();
    void EditCommand(const QString &stepName, const std::function<void()> &command);
    void SaveRecentFiles();
    bool SaveCardReportingErrors(const QString &path);
    void ClearCard();
    // Opens a card file named from outside the program, refusing a name
    // without the card extension or a file that is not there.
    void OpenNamedCardFile(const QString &path);
    bool HandleFormKeyDown(QKeyEvent *e);
    bool HandleFormKeyUp(QKeyEvent *e);
    void ApplyDefaultFont(const TDefaultFont &font);
    TDefaultFont PanelDefaultFont() const;

    // fields
    QString FCardFileName;
    QString FBackgroundArtPath;
    QString FBackArtPath;
    TCardSide FShownSide = TCardSide::Front;
    // The side not shown: its objects as the card file holds them, and its
    // undo history, begun the first time the side is shown.
    QByteArray FHiddenObjects;
    TUndoHistory FHiddenHistory;
    bool FHiddenHistoryBegun = false;
    QAction *FFrontAction = nullptr;
    QAction *FBackAction = nullptr;
    bool FChangesMade = false;
    bool FLoading = true;
    bool FPrintingAvailable = false;
    bool FStartupPending = true;
    QString FStartupCardFile;
    QString FSaveDialogFileName = QStringLiteral("BC1.QRV");
    TPreferences FPrefs;
    SelectedCells FSelectedCells;
    int FLastRecentIndex = 0;

    // controls
    TGBusinessCardPanel32 *FPanel = nullptr;
    QScrollArea *FScrollBox = nullptr;
    TMRUFileList *FRecentFiles = nullptr;
    QButtonGroup *FToolGroup = nullptr;
    QToolButton *FPointerButton = nullptr;
    QToolButton *FShowGridButton = nullptr;
    QToolButton *FSnapToGridButton = nullptr;
    TSpinButton *FZoomSpinner = nullptr;
    QLabel *FZoomCaption = nullptr;
    QPushButton *FSaveButton = nullptr;
    QPushButton *FCancelButton = nullptr;
    QPushButton *FPrintButton = nullptr;
    QPushButton *FPreviewButton = nullptr;
    QMenu *FFileMenu = nullptr;
    QMenu *FOnlineMenu = nullptr;
    QAction *FSaveAction = nullptr;
    QAction *FDefaultFontAction = nullptr;
    QList<QAction *> FPrintingActions;
    QAction *FFineTuningAction = nullptr;
    QAction *FBackFineTuningAction = nullptr;
    QAction *FChangeLayoutAction = nullptr;
    QAction *FSaveKeyAction = nullptr;

    // undo, redo and the clipboard entries
    TUndoHistory FHistory;
    QString FPendingStepName;
    // The caption of the context-menu command chosen last, for a step whose
    // change has no name of its own ("Bring To Front").
    QString FMenuStepName;
    QSet<int> FHeldNudgeKeys;
    // Keypad + and - pressed without Ctrl: they zoom when let go. With Ctrl
    // the shortcut zooms at once and their release must not zoom again,
    // even when Ctrl is let go first.
    QSet<int> FHeldZoomKeys;
    // Each object's record as the last step took it, and the object's change
    // stamp then: an object that reported no change since keeps its record.
    struct TRecordedObject {
        quint64 Stamp = 0;
        QByteArray Record;
    };
    QHash<const TGGraphicControl *, TRecordedObject> FRecorded;
    // The open menu or dialog whose closing settles the pending step.
    QPointer<QWidget> FAwaitedClose;
    bool FSettlePosted = false;
    bool FSettling = false;
    bool FRestoring = false;
    QAction *FUndoAction = nullptr;
    QAction *FRedoAction = nullptr;
    QList<QAction *> FSelectionActions; // Cut, Copy, Delete
    QAction *FPasteAction = nullptr;
    QAction *FSelectAllAction = nullptr;
    QAction *FFitAction = nullptr;
    bool FFitToWindow = false;
    bool FFitting = false;
    // A card handed over by another start, waiting for dialogs and menus to close.
    QString FHandedOverCard;
    bool FHandoverPosted = false;
};
