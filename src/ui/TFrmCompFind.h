#pragma once

#include <QDialog>

class QPushButton;

namespace ui {
class DbEdit;
class DbGrid;
}

// "公司查询", the company picker: on OK the caller takes comp_code and
// comp_name of CompanyQ's current row (empty when the list is empty).
class TFrmCompFind : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCompFind(QWidget* parent = nullptr);

    ui::DbGrid* DBGrid1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
};
