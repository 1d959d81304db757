#pragma once

#include <QDialog>

class QLabel;

// The About window: a picture, "关闭" closes it, the blank label opens the home page.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* Label3;
    QLabel* Label5;

public slots:
    void Label3Click();
    void Label5Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
