#include "statistics/AnalysisWindow.h"

#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/ShopServer.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "reports/AnalysisLayout.h"
#include "reports/ReportLayouts.h"
#include "shop/Worker.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/SheetExport.h"
#include "ui/WindowParts.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

using WindowParts::named;

namespace {

// What a cell holds for the spreadsheet; its text is what the screen shows.
constexpr int valueRole = Qt::UserRole + 1;

} // namespace

AnalysisWindow::AnalysisWindow(const QString& caption, const QString& name, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    resize(900, 600);
    cmd_find = named<QPushButton>("cmd_find");
    cmd_prin = named<QPushButton>("cmd_prin");
    cmd_export = named<QPushButton>("cmd_export");
    cmd_exit = named<QPushButton>("cmd_exit");
    ReadingLabel = named<QLabel>("ReadingLabel");
    m_model = new QStandardItemModel(this);
    ResultGrid = named<QTableView>("ResultGrid");
    ResultGrid->setModel(m_model);
    ResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ResultGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ResultGrid->verticalHeader()->hide();
    ResultGrid->verticalHeader()->setDefaultSectionSize(22);
    auto* excel = new QAction(QStringLiteral("导出到Excel"), ResultGrid);
    excel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    excel->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ResultGrid->addAction(excel);
    ResultGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(excel, &QAction::triggered, this, &AnalysisWindow::cmd_exportClick);

    cmd_find->setEnabled(hasRight(Right::Find, Function::RankByGoods));
    cmd_prin->setEnabled(hasRight(Right::Print, Function::RankByGoods));
    cmd_export->setEnabled(cmd_prin->isEnabled());
    excel->setEnabled(cmd_export->isEnabled());
    connect(cmd_find, &QPushButton::clicked, this, &AnalysisWindow::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &AnalysisWindow::cmd_prinClick);
    connect(cmd_export, &QPushButton::clicked, this, &AnalysisWindow::cmd_exportClick);
    connect(cmd_exit, &QPushButton::clicked, this, &AnalysisWindow::cmd_exitClick);
    m_reader = new Worker(this);
    connect(m_reader, &Worker::finished, this, &AnalysisWindow::readingFinished);
}

AnalysisWindow::~AnalysisWindow()
{
    // The reading writes into this window: it must end before the window goes.
    m_reader->stop();
}

bool AnalysisWindow::isReading() const
{
    return m_reader->isRunning();
}

void AnalysisWindow::layOut(const QList<QWidget*>& leading, const QList<std::pair<QString, QWidget*>>& labelled,
                            QWidget* chart)
{
    auto* bar = new QHBoxLayout;
    using WindowParts::Command;
    const std::pair<QPushButton*, QString> buttons[] = {{cmd_find, WindowParts::commandCaption(Command::Find)},
                                                        {cmd_prin, WindowParts::commandCaption(Command::Print)},
                                                        {cmd_export, QStringLiteral("导出[&E]")},
                                                        {cmd_exit, WindowParts::commandCaption(Command::Exit)}};
    for (const auto& [button, text] : buttons) {
        button->setText(text);
        button->setAutoDefault(false);
        bar->addWidget(button);
    }
    bar->addWidget(ReadingLabel);
    bar->addStretch();

    auto* choices = new QGroupBox(QStringLiteral("查询条件"));
    auto* choiceRow = new QHBoxLayout(choices);
    for (QWidget* widget : leading)
        choiceRow->addWidget(widget);
    auto* boxes = new QGridLayout;
    WindowParts::addLabelled(boxes, labelled, int(labelled.size()));
    choiceRow->addLayout(boxes, 1);

    auto* rows = new QVBoxLayout(this);
    rows->addLayout(bar);
    rows->addWidget(choices);
    rows->addWidget(ResultGrid, 1);
    if (chart)
        rows->addWidget(chart, 1);
}

