#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

// The splash window shown while the program starts, until the login shows.
class TfrmFlash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmFlash(QWidget* parent = nullptr);

    QProgressBar* progressBar;

public slots:
    void advanceProgress();

private:
    QLabel* picture;
    QTimer* progressTimer;
};
