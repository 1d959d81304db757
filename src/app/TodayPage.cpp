#include "app/TodayPage.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "shop/AutoBackup.h"
#include "shop/TodayFigures.h"
#include "statistics/TFrmOutList.h"
#include "statistics/TFrmOutSortG.h"
#include "ui/BusyCursor.h"
#include "ui/FieldValue.h"
#include "warehouse/TFrmAlarm.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

constexpr int chartDays = 30;

QString amount(double value)
{
    return DataHelpers::amountText(value);
}

// A listing or ranking window over a range of days, run at once.
template <typename Window>
std::function<void(QDialog*)> overDays(int days, bool byQuantity)
{
    return [days, byQuantity](QDialog* dialog) {
        auto* window = qobject_cast<Window*>(dialog);
        if (!window)
            return;
        const QDate today = Clock::today();
        window->DP1->setDate(days > 0 ? today.addDays(1 - days) : QDate(today.year(), today.month(), 1));
        window->DP2->setDate(today);
        if (auto* own = window->template findChild<QRadioButton*>(QString::fromLatin1(byQuantity ? "RadioButton4" : "RadioButton2")))
            own->setChecked(true);   // sales only, as the card counts
        if (byQuantity)
            if (auto* quantity = window->template findChild<QRadioButton*>(QStringLiteral("RadioButton2")))
                quantity->setChecked(true);
        if (window->cmd_find->isEnabled())
            window->cmd_findClick();
    };
}

} // namespace

