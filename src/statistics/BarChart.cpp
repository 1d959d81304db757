#include "statistics/BarChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace BarChart {

QChart* make(const QString& title, const QStringList& categories, const QList<Set>& sets, const QString& labelFormat)
{
    auto* series = new QBarSeries;
    double highest = 0;
    for (const Set& set : sets) {
        auto* bars = new QBarSet(set.name);
        for (double value : set.values) {
            *bars << value;
            highest = std::max(highest, value);
        }
        series->append(bars);
    }
    series->setLabelsVisible(true);
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->addSeries(series);
    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    series->attachAxis(categoryAxis);
    auto* valueAxis = new QValueAxis;
    // Room above the highest bar for its label; nothing yet: an axis up to 1.
    valueAxis->setRange(0, highest > 0 ? std::ceil(highest * 1.15) : 1);
    valueAxis->applyNiceNumbers();
    valueAxis->setLabelFormat(labelFormat);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(valueAxis);
    if (sets.size() > 1)
        chart->legend()->setAlignment(Qt::AlignBottom);
    else
        chart->legend()->hide();
    return chart;
}

} // namespace BarChart
