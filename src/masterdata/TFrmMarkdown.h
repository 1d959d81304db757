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

    ui::DbDateEdit* DBstart_date;
    ui::DbDateEdit* DBend_date;
    ui::DbComboBox* DBscope;
    ui::DbComboBox* DBscope_value;
    ui::DbEdit* DBEdit2;   // 折扣%
    ui::DbEdit* DBEdit3;   // 一口价

protected:
    bool acceptRow() override;
    void afterCancel() override;

private:
    // The values the goods hold for the scope chosen.
    void fillScopeValues();
};
