#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace ui {
class DbEdit;
class DbGrid;
}

// "公司查询", the company picker: on OK the caller takes comp_code and
// comp_name of CompanyQ's current row. Opened on typed text it lists only the
// companies whose code or name contains it. Enter in the list chooses the
// current row; with none it says so in the picker and stays; Escape closes.
class TFrmCompFind : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCompFind(QWidget* parent = nullptr);

    // Opens on text the caller already has: lists the companies whose code or name contains it.
    void setStartText(const QString& code);

    ui::DbGrid* companyGrid;
    QPushButton* chooseButton;
    QPushButton* cancelButton;
    QLabel* note;   // what the list holds, or why Enter chose nothing

public slots:
    void onChoose();
    void onCancel();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    QString m_typed;
};
