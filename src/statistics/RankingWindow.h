#pragma once

#include "statistics/StatisticsWindow.h"

#include <functional>
#include <tuple>

// The sales rankings: the out-bill lines of a date range summed per goods item
// or per company, largest amount or quantity first, with the totals. The two
// windows differ only by their Kind.
class RankingWindow : public StatisticsWindow {
    Q_OBJECT
public:
    struct Kind {
        QString caption;   // "出货排行-按货品"
        QString name;      // object name
        statistics::RankingKey key;
        db::Dataset* dataset;
        int rightPosition;
        std::function<ReportLayout&()> report;
        QList<std::tuple<QString, QString, int>> columns;   // field, title, width
    };

    QRadioButton* byAmountRadio;
    QRadioButton* byQuantityRadio;
    QRadioButton* allRadio;
    QRadioButton* salesRadio;
    QRadioButton* returnsRadio;

protected:
    RankingWindow(Kind kind, QWidget* parent);

    statistics::Query query() const override;
    statistics::Totals totals() const override;
    ReportLayout& reportLayout() const override;
    Labels choiceLabels() const override;

private:
    Kind m_kind;
};
