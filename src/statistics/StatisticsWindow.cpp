#include "statistics/StatisticsWindow.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayout.h"
#include "ui/BusyCursor.h"
#include "ui/QuietControls.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using WindowParts::named;

namespace {

const QString shortDate = QStringLiteral("yyyy-MM-dd");

QDateEdit* datePicker(const char* name)
{
    auto* picker = named<QDateEdit>(name);
    picker->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    picker->setCalendarPopup(false);
    picker->setDate(Clock::today());
    return picker;
}

QLineEdit* totalBox(const char* name)
{
    auto* box = named<QLineEdit>(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace

StatisticsWindow::StatisticsWindow(const QString& caption, const QString& name, db::Dataset* dataset,
                                   int rightPosition, QWidget* parent)
    : QDialog(parent), m_dataset(dataset)
{
    const ui::BusyCursor busy;
    setObjectName(name);
    setWindowTitle(caption);
    resize(792, 573);

    cmd_find = named<QPushButton>("cmd_find");
    cmd_prin = named<QPushButton>("cmd_prin");
    cmd_exit = named<QPushButton>("cmd_exit");
    fromDateEdit = datePicker("DP1");
    toDateEdit = datePicker("DP2");
    quantityTotalEdit = totalBox("Edit1");
    amountTotalEdit = totalBox("Edit2");
    resultGrid = named<ui::DbGrid>("DBGrid1");
    ui::placeGridWindow(this, resultGrid);
    resultGrid->setReadOnly(true);
    resultGrid->setRowSelect(true);

    // No result until 查询: a list left open by an earlier window is not shown as this one's.
    m_dataset->close();
    resultGrid->setDataset(m_dataset);

    cmd_find->setEnabled(hasRight(Right::Find, rightPosition));
    cmd_prin->setEnabled(hasRight(Right::Print, rightPosition));
    connect(cmd_find, &QPushButton::clicked, this, &StatisticsWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &StatisticsWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &StatisticsWindow::cmd_exitClick);
}

QBoxLayout* StatisticsWindow::toolBar()
{
    auto* bar = new QHBoxLayout;
    using WindowParts::Command;
    const std::pair<QPushButton*, QString> buttons[] = {{cmd_find, WindowParts::commandCaption(Command::Find)},
                                                        {cmd_prin, WindowParts::commandCaption(Command::Print)},
                                                        {cmd_exit, WindowParts::commandCaption(Command::Exit)}};
    for (const auto& [button, text] : buttons) {
        button->setText(text);
        button->setAutoDefault(false);
        bar->addWidget(button);
    }
    bar->addStretch();
    return bar;
}

void StatisticsWindow::setColumns(const QList<std::tuple<QString, QString, int>>& columns)
{
    for (const auto& [field, title, width] : columns)
        resultGrid->addColumn(field, title, width);
}

statistics::DateRange StatisticsWindow::dates() const
{
    return {fromDateEdit->date(), toDateEdit->date()};
}

statistics::BillType StatisticsWindow::billType(const QRadioButton* own, const QRadioButton* returns)
{
    if (own->isChecked())
        return statistics::BillType::Own;
    if (returns->isChecked())
        return statistics::BillType::Return;
    return statistics::BillType::All;
}

QGroupBox* StatisticsWindow::radioGroup(const QString& title, const QList<QRadioButton*>& buttons)
{
    auto* group = new QGroupBox(title);
    auto* layout = new QVBoxLayout(group);
    for (QRadioButton* button : buttons)
        layout->addWidget(button);
    return group;
}

QRadioButton* StatisticsWindow::radio(const char* name, const QString& text, bool checked)
{
    auto* button = named<QRadioButton>(name);
    button->setText(text);
    button->setChecked(checked);
    return button;
}

void StatisticsWindow::cmd_findClick()
{
    const ui::BusyCursor busy;
    m_hasResult = false;
    try {
        const ui::QuietControls quiet(*m_dataset);
        query().applyTo(*m_dataset);
        m_dataset->open();
        m_totals = totals();
        m_dataset->first();
    } catch (const std::exception& e) {
        // The totals keep their old text, but with the list closed there is nothing to print.
        m_dataset->close();
        ui::showError(QStringLiteral("查询失败：%1").arg(ui::errorText(e)), this);
        return;
    }
    quantityTotalEdit->setText(statistics::totalText(m_totals.quantity));
    amountTotalEdit->setText(statistics::totalText(m_totals.amount));
    m_labels = choiceLabels();
    m_labels << std::pair(QStringLiteral("datea"), fromDateEdit->date().toString(shortDate))
             << std::pair(QStringLiteral("dateb"), toDateEdit->date().toString(shortDate))
             << std::pair(QStringLiteral("hjsl"), quantityTotalEdit->text()) << std::pair(QStringLiteral("hjje"), amountTotalEdit->text());
    m_hasResult = true;
}

void StatisticsWindow::cmd_prinClick()
{
    if (!m_hasResult || !m_dataset->isOpen() || !(m_totals.quantity > 0))
        return;
    ReportLayout& report = reportLayout();
    for (const auto& [name, text] : m_labels)
        report.setLabelText(name, text);
    const ui::QuietControls quiet(*m_dataset);
    report.preview(this);
}

void StatisticsWindow::cmd_exitClick()
{
    close();
}
