#pragma once

#include "shop/Receivables.h"

#include <QDialog>

class QDateEdit;
class QLineEdit;
class QPushButton;
class TQageing;

namespace ui {
class DbGrid;
}

// 应收账龄 / 应付账龄: what each company owes (or is owed) on a date, by bill
// age, with its credit beside; Enter or a double click on a company opens its
// 收款单 / 付款单 drawn up to that date. Read-only, printable.
class TFrmAgeing : public QDialog {
    Q_OBJECT
public:
    TFrmAgeing(Receivables::Side side, QWidget* parent = nullptr);

    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QDateEdit* asOfDateEdit;
    QLineEdit* owingTotalEdit;
    QLineEdit* balanceTotalEdit;
    ui::DbGrid* ageingGrid;

public slots:
    void cmd_findClick();
    void cmd_prinClick();
    void cmd_exitClick();
    // Opens the settlement window of the current row's company, drawn up.
    void openSettlement();

private:
    // The print-out with this window's title, date and totals.
    TQageing& fillReport();

    Receivables::Side m_side;
    int m_position;          // in the function list, for the rights
    bool m_drawnUp = false;
};
