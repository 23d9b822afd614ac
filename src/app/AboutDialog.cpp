// Holds TSplashform.
#include "app/AboutDialog.h"

#include "app/ToolIcons.h"
#include "widgets/FormHelpTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

TSplashform::TSplashform(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splashform"));
    setWindowTitle(QStringLiteral("About Quorvel"));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(ProgramPicture(96));

    auto *title = new QLabel(QStringLiteral("<b>Quorvel</b>"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    title->setFont(big);
    auto *about = new QLabel(QStringLiteral("Business cards designed on screen and printed on sheets of card stock."),
                             this);
    about->setWordWrap(true);
    FVersion = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(QUORVEL_VERSION)), this);
    FVersion->setObjectName(QStringLiteral("Version"));
    // The word size of this build: the program runs as a native program of its system.
    FBuild = new QLabel(QStringLiteral("%1-bit version").arg(QSysInfo::WordSize), this);
    FBuild->setObjectName(QStringLiteral("Bits"));

    auto *ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });

    auto *text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(about);
    text->addSpacing(8);
    text->addWidget(FVersion);
    text->addWidget(FBuild);
    text->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedWidth(380);
    adjustSize();
    AttachFormHelp(this);
}

QString TSplashform::VersionText() const { return FVersion->text(); }
QString TSplashform::BuildText() const { return FBuild->text(); }
