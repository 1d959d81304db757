#include "warehouse/StockListWindow.h"

#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "reports/ReportLayout.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/ModeWindow.h"
#include "ui/WindowPlacement.h"
#include "shop/StockQuery.h"
#include "warehouse/WarehouseParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using WindowParts::named;

StockListWindow::StockListWindow(const Setup& setup, QWidget* parent)
    : QDialog(parent), m_setup(setup)
{
    resize(980, 600);
    auto* layout = new QVBoxLayout(this);
    m_bar = new QHBoxLayout;
    cmd_find = WindowParts::addButton(m_bar, "cmd_find", QStringLiteral("查询[&F]"));
    cmd_prin = WindowParts::addButton(m_bar, "cmd_prin", QStringLiteral("打印[&P]"));
    cmd_exit = WindowParts::addButton(m_bar, "cmd_exit", QStringLiteral("退出[&X]"));
    m_bar->addStretch();
    layout->addLayout(m_bar);

    Edit1 = named<QLineEdit>("Edit1");
    ComboBox1 = named<QComboBox>("ComboBox1");
    ComboBox2 = named<QComboBox>("ComboBox2");
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    CheckBox1 = named<QCheckBox>("CheckBox1");
    CheckBox1->setText(QStringLiteral("全部"));
    CheckBox1->setChecked(true);
    auto* filters = new QGridLayout;
    WindowParts::addLabelled(filters, {{setup.codeLabel, Edit1}, {setup.nameLabel, ComboBox1},
                                       {setup.kindLabel, ComboBox2}}, 3);
    filters->addWidget(CheckBox1, 0, 6);
    layout->addLayout(filters);

    DBGrid1 = named<ui::DbGrid>("DBGrid1");
    ui::placeGridWindow(this, DBGrid1);
    DBGrid1->setReadOnly(true);
    DBGrid1->setRowSelect(true);
    WarehouseParts::addGoodsColumns(DBGrid1);
    layout->addWidget(DBGrid1, 1);

    Edit2 = named<QLineEdit>("Edit2");
    QList<std::pair<QString, QWidget*>> totals{{setup.quantityLabel, Edit2}};
    if (!setup.costLabel.isEmpty()) {
        Edit3 = named<QLineEdit>("Edit3");
        totals.append({setup.costLabel, Edit3});
    }
    auto* totalRow = new QGridLayout;
    WindowParts::addLabelled(totalRow, totals, 2);
    for (QLineEdit* box : {Edit2, Edit3})
        if (box)
            box->setReadOnly(true);
    layout->addLayout(totalRow);

    connect(cmd_find, &QPushButton::clicked, this, &StockListWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &StockListWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &StockListWindow::cmd_exitClick);
    // Only the user's own changes run the handlers: a box the handlers clear stays quiet.
    connect(Edit1, &QLineEdit::textEdited, this, &StockListWindow::Edit1Change);
    connect(ComboBox1, &QComboBox::activated, this, &StockListWindow::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &StockListWindow::ComboBox2Change);
    // A kind typed into the box counts as one picked from its list.
    connect(ComboBox2->lineEdit(), &QLineEdit::textEdited, this, &StockListWindow::ComboBox2Change);
    connect(CheckBox1, &QCheckBox::clicked, this, &StockListWindow::CheckBox1Click);

    ui::BusyCursor busy;
    try {
        DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_name"), ComboBox1);
        DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_kind"), ComboBox2);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法读取货品资料"), e, this);
    }
    ui::applyRight(cmd_find, Right::Find, setup.position);
    ui::applyRight(cmd_prin, Right::Print, setup.position);
}

StockQuery::Filter StockListWindow::filter() const
{
    return {Edit1->text(), ComboBox2->currentText()};
}

void StockListWindow::cmd_findClick()
{
    db::Dataset* q = m_setup.dataset;
    ui::BusyCursor busy;
    q->disableControls();
    try {
        prepareQuery();
        q->open();
        m_queried = true;
    } catch (const std::exception& e) {
        q->close();
        q->enableControls();
        m_queried = false;
        WarehouseParts::reportFailure(QStringLiteral("查询失败"), e, this);
        return;
    }
    const StockQuery::Totals totals = StockQuery::sum(*q);
    Edit2->setText(DataHelpers::amountText(totals.quantity));
    if (Edit3)
        Edit3->setText(DataHelpers::amountText(totals.cost));
    if (!q->isEmpty())
        q->first();
    q->enableControls();
    // The grid must follow the new dataset (the window may have shown another list before).
    if (DBGrid1->dataset() != q)
        DBGrid1->setDataset(q);
}

void StockListWindow::Edit1Change()
{
    db::Dataset* q = m_setup.dataset;
    if (!m_queried || !q->isOpen() || q->isEmpty())
        return;
    try {
        WarehouseParts::moveToCode(*q, Edit1->text().trimmed());
    } catch (const std::exception&) {
        return;   // positioning is a convenience; the list stays as it is
    }
    ComboBox2->setCurrentIndex(-1);
    ComboBox2->setEditText(QString());
    CheckBox1->setChecked(false);
}

void StockListWindow::ComboBox1Change()
{
    const QString name = ComboBox1->currentText().trimmed();
    if (name.isEmpty())
        return;
    Edit1->setText(DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_name"), name,
                                       QStringLiteral("gods_code")));
    ComboBox2->setCurrentIndex(-1);
    ComboBox2->setEditText(QString());
    CheckBox1->setChecked(false);
    db::Dataset* q = m_setup.dataset;
    if (m_queried && q->isOpen() && !q->isEmpty()) {
        try {
            WarehouseParts::moveToCode(*q, Edit1->text().trimmed());
        } catch (const std::exception&) {
        }
    }
}

void StockListWindow::ComboBox2Change()
{
    if (ComboBox2->currentText().trimmed().isEmpty())
        return;
    Edit1->clear();
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
    CheckBox1->setChecked(false);
}

void StockListWindow::CheckBox1Click()
{
    Edit1->clear();
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
}

void StockListWindow::cmd_prinClick()
{
    db::Dataset* q = m_setup.dataset;
    if (!m_queried || !q->isOpen())
        return;
    try {
        ReportLayout& report = prepareReport();
        q->disableControls();
        report.preview(this);
        q->enableControls();
    } catch (const std::exception& e) {
        q->enableControls();
        WarehouseParts::reportFailure(QStringLiteral("打印失败"), e, this);
    }
}

void StockListWindow::cmd_exitClick()
{
    close();
}
