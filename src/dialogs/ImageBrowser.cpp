// Holds TImageBrowserBase, TGImageBrowser, TGBrushImageBrowser and TSuperTextBrushImageBrowser.
#include "dialogs/ImageBrowser.h"

#include "dialogs/ImagePreviewBox.h"
#include "objects/ObjectEditors.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/InputFiles.h"
#include "platform/OutputFiles.h"
#include "platform/ProgramFolder.h"
#include "widgets/FormHelpTexts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
TGBrushImageBrowser::TRunner g_textureBrowserRunner;

QStringList Masks(std::initializer_list<const char *> extensions)
{
    QStringList masks;
    for (const char *e : extensions)
        masks << QStringLiteral("*.") + QLatin1String(e);
    return masks;
}

// Where the image browser keeps the folder of the last image chosen.
const QString kImageBrowserSection = QStringLiteral("GImageBrowser");
const QString kLastFolderKey = QStringLiteral("LastFolder");
QString SettingsFile() { return platform::ProgramFolder() + QStringLiteral("qrv.ini"); }

void ShowLoadError(QWidget *parent)
{
    platform::ShowMessageBox({QStringLiteral("Error loading file!"), QStringLiteral("Error"), platform::miError,
                              platform::mbOK},
                             parent);
}
} // namespace

// ======================================================================

TImageBrowserBase::TImageBrowserBase(QWidget *parent, const QString &caption, int helpContext,
                                     const QStringList &masks)
    : TPropertyDialog(parent, caption, helpContext), FMasks(masks)
{
    DirectoryLabel = new QLabel(this);
    DirectoryListBox1 = new QListWidget(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setMinimumSize(160, 120);
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setMinimumSize(160, 140);
    FileNameEdit = new QLineEdit(this);
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    SmartImage1 = new TSmartImage(this);
    SmartImage1->setObjectName(QStringLiteral("SmartImage1"));
    SmartImage1->hide();
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, &TImageBrowserBase::FileListBox1Change);
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, &TImageBrowserBase::DirectoryActivated);
    // Enter in the box is the box's own: it must not reach the default "Ok"
    // when it only opened a folder.
    FileNameEdit->installEventFilter(this);
    setFocusProxy(FileListBox1);
}

QLayout *TImageBrowserBase::FileLists()
{
    auto *lists = new QVBoxLayout;
    lists->addWidget(DirectoryLabel);
    lists->addWidget(DirectoryListBox1);
    lists->addWidget(FileListBox1);
    auto *name = new QHBoxLayout;
    auto *caption = new QLabel(tr("File &name:"), this);
    caption->setBuddy(FileNameEdit);
    name->addWidget(caption);
    name->addWidget(FileNameEdit);
    lists->addLayout(name);
    return lists;
}

void TImageBrowserBase::showEvent(QShowEvent *event)
{
    TPropertyDialog::showEvent(event);
    // The file list has the focus when the browser opens: Space or the
    // arrow keys choose a file, and only Enter takes the default "Ok".
    FileListBox1->setFocus(Qt::OtherFocusReason);
}

bool TImageBrowserBase::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FileNameEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FileNameEntered();
            return true;
        }
    }
    return TPropertyDialog::eventFilter(watched, event);
}

void TImageBrowserBase::FileNameEntered()
{
    const QString typed = FileNameEdit->text().trimmed();
    if (typed.isEmpty())
        return;
    const QString path = QDir(FDirectory).absoluteFilePath(typed);
    const QFileInfo info(path);
    if (info.isDir()) {
        SetDirectory(path);
        FileNameEdit->clear();
        FileListBox1->setFocus();
    } else if (info.isFile() && SelectFile(path)) {
        accept();
    } else {
        platform::MessageBeep();
    }
}

void TImageBrowserBase::SetDirectory(const QString &folder)
{
    FDirectory = QDir(folder).absolutePath();
    DirectoryLabel->setText(QDir::toNativeSeparators(FDirectory));
    QDir dir(FDirectory);
    DirectoryListBox1->clear();
    if (!dir.isRoot())
        DirectoryListBox1->addItem(QStringLiteral(".."));
    DirectoryListBox1->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    FileListBox1->blockSignals(true);
    FileListBox1->clear();
    // Masks are matched without regard to case: "*.BMP" finds "logo.bmp" too.
    FileListBox1->addItems(dir.entryList(FMasks, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase));
    FileListBox1->setCurrentRow(-1);
    FileListBox1->blockSignals(false);
    FileNameEdit->clear();
}

