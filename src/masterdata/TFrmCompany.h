#pragma once

#include "masterdata/MasterDataWindow.h"

namespace ui {
class DbComboBox;
}

// "客户资料": customers and suppliers, kept in `company` through the shared CompanyQ.
class TFrmCompany : public MasterDataWindow {
    Q_OBJECT
public:
    explicit TFrmCompany(QWidget* parent = nullptr);

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
    ui::DbEdit* DBEdit13;   // 信用额度: 0 or empty is no limit
    ui::DbComboBox* DBcomp_type;
    ui::DbComboBox* DBbelo_coun;
    ui::DbComboBox* DBbelo_area;
    ui::DbComboBox* DBbelo_prov;

    // The four drop-downs offer the values already stored.
    void FillLists();

protected:
    void afterCancel() override;

private:
    void FormCreate();
    void buildDataGroup();
};
