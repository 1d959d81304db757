#pragma once

#include "statistics/StatisticsWindow.h"

#include <QStringList>
#include <functional>

class QComboBox;

// The purchase and the sales listing: every bill line of a date range, narrowed
// to one bill type and to one goods item or one company, with the total quantity
// and amount. The two windows differ only by their Kind.
class ListingWindow : public StatisticsWindow {
    Q_OBJECT
public:
    struct Kind {
        QString caption;          // "进货统计"
        QString name;             // object name
        statistics::BillTables tables;
        db::Dataset* dataset;
        int rightPosition;
        QString typeGroup;        // "进货类型"
        QString ownCaption;       // "进货"
        QString returnCaption;    // "顾客退货"
        std::function<ReportLayout&()> report;
        QString typeLabel;        // the layout's label for the bill type
        QStringList typeTexts;    // what it prints for all, own kind, returns
    };

    QComboBox* goodsCodeBox;
    QComboBox* goodsNameBox;
    QComboBox* companyCodeBox;
    QComboBox* companyNameBox;
    QRadioButton* allRadio;
    QRadioButton* ownRadio;
    QRadioButton* returnRadio;

public slots:
    // Typing or choosing in one box fills its partner and clears the other filter.
    void showGoodsName();
    void showGoodsCode();
    void showCompanyName();
    void showCompanyCode();

protected:
    ListingWindow(Kind kind, QWidget* parent);

    statistics::Query query() const override;
    statistics::Totals totals() const override;
    ReportLayout& reportLayout() const override;
    Labels choiceLabels() const override;

private:
    void FormCreate();
    // Writes the partner's value and blanks the other pair, without running their handlers.
    void follow(QComboBox* partner, const QString& value, QComboBox* otherCode, QComboBox* otherName);

    Kind m_kind;
};
