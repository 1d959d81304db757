#pragma once

#include "shop/SaveIdentity.h"
#include "shop/Settlement.h"
#include "ui/ModeWindow.h"

#include <functional>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class ReportLayout;

namespace db {
class Dataset;
}

namespace ui {
class DbGrid;
}

// The receipt and the payment window: draws up the settlement of a company's
// or a bill number's bills over a date range, takes an amount, spreads it over
// the listed bills and stores the voucher. The two differ only in their Setup.
class SettlementWindow : public ui::ModeWindow {
    Q_OBJECT
public:
    struct Setup {
        QString verb;                 // "收" or "付", as in "收款单"
        db::Dataset* list = nullptr;  // the settlement list, GathQ or PayQ
        db::Dataset* vouchers = nullptr;   // GathMainQ or PayMainQ, filled by the finder
        const Settlement::Ledger* ledger = nullptr;
        int position = 0;             // in the function list, for the rights
        std::function<ReportLayout&()> report;
        std::function<QDialog*(QWidget*)> makeFinder;
    };

    QPushButton* cmd_add;
    QPushButton* cmd_calc;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QGroupBox* resultGroup;
    QGroupBox* byCompanyGroup;
    QGroupBox* byBillGroup;
    QGroupBox* periodGroup;
    QGroupBox* voucherGroup;
    QComboBox* companyCodeBox;
    QComboBox* companyNameBox;
    QComboBox* madeByBox;
    QComboBox* handledByBox;
    QComboBox* checkedByBox;
    QLineEdit* totalDueEdit;
    QLineEdit* totalPaidEdit;
    QLineEdit* billNoEdit;
    QLineEdit* totalOwingEdit;
    QLineEdit* amountEdit;
    QLineEdit* newBalanceEdit;
    QLineEdit* voucherNoEdit;
    QLineEdit* invoiceNoEdit;
    QLineEdit* remarkEdit;
    QLineEdit* previousBalanceEdit;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    QDateEdit* voucherDateEdit;
    ui::DbGrid* billGrid;

public slots:
    void cmd_addClick();
    void cmd_calcClick();
    void cmd_saveClick();
    void cmd_cancClick();
    void cmd_findClick();
    void cmd_prinClick();
    void cmd_exitClick();
    void showNewBalance();
    void showCompanyName();
    void showCompanyCode();
    void clearCompany();

protected:
    SettlementWindow(Setup setup, QWidget* parent);

    void updateButtons() override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    void FillLists();
    void ClearEntryBoxes();
    // Lists the settlement's bills again and shows its totals and the credit.
    void drawUp();
    void showVoucher(const db::Dataset& vouchers);
    void report(const QString& what, const std::exception& error);

    Setup m_setup;
    Settlement::Filter m_filter;     // of the settlement drawn up last
    QString m_compName;
    bool m_canTakeMoney = false;     // a settlement with money owing is drawn up and not yet paid
    QString m_proposedNumber;        // the voucher number the window proposed (a time stamp)
    // Kept for a retry of the same voucher on the same bills.
    SaveIdentity::Attempt<std::pair<Settlement::Voucher, Settlement::Filter>> m_saveAttempt;
    bool m_printable = false;        // a settlement or a voucher is shown
};
