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

    Label3 = new QLabel(QStringLiteral("关闭"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(340, 215, 40, 20);
    Label3->setStyleSheet(QStringLiteral("color:#1f4e79; text-decoration: underline;"));

    // Blank and clickable, over the "访问主页" line of the picture.
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(150, 160, 100, 24);

    for (QLabel* label : {Label3, Label5}) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label3)
            Label3Click();
        else if (watched == Label5)
            Label5Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::Label3Click()
{
    close();
}

void TfrmAbout::Label5Click()
{
    HomePage::open();
}
