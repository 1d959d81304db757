#pragma once

#include "shop/StockMovement.h"

#include <QDate>
#include <QDialog>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace ui {
class DbGrid;
}

// "月进销存": a month's opening, in, out and closing quantity per goods.
class TFrmMios : public QDialog {
    Q_OBJECT
public:
    explicit TFrmMios(QWidget* parent = nullptr);

    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QDateEdit* monthEdit;
    QLineEdit* inTotalEdit;
    QLineEdit* outTotalEdit;
    QLineEdit* closingTotalEdit;
    ui::DbGrid* movementGrid;

public slots:
    void cmd_findClick();
    void cmd_prinClick();
    void cmd_exitClick();

private:
    void reopen();

    QDate m_month;                     // the month of the result shown
    StockMovement::Totals m_totals;    // its totals, for the print-out
};
