// The background art dialog: picks a picture from the background art folder
// (or another folder, when the card's art lies there) with a preview, or
// "None" to take the art off the card.
// Holds TLoadBackGround.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

class TLoadBackGround : public QDialog
{
    Q_OBJECT

public:
    // The dialog's result for "None".
    static constexpr int kNoneResult = 99;

    explicit TLoadBackGround(QWidget *parent = nullptr);

    // Lists the pictures of a folder ("*.BMP;*.WMF", any case).
    void SetDirectory(const QString &folder);
    QString Directory() const { return FDirectory; }
    // Selects the current art: in its own folder when it exists, else a file
    // of the same name in the background art folder.
    void Preselect(const QString &artPath, const QString &artFolder);
    // Full path of the selected file; empty when none.
    QString SelectedFile() const;
    bool SelectFile(const QString &fileName);
    QListWidget *FileListBox() const { return FFileList; }
    // The preview is empty when nothing could be loaded.
    bool PreviewEmpty() const;

    void FileListBox1Change();
    void OKButtonClick();
    void CancelbuttonClick();
    void NoneButtonClick();
    void HelpbuttonClick();
    void reject() override { CancelbuttonClick(); }

private:
    QString FDirectory;
    QListWidget *FFileList;
    QLabel *FImage;
};

// The file name part of a path written on either kind of system ("C:\BG\A.BMP").
QString FileNameOfAnyPath(const QString &path);

// Puts a few pictures into a new background art folder, so that a fresh
// installation has art to choose from.
void ProvideSampleBackgroundArt(const QString &folder);
