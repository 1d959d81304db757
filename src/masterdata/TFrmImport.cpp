#include "masterdata/TFrmImport.h"

#include "core/CurrentRights.h"
#include "core/SheetReader.h"
#include "core/SheetWriter.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "ui/BusyCursor.h"
#include "ui/CancelProgress.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/SheetExport.h"
#include "ui/WindowParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

using WindowParts::named;
using SheetImport::Kind;

namespace {

const QList<Kind> kinds = {Kind::Goods, Kind::Companies, Kind::Employees, Kind::OpeningStock, Kind::Members};

int positionOf(Kind kind)
{
    switch (kind) {
    case Kind::Goods:
        return Function::Goods;
    case Kind::Companies:
        return Function::Company;
    case Kind::Employees:
        return Function::Employee;
    case Kind::Members:
        return Function::Members;
    case Kind::OpeningStock:
        break;
    }
    return Function::OpeningStock;
}

QString rowText(int row)
{
    return row > 0 ? QString::number(row) : QString();
}

QString ignoredColumns(const SheetImport::Checked& checked)
{
    return QStringLiteral("未识别的列（已忽略）：%1").arg(checked.unknownColumns.join(QStringLiteral("、")));
}

// The columns left out, on a line of the box's own: a column the user meant to
// import must not pass unseen.
QString ignoredText(const SheetImport::Checked& checked)
{
    return checked.unknownColumns.isEmpty() ? QString() : QLatin1Char('\n') + ignoredColumns(checked);
}

} // namespace

