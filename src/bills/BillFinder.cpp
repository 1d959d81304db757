#include "bills/BillFinder.h"

#include "core/DataHelpers.h"
#include "core/Clock.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using WindowParts::named;

namespace {

QString theCurrentKind = QStringLiteral("in");

QDateEdit* datePicker(const char* name)
{
    auto* picker = named<QDateEdit>(name);
    picker->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    return picker;
}

} // namespace

QString BillFinder::currentKind()
{
    return theCurrentKind;
}

void BillFinder::setCurrentKind(const QString& kind)
{
    theCurrentKind = kind;
}

BillFinder::BillFinder(const char* objectName, const QString& caption, const QString& table, db::Dataset* dataset,
                       QWidget* parent)
    : QDialog(parent), m_table(table), m_dataset(dataset)
{
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
    resize(640, 420);

    auto* bar = new QHBoxLayout;
    cmd_edit = WindowParts::addButton(bar, "cmd_edit", QStringLiteral("查询[&E]"));
    cmd_save = WindowParts::addButton(bar, "cmd_save", QStringLiteral("选取[&S]"));
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    criteriaGroup = named<QGroupBox>("GB1", this);
    billNoEdit = named<QLineEdit>("Edit1");
    billNoEdit->setMaxLength(14);
    companyNameBox = named<QComboBox>("ComboBox3");
    companyNameBox->setEditable(true);
    companyNameBox->setInsertPolicy(QComboBox::NoInsert);
    voucherNoEdit = named<QLineEdit>("Edit2");
    voucherNoEdit->setMaxLength(12);
    fromDateEdit = datePicker("DateTimePicker1");
    toDateEdit = datePicker("DateTimePicker2");
    auto* criteria = new QGridLayout(criteriaGroup);
    const auto labelled = [&](const QString& text, QWidget* control, int row, int column, int span = 1) {
        criteria->addWidget(WindowParts::caption(text, control, criteriaGroup), row, column,
                            Qt::AlignRight | Qt::AlignVCenter);
        criteria->addWidget(control, row, column + 1, 1, span);
    };
    labelled(QStringLiteral("单号"), billNoEdit, 0, 0);
    labelled(QStringLiteral("公司名称"), companyNameBox, 0, 2, 3);
    labelled(QStringLiteral("凭证号"), voucherNoEdit, 1, 0);
    labelled(QStringLiteral("日期"), fromDateEdit, 1, 2);
    criteria->addWidget(new QLabel(QStringLiteral("-"), criteriaGroup), 1, 4, Qt::AlignCenter);
    criteria->addWidget(toDateEdit, 1, 5);
    criteria->setColumnStretch(1, 1);
    criteria->setColumnStretch(3, 1);
    criteria->setColumnStretch(5, 1);

    billsGrid = named<ui::DbGrid>("DBGrid1", this);
    ui::placeGridWindow(this, billsGrid);
    billsGrid->setReadOnly(true);
    billsGrid->setRowSelect(true);
    billsGrid->addColumn(QStringLiteral("bill_no"), QStringLiteral("编号"), 120);
    billsGrid->addColumn(QStringLiteral("bill_date"), QStringLiteral("日期 "), 90);
    billsGrid->addColumn(QStringLiteral("vouc_no"), QStringLiteral("凭证号"), 90);
    billsGrid->addColumn(QStringLiteral("comp_name"), QStringLiteral("公司名称"), 160);
    billsGrid->addColumn(QStringLiteral("remark"), QStringLiteral("备注"), 140);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(criteriaGroup);
    layout->addWidget(billsGrid, 1);

    connect(cmd_edit, &QPushButton::clicked, this, &BillFinder::cmd_editClick);
    connect(cmd_save, &QPushButton::clicked, this, &BillFinder::cmd_saveClick);
    connect(cmd_exit, &QPushButton::clicked, this, &BillFinder::cmd_exitClick);
    connect(billsGrid, &QAbstractItemView::doubleClicked, this, &BillFinder::cmd_saveClick);

    FormCreate();
}

void BillFinder::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    billNoEdit->clear();
    const QDate today = Clock::now().date();
    fromDateEdit->setDate(today.addDays(-30));
    toDateEdit->setDate(today);
    try {
        DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_name"), companyNameBox);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法读取公司名称：%1").arg(ui::errorText(e)), this);
    }
    companyNameBox->setEditText(QString());
    search(false);
    billsGrid->setDataset(m_dataset);
}

void BillFinder::search(bool typed)
{
    const ui::BusyCursor busy;
    // A range typed back to front means the same days: the ends are swapped on screen too.
    if (fromDateEdit->date() > toDateEdit->date()) {
        const QDate from = toDateEdit->date();
        toDateEdit->setDate(fromDateEdit->date());
        fromDateEdit->setDate(from);
    }
    // Whole days, both ends included; the company's name comes with each bill. Only the
    // columns the list shows and the picked bill's key are read: a month can hold thousands.
    QString sql = QStringLiteral("select a.in_id,a.bill_no,a.bill_date,a.vouc_no,a.comp_code,c.comp_name,a.remark,"
                                 "a.bill_type from %1 a left join company c on c.comp_code=a.comp_code "
                                 "where a.bill_date between :date1 and :date2 and a.bill_type=:billtype")
                      .arg(m_table);
    const QString billNo = typed ? billNoEdit->text().trimmed() : QString();
    const QString voucher = typed ? voucherNoEdit->text().trimmed() : QString();
    const QString company = typed ? companyNameBox->currentText().trimmed() : QString();
    if (!billNo.isEmpty())
        sql += QStringLiteral(" and a.bill_no=:bill_no");
    if (!voucher.isEmpty())
        sql += QStringLiteral(" and a.vouc_no=:vouc_no");
    if (!company.isEmpty())
        sql += QStringLiteral(" and a.comp_code in (select comp_code from company where comp_name=:comp_name)");
    sql += QStringLiteral(" order by a.bill_date,a.bill_no");
    try {
        m_dataset->close();
        m_dataset->setSql(sql);
        m_dataset->setParameter(QStringLiteral("date1"), QDateTime(fromDateEdit->date(), QTime(0, 0)));
        m_dataset->setParameter(QStringLiteral("date2"), QDateTime(toDateEdit->date(), QTime(23, 59, 59)));
        m_dataset->setParameter(QStringLiteral("billtype"), currentKind());
        if (!billNo.isEmpty())
            m_dataset->setParameter(QStringLiteral("bill_no"), billNo);
        if (!voucher.isEmpty())
            m_dataset->setParameter(QStringLiteral("vouc_no"), voucher);
        if (!company.isEmpty())
            m_dataset->setParameter(QStringLiteral("comp_name"), company);
        m_dataset->open();
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("查询失败：%1").arg(ui::errorText(e)), this);
    }
}

void BillFinder::cmd_editClick()
{
    search(true);
}

void BillFinder::cmd_saveClick()
{
    if (m_dataset->isOpen() && m_dataset->recordCount() > 0 && m_dataset->currentRow() >= 0)
        accept();
}

void BillFinder::cmd_exitClick()
{
    reject();
}
