#pragma once

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace db {
class Dataset;
}

namespace ui {
class DbGrid;
}

// The finder of stored receipt or payment vouchers: by number, or by date.
// On OK the caller takes the current row of the voucher dataset.
class VoucherFinder : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString verb;                   // "收" or "付"
        db::Dataset* vouchers = nullptr;   // GathMainQ or PayMainQ
        QString table;                  // gathmain or paymain
    };

    QPushButton* cmd_edit;
    QPushButton* cmd_save;
    QPushButton* cmd_exit;
    QLineEdit* voucherNoEdit;
    QDateEdit* dateEdit;
    QCheckBox* allBox;
    ui::DbGrid* voucherGrid;

public slots:
    void cmd_editClick();
    void cmd_saveClick();
    void cmd_exitClick();
    void onNumberTyped();
    void onAllClicked();

protected:
    VoucherFinder(Setup setup, QWidget* parent);

private:
    void FormCreate();
    // Lists the vouchers with the number, or else those of the picked day.
    void search(const QString& number, const QDate& day);

    Setup m_setup;
};
