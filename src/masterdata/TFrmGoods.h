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

    ui::DbEdit* DBEdit2;
    ui::DbEdit* DBEdit3;
    ui::DbEdit* DBEdit4;
    ui::DbEdit* DBEdit5;
    ui::DbEdit* DBEdit6;
    ui::DbEdit* DBEdit7;
    ui::DbEdit* DBEdit8;
    ui::DbEdit* DBEdit9;
    ui::DbEdit* DBEdit10;
    ui::DbEdit* DBEdit11;
    ui::DbEdit* DBEdit12;
    ui::DbEdit* DBEdit13;
    ui::DbEdit* DBEdit14;
    ui::DbEdit* DBEdit15;
    ui::DbComboBox* DBComboBox1;
    ui::DbComboBox* DBComboBox2;
    ui::DbComboBox* DBComboBox3;
    ui::DbComboBox* DBComboBox4;
    ui::DbComboBox* DBComboBox5;
    ui::DbComboBox* DBComboBox6;
    ui::DbComboBox* DBComboBox7;
    ui::DbComboBox* DBComboBox8;
    ui::DbComboBox* DBComboBox9;
    ui::DbComboBox* DBComboBox10;
    QPushButton* Button1;
    QPushButton* Button2;
    QCheckBox* CheckBox1;
    QPushButton* cmd_style = nullptr;   // 按款式生成, with the right to add
    GoodsBarcodeTools* barcodes = nullptr;

    // Adds to each drop-down the values its list source holds.
    void fillComboBoxes();

public slots:
    void Button1Click();
    void Button2Click();
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
