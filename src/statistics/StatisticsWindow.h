#pragma once

#include "shop/StatisticsQuery.h"

#include <QDialog>

class QBoxLayout;
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

// The common frame of the listings and rankings: 查询 runs the window's
// statement on its shared dataset and totals the rows, 打印 previews the
// window's layout of them, 退出 closes. The windows only read the database.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    ui::DbGrid* resultGrid;
    QLineEdit* quantityTotalEdit;
    QLineEdit* amountTotalEdit;

    db::Dataset* dataset() const { return m_dataset; }
    // True from a successful 查询 until the next one starts.
    bool hasResult() const { return m_hasResult; }

public slots:
    void cmd_findClick();
    // Prints only a result with a total quantity above 0; before any 查询 nothing happens.
    void cmd_prinClick();
    void cmd_exitClick();

protected:
    StatisticsWindow(const QString& caption, const QString& name, db::Dataset* dataset, int rightPosition,
                     QWidget* parent);

    // The statement of the present choices.
    virtual statistics::Query query() const = 0;
    virtual statistics::Totals totals() const = 0;
    virtual ReportLayout& reportLayout() const = 0;
    // The choices as the print-out names them: label name and text.
    using Labels = QList<std::pair<QString, QString>>;
    virtual Labels choiceLabels() const = 0;

    // The tool bar row with 查询, 打印 and 退出.
    QBoxLayout* toolBar();
    // A read-only grid over the dataset with the given columns (field, title, width).
    void setColumns(const QList<std::tuple<QString, QString, int>>& columns);
    // The whole days of the pickers.
    statistics::DateRange dates() const;
    // The bill type chosen by three radio buttons: all, own kind, returns.
    static statistics::BillType billType(const QRadioButton* own, const QRadioButton* returns);
    static QGroupBox* radioGroup(const QString& title, const QList<QRadioButton*>& buttons);
    static QRadioButton* radio(const char* name, const QString& text, bool checked = false);


private:
    db::Dataset* m_dataset;
    statistics::Totals m_totals;
    bool m_hasResult = false;
    // What the print-out says of the listed rows, taken when they were listed.
    Labels m_labels;
};
