#pragma once

#include "bills/BillPrint.h"
#include "shop/BillStore.h"
#include "shop/SaveIdentity.h"
#include "shop/BillRules.h"
#include "shop/StockPosting.h"
#include "ui/ModeWindow.h"

#include <QDate>
#include <QVariant>

class BillLabels;
class BillLineEntry;
class BillMember;
class BillScan;
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
class DbComboBox;
class DbEdit;
class DbGrid;
}

// The one implementation of the four bill windows (purchase, sale, customer
// return, return to supplier). A window edits one bill: its header in the
// header dataset and its lines in the lines dataset, all in memory until
// "保存" stores header, lines and stock changes in one transaction.
class BillWindow : public ui::ModeWindow {
    Q_OBJECT
public:
    // Keys in a header list that move the focus on to the lines.
    enum class KeysToLines { None, EnterInCurrency, AnyKeyInSettlement };

    // What tells the four windows apart.
    struct Setup {
        StockPosting::BillKind kind;
        const char* objectName;
        QString caption;          // "进货管理"
        int position;             // in the function list, for the rights
        QString priceColumn;      // goods column proposed as unit price
        bool unknownPriceClears;  // an unknown goods clears the unit price (else keeps it)
        QString printTitle;       // "进货单"
        QString companyCaption;   // caption before the company name box
        const char* companyCodeBox = "DBEdit2";
        const char* companyButton = "BitBtn1";
        int companyNameWidth = 265;
        bool phone = false;           // "联系电话" on the company's phone
        bool currencyFirst = false;   // "币种" on the top row, "结算方式" on the second
        bool stockRemarks = false;    // line remark offers "入库" / "不入库"
        QString paidCaption = QStringLiteral("实付金额");
        KeysToLines keysToLines = KeysToLines::None;
    };

    ~BillWindow() override;

    QPushButton* cmd_add;
    QPushButton* cmd_edit;
    QPushButton* cmd_dele;
    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_exit;
    QGroupBox* headerGroup;
    ui::DbEdit* voucherNoEdit;
    ui::DbEdit* billNoEdit;
    QDateEdit* billDateEdit;
    ui::DbComboBox* settlementBox;
    ui::DbEdit* companyCode;      // object name from Setup::companyCodeBox
    QPushButton* companyButton;   // object name from Setup::companyButton
    ui::DbEdit* companyNameEdit;
    ui::DbEdit* phoneBox = nullptr;
    ui::DbComboBox* currencyBox;
    ui::DbEdit* rateEdit;
    ui::DbGrid* linesGrid;
    QPushButton* goodsButton;     // the goods picker for the current line
    QPushButton* styleButton;     // the size and colour grid (F7)
    BillLabels* labels = nullptr; // the purchase bill's barcode labels
    QGroupBox* footerGroup;
    QLineEdit* totalQuantityEdit;
    QLineEdit* totalAmountEdit;
    QLineEdit* amountInWordsEdit;
    ui::DbEdit* remarkEdit;
    ui::DbEdit* paidEdit;         // amount paid or received
    // The maker, handler, checker, salesman, sender and receiver: code lists and their names.
    QList<ui::DbComboBox*> people;
    QList<ui::DbEdit*> names;

    StockPosting::BillKind kind() const { return m_setup.kind; }
    db::Dataset* header() const { return m_header; }
    db::Dataset* lines() const { return m_lines; }
    // The sale's member box; none in the other windows.
    BillMember* member() const { return m_member; }

public slots:
    void cmd_addClick();
    void cmd_editClick();
    void cmd_deleClick();
    void cmd_saveClick();
    void cmd_cancClick();
    void cmd_findClick();
    void cmd_prinClick();
    void cmd_exitClick();
    void onPickCompany();
    void onPickGoods();
    void onCurrencyChanged();

protected:
    BillWindow(const Setup& setup, QWidget* parent);

    void updateButtons() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildHeader();
    QWidget* buildFooter();
    void FormCreate();
    void FillLists();
    void RefreshTotals();
    void StampLineBillNo(db::Dataset& lines);
    void CalcLineTotal(db::Dataset& lines);
    // Shows the stored bill with this number (or none) and its lines and totals.
    void openBill(const QString& billNo);
    void openLines();
    void setWalkOrder();
    QComboBox* keyList() const;
    bool withinCreditLimit(BillStore::Bill& bill);
    void refuse(const BillRules::Refusal& refusal);
    bool companyCodeEntered();
    void pickCompany(const QString& typed);
    QList<StockPosting::BillLine> linesToSave() const;
    BillStore::Bill billToSave() const;
    QString operatorName() const;
    BillPrint::Texts printTexts() const;   // the bill's title, footer and totals as printed
    void printInBill();
    void printOutBill();
    void preview(ReportLayout& layout);
    void report(const QString& what, const std::exception& error);
    void rememberStart();
    bool anythingEntered();
    // False when the clerk keeps a date more than a year from today from being saved.
    bool dateConfirmed();

    Setup m_setup;
    db::Dataset* m_header;
    db::Dataset* m_lines;
    BillLineEntry* m_entry = nullptr;
    BillScan* m_scan = nullptr;
    BillMember* m_member = nullptr;
    QString m_storedBillNo;   // the stored bill shown before adding or editing
    QVariant m_paidWhenEditStarted;   // another window may settle the bill meanwhile
    SaveIdentity::Attempt<BillStore::Bill> m_saveAttempt;   // kept for a retry of the same bill
    struct Start {
        QDate date;
        QVariantList header;
        int lines = 0;
    } m_start;   // the bill as adding or editing began
};
