#pragma once

#include "reports/ReportLayout.h"

// A settlement print-out: the title, lines of caption and named value pairs the
// window fills, and ruled headings once at the start (title band), then one ruled
// row per listed bill header: the receipt and payment vouchers and the statements.
class SettlementLayout : public ReportLayout {
    Q_OBJECT
protected:
    SettlementLayout(const QString& title, db::Dataset* dataset, QObject* parent);

    // amountHeadings: the headings of the due, settled and owing columns.
    void build(const QList<QList<Pair>>& lines, const QStringList& amountHeadings);

    // Common pairs of the title band.
    static Pair pair(const QString& caption, const QString& name, double valueWidth = 30.5);
    static QList<Pair> dateRange();
};
