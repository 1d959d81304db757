#pragma once

#include "shop/TillSale.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

// Taking the money at the till: the amount due, the payment methods, the
// amount typed into the chosen method (Up and Down choose it). Enter on an
// empty box fills the rest into the chosen method; cash may be more than the
// rest and gives change (找零); once nothing is left the dialog closes.
class TillPayDialog : public QDialog {
    Q_OBJECT
public:
    TillPayDialog(double due, const QStringList& methods, QWidget* parent = nullptr);

    // Offers the member's points as the method "积分", paying at most `most`.
    void allowPoints(double most);

    QLineEdit* amountBox() const { return m_box; }
    QListWidget* methodList() const { return m_methods; }

    // What each method paid on the sale (cash less the change), methods with nothing left out.
    QList<TillSale::Payment> payments() const;
    double change() const;
    double rest() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take();
    void refresh();
    double tendered() const;

    double m_due;
    double m_mostByPoints = 0;
    QStringList m_names;
    QList<double> m_amounts;   // tendered, one per method
    QListWidget* m_methods;
    QLineEdit* m_box;
    QLabel* m_dueLabel;
    QLabel* m_restLabel;
    QLabel* m_changeLabel;
    QLabel* m_reason;
};
