#include "app/TfrmFlash.h"

#include "ui/WindowPlacement.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

TfrmFlash::TfrmFlash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmFlash"));
    setFixedSize(399, 249);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 400, 305);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/splash.png")));
    Image1->setScaledContents(false);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(0, height() - 7, 150, 7);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TfrmFlash::Timer1Timer);
    Timer1->start();

    ui::centreOnScreen(this);
}

void TfrmFlash::Timer1Timer()
{
    ProgressBar1->setValue(ProgressBar1->value() == 100 ? 0 : ProgressBar1->value() + 5);
}
