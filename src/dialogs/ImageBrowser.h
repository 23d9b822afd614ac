// The image browsers: modal file browsers with a folder list, a file list
// under a mask and a live preview. The image browser feeds the image object;
// the texture browser feeds the textured fills.
// Holds TImageBrowserBase, TGImageBrowser, TGBrushImageBrowser and
// TSuperTextBrushImageBrowser.
#pragma once

#include "dialogs/PropertyDialog.h"
#include "platform/Picture.h"

#include <QStringList>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class TSmartImage;

namespace editors {
struct TImageChoice;
}

class TImageBrowserBase : public TPropertyDialog
{
    Q_OBJECT

public:
    TImageBrowserBase(QWidget *parent, const QString &caption, int helpContext, const QStringList &masks);

    // Shows a folder's subfolders and its files under the mask.
    void SetDirectory(const QString &folder);
    QString Directory() const { return FDirectory; }
    // Opens the file's folder and selects the file; false when it is not listed.
    bool SelectFile(const QString &path);
    // Full path of the selected file; empty when none.
    QString SelectedFile() const;

    QLabel *DirectoryLabel;
    QListWidget *DirectoryListBox1;
    QListWidget *FileListBox1;
    // The selected file's name; a name or path typed here and confirmed
    // with Enter is looked up (a folder opens, a file is selected).
    QLineEdit *FileNameEdit;
    TSmartImage *SmartImage1;

protected:
    // The file list and the file-name box under it, for the subclass's layout.
    QLayout *FileLists();
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Loads the selected file into the preview; raises on unreadable files.
    virtual void LoadPreview(const QString &path, const QString &extension) = 0;
    virtual void ClearPreview() = 0;
    // Whether an unreadable file of this extension is reported.
    virtual bool ReportsErrorsOf(const QString &extension) const = 0;

private:
    void FileListBox1Change();
    void DirectoryActivated();
    void FileNameEntered();

    QStringList FMasks;
    QString FDirectory;
};

class TGImageBrowser : public TImageBrowserBase
{
    Q_OBJECT

public:
    explicit TGImageBrowser(QWidget *parent = nullptr);

    // The image object's protocol: options in, file name, picture and options out.
    static bool Execute(QWidget *parent, editors::TImageChoice &choice);
    // The folder the browser opens in: the one of the last image chosen
    // (kept in the settings file), else the working folder.
    static QString StartFolder();

    TSmartImage *Image1;
    QCheckBox *CBStretch;
    QCheckBox *CBAutoSize;

protected:
    void LoadPreview(const QString &path, const QString &extension) override;
    void ClearPreview() override;
    bool ReportsErrorsOf(const QString &extension) const override;

private:
    void CBStretchClick();
    void CBAutoSizeClick();
    void FitPreview();
};

// Copies the texture pictures delivered with the program into a new texture
// folder (an existing picture of the same name is left alone).
void ProvideDeliveredTextures(const QString &folder);

class TGBrushImageBrowser : public TImageBrowserBase
{
    Q_OBJECT

public:
    explicit TGBrushImageBrowser(QWidget *parent = nullptr);

    // Paints the object that will wear the texture into an example box of the
    // given size, so that the user sees the texture as it will look.
    using TExamplePainter = std::function<void(QPainter &painter, const QSize &size, const TBitmap &texture)>;
    // The texture's protocol: the remembered file (or the texture folder, or
    // the program folder when that is missing) in; file name and texture out.
    // Without an example painter the example shows the texture tiled.
    static bool Execute(QWidget *parent, QString &fileName, TBitmap &texture, TExamplePainter example = {});
    // Replaces the browser (tests): it gets the remembered file and returns
    // true with the chosen file and texture.
    using TRunner = std::function<bool(QWidget *parent, QString &fileName, TBitmap &texture)>;
    static void SetRunnerForTests(TRunner runner);
    // The texture folder ("bmbrush", else "Textures"), else the program
    // folder when both are missing.
    void OpenTextureFolder();

    const TBitmap &Image() const { return FTexture; }
    QLabel *ExampleTexture;

protected:
    void LoadPreview(const QString &path, const QString &extension) override;
    void ClearPreview() override;
    bool ReportsErrorsOf(const QString &extension) const override;
    // The texture protocol of Execute on this browser.
    bool Run(QString &fileName, TBitmap &texture, TExamplePainter example);

private:
    void ShowTexture();

    TBitmap FTexture;
    TExamplePainter FExample;
};

// The SuperText dialog's texture browser: the same browser under its own
// name and help texts, showing a SuperText as its example.
class TSuperTextBrushImageBrowser : public TGBrushImageBrowser
{
    Q_OBJECT

public:
    explicit TSuperTextBrushImageBrowser(QWidget *parent = nullptr);
    static bool Execute(QWidget *parent, QString &fileName, TBitmap &texture, TExamplePainter example);
};