void AnalysisWindow::cmd_findClick()
{
    if (m_reader->isRunning()) {
        // What shows must answer the last choices: the reading under way is dropped.
        m_readAgain = true;
        m_reader->requestStop();
        return;
    }
    ReadingLabel->setText(QStringLiteral("读取中…"));
    const ShopServer::Place place = ShopServer::placeOf(dataModule().AdoConn);
    Reading read = reading();
    m_readingChoices = choiceText();
    m_failure = nullptr;
    m_reader->start([this, place, read](const std::atomic_bool&) {
        try {
            // The window's connection belongs to its thread: the reader opens its own.
            db::Connection connection;
            ShopServer::open(connection, place);
            read(connection);
        } catch (...) {
            m_failure = std::current_exception();
        }
    });
}

void AnalysisWindow::readingFinished()
{
    if (m_readAgain) {
        m_readAgain = false;
        cmd_findClick();
        return;
    }
    ReadingLabel->clear();
    if (m_failure) {
        try {
            std::rethrow_exception(m_failure);
        } catch (const std::exception& e) {
            ui::showError(QStringLiteral("查询失败：%1").arg(ui::errorText(e)), this);
        }
    } else {
        m_choices = m_readingChoices;
        showResult();
    }
    emit resultShown();
}

void AnalysisWindow::cmd_exportClick()
{
    if (!cmd_export->isEnabled() || m_model->rowCount() == 0)
        return;
    const QString fileName = ui::SheetExport::askFileName(this, windowTitle(), true);
    if (fileName.isEmpty())
        return;
    QList<SheetColumn> columns;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const bool number = isNumberColumn(column);
        columns.append({m_model->headerData(column, Qt::Horizontal).toString(),
                        number ? SheetColumn::Kind::Number : SheetColumn::Kind::Text,
                        number ? DataHelpers::amountFormat : QString(), 0});
    }
    ui::SheetExport::write(this, fileName, windowTitle(), columns, m_model->rowCount(),
                           [this](int row, int column) { return m_model->index(row, column).data(valueRole); });
}

void AnalysisWindow::cmd_prinClick()
{
    if (!cmd_prin->isEnabled() || m_model->rowCount() == 0)
        return;
    ReportLayouts::get<AnalysisLayout>().previewTable(windowTitle(), m_choices, *m_model,
                                                      [this](int column) { return isNumberColumn(column); }, this);
}

bool AnalysisWindow::isNumberColumn(int column) const
{
    // A column holds numbers when its first filled cell is one: an empty cell tells nothing.
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QVariant value = m_model->index(row, column).data(valueRole);
        if (value.isValid())
            return value.typeId() == QMetaType::Double;
    }
    return false;
}

void AnalysisWindow::cmd_exitClick()
{
    close();
}

void AnalysisWindow::startTable(const QStringList& captions)
{
    m_model->clear();
    m_model->setHorizontalHeaderLabels(captions);
}

void AnalysisWindow::addRow(const QVariantList& cells)
{
    QList<QStandardItem*> items;
    for (const QVariant& cell : cells) {
        auto* item = new QStandardItem;
        if (cell.typeId() == QMetaType::Double) {
            const double value = cell.toDouble();
            if (!std::isnan(value)) {
                item->setText(DataHelpers::amountText(value));
                item->setData(value, valueRole);
            }
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else if (cell.typeId() == QMetaType::QDate) {
            item->setText(cell.toDate().toString(QStringLiteral("yyyy-MM-dd")));
            item->setData(cell, valueRole);
        } else {
            item->setText(cell.toString());
            item->setData(cell.toString(), valueRole);
        }
        items << item;
    }
    m_model->appendRow(items);
}

QVariant AnalysisWindow::percent(const std::optional<double>& value)
{
    // One decimal, as the shares are given; none stays empty.
    return value ? QVariant(std::round(*value * 10.0) / 10.0) : QVariant(std::nan(""));
}

QDateEdit* AnalysisWindow::datePicker(const char* name, const QDate& date)
{
    auto* picker = named<QDateEdit>(name);
    picker->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    picker->setDate(date);
    return picker;
}

QComboBox* AnalysisWindow::choiceBox(const char* name, const QStringList& items)
{
    auto* box = named<QComboBox>(name);
    box->addItems(items);
    return box;
}
