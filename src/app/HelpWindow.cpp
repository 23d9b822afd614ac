#include "app/HelpWindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
THelpWindow *g_window = nullptr;
}

THelpWindow &THelpWindow::Instance()
{
    if (!g_window)
        g_window = new THelpWindow();
    return *g_window;
}

THelpWindow *THelpWindow::Existing() { return g_window; }

THelpWindow::THelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Quorvel Help"));
    FBrowser = new QTextBrowser(this);
    FBrowser->setOpenExternalLinks(true);
    auto *contents = new QPushButton(tr("&Contents"), this);
    auto *back = new QPushButton(tr("&Back"), this);
    auto *close = new QPushButton(tr("Close"), this);
    connect(contents, &QPushButton::clicked, this, &THelpWindow::ShowContents);
    connect(back, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(FBrowser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = FBrowser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Quorvel Help") : tr("Quorvel Help - %1").arg(title));
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(FBrowser);
    resize(560, 480);
}

QString THelpWindow::TopicPage(int contextNumber)
{
    const QString page = QStringLiteral(":/help/%1.html").arg(contextNumber);
    return QFile::exists(page) ? page : QString();
}

QString THelpWindow::ContentsPage() { return QStringLiteral(":/help/index.html"); }

void THelpWindow::ShowTopic(int contextNumber)
{
    const QString page = TopicPage(contextNumber);
    ShowPage(page.isEmpty() ? ContentsPage() : page);
}

void THelpWindow::ShowContents() { ShowPage(ContentsPage()); }

void THelpWindow::ShowPage(const QString &page)
{
    FBrowser->setSource(QUrl(QStringLiteral("qrc") + page));
    show();
    raise();
    activateWindow();
}

QString THelpWindow::CurrentPage() const
{
    const QUrl url = FBrowser->source();
    return url.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + url.path() : url.toString();
}

QString THelpWindow::CurrentTitle() const { return FBrowser->documentTitle(); }