bool TImageBrowserBase::SelectFile(const QString &path)
{
    const QFileInfo file(path);
    SetDirectory(file.absolutePath());
    for (int i = 0; i < FileListBox1->count(); ++i)
        if (FileListBox1->item(i)->text().compare(file.fileName(), Qt::CaseInsensitive) == 0) {
            FileListBox1->setCurrentRow(i);
            return true;
        }
    return false;
}

QString TImageBrowserBase::SelectedFile() const
{
    const QList<QListWidgetItem *> selected = FileListBox1->selectedItems();
    return selected.isEmpty() ? QString() : QDir(FDirectory).filePath(selected.first()->text());
}

void TImageBrowserBase::DirectoryActivated()
{
    if (QListWidgetItem *item = DirectoryListBox1->currentItem())
        SetDirectory(QDir(FDirectory).filePath(item->text()));
}

void TImageBrowserBase::FileListBox1Change()
{
    const QString path = SelectedFile();
    if (path.isEmpty())
        return;
    FileNameEdit->setText(QFileInfo(path).fileName());
    const QString extension = QStringLiteral(".") + platform::LastExtension(path);
    try {
        LoadPreview(path, extension);
    } catch (const std::exception &) {
        if (ReportsErrorsOf(extension))
            ShowLoadError(this);
        ClearPreview();
    }
}

// ======================================================================

TGImageBrowser::TGImageBrowser(QWidget *parent)
    : TImageBrowserBase(parent, QStringLiteral("Load Image File "), 40003,
                        Masks({"bmp", "dib", "jpg", "jif", "jpeg", "gif", "pcx", "rle", "tga", "wmf", "emf", "ico",
                               "png", "svg", "tif", "tiff", "webp"}))
{
    setObjectName(QStringLiteral("GImageBrowser"));
    Image1 = new TSmartImage;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->resize(218, 203);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ScrollBox1"));
    scroll->setWidget(Image1);
    scroll->setFixedSize(222, 207);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *options = new QGroupBox(QStringLiteral(" Options "), this);
    CBStretch = new QCheckBox(QStringLiteral("Stretch"), options);
    CBStretch->setObjectName(QStringLiteral("CBStretch"));
    CBStretch->setToolTip(QStringLiteral("Stretch image to max display size"));
    CBAutoSize = new QCheckBox(QStringLiteral("AutoSize"), options);
    CBAutoSize->setObjectName(QStringLiteral("CBAutoSize"));
    CBAutoSize->setToolTip(QStringLiteral("AutoSize TImage"));
    auto *optionsLayout = new QHBoxLayout(options);
    optionsLayout->addWidget(CBStretch);
    optionsLayout->addWidget(CBAutoSize);
    connect(CBStretch, &QCheckBox::clicked, this, &TGImageBrowser::CBStretchClick);
    connect(CBAutoSize, &QCheckBox::clicked, this, &TGImageBrowser::CBAutoSizeClick);

    auto *preview = new QVBoxLayout;
    preview->addWidget(scroll);
    preview->addWidget(options);
    preview->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(FileLists());
    top->addLayout(preview);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(ButtonRow());
    AttachFormHelp(this);
}

bool TGImageBrowser::Execute(QWidget *parent, editors::TImageChoice &choice)
{
    TGImageBrowser browser(parent);
    browser.CBStretch->setChecked(choice.stretch);
    browser.CBAutoSize->setChecked(choice.autoSize);
    browser.FitPreview();
    browser.SetDirectory(StartFolder());
    if (browser.exec() != QDialog::Accepted)
        return false;
    choice.fileName = browser.SelectedFile();
    if (!choice.fileName.isEmpty()) {
        TIniFile ini(SettingsFile());
        ini.WriteString(kImageBrowserSection, kLastFolderKey, browser.Directory());
        ini.UpdateFile();
    }
    if (choice.picture)
        choice.picture->Assign(*browser.Image1->Picture());
    choice.stretch = browser.CBStretch->isChecked();
    choice.autoSize = browser.CBAutoSize->isChecked();
    return true;
}

