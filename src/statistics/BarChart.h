#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QChart;

// The bar charts of the analysis windows: sets of bars over categories, each bar
// labelled with its value, the value axis from 0 in round steps.
namespace BarChart {

struct Set {
    QString name;
    QList<double> values;   // one per category
};

// A legend is shown when there is more than one set.
QChart* make(const QString& title, const QStringList& categories, const QList<Set>& sets,
             const QString& labelFormat = QStringLiteral("%.0f"));

} // namespace BarChart
