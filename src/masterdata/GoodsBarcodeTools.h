#pragma once

#include <QGroupBox>

class QPushButton;
class QSpinBox;

namespace db {
class Dataset;
}

namespace ui {
class DbEdit;
}

// The goods window's barcode tools: the checks of a typed 条形码, "生成条码"
// for goods without one and labels of the current goods.
class GoodsBarcodeTools : public QGroupBox {
    Q_OBJECT
public:
    GoodsBarcodeTools(db::Dataset* goods, ui::DbEdit* barCodeBox, QWidget* window);

    QPushButton* cmd_code;
    QSpinBox* LabelCopies;
    QPushButton* cmd_label;

    // A barcode held by other goods or that is another goods' code is refused
    // naming them; a wrong EAN check digit is stored only when the user confirms it.
    bool acceptBarcode();
    // A goods code that is another goods' barcode is refused at its box.
    bool acceptCode(ui::DbEdit* codeBox);
    void setBrowsing(bool browsing);

public slots:
    void cmd_codeClick();
    void cmd_labelClick();

private:
    // The current row's in_id; -1 for a new row.
    qint64 ownId() const;

    db::Dataset* m_goods;
    ui::DbEdit* m_box;
};
