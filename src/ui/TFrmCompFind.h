#pragma once

#include <QDialog>

class QPushButton;

namespace ui {
class DbEdit;
class DbGrid;
}

// "公司查询", the company picker: on OK the caller takes comp_code and
// comp_name of CompanyQ's current row (empty when the list is empty).
// Enter in the list chooses the current row (with an empty list it closes like
// 取消); Escape closes.
class TFrmCompFind : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCompFind(QWidget* parent = nullptr);

    // Opens on a code the caller already has: the list moves to that company, if any.
    void setStartText(const QString& code);

    ui::DbGrid* DBGrid1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
};
