#pragma once

#include "shop/MemberAnalysis.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace db {
class Connection;
}

// A member's page: the card, what the member bought (bills and lines with
// colour and size), the total spent this year, the last visit and the points
// history.
class MemberPageDialog : public QDialog {
    Q_OBJECT
public:
    MemberPageDialog(db::Connection& connection, const QString& cardNo, QWidget* parent = nullptr);

    QLabel* SummaryLabel;
    QTableWidget* PurchaseGrid;
    QTableWidget* PointGrid;

    const MemberAnalysis::MemberPage& page() const { return m_page; }

private:
    void fillPurchases();
    void fillPoints();

    MemberAnalysis::MemberPage m_page;
};
