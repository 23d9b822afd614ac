// Holds TExportCardOptions.
#include "app/ExportCardDialog.h"

#include "app/AppHelpers.h"
#include "app/CardExport.h"
#include "app/MainWindow.h"
#include "platform/Dialogs.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QToolButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>

namespace {

const QString kPngFilter = QStringLiteral("PNG picture (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

// What the user chose last time, for the next export in this session.
struct TLastExport {
    QString Folder;
    QString Filter = kPngFilter;
    int Dpi = kDefaultExportDpi;
    bool Transparent = false;
} g_last;

QString SuffixOfFilter(const QString &filter)
{
    if (filter == kSvgFilter)
        return QStringLiteral("svg");
    if (filter == kPdfFilter)
        return QStringLiteral("pdf");
    return QStringLiteral("png");
}

} // namespace

TExportCardOptions::TExportCardOptions(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TExportCardOptions"));
    setWindowTitle(tr("Export Card"));
    DpiSpin = new QSpinBox(this);
    DpiSpin->setObjectName(QStringLiteral("DpiSpin"));
    DpiSpin->setRange(kMinExportDpi, kMaxExportDpi);
    DpiSpin->setSingleStep(50);
    DpiSpin->setSuffix(tr(" dpi"));
    DpiSpin->setValue(g_last.Dpi);
    TransparentCheck = new QCheckBox(tr("Transparent background"), this);
    TransparentCheck->setObjectName(QStringLiteral("TransparentCheck"));
    TransparentCheck->setChecked(g_last.Transparent);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancelbutton"));
    auto *form = new QFormLayout(this);
    form->addRow(tr("Resolution:"), DpiSpin);
    form->addRow(QString(), TransparentCheck);
    form->addRow(MakeMouseHelpButton(this), buttons);
    AttachFormHelp(this);
}

void ExportCardCommand(TMainScreen &main)
{
    QFileDialog dialog(&main, QStringLiteral("Export Card"));
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kPngFilter, kSvgFilter, kPdfFilter});
    dialog.selectNameFilter(g_last.Filter);
    dialog.setDefaultSuffix(SuffixOfFilter(g_last.Filter));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) { dialog.setDefaultSuffix(SuffixOfFilter(filter)); });
    const QString card = main.CardFileName();
    dialog.setDirectory(!g_last.Folder.isEmpty()       ? g_last.Folder
                        : !card.isEmpty()              ? QFileInfo(card).absolutePath()
                                                       : CardFolder());
    const QString baseName = card.isEmpty() ? QStringLiteral("Card") : QFileInfo(card).completeBaseName();
    dialog.selectFile(baseName + QLatin1Char('.') + SuffixOfFilter(g_last.Filter));
    const std::optional<QString> chosen = RunFileDialog(dialog);
    if (!chosen)
        return;

    TCardExport what;
    what.Panel = main.BusinessCardPanel();
    what.CardSize = QSizeF(main.Layout().Width, main.Layout().Height);
    what.BackgroundPath = main.BackgroundArtPath();
    what.Dpi = g_last.Dpi;
    what.TransparentBackground = g_last.Transparent;
    QString fileName = *chosen;
    if (!ExportFormatOf(fileName))
        fileName += QLatin1Char('.') + SuffixOfFilter(dialog.selectedNameFilter());
    if (ExportFormatOf(fileName) == efPng) {
        TExportCardOptions options(&main);
        if (ExecDialog(options) != QDialog::Accepted)
            return;
        what.Dpi = options.DpiSpin->value();
        what.TransparentBackground = options.TransparentCheck->isChecked();
        g_last.Dpi = what.Dpi;
        g_last.Transparent = what.TransparentBackground;
    }
    g_last.Folder = QFileInfo(fileName).absolutePath();
    g_last.Filter = dialog.selectedNameFilter();
    try {
        ExportCard(what, fileName);
    } catch (const ECardExportError &e) {
        platform::ShowMessageBox({e.Message(), QStringLiteral("Export Card"), platform::miError, platform::mbOK},
                                 &main);
    }
}
