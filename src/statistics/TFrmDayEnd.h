#pragma once

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;
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
    QPushButton* printButton() const { return m_print; }

    void showDay();
    // The day's shifts on a page, its takings on the line of what was chosen.
    void print();

private:
    QDateEdit* m_date;
    QTableWidget* m_shifts;
    QLabel* m_takings;
    QPushButton* m_print;
};
