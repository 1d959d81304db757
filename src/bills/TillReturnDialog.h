#pragma once

#include "shop/SaveIdentity.h"
#include "shop/TillReturn.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// "退货" at the till: the receipt's number scanned or typed, its lines with
// what was sold and already returned, the quantities coming back typed into
// the last column; F12 refunds by the sale's methods (the chosen one first)
// and stores the return.
class TillReturnDialog : public QDialog {
    Q_OBJECT
public:
    TillReturnDialog(qint64 shiftId, QWidget* parent = nullptr);

    QLineEdit* receiptBox() const { return m_receipt; }
    QTableWidget* soldGrid() const { return m_grid; }
    QComboBox* firstMethodBox() const { return m_first; }

    // Loads the receipt typed; false (and says why) when it is no till sale.
    bool load();
    // Stores the return; false (and says why) when it is refused.
    bool save();
    QString storedNumber() const { return m_stored; }
    double refund() const { return m_refund; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The quantities typed, one per line; refused text names its line.
    std::optional<QList<double>> quantities(QString& why) const;
    void showRefund();

    qint64 m_shift;
    TillReturn::Sold m_sold;
    QLineEdit* m_receipt;
    QTableWidget* m_grid;
    QComboBox* m_first;
    QLabel* m_refundLabel;
    QLabel* m_reason;
    QString m_stored;
    double m_refund = 0;
    SaveIdentity::Attempt<TillReturn::Return> m_attempt;
};
