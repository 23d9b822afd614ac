// Holds TLoadBackGround.
#include "app/BackgroundArtDialog.h"

#include "app/AppHelpers.h"
#include "platform/Dialogs.h"
#include "platform/OutputFiles.h"
#include "platform/Picture.h"
#include "printing/DialogKit.h"
#include "widgets/FormHelpTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kHelpContext = 2101;
const QStringList kMasks = {QStringLiteral("*.bmp"), QStringLiteral("*.wmf")};
} // namespace

QString FileNameOfAnyPath(const QString &path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

TLoadBackGround::TLoadBackGround(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("LoadBackGround"));
    setWindowTitle(QStringLiteral("Load  Business Card Background Art "));

    FFileList = new QListWidget(this);
    FFileList->setObjectName(QStringLiteral("FileListBox1"));
    FFileList->setMinimumSize(180, 220);
    connect(FFileList, &QListWidget::itemSelectionChanged, this, &TLoadBackGround::FileListBox1Change);

    FImage = new QLabel(this);
    FImage->setObjectName(QStringLiteral("Image1"));
    auto *frame = new QScrollArea(this);
    frame->setFrameShape(QFrame::Box);
    frame->setWidget(FImage);
    frame->setMinimumSize(372, 224); // a card-shaped picture of 350 x 200 fits whole
    frame->setBackgroundRole(QPalette::Base);

    QPushButton *ok = MakeFormButton(this, QStringLiteral("Ok"), QStringLiteral("OKButton"));
    ok->setDefault(true);
    QPushButton *cancel = MakeFormButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancelbutton"));
    QPushButton *none = MakeFormButton(this, QStringLiteral("None"), QStringLiteral("NoneButton"));
    QPushButton *help = MakeFormButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"));
    QToolButton *mouseHelp = MakeMouseHelpButton(this);
    connect(ok, &QPushButton::clicked, this, &TLoadBackGround::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TLoadBackGround::CancelbuttonClick);
    connect(none, &QPushButton::clicked, this, &TLoadBackGround::NoneButtonClick);
    connect(help, &QPushButton::clicked, this, &TLoadBackGround::HelpbuttonClick);

    auto *top = new QHBoxLayout;
    top->addWidget(FFileList);
    top->addWidget(frame, 1);
    QHBoxLayout *buttons = printing::MakeButtonRow({ok, cancel, none, help, mouseHelp});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(600, 320);
    setFocusProxy(FFileList);
    AttachFormHelp(this);
}

void TLoadBackGround::SetDirectory(const QString &folder)
{
    FDirectory = QDir(folder).absolutePath();
    FFileList->blockSignals(true);
    FFileList->clear();
    QDir dir(FDirectory);
    // Masks are matched without regard to case: "*.BMP" finds "logo.bmp" too.
    dir.setNameFilters(kMasks);
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    FFileList->addItems(dir.entryList());
    FFileList->setCurrentRow(-1);
    FFileList->blockSignals(false);
    FImage->clear();
    FImage->resize(0, 0);
}

bool TLoadBackGround::SelectFile(const QString &fileName)
{
    for (int i = 0; i < FFileList->count(); ++i)
        if (FFileList->item(i)->text().compare(fileName, Qt::CaseInsensitive) == 0) {
            FFileList->setCurrentRow(i);
            return true;
        }
    return false;
}

void TLoadBackGround::Preselect(const QString &artPath, const QString &artFolder)
{
    if (artPath.isEmpty())
        return;
    const QFileInfo art(artPath);
    if (art.isFile()) {
        SetDirectory(art.absolutePath());
        SelectFile(art.fileName());
        return;
    }
    const QString name = FileNameOfAnyPath(artPath);
    if (!name.isEmpty() && FileExistsIgnoringCase(QDir(artFolder).filePath(name))) {
        if (QDir(FDirectory) != QDir(artFolder))
            SetDirectory(artFolder);
        SelectFile(name);
    }
}

QString TLoadBackGround::SelectedFile() const
{
    const QList<QListWidgetItem *> selected = FFileList->selectedItems();
    if (selected.isEmpty())
        return QString();
    return QDir(FDirectory).filePath(selected.first()->text());
}

bool TLoadBackGround::PreviewEmpty() const { return FImage->pixmap().isNull(); }

