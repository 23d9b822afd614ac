#include "platform/Dialogs.h"

#include "platform/Colors.h"
#include "platform/FontDialog.h"
#include "platform/Graphics.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {
ColorChooser g_colorChooser;
FontChooser g_fontChooser;
MessageBoxHandler g_messageBox;
std::function<void()> g_beep;

QString WithLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
} // namespace

void SetColorChooserForTests(ColorChooser chooser) { g_colorChooser = std::move(chooser); }
void SetFontChooserForTests(FontChooser chooser) { g_fontChooser = std::move(chooser); }

bool ChooseColor(int32_t &color, QWidget *parent)
{
    if (g_colorChooser)
        return g_colorChooser(color);
    const QColor chosen = QColorDialog::getColor(ToQColor(color), parent);
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

bool ChooseFont(TFont &font, QWidget *parent, bool withColor)
{
    if (g_fontChooser)
        return g_fontChooser(font);
    TFontDialog dialog(font, parent);
    dialog.ColorButton->setVisible(withColor);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.GetFont(font);
    return true;
}

void SetMessageBoxForTests(MessageBoxHandler handler) { g_messageBox = std::move(handler); }
void SetBeepForTests(std::function<void()> handler) { g_beep = std::move(handler); }

TMsgResult ShowMessageBox(const TMessageRequest &request, QWidget *parent)
{
    if (g_messageBox)
        return g_messageBox(request);
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setWindowTitle(request.caption);
    // Messages carry file names, and a name like "<img src=...>" must show as
    // it is, not be taken for HTML that loads a file.
    box.setTextFormat(Qt::PlainText);
    box.setText(WithLineBreaks(request.text));
    switch (request.icon) {
    case miInformation: box.setIcon(QMessageBox::Information); break;
    case miQuestion: box.setIcon(QMessageBox::Question); break;
    case miWarning: box.setIcon(QMessageBox::Warning); break;
    case miError: box.setIcon(QMessageBox::Critical); break;
    }
    switch (request.buttons) {
    case mbOK:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case mbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case mbYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return mrOk;
    case QMessageBox::Yes: return mrYes;
    case QMessageBox::No: return mrNo;
    case QMessageBox::Cancel: return mrCancel;
    default: return request.buttons == mbOK ? mrOk : request.buttons == mbYesNo ? mrNo : mrCancel;
    }
}

void MessageBeep()
{
    if (g_beep)
        g_beep();
    else
        QApplication::beep();
}

} // namespace platform