TodayPage::TodayPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TodayPage"));
    m_grid = new QGridLayout;
    m_grid->setSpacing(10);
    addCard(QStringLiteral("sales"), QStringLiteral("今日销售"), 0, 0);
    addCard(QStringLiteral("alarm"), QStringLiteral("库存报警"), 0, 1);
    addCard(QStringLiteral("debtors"), QStringLiteral("应收款"), 0, 2);
    addCard(QStringLiteral("best"), QStringLiteral("本月畅销"), 1, 0);
    addCard(QStringLiteral("backup"), QStringLiteral("最近备份"), 1, 1);

    m_cards[0].className = QStringLiteral("TFrmOutList");
    m_cards[0].prepare = overDays<TFrmOutList>(1, false);
    m_cards[0].position = Function::SalesList;
    m_cards[1].className = QStringLiteral("TFrmAlarm");
    m_cards[1].prepare = [](QDialog* dialog) {
        if (auto* window = qobject_cast<TFrmAlarm*>(dialog); window && window->cmd_find->isEnabled())
            window->cmd_findClick();
    };
    m_cards[1].position = Function::StockAlarm;
    m_cards[2].className = QStringLiteral("TFrmGathAge");
    m_cards[2].position = Function::SalesStatement;
    m_cards[3].className = QStringLiteral("TFrmOutSortG");
    m_cards[3].prepare = overDays<TFrmOutSortG>(0, true);
    m_cards[3].position = Function::RankByGoods;
    m_cards[4].className = QStringLiteral("TFrmBackUp");
    m_cards[4].position = Function::Backup;

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("近%1天销售金额").arg(chartDays));
    chart->legend()->hide();
    m_chart = new QChartView(chart, this);
    m_chart->setObjectName(QStringLiteral("SalesChart"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(240);
    m_chart->viewport()->installEventFilter(this);
    m_chart->setCursor(Qt::PointingHandCursor);
    m_chartError = new QLabel(this);
    m_chartError->setObjectName(QStringLiteral("SalesChartError"));
    m_chartError->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(m_grid);
    layout->addWidget(m_chartError);
    layout->addWidget(m_chart, 1);
}

QLabel* TodayPage::addCard(const QString& name, const QString& title, int row, int column)
{
    auto* frame = new QFrame(this);
    frame->setObjectName(name + QStringLiteral("Card"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setStyleSheet(QStringLiteral("QFrame#%1Card { background: white; border: 1px solid #c8d3e0; border-radius: 6px; }")
                             .arg(name));
    frame->setCursor(Qt::PointingHandCursor);
    frame->installEventFilter(this);
    auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(title), frame);
    auto* body = new QLabel(frame);
    body->setObjectName(name + QStringLiteral("Text"));
    body->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body->setMinimumHeight(110);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(heading);
    layout->addWidget(body, 1);
    m_grid->addWidget(frame, row, column);
    m_cards.append({name, body, {}, {}, 0});
    return body;
}

TodayPage::Card* TodayPage::card(const QString& name)
{
    for (Card& c : m_cards)
        if (c.name == name)
            return &c;
    return nullptr;
}

QString TodayPage::cardText(const QString& name) const
{
    for (const Card& c : m_cards)
        if (c.name == name)
            return c.body->text();
    return name == QLatin1String("chart") && m_chartError->isVisible() ? m_chartError->text() : QString();
}

void TodayPage::setCardText(const QString& name, const std::function<QString(db::Connection&)>& read)
{
    QString text;
    try {
        text = read(dataModule().AdoConn);
    } catch (const std::exception& e) {
        // A card that cannot be read says so; it never shows an empty figure.
        text = QStringLiteral("无法读取：%1").arg(ui::errorText(e));
    }
    card(name)->body->setText(text);
}

void TodayPage::refresh()
{
    const ui::BusyCursor busy;
    const QDate today = Clock::today();
    setCardText(QStringLiteral("sales"), [today](db::Connection& c) {
        const TodayFigures::Sales sales = TodayFigures::sales(c, today);
        QString text = QStringLiteral("单数 %1\n数量 %2\n金额 %3")
                           .arg(sales.bills)
                           .arg(amount(sales.quantity), amount(sales.amount));
        if (hasRight(Right::Use, Function::GrossProfit))
            text += QStringLiteral("\n毛利 %1").arg(amount(sales.profit()));
        return text;
    });
    setCardText(QStringLiteral("alarm"), [](db::Connection& c) {
        const TodayFigures::Alarm alarm = TodayFigures::alarm(c);
        QStringList lines{QStringLiteral("%1 种货品超出上下限").arg(alarm.count)};
        for (const TodayFigures::Goods& g : alarm.first)
            lines << QStringLiteral("%1 %2  %3").arg(g.code, g.name, amount(g.quantity));
        return lines.join(QLatin1Char('\n'));
    });
    setCardText(QStringLiteral("debtors"), [today](db::Connection& c) {
        const TodayFigures::Debtors debtors = TodayFigures::debtors(c, today);
        QStringList lines{QStringLiteral("合计 %1").arg(amount(debtors.total))};
        for (const Receivables::AgeingRow& row : debtors.largest)
            lines << QStringLiteral("%1  %2").arg(row.compName.isEmpty() ? row.compCode : row.compName, amount(row.total));
        return lines.join(QLatin1Char('\n'));
    });
    setCardText(QStringLiteral("best"), [today](db::Connection& c) {
        QStringList lines;
        for (const TodayFigures::Goods& g : TodayFigures::bestSellers(c, today))
            lines << QStringLiteral("%1 %2  %3").arg(g.code, g.name, amount(g.quantity));
        return lines.isEmpty() ? QStringLiteral("本月尚无销售") : lines.join(QLatin1Char('\n'));
    });
    setCardText(QStringLiteral("backup"), [](db::Connection&) {
        const QDateTime last = AutoBackup::lastGood();
        return last.isValid() ? last.toString(QStringLiteral("yyyy-MM-dd hh:mm")) : QStringLiteral("没有自动备份");
    });
    refreshChart(dataModule().AdoConn);
}

void TodayPage::refreshChart(db::Connection& connection)
{
    QChart* chart = m_chart->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    QList<std::pair<QDate, double>> days;
    try {
        days = TodayFigures::dailySales(connection, Clock::today(), chartDays);
        m_chartError->hide();
    } catch (const std::exception& e) {
        m_chartError->setText(QStringLiteral("无法读取：%1").arg(ui::errorText(e)));
        m_chartError->show();
        return;
    }
    auto* set = new QBarSet(QStringLiteral("金额"));
    QStringList labels;
    double highest = 0;
    for (const auto& [day, value] : days) {
        *set << value;
        labels << day.toString(QStringLiteral("d"));
        highest = qMax(highest, value);
    }
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    auto* y = new QValueAxis;
    y->setRange(0, highest > 0 ? highest * 1.1 : 1);
    y->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

bool TodayPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    if (watched == m_chart->viewport()) {
        if (hasRight(Right::Use, Function::SalesList))
            emit openRequested(QStringLiteral("TFrmOutList"), overDays<TFrmOutList>(chartDays, false));
        return true;
    }
    for (const Card& c : std::as_const(m_cards))
        if (watched->objectName() == c.name + QStringLiteral("Card")) {
            if (!c.className.isEmpty() && hasRight(Right::Use, c.position))
                emit openRequested(c.className, c.prepare);
            return true;
        }
    return QWidget::eventFilter(watched, event);
}
