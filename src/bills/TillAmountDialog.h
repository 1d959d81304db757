#pragma once

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

// One amount typed at the till (a quantity, a discount, the float, the cash
// counted): Enter takes it, Escape drops it. What is not a number stays in the
// box with the reason under it.
class TillAmountDialog : public QDialog {
    Q_OBJECT
public:
    TillAmountDialog(const QString& title, const QString& prompt, double initial, QWidget* parent = nullptr);

    QLineEdit* box() const { return m_box; }
    double value() const { return m_value; }

    // Shown through the dialog seam; nothing when the cashier pressed Escape.
    static std::optional<double> ask(QWidget* parent, const QString& title, const QString& prompt, double initial = 0);

    void accept() override;

private:
    QLineEdit* m_box;
    QLabel* m_reason;
    double m_value = 0;
};
