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
#include "ui/QuietControls.h"
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
    cmd_find = WindowParts::addCommand(m_bar, "cmd_find", WindowParts::Command::Find);
    cmd_prin = WindowParts::addCommand(m_bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(m_bar, "cmd_exit", WindowParts::Command::Exit);
    m_bar->addStretch();
    layout->addLayout(m_bar);

    codeEdit = named<QLineEdit>("Edit1");
    nameBox = named<QComboBox>("ComboBox1");
    kindBox = named<QComboBox>("ComboBox2");
    for (QComboBox* box : {nameBox, kindBox}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    allBox = named<QCheckBox>("CheckBox1");
    allBox->setText(QStringLiteral("全部"));
    allBox->setChecked(true);
    auto* filters = new QGridLayout;
    WindowParts::addLabelled(filters, {{setup.codeLabel, codeEdit}, {setup.nameLabel, nameBox},
                                       {setup.kindLabel, kindBox}}, 3);
    filters->addWidget(allBox, 0, 6);
    layout->addLayout(filters);

    stockGrid = named<ui::DbGrid>("DBGrid1");
    ui::placeGridWindow(this, stockGrid);
    stockGrid->setReadOnly(true);
    stockGrid->setRowSelect(true);
    WarehouseParts::addGoodsColumns(stockGrid);
    layout->addWidget(stockGrid, 1);

    quantityTotalEdit = named<QLineEdit>("Edit2");
    QList<std::pair<QString, QWidget*>> totals{{setup.quantityLabel, quantityTotalEdit}};
    if (!setup.costLabel.isEmpty()) {
        costTotalEdit = named<QLineEdit>("Edit3");
        totals.append({setup.costLabel, costTotalEdit});
    }
    auto* totalRow = new QGridLayout;
    WindowParts::addLabelled(totalRow, totals, 2);
    for (QLineEdit* box : {quantityTotalEdit, costTotalEdit})
        if (box)
            box->setReadOnly(true);
    layout->addLayout(totalRow);

    connect(cmd_find, &QPushButton::clicked, this, &StockListWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &StockListWindow::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &StockListWindow::cmd_exitClick);
    // Only the user's own changes run the handlers: a box the handlers clear stays quiet.
    connect(codeEdit, &QLineEdit::textEdited, this, &StockListWindow::onCodeEdited);
    connect(nameBox, &QComboBox::activated, this, &StockListWindow::onNamePicked);
    connect(kindBox, &QComboBox::activated, this, &StockListWindow::onKindPicked);
    // A kind typed into the box counts as one picked from its list.
    connect(kindBox->lineEdit(), &QLineEdit::textEdited, this, &StockListWindow::onKindPicked);
    connect(allBox, &QCheckBox::clicked, this, &StockListWindow::onAllClicked);

    ui::BusyCursor busy;
    try {
        DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_name"), nameBox);
        DataHelpers::fillCombo(QStringLiteral("goods"), QStringLiteral("gods_kind"), kindBox);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("无法读取货品资料"), e, this);
    }
    ui::applyRight(cmd_find, Right::Find, setup.position);
    ui::applyRight(cmd_prin, Right::Print, setup.position);
}

StockQuery::Filter StockListWindow::filter() const
{
    return {codeEdit->text(), kindBox->currentText()};
}

void StockListWindow::cmd_findClick()
{
    db::Dataset* q = m_setup.dataset;
    ui::BusyCursor busy;
    try {
        const ui::QuietControls quiet(*q);
        prepareQuery();
        q->open();
        m_queried = true;
        const StockQuery::Totals totals = StockQuery::sum(*q);
        quantityTotalEdit->setText(DataHelpers::amountText(totals.quantity));
        if (costTotalEdit)
            costTotalEdit->setText(DataHelpers::amountText(totals.cost));
        if (!q->isEmpty())
            q->first();
    } catch (const std::exception& e) {
        q->close();
        m_queried = false;
        WarehouseParts::reportFailure(QStringLiteral("查询失败"), e, this);
        return;
    }
    // The grid must follow the new dataset (the window may have shown another list before).
    if (stockGrid->dataset() != q)
        stockGrid->setDataset(q);
}

void StockListWindow::onCodeEdited()
{
    db::Dataset* q = m_setup.dataset;
    if (!m_queried || !q->isOpen() || q->isEmpty())
        return;
    try {
        WarehouseParts::moveToCode(*q, codeEdit->text().trimmed());
    } catch (const std::exception&) {
        return;   // positioning is a convenience; the list stays as it is
    }
    kindBox->setCurrentIndex(-1);
    kindBox->setEditText(QString());
    allBox->setChecked(false);
}

void StockListWindow::onNamePicked()
{
    const QString name = nameBox->currentText().trimmed();
    if (name.isEmpty())
        return;
    codeEdit->setText(DataHelpers::lookup(QStringLiteral("goods"), QStringLiteral("gods_name"), name,
                                       QStringLiteral("gods_code")));
    kindBox->setCurrentIndex(-1);
    kindBox->setEditText(QString());
    allBox->setChecked(false);
    db::Dataset* q = m_setup.dataset;
    if (m_queried && q->isOpen() && !q->isEmpty()) {
        try {
            WarehouseParts::moveToCode(*q, codeEdit->text().trimmed());
        } catch (const std::exception&) {
        }
    }
}

void StockListWindow::onKindPicked()
{
    if (kindBox->currentText().trimmed().isEmpty())
        return;
    codeEdit->clear();
    nameBox->setCurrentIndex(-1);
    nameBox->setEditText(QString());
    allBox->setChecked(false);
}

void StockListWindow::onAllClicked()
{
    codeEdit->clear();
    for (QComboBox* box : {nameBox, kindBox}) {
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
        const ui::QuietControls quiet(*q);
        report.preview(this);
    } catch (const std::exception& e) {
        WarehouseParts::reportFailure(QStringLiteral("打印失败"), e, this);
    }
}

void StockListWindow::cmd_exitClick()
{
    close();
}
