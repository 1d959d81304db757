#pragma once

#include <QDialog>

class QDateEdit;
class QLabel;
class QTableWidget;

// "日结": a day at the till over every cashier: each shift with its float,
// expected and counted cash and the difference (red when not 0), and the day's
// takings by payment method with the number of sales and returns.
class TFrmDayEnd : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDayEnd(QWidget* parent = nullptr);

    QDateEdit* dateBox() const { return m_date; }
    QTableWidget* shiftsGrid() const { return m_shifts; }
    QLabel* takingsLabel() const { return m_takings; }

    void showDay();

private:
    QDateEdit* m_date;
    QTableWidget* m_shifts;
    QLabel* m_takings;
};