void TGImageBrowser::accept()
{
    // The picture is stored in the card as its data; a card holding more
    // than a card file may have would be saved and then refused on opening.
    constexpr qint64 kMegabyte = 1024 * 1024;
    const qint64 stored = Image1->Picture()->Data().size();
    const qint64 limit = platform::InputFileLimit(platform::TInputKind::CardFile);
    if (stored > limit) {
        const QString name = QFileInfo(SelectedFile()).fileName();
        platform::ShowMessageBox(
            {QStringLiteral("%1 is too large to keep on a card: stored in the card it takes %2 MB, and a card file "
                            "can hold at most %3 MB. Choose a smaller picture, or make this one smaller first.")
                 .arg(name.isEmpty() ? QStringLiteral("The picture") : name)
                 .arg((stored + kMegabyte - 1) / kMegabyte)
                 .arg(limit / kMegabyte),
             QStringLiteral("Picture too large"), platform::miError, platform::mbOK},
            this);
        return;
    }
    TImageBrowserBase::accept();
}

QString TGImageBrowser::StartFolder()
{
    const QString last = TIniFile(SettingsFile()).ReadString(kImageBrowserSection, kLastFolderKey, QString());
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::currentPath();
}

void TGImageBrowser::LoadPreview(const QString &path, const QString &extension)
{
    if (extension == QLatin1String(".BMP") || extension == QLatin1String(".WMF")
        || extension == QLatin1String(".EMF")) {
        TPicture picture;
        picture.LoadFromFile(path);
        Image1->SetPicture(picture);
    } else if (extension == QLatin1String(".ICO")) {
        // Icons always arrive as bitmaps of the icon's size.
        TPicture picture;
        picture.SetBitmap(TIcon::LoadFromFile(path).ToBitmap());
        Image1->SetPicture(picture);
    } else {
        SmartImage1->LoadFromFile(path);
        Image1->SetPicture(*SmartImage1->Picture());
    }
    FitPreview();
}

void TGImageBrowser::ClearPreview() { Image1->Picture()->Clear(); }

bool TGImageBrowser::ReportsErrorsOf(const QString &extension) const
{
    return extension == QLatin1String(".BMP") || extension == QLatin1String(".WMF")
        || extension == QLatin1String(".EMF");
}

void TGImageBrowser::CBStretchClick()
{
    Image1->SetStretch(CBStretch->isChecked());
    Image1->SetAutoSize(false);
    if (CBStretch->isChecked() && CBAutoSize->isChecked()) {
        CBAutoSize->setChecked(false);
        CBAutoSizeClick();
    }
    FitPreview();
}

void TGImageBrowser::CBAutoSizeClick()
{
    Image1->SetAutoSize(CBAutoSize->isChecked());
    if (CBAutoSize->isChecked() && CBStretch->isChecked()) {
        CBStretch->setChecked(false);
        CBStretchClick();
    }
    FitPreview();
}

void TGImageBrowser::FitPreview()
{
    Image1->SetStretch(CBStretch->isChecked());
    Image1->SetAutoSize(CBAutoSize->isChecked());
    // Unless it follows the picture's size, the preview fills the box.
    if (!CBAutoSize->isChecked())
        Image1->resize(218, 203);
}

// ======================================================================

