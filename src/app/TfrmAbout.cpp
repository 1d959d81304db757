#include "app/TfrmAbout.h"

#include "app/HomePage.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(400, 250);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(0, 0, 400, 250);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/about.png")));

    closeLabel = new QLabel(QStringLiteral("关闭"), this);
    closeLabel->setObjectName(QStringLiteral("Label3"));
    closeLabel->setGeometry(340, 215, 40, 20);
    closeLabel->setStyleSheet(QStringLiteral("color:#1f4e79; text-decoration: underline;"));

    // Blank and clickable, over the "访问主页" line of the picture.
    homePageLabel = new QLabel(this);
    homePageLabel->setObjectName(QStringLiteral("Label5"));
    homePageLabel->setGeometry(150, 160, 100, 24);

    for (QLabel* label : {closeLabel, homePageLabel}) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == closeLabel)
            closeAbout();
        else if (watched == homePageLabel)
            openHomePage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::closeAbout()
{
    close();
}

void TfrmAbout::openHomePage()
{
    HomePage::open();
}
