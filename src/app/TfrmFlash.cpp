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
    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(0, 0, 400, 305);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/splash.png")));
    picture->setScaledContents(false);

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    progressBar->setGeometry(0, height() - 7, 150, 7);

    progressTimer = new QTimer(this);
    progressTimer->setObjectName(QStringLiteral("Timer1"));
    progressTimer->setInterval(100);
    connect(progressTimer, &QTimer::timeout, this, &TfrmFlash::advanceProgress);
    progressTimer->start();

    ui::centreOnScreen(this);
}

void TfrmFlash::advanceProgress()
{
    progressBar->setValue(progressBar->value() == 100 ? 0 : progressBar->value() + 5);
}
