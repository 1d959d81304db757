#pragma once

#include <QGroupBox>

class QComboBox;

// 基本设置's choice of the barcode label paper.
class LabelPaperGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit LabelPaperGroup(QWidget* parent = nullptr);

    QComboBox* LabelPaper;

    void load();
    // False (after saying so) when system.ini cannot be written.
    bool save();
};
