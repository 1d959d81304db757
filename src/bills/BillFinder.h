#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace db {
class Dataset;
}

namespace ui {
class DbGrid;
}

// The bill finder shared by "单据查询" (inmain) and "出货单查询" (outmain): lists
// the bills of the current bill kind in a date range, optionally narrowed by
// bill number, voucher number and company name. On OK the picked bill is the
// find dataset's current row.
class BillFinder : public QDialog {
    Q_OBJECT
public:
    // The kind ("in", "out", "retu") the finders list: set by each bill window.
    static QString currentKind();
    static void setCurrentKind(const QString& kind);

    QPushButton* cmd_edit;
    QPushButton* cmd_save;
    QPushButton* cmd_exit;
    QGroupBox* criteriaGroup;
    QLineEdit* billNoEdit;
    QComboBox* companyNameBox;
    QLineEdit* voucherNoEdit;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    ui::DbGrid* billsGrid;

    db::Dataset* dataset() const { return m_dataset; }

public slots:
    void cmd_editClick();
    void cmd_saveClick();
    void cmd_exitClick();

protected:
    BillFinder(const char* objectName, const QString& caption, const QString& table, db::Dataset* dataset,
               QWidget* parent);

private:
    void FormCreate();
    // Lists the bills in the date range; with `typed`, narrowed by the boxes.
    void search(bool typed);

    QString m_table;
    db::Dataset* m_dataset;
};
