#pragma once

#include "masterdata/MasterDataWindow.h"

namespace ui {
class DbDateEdit;
}

// "促销折扣": markdown rules in `markdown` through the shared MarkdownQ, each
// named, over a date range, covering a 款号, a brand, a category or every
// goods, with a discount percent or a fixed price.
class TFrmMarkdown : public MasterDataWindow {
    Q_OBJECT
public:
    explicit TFrmMarkdown(QWidget* parent = nullptr);

    ui::DbDateEdit* startDateEdit;
    ui::DbDateEdit* endDateEdit;
    ui::DbComboBox* scopeBox;
    ui::DbComboBox* scopeValueBox;
    ui::DbEdit* discountEdit;
    ui::DbEdit* fixedPriceEdit;

protected:
    bool acceptRow() override;
    void afterCancel() override;

private:
    // The values the goods hold for the scope chosen.
    void fillScopeValues();
};
