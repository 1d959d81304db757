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

    ui::DbEdit* nameEdit;
    ui::DbEdit* addressEdit;
    ui::DbEdit* contactNameEdit;
    ui::DbEdit* contactPhoneEdit;
    ui::DbEdit* managerNameEdit;
    ui::DbEdit* managerPhoneEdit;
    ui::DbEdit* bankAccountEdit;
    ui::DbEdit* postCodeEdit;
    ui::DbEdit* faxEdit;
    ui::DbEdit* emailEdit;
    ui::DbEdit* remarkEdit;
    ui::DbEdit* creditLimitEdit;   // 0 or empty is no limit
    ui::DbComboBox* typeBox;
    ui::DbComboBox* countryBox;
    ui::DbComboBox* areaBox;
    ui::DbComboBox* provinceBox;

    // The four drop-downs offer the values already stored.
    void FillLists();

protected:
    void afterCancel() override;

private:
    void FormCreate();
    void buildDataGroup();
};