TFrmImport::TFrmImport(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmImport"));
    setWindowTitle(QStringLiteral("导入"));
    resize(760, 520);

    KindBox = named<QComboBox>("KindBox", this);
    for (Kind k : kinds)
        KindBox->addItem(SheetImport::kindName(k));
    FileEdit = named<QLineEdit>("FileEdit", this);
    auto* fileButton = named<QPushButton>("cmd_file", this);
    fileButton->setText(QStringLiteral("浏览…"));
    fileButton->setAutoDefault(false);
    UpdateBox = named<QCheckBox>("UpdateBox", this);
    UpdateBox->setText(QStringLiteral("更新已有"));
    UpdateBox->setToolTip(QStringLiteral("编码已存在时用文件中的值更新它，而不是报错"));

    auto* form = new QGridLayout;
    form->addWidget(WindowParts::caption(QStringLiteral("导入内容"), KindBox, this), 0, 0);
    form->addWidget(KindBox, 0, 1);
    form->addWidget(UpdateBox, 0, 2);
    form->addWidget(WindowParts::caption(QStringLiteral("文件"), FileEdit, this), 1, 0);
    form->addWidget(FileEdit, 1, 1);
    form->addWidget(fileButton, 1, 2);
    form->setColumnStretch(1, 1);

    SummaryLabel = named<QLabel>("SummaryLabel", this);
    SummaryLabel->setWordWrap(true);
    SummaryLabel->setText(QStringLiteral("文件的第一行是列标题，按窗口中的名称对应（可先导出模板）。支持 .xlsx 和 CSV 文件。"));
    ReportGrid = named<QTableWidget>("ReportGrid", this);
    ReportGrid->setColumnCount(4);
    ReportGrid->setHorizontalHeaderLabels(
        {QStringLiteral("行号"), QStringLiteral("列"), QStringLiteral("值"), QStringLiteral("原因")});
    ReportGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ReportGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ReportGrid->verticalHeader()->hide();
    ReportGrid->horizontalHeader()->setStretchLastSection(true);
    ReportGrid->setColumnWidth(0, 60);
    ReportGrid->setColumnWidth(1, 100);
    ReportGrid->setColumnWidth(2, 160);

    auto* bar = new QHBoxLayout;
    QPushButton* importButton = WindowParts::addButton(bar, "cmd_import", QStringLiteral("导入[&I]"));
    QPushButton* templateButton = WindowParts::addButton(bar, "cmd_template", QStringLiteral("导出模板[&T]"));
    cmd_report = WindowParts::addButton(bar, "cmd_report", QStringLiteral("保存报告[&R]"));
    cmd_report->setEnabled(false);
    bar->addStretch(1);
    QPushButton* exitButton = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(SummaryLabel);
    layout->addWidget(ReportGrid, 1);
    layout->addLayout(bar);

    connect(fileButton, &QPushButton::clicked, this, &TFrmImport::cmd_fileClick);
    connect(importButton, &QPushButton::clicked, this, [this] { cmd_importClick(); });
    connect(templateButton, &QPushButton::clicked, this, &TFrmImport::cmd_templateClick);
    connect(cmd_report, &QPushButton::clicked, this, &TFrmImport::cmd_reportClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

Kind TFrmImport::kind() const
{
    return kinds.value(KindBox->currentIndex(), Kind::Goods);
}

void TFrmImport::cmd_fileClick()
{
    const QString start = FileEdit->text().isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              : QFileInfo(FileEdit->text()).absolutePath();
    const QString fileName = ui::dialogs().openFileName(
        this, QStringLiteral("选择要导入的文件"), start,
        QStringLiteral("Excel 或 CSV 文件 (*.xlsx *.csv);;Excel 文件 (*.xlsx);;CSV 文件 (*.csv)"));
    if (!fileName.isEmpty())
        FileEdit->setText(fileName);
}

bool TFrmImport::cmd_importClick()
{
    const Kind k = kind();
    const QString name = SheetImport::kindName(k);
    const bool update = UpdateBox->isChecked();
    if (!hasRight(Right::Add, positionOf(k)) || (update && !hasRight(Right::Edit, positionOf(k)))) {
        ui::warn(QStringLiteral("您没有导入%1的权限").arg(name), this);
        return false;
    }
    const QString fileName = FileEdit->text().trimmed();
    if (fileName.isEmpty()) {
        ui::warn(QStringLiteral("请选择要导入的文件"), this);
        WindowParts::focusBox(FileEdit);
        return false;
    }
    m_problems.clear();
    ReportGrid->setRowCount(0);
    cmd_report->setEnabled(false);

    db::Connection& connection = dataModule().AdoConn;
    SheetImport::Checked checked;
    {
        ui::CancelProgress progress(QStringLiteral("正在检查 %1…").arg(QFileInfo(fileName).fileName()), this);
        try {
            const QList<SheetRow> sheet = [&] {
                ui::BusyCursor busy;
                return SheetReader::read(fileName);
            }();
            checked = SheetImport::check(connection, k, sheet, update, std::ref(progress));
        } catch (const std::exception& e) {
            progress.close();
            // The summary no longer speaks of the previous file.
            SummaryLabel->setText(QStringLiteral("没有导入任何数据。"));
            ui::showError(ui::errorText(e), this);
            return false;
        }
    }
    if (checked.cancelled) {
        SummaryLabel->setText(QStringLiteral("已取消，没有导入任何数据。"));
        return false;
    }
    if (!checked.refusal.isEmpty()) {
        showReport(checked);
        ui::warn(checked.refusal + QStringLiteral("，没有导入任何数据。") + ignoredText(checked), this);
        return false;
    }
    bool addList = false;
    if (checked.problems.isEmpty() && !checked.newListValues.isEmpty()) {
        QStringList values;
        for (const SheetImport::ListValue& v : std::as_const(checked.newListValues).mid(0, 10))
            values.append(QStringLiteral("%1“%2”").arg(v.caption, v.value));
        if (checked.newListValues.size() > 10)
            values.append(QStringLiteral("…共 %1 个").arg(checked.newListValues.size()));
        addList = ui::askYesNo(QStringLiteral("以下值不在代码表中：\n%1\n是否把它们添加到代码表后导入?")
                                   .arg(values.join(QLatin1Char('\n'))),
                               this);
    }
    if (!checked.problems.isEmpty() || (!checked.newListValues.isEmpty() && !addList)) {
        showReport(checked, !addList);
        ui::warn(QStringLiteral("发现 %1 处错误，没有导入任何数据。请按报告改正文件后重新导入。").arg(m_problems.size())
                     + ignoredText(checked),
                 this);
        return false;
    }

    bool written = false;
    {
        ui::CancelProgress progress(QStringLiteral("正在导入 %1 行…").arg(checked.rows.size()), this);
        try {
            written = SheetImport::write(connection, checked, addList, std::ref(progress));
        } catch (const std::exception& e) {
            progress.close();
            ui::showError(QStringLiteral("导入失败，没有写入任何数据：%1").arg(ui::errorText(e)), this);
            return false;
        }
    }
    if (!written) {
        SummaryLabel->setText(QStringLiteral("已取消，没有导入任何数据。"));
        return false;
    }
    requeryShared();
    showReport(checked);
    const int updated = checked.updateCount();
    ui::inform(QStringLiteral("导入完成：%1 新增 %2 条，更新 %3 条。")
                       .arg(name)
                       .arg(checked.rows.size() - updated)
                       .arg(updated)
                   + ignoredText(checked),
               this);
    return true;
}

void TFrmImport::showReport(const SheetImport::Checked& checked, bool listRefused)
{
    m_problems = checked.problems;
    if (!checked.refusal.isEmpty())
        m_problems.prepend({1, {}, {}, checked.refusal});
    if (listRefused)
        for (const SheetImport::ListValue& v : checked.newListValues)
            m_problems.append({v.row, v.caption, v.value, SheetImport::listReason(v)});
    std::stable_sort(m_problems.begin(), m_problems.end(),
                     [](const SheetImport::Problem& a, const SheetImport::Problem& b) { return a.row < b.row; });
    QStringList lines;
    if (!checked.unknownColumns.isEmpty())
        lines.append(ignoredColumns(checked));
    if (m_problems.isEmpty())
        lines.append(QStringLiteral("检查了 %1 行，没有错误。").arg(checked.rows.size()));
    else
        lines.append(QStringLiteral("检查了 %1 行，发现 %2 处错误，没有导入任何数据。")
                         .arg(checked.rows.size())
                         .arg(m_problems.size()));
    SummaryLabel->setText(lines.join(QLatin1Char('\n')));
    ReportGrid->setRowCount(int(m_problems.size()));
    for (int i = 0; i < m_problems.size(); ++i) {
        const SheetImport::Problem& p = m_problems[i];
        const QStringList cells = {rowText(p.row), p.column, p.value, p.reason};
        for (int c = 0; c < cells.size(); ++c)
            ReportGrid->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    cmd_report->setEnabled(!m_problems.isEmpty());
}

void TFrmImport::cmd_reportClick()
{
    if (m_problems.isEmpty())
        return;
    const QString fileName = ui::SheetExport::askFileName(this, QStringLiteral("导入报告"), false);
    if (fileName.isEmpty())
        return;
    const QList<SheetColumn> columns = {{QStringLiteral("行号"), SheetColumn::Kind::Number, {}, 8},
                                        {QStringLiteral("列"), SheetColumn::Kind::Text, {}, 14},
                                        {QStringLiteral("值"), SheetColumn::Kind::Text, {}, 24},
                                        {QStringLiteral("原因"), SheetColumn::Kind::Text, {}, 50}};
    ui::SheetExport::write(this, fileName, QStringLiteral("导入报告"), columns, int(m_problems.size()),
                           [this](int row, int column) -> QVariant {
                               const SheetImport::Problem& p = m_problems[row];
                               switch (column) {
                               case 0:
                                   return p.row > 0 ? QVariant(p.row) : QVariant();
                               case 1:
                                   return p.column;
                               case 2:
                                   return p.value;
                               default:
                                   return p.reason;
                               }
                           });
}

void TFrmImport::cmd_templateClick()
{
    const Kind k = kind();
    const QString fileName = ui::SheetExport::askFileName(this, SheetImport::kindName(k) + QStringLiteral("模板"), true);
    if (fileName.isEmpty())
        return;
    const QString table = SheetImport::tableOf(k);
    QList<SheetColumn> columns;
    for (const SheetImport::Caption& caption : SheetImport::templateColumns(k)) {
        SheetColumn column;
        column.caption = caption.caption;
        column.width = qMax(10, int(caption.caption.size()) * 2 + 2);
        if (const db::Column* c = db::Schema::column(table, caption.field)) {
            if (c->type == db::ColumnType::DateTime)
                column.kind = SheetColumn::Kind::Date;
            else if (c->type != db::ColumnType::Text)
                column.kind = SheetColumn::Kind::Number;
        }
        columns.append(column);
    }
    ui::SheetExport::write(this, fileName, SheetImport::kindName(k), columns, 0, [](int, int) { return QVariant(); });
}

void TFrmImport::requeryShared()
{
    TFrmDataMod& dm = dataModule();
    for (db::Dataset* d : {dm.GoodsQ, dm.CompanyQ, dm.EmployeeQ, dm.StoreiniQ, dm.MemberQ})
        if (d && d->isOpen() && !d->isEditing())
            d->requery();
}
