#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TQcompdetail;

namespace ui {
class DbGrid;
}

// 客户往来明细: one company's movements of a period (bills, what was paid on
// them, receipts and payments) with the balance brought forward, a running
// balance and the closing balance, which the ageing shows for the last day.
// The lines are the data module's CompDetailQ, so they print and export as a list.
class TFrmCompDetail : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCompDetail(QWidget* parent = nullptr);
    ~TFrmCompDetail() override;

    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QComboBox* companyCodeBox;
    QComboBox* companyNameBox;
    QRadioButton* receivableRadio;
    QRadioButton* payableRadio;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    QLineEdit* broughtForwardEdit;
    QLineEdit* closingBalanceEdit;
    ui::DbGrid* movementGrid;

public slots:
    void cmd_findClick();
    void cmd_prinClick();
    void cmd_exitClick();

private:
    // The print-out with this window's company, period and balances.
    TQcompdetail& fillReport();

    bool m_drawnUp = false;
};
