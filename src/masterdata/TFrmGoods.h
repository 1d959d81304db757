#pragma once

#include "masterdata/MasterDataWindow.h"

class GoodsBarcodeTools;
class QCheckBox;

// "货品资料": the goods catalogue, kept in `goods` through the shared GoodsQ,
// with the automatic name and the producer and supplier picked from the companies.
class TFrmGoods : public MasterDataWindow {
    Q_OBJECT
public:
    explicit TFrmGoods(QWidget* parent = nullptr);

    ui::DbEdit* nameEdit;
    ui::DbEdit* agentPriceEdit;
    ui::DbEdit* wholesalePriceEdit;
    ui::DbEdit* priceInEdit;
    ui::DbEdit* priceOutEdit;
    ui::DbEdit* materialCostEdit;
    ui::DbEdit* processingFeeEdit;
    ui::DbEdit* stockMaxEdit;
    ui::DbEdit* stockMinEdit;
    ui::DbEdit* producerCodeEdit;
    ui::DbEdit* producerNameEdit;
    ui::DbEdit* supplierCodeEdit;
    ui::DbEdit* supplierNameEdit;
    ui::DbEdit* remarkEdit;
    ui::DbComboBox* brandBox;
    ui::DbComboBox* categoryBox;
    ui::DbComboBox* styleBox;
    ui::DbComboBox* sizeBox;
    ui::DbComboBox* colorBox;
    ui::DbComboBox* unitBox;
    ui::DbComboBox* fabricBox;
    ui::DbComboBox* liningBox;
    ui::DbComboBox* originBox;
    ui::DbComboBox* packUnitBox;
    QPushButton* pickProducerButton;
    QPushButton* pickSupplierButton;
    QCheckBox* autoNameCheck;
    QPushButton* cmd_style = nullptr;   // 按款式生成, with the right to add
    GoodsBarcodeTools* barcodes = nullptr;

    // Adds to each drop-down the values its list source holds.
    void fillComboBoxes();

public slots:
    void pickProducer();
    void pickSupplier();
    void cmd_styleClick();
    // Brand + colour + size + category, while adding or editing with "自动生成名称" ticked.
    void makeName();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool acceptRow() override;
    void updateButtons() override;
    void afterSave(const QString& code) override;

private:
    void FormCreate();
    void buildDataGroup();
    // Opens the company picker on the typed code; a chosen company fills both boxes
    // and the focus moves on to `next`.
    void pickCompany(ui::DbEdit* code, ui::DbEdit* name, QWidget* next);
};
