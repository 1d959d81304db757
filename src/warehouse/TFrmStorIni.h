#pragma once

#include "shop/StockInit.h"
#include "ui/ModeWindow.h"

class QPushButton;

namespace ui {
class DbGrid;
}

// "库存货品初始化": a stock record for every goods that has none, and the
// opening quantities and cost prices typed straight into storemain.
class TFrmStorIni : public ui::ModeWindow {
    Q_OBJECT
public:
    explicit TFrmStorIni(QWidget* parent = nullptr);

    QPushButton* cmd_add;
    QPushButton* cmd_edit;
    QPushButton* cmd_dele;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_exit;
    ui::DbGrid* stockGrid;

public slots:
    void cmd_addClick();
    void cmd_editClick();
    void cmd_deleClick();
    void cmd_saveClick();
    void cmd_cancClick();
    void cmd_exitClick();

protected:
    void updateButtons() override;

private:
    void reopen();
    // Shows why the books refuse a row, on that row.
    void refuse(const StockInit::Refusal& refused);
};
