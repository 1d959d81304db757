#pragma once

#include <QToolButton>

// "打印标签" of a saved purchase bill: one label per piece received, or one per line.
class BillLabels : public QToolButton {
    Q_OBJECT
public:
    explicit BillLabels(QWidget* window);

    // Labels of the stored bill with this number; nothing when there is none.
    void print(const QString& billNo, bool perPiece);

signals:
    void asked(bool perPiece);
};