TGBrushImageBrowser::TGBrushImageBrowser(QWidget *parent)
    : TImageBrowserBase(parent, QStringLiteral("Load Texture Image"), 40012,
                        Masks({"bmp", "dib", "jpg", "jif", "jpeg", "gif", "pcx", "rle", "tga", "ico", "png", "svg",
                               "tif", "tiff", "webp"}))
{
    setObjectName(QStringLiteral("GBrushImageBrowser"));
    ExampleTexture = new QLabel(this);
    ExampleTexture->setObjectName(QStringLiteral("ExampleTexture"));
    ExampleTexture->setFixedSize(75, 75);
    ExampleTexture->setFrameShape(QFrame::Box);
    auto *top = new QHBoxLayout;
    top->addLayout(FileLists());
    top->addWidget(ExampleTexture, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(ButtonRow());
    AttachFormHelp(this);
}

void ProvideDeliveredTextures(const QString &folder)
{
    const QDir delivered(QStringLiteral(":/textures"));
    for (const QString &name : delivered.entryList(QDir::Files)) {
        const QString target = QDir(folder).filePath(name);
        QFile texture(delivered.filePath(name));
        if (QFileInfo::exists(target) || !texture.open(QIODevice::ReadOnly))
            continue;
        // A texture that cannot be written (a full disk) is simply not offered.
        try {
            platform::WriteOutputFile(target, texture.readAll());
        } catch (const platform::EOutputFileError &) {
        }
    }
}

void TGBrushImageBrowser::OpenTextureFolder()
{
    const QString program = platform::ProgramFolder();
    const QString bmbrush = program + QStringLiteral("bmbrush");
    const QString textures = program + QStringLiteral("Textures");
    if (QFileInfo(bmbrush).isDir())
        SetDirectory(bmbrush);
    else if (QFileInfo(textures).isDir())
        SetDirectory(textures);
    else
        SetDirectory(program);
}

void TGBrushImageBrowser::SetRunnerForTests(TRunner runner) { g_textureBrowserRunner = std::move(runner); }

bool TGBrushImageBrowser::Execute(QWidget *parent, QString &fileName, TBitmap &texture, TExamplePainter example)
{
    if (g_textureBrowserRunner)
        return g_textureBrowserRunner(parent, fileName, texture);
    TGBrushImageBrowser browser(parent);
    return browser.Run(fileName, texture, std::move(example));
}

bool TGBrushImageBrowser::Run(QString &fileName, TBitmap &texture, TExamplePainter example)
{
    if (example) {
        FExample = std::move(example);
        ExampleTexture->setFixedSize(150, 75);
        ShowTexture();
    }
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile() || !SelectFile(fileName))
        OpenTextureFolder();
    if (exec() != QDialog::Accepted)
        return false;
    fileName = SelectedFile();
    texture = Image();
    return true;
}

// ======================================================================

TSuperTextBrushImageBrowser::TSuperTextBrushImageBrowser(QWidget *parent) : TGBrushImageBrowser(parent)
{
    setObjectName(QStringLiteral("SuperTextBrushImageBrowser"));
    AttachFormHelp(this);
}

bool TSuperTextBrushImageBrowser::Execute(QWidget *parent, QString &fileName, TBitmap &texture,
                                          TExamplePainter example)
{
    if (g_textureBrowserRunner)
        return g_textureBrowserRunner(parent, fileName, texture);
    TSuperTextBrushImageBrowser browser(parent);
    return browser.Run(fileName, texture, std::move(example));
}

void TGBrushImageBrowser::LoadPreview(const QString &path, const QString &extension)
{
    if (extension == QLatin1String(".BMP")) {
        FTexture = TBitmap::LoadFromFile(path);
    } else if (extension == QLatin1String(".ICO")) {
        FTexture = TIcon::LoadFromFile(path).ToBitmap();
    } else {
        SmartImage1->LoadFromFile(path);
        FTexture = SmartImage1->Picture()->Kind() == TPicture::pkBitmap ? SmartImage1->Picture()->Bitmap() : TBitmap();
    }
    ShowTexture();
    if (FileListBox1->isEnabled() && isVisible())
        FileListBox1->setFocus();
}

void TGBrushImageBrowser::ClearPreview()
{
    FTexture = TBitmap();
    ShowTexture();
}

bool TGBrushImageBrowser::ReportsErrorsOf(const QString &extension) const
{
    return extension == QLatin1String(".BMP");
}

void TGBrushImageBrowser::ShowTexture()
{
    QPixmap example(ExampleTexture->size());
    example.fill(Qt::white);
    {
        QPainter p(&example);
        if (FExample)
            FExample(p, example.size(), FTexture);
        else if (!FTexture.IsEmpty())
            p.fillRect(example.rect(), QBrush(FTexture.Image()));
    }
    ExampleTexture->setPixmap(example);
}
