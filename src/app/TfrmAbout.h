#pragma once

#include <QDialog>

class QLabel;

// The About window: a picture, "关闭" closes it, the blank label opens the home page.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* closeLabel;
    QLabel* homePageLabel;

public slots:
    void closeAbout();
    void openHomePage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
