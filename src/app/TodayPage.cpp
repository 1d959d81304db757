#include "app/TodayPage.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "shop/TodayFigures.h"
#include "shop/Worker.h"
#include "statistics/TFrmOutList.h"
#include "statistics/TFrmOutSortG.h"
#include "statistics/TFrmSlowStock.h"
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
#include <cmath>

namespace {

using TodayFigures::chartDays;

QString amount(double value)
{
    return DataHelpers::amountText(value);
}

// A card that cannot be read says so; it never shows an empty figure.
QString failureText(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return QStringLiteral("无法读取：%1").arg(ui::errorText(e));
    } catch (...) {
        return QStringLiteral("无法读取");
    }
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
        window->fromDateEdit->setDate(days > 0 ? today.addDays(1 - days) : QDate(today.year(), today.month(), 1));
        window->toDateEdit->setDate(today);
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
    addCard(QStringLiteral("oldstock"), QStringLiteral("库龄超180天"), 1, 2);
    addCard(QStringLiteral("takings"), QStringLiteral("今日收款"), 0, 3);
    addCard(QStringLiteral("members"), QStringLiteral("会员"), 1, 3);

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
    m_cards[5].className = QStringLiteral("TFrmSlowStock");
    m_cards[5].prepare = [](QDialog* dialog) {
        // The stock's ages, as the card counts them.
        if (auto* window = qobject_cast<TFrmSlowStock*>(dialog)) {
            window->AgeButton->setChecked(true);
            if (window->cmd_find->isEnabled())
                window->cmd_findClick();
        }
    };
    m_cards[5].position = Function::RankByGoods;
    m_cards[6].className = QStringLiteral("TFrmDayEnd");
    m_cards[6].position = Function::RetailTill;
    m_cards[7].className = QStringLiteral("TFrmMember");
    m_cards[7].position = Function::Members;

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
    m_reader = new Worker(this);
    connect(m_reader, &Worker::finished, this, &TodayPage::readingFinished);

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
    body->setMinimumHeight(body->fontMetrics().lineSpacing() * 6);   // the longest card: reading never resizes it
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

TodayPage::~TodayPage()
{
    m_reader->stop();   // before m_read goes
}

bool TodayPage::isReading() const
{
    return m_reader->isRunning();
}

void TodayPage::refresh()
{
    if (m_reader->isRunning()) {
        // What it reads may be older than what made this call: drop it, read again.
        m_readAgain = true;
        m_reader->requestStop();
        return;
    }
    startReading();
}

void TodayPage::startReading()
{
    for (const Card& c : std::as_const(m_cards))
        c.body->setText(QStringLiteral("读取中…"));
    // Members' names and birthdays are for those who keep the member records.
    findChild<QWidget*>(QStringLiteral("membersCard"))->setVisible(hasRight(Right::Use, Function::Members));
    const ShopServer::Place place = ShopServer::placeOf(dataModule().AdoConn);
    const QDate today = Clock::today();
    m_reader->start([this, place, today](const std::atomic_bool& stopping) {
        m_read = TodayFigures::readPage(place, today, stopping);
    });
}

void TodayPage::readingFinished()
{
    if (m_readAgain) {
        m_readAgain = false;
        startReading();
        return;
    }
    showCard(QStringLiteral("sales"), TodayFigures::Part::Sales, [this] {
        const TodayFigures::Sales& sales = m_read.sales;
        QString text = QStringLiteral("单数 %1\n数量 %2\n金额 %3")
                           .arg(sales.bills)
                           .arg(amount(sales.quantity), amount(sales.amount));
        if (hasRight(Right::Use, Function::GrossProfit))
            text += QStringLiteral("\n毛利 %1").arg(amount(sales.profit()));
        return text;
    });
    showCard(QStringLiteral("alarm"), TodayFigures::Part::Alarm, [this] {
        QStringList lines{QStringLiteral("%1 种货品超出上下限").arg(m_read.alarm.count)};
        for (const TodayFigures::Goods& g : std::as_const(m_read.alarm.first))
            lines << QStringLiteral("%1 %2  %3").arg(g.code, g.name, amount(g.quantity));
        return lines.join(QLatin1Char('\n'));
    });
    showCard(QStringLiteral("debtors"), TodayFigures::Part::Debtors, [this] {
        QStringList lines{QStringLiteral("合计 %1").arg(amount(m_read.debtors.total))};
        for (const Receivables::AgeingRow& row : std::as_const(m_read.debtors.largest))
            lines << QStringLiteral("%1  %2").arg(row.compName.isEmpty() ? row.compCode : row.compName, amount(row.total));
        return lines.join(QLatin1Char('\n'));
    });
    showCard(QStringLiteral("best"), TodayFigures::Part::BestSellers, [this] {
        QStringList lines;
        for (const TodayFigures::Goods& g : std::as_const(m_read.bestSellers))
            lines << QStringLiteral("%1 %2  %3").arg(g.code, g.name, amount(g.quantity));
        return lines.isEmpty() ? QStringLiteral("本月尚无销售") : lines.join(QLatin1Char('\n'));
    });
    showCard(QStringLiteral("backup"), TodayFigures::Part::Backup, [this] {
        return m_read.lastBackup.isValid() ? m_read.lastBackup.toString(QStringLiteral("yyyy-MM-dd hh:mm"))
                                           : QStringLiteral("没有自动备份");
    });
    showCard(QStringLiteral("oldstock"), TodayFigures::Part::OldStock,
             [this] { return QStringLiteral("库存金额 %1").arg(amount(m_read.oldStock)); });
    showCard(QStringLiteral("takings"), TodayFigures::Part::Takings, [this] {
        const TillShift::Takings& takings = m_read.takings;
        if (takings.byMethod.isEmpty())
            return QStringLiteral("今日没有零售收款");
        QStringList lines{QStringLiteral("合计 %1（%2 单）").arg(amount(takings.total())).arg(takings.sales)};
        for (const auto& [method, paid] : takings.byMethod)
            lines << QStringLiteral("%1  %2").arg(method, amount(paid));
        return lines.join(QLatin1Char('\n'));
    });
    showCard(QStringLiteral("members"), TodayFigures::Part::Members, [this] {
        const MemberAnalysis::Reminders& members = m_read.members;
        QStringList lines{QStringLiteral("本周生日 %1 位").arg(members.birthdays.size())};
        for (int i = 0; i < members.birthdays.size() && i < 2; ++i)
            lines << QStringLiteral("%1 %2").arg(members.birthdays[i].date.toString(QStringLiteral("M月d日")),
                                                 members.birthdays[i].name);
        lines << QStringLiteral("%1 天未到店 %2 位").arg(MemberAnalysis::idleDays).arg(members.idle.size());
        for (int i = 0; i < members.idle.size() && i < 2; ++i)
            lines << QStringLiteral("%1  %2").arg(members.idle[i].name, members.idle[i].date.toString(QStringLiteral("yyyy-MM-dd")));
        return lines.join(QLatin1Char('\n'));
    });
    showChart();
    emit refreshed();
}

void TodayPage::showCard(const QString& name, TodayFigures::Part part, const std::function<QString()>& text)
{
    const auto failure = m_read.failures.constFind(part);
    card(name)->body->setText(failure != m_read.failures.constEnd() ? failureText(*failure) : text());
}

void TodayPage::showChart()
{
    QChart* chart = m_chart->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    const auto failure = m_read.failures.constFind(TodayFigures::Part::Chart);
    if (failure != m_read.failures.constEnd()) {
        m_chartError->setText(failureText(*failure));
        m_chartError->show();
        return;
    }
    m_chartError->hide();
    auto* set = new QBarSet(QStringLiteral("金额"));
    QStringList labels;
    double highest = 0;
    for (const auto& [day, value] : std::as_const(m_read.daily)) {
        *set << value;
        labels << day.toString(QStringLiteral("d"));
        highest = qMax(highest, value);
    }
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    const Axis scale = valueAxis(highest);
    auto* y = new QValueAxis;
    y->setRange(0, scale.top);
    y->setTickCount(scale.steps + 1);
    y->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

TodayPage::Axis TodayPage::valueAxis(double highest)
{
    constexpr int mostSteps = 6;
    // No sales yet: an axis up to 1, not five labels reading 0.
    const double high = highest > 0 ? highest : 1;
    const double power = std::pow(10.0, std::floor(std::log10(high / mostSteps)));
    // The finest round step that reaches the highest bar within mostSteps.
    Axis axis;
    double step = 0;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        axis.steps = qMax(1, int(std::ceil(high / step - 1e-9)));
        if (axis.steps <= mostSteps)
            break;
    }
    axis.top = axis.steps * step;
    axis.decimals = step >= 1 ? 0 : int(-std::floor(std::log10(step) + 1e-9));
    return axis;
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
