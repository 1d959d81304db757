#pragma once

#include "core/LabelPaper.h"
#include "reports/ReportLayout.h"

// Barcode labels: name, colour, size, price and the barcode (the goods code
// where the goods has none), one label per row of LabelQ, on the label paper
// of 基本设置. Labels print to the paper's edges.
class LabelLayout : public ReportLayout {
    Q_OBJECT
public:
    explicit LabelLayout(QObject* parent = nullptr);

    db::Dataset* rows() const { return m_rows; }

    // `copies` labels of one goods.
    void forGoods(const QString& goodsCode, int copies);
    // A saved purchase bill: a label per piece received, or one per line.
    void forPurchase(const QString& billNo, bool perPiece);

    // Lays the label out on this paper; forGoods and forPurchase take the paper of 基本设置.
    void setShape(LabelPaper::Kind kind);

private:
    void open(const QString& sql, const QList<std::pair<QString, QVariant>>& parameters);

    db::Dataset* m_rows;
    QString m_paperName;
    double m_barcodeWidth = 0;   // millimetres
};
