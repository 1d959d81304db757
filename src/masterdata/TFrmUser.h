#pragma once

#include "ui/ModeWindow.h"

class BackupSettingsBox;
class LabelPaperGroup;
class MemberLevelGroup;
class ReceiptPrinterGroup;
class CodeListGrid;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace db {
class Dataset;
}
namespace ui {
class DbEdit;
}

// "基本设置": the shop's own data, the nine code lists, the print settings of the
// sales bill, the till's receipt printer, the member levels and the automatic backups.
class TFrmUser : public ui::ModeWindow {
    Q_OBJECT
public:
    explicit TFrmUser(QWidget* parent = nullptr);

    QPushButton* cmd_edit;
    QPushButton* cmd_save;
    QPushButton* cmd_canc;
    QPushButton* cmd_exit;

    QGroupBox* shopGroup;
    ui::DbEdit* positionEdit;
    ui::DbEdit* unifiedNoEdit;
    ui::DbEdit* companyNameEdit;
    ui::DbEdit* phoneEdit;
    ui::DbEdit* faxEdit;
    ui::DbEdit* addressEdit;
    ui::DbEdit* emailEdit;
    ui::DbEdit* homePageEdit;
    ui::DbEdit* discountLimitEdit;   // the till: lowest price, % of the retail price, without 改价
    ui::DbEdit* roundingUnitEdit;    // the till: 抹零 to 0, 0.1 or 1 yuan

    QGroupBox* billPrintGroup;
    LabelPaperGroup* labelPaper;
    ReceiptPrinterGroup* receiptPrinter;   // where this PC's till receipts go
    ui::DbEdit* billFooterEdit;
    QComboBox* paperBox;
    QLineEdit* paperWidthEdit;
    QLineEdit* paperLengthEdit;
    QLineEdit* lineCountEdit;

    CodeListGrid* settlementGrid;
    CodeListGrid* currencyGrid;
    QTabWidget* goodsListTabs;
    CodeListGrid* brandGrid;
    CodeListGrid* styleGrid;
    CodeListGrid* categoryGrid;
    CodeListGrid* colorGrid;
    CodeListGrid* sizeGrid;
    CodeListGrid* originGrid;
    CodeListGrid* unitGrid;

    BackupSettingsBox* BackupBox;   // the automatic backups' folder, count and hour
    MemberLevelGroup* memberLevels; // member levels, points' worth, 折上折

public slots:
    void FormCreate();
    void cmd_editClick();
    void onPaperChosen();
    void cmd_saveClick();
    void cmd_cancClick();
    void cmd_exitClick();

protected:
    void updateButtons() override;

private:
    struct CodeList {
        CodeListGrid* grid;
        db::Dataset* dataset;
        QString title;
        QString sql;
    };

    void buildLayout();
    QGroupBox* buildPrintGroup();
    CodeListGrid* codeListGrid(const char* name, db::Dataset* dataset, const QList<std::pair<QString, QString>>& columns);
    void readSettingsFile();
    bool checkCompanyName();
    bool checkTillRules();
    bool checkNumbers(int* width, int* length, int* lines);
    bool checkCodeLists();
    QString trimAndCheck(const CodeList& list, int* badRow);
    bool saveData();
    bool writeSettings(int width, int length, int lines);
    const CodeList& list(const CodeListGrid* grid) const;

    QList<CodeList> m_lists;   // in the order they are opened
};
