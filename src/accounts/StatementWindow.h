#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ReportLayout;

namespace db {
class Dataset;
}

namespace ui {
class DbGrid;
}

// A statement of account: the bill headers of a period, of one company or all,
// with what was due, paid and still owing on each; read-only and printable.
// The purchase and the sales statement differ only in their Setup.
class StatementWindow : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString title;                // "进货对帐单"
        QString verb;                 // "付" or "收", as in "应付"
        db::Dataset* list = nullptr;  // PayQ or GathQ
        QString billTable;            // inmain or outmain
        int position = 0;             // in the function list, for the rights
        std::function<ReportLayout&()> report;
    };

    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QGroupBox* companyGroup;
    QGroupBox* periodGroup;
    QGroupBox* stateGroup;
    QComboBox* companyCodeBox;
    QComboBox* companyNameBox;
    QRadioButton* allRadio;
    QRadioButton* openOnlyRadio;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    QLineEdit* totalDueEdit;
    QLineEdit* totalPaidEdit;
    QLineEdit* totalOwingEdit;
    ui::DbGrid* billGrid;

public slots:
    void cmd_findClick();
    void cmd_prinClick();
    void cmd_exitClick();
    void showCompanyName();
    void showCompanyCode();

protected:
    StatementWindow(Setup setup, QWidget* parent);

private:
    void buildLayout();
    void FormCreate();

    Setup m_setup;
    bool m_drawnUp = false;   // a statement has been drawn up and may be printed
};
