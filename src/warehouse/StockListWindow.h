#pragma once

#include "shop/StockQuery.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class ReportLayout;

namespace db {
class Dataset;
}
namespace ui {
class DbGrid;
}

// The read-only stock lists: the stock query and the stock alarm. A filter row
// (code, name, kind, "全部"), the grid over the list's dataset, totals under it,
// and the list's report.
class StockListWindow : public QDialog {
    Q_OBJECT
public:
    QPushButton* cmd_find;
    QPushButton* cmd_prin;
    QPushButton* cmd_exit;
    QLineEdit* codeEdit;
    QComboBox* nameBox;
    QComboBox* kindBox;
    QCheckBox* allBox;
    ui::DbGrid* stockGrid;
    QLineEdit* quantityTotalEdit;
    QLineEdit* costTotalEdit = nullptr;   // the stock query's only

public slots:
    void cmd_findClick();
    void onCodeEdited();
    void onNamePicked();
    void onKindPicked();
    void onAllClicked();
    void cmd_prinClick();
    void cmd_exitClick();

protected:
    struct Setup {
        db::Dataset* dataset = nullptr;
        int position = 0;
        QString codeLabel;
        QString nameLabel;
        QString kindLabel;
        QString quantityLabel;
        QString costLabel;   // empty: no cost total
    };
    StockListWindow(const Setup& setup, QWidget* parent);

    // The row of command buttons, for a list's own ones.
    QHBoxLayout* toolBar() const { return m_bar; }
    // The filter boxes as the query reads them.
    StockQuery::Filter filter() const;
    // Sets the dataset's statement for the filter.
    virtual void prepareQuery() = 0;
    // The report to preview, its total labels set from the boxes.
    virtual ReportLayout& prepareReport() = 0;


private:
    Setup m_setup;
    QHBoxLayout* m_bar;
    bool m_queried = false;   // "打印" prints only a result this window queried
};
