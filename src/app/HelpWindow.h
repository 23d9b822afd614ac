// The program's help: HTML pages built into the program, one topic per help
// context number plus a contents page, shown in one help window that stays
// open beside the program's other windows.
#pragma once

#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    // The one help window, created on first use.
    static THelpWindow &Instance();
    // The window when it has been created, else nothing (tests).
    static THelpWindow *Existing();

    void ShowTopic(int contextNumber);
    void ShowContents();
    // The page shown, as a resource path (":/help/2016.html").
    QString CurrentPage() const;
    QString CurrentTitle() const;

    // The resource path of a context number's topic; empty when it has none.
    static QString TopicPage(int contextNumber);
    static QString ContentsPage();

private:
    explicit THelpWindow(QWidget *parent = nullptr);
    void ShowPage(const QString &page);

    QTextBrowser *FBrowser;
};
