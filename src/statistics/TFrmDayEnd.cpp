#include "statistics/TFrmDayEnd.h"

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "reports/AnalysisLayout.h"
#include "reports/ReportLayouts.h"
#include "shop/TillShift.h"
#include "ui/WindowParts.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TFrmDayEnd::TFrmDayEnd(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmDayEnd"));
    setWindowTitle(QStringLiteral("日结"));
    resize(820, 480);
    m_date = WindowParts::named<QDateEdit>("dateBox", this);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setDate(Clock::now().date());
    m_shifts = WindowParts::named<QTableWidget>("shiftsGrid", this);
    m_shifts->setColumnCount(7);
    m_shifts->setHorizontalHeaderLabels({"收银员", "开班", "交班", "备用金", "应有现金", "清点现金", "长短款"});
    m_shifts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_shifts->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_takings = WindowParts::named<QLabel>("takingsLabel", this);
    m_takings->setTextFormat(Qt::PlainText);
    m_print = WindowParts::named<QPushButton>("printButton", this);
    m_print->setText(WindowParts::commandCaption(WindowParts::Command::Print));
    m_print->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(WindowParts::caption(QStringLiteral("日期"), m_date, this));
    top->addWidget(m_date);
    top->addStretch();
    top->addWidget(m_print);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(m_shifts, 1);
    column->addWidget(m_takings);
    connect(m_date, &QDateEdit::dateChanged, this, &TFrmDayEnd::showDay);
    connect(m_print, &QPushButton::clicked, this, &TFrmDayEnd::print);
    showDay();
}

void TFrmDayEnd::showDay()
{
    db::Connection& connection = dataModule().AdoConn;
    const QDate day = m_date->date();
    const QList<TillShift::Shift> shifts = TillShift::shiftsOfDay(connection, day);
    m_shifts->setRowCount(int(shifts.size()));
    const QString time = QStringLiteral("hh:mm");
    for (int row = 0; row < shifts.size(); ++row) {
        const TillShift::Shift& s = shifts.at(row);
        const bool closed = s.closed.isValid();
        const QStringList cells = {s.cashier,
                                   s.opened.toString(time),
                                   closed ? s.closed.toString(time) : QStringLiteral("未交班"),
                                   DataHelpers::amountText(s.openingFloat),
                                   closed ? DataHelpers::amountText(s.expected) : QString(),
                                   closed ? DataHelpers::amountText(s.counted) : QString(),
                                   closed ? DataHelpers::amountText(s.difference) : QString()};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c == 6 && closed && s.difference != 0)
                item->setForeground(QColor(0xc6, 0x28, 0x28));
            m_shifts->setItem(row, c, item);
        }
    }
    const TillShift::Takings takings = TillShift::dayTakings(connection, day);
    QStringList lines{QStringLiteral("销售 %1 单，退货 %2 单，收款合计 %3").arg(takings.sales).arg(takings.returns).arg(DataHelpers::amountText(takings.total()))};
    for (const auto& [method, amount] : takings.byMethod)
        lines << QStringLiteral("%1：%2").arg(method, DataHelpers::amountText(amount));
    m_takings->setText(lines.join(QLatin1Char('\n')));
}

void TFrmDayEnd::print()
{
    const QString choices = QStringLiteral("%1  %2").arg(m_date->date().toString(QStringLiteral("yyyy-MM-dd")),
                                                        m_takings->text().replace(QLatin1Char('\n'), QStringLiteral("；")));
    // The money columns: float, expected, counted, difference.
    ReportLayouts::get<AnalysisLayout>().previewTable(windowTitle(), choices, *m_shifts->model(),
                                                      [](int column) { return column >= 3; }, this);
}