void TLoadBackGround::FileListBox1Change()
{
    const QString file = SelectedFile();
    if (file.isEmpty())
        return;
    // The panel and the print read the art by the same rule.
    TPicture art;
    const QImage image = platform::LoadBackgroundArt(file, art) ? art.ToImage() : QImage();
    if (image.isNull()) {
        FImage->clear();
        FImage->resize(0, 0);
        platform::ShowMessageBox({QStringLiteral("Error loading file!"), QStringLiteral("Error"), platform::miError,
                                  platform::mbOK},
                                 this);
        return;
    }
    // The picture box takes the picture's own size.
    FImage->setPixmap(QPixmap::fromImage(image));
    FImage->resize(image.size());
}

void TLoadBackGround::OKButtonClick()
{
    if (SelectedFile().isEmpty()) {
        platform::MessageBeep();
        return;
    }
    // Art that cannot be loaded is refused here, so the card never names a
    // picture that the panel and the print cannot show.
    if (PreviewEmpty()) {
        platform::ShowMessageBox({QStringLiteral("Error loading file!"), QStringLiteral("Error"), platform::miError,
                                  platform::mbOK},
                                 this);
        return;
    }
    done(1);
}

void TLoadBackGround::CancelbuttonClick() { done(2); }
void TLoadBackGround::NoneButtonClick() { done(kNoneResult); }
void TLoadBackGround::HelpbuttonClick() { ShowHelpContext(kHelpContext); }

namespace {
// Card-shaped pictures, 3.5 x 2 inches at 100 pixels per inch.
constexpr int kArtWidth = 350;
constexpr int kArtHeight = 200;

QImage BlankArt()
{
    QImage image(kArtWidth, kArtHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage BorderArt()
{
    QImage image = BlankArt();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 50, 120), 6));
    p.drawRect(QRectF(6, 6, kArtWidth - 12, kArtHeight - 12));
    p.setPen(QPen(QColor(120, 150, 210), 1.5));
    p.drawRect(QRectF(14, 14, kArtWidth - 28, kArtHeight - 28));
    return image;
}

QImage CornerArt()
{
    QImage image = BlankArt();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath swoosh;
    swoosh.moveTo(0, kArtHeight);
    swoosh.cubicTo(60, 120, 150, 210, kArtWidth * 0.55, kArtHeight);
    swoosh.closeSubpath();
    QLinearGradient gold(0, kArtHeight, kArtWidth * 0.5, 120);
    gold.setColorAt(0, QColor(190, 130, 20));
    gold.setColorAt(1, QColor(250, 220, 120));
    p.fillPath(swoosh, gold);
    p.setPen(QPen(QColor(190, 130, 20), 3));
    p.drawLine(QPointF(kArtWidth * 0.5, 8), QPointF(kArtWidth - 8, 8));
    return image;
}

QImage GradientArt()
{
    QImage image = BlankArt();
    QPainter p(&image);
    QRadialGradient glow(kArtWidth, 0, kArtWidth);
    glow.setColorAt(0, QColor(200, 225, 255));
    glow.setColorAt(1, Qt::white);
    p.fillRect(image.rect(), glow);
    return image;
}

QImage StripeArt()
{
    QImage image = BlankArt();
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 28, kArtHeight), QColor(30, 110, 80));
    p.fillRect(QRect(32, 0, 6, kArtHeight), QColor(120, 190, 150));
    return image;
}
} // namespace

void ProvideSampleBackgroundArt(const QString &folder)
{
    QDir dir(folder);
    if (!dir.exists() || !dir.entryList(kMasks, QDir::Files).isEmpty())
        return;
    const struct {
        const char *name;
        QImage (*make)();
    } samples[] = {{"Blue Border.bmp", BorderArt},
                   {"Gold Corner.bmp", CornerArt},
                   {"Soft Glow.bmp", GradientArt},
                   {"Green Stripe.bmp", StripeArt}};
    // A sample that cannot be written (a full disk) is simply not offered.
    for (const auto &sample : samples)
        try {
            platform::WriteOutputFile(dir.filePath(QLatin1String(sample.name)),
                                      TBitmap::FromImage(sample.make()).FileImage());
        } catch (const platform::EOutputFileError &) {
        }
}
