#include "accounts/VoucherFinder.h"

#include "core/Clock.h"
#include "accounts/AccountsParts.h"
#include "db/Dataset.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using WindowParts::named;

VoucherFinder::VoucherFinder(Setup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup))
{
    const QString& verb = m_setup.verb;
    setWindowTitle(QStringLiteral("%1款单查询").arg(verb));
    resize(536, 348);

    auto* bar = new QHBoxLayout;
    cmd_edit = WindowParts::addButton(bar, "cmd_edit", QStringLiteral("查询[&E]"));
    cmd_save = WindowParts::addButton(bar, "cmd_save", QStringLiteral("选取[&S]"));
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    voucherNoEdit = named<QLineEdit>("Edit1", this);
    voucherNoEdit->setMaxLength(20);
    dateEdit = AccountsParts::makeDatePicker("dp1", Clock::today(), this);
    allBox = named<QCheckBox>("CheckBox1", this);
    allBox->setText(QStringLiteral("全部"));
    allBox->setChecked(true);
    auto* numberLabel = new QLabel(QStringLiteral("%1款单号").arg(verb), this);
    numberLabel->setBuddy(voucherNoEdit);
    auto* dateLabel = new QLabel(QStringLiteral("%1款日期").arg(verb), this);
    dateLabel->setBuddy(dateEdit);
    auto* search = new QHBoxLayout;
    search->addWidget(numberLabel);
    search->addWidget(voucherNoEdit, 1);
    search->addWidget(dateLabel);
    search->addWidget(dateEdit);
    search->addWidget(allBox);

    voucherGrid = named<ui::DbGrid>("DBGrid1", this);
    ui::placeGridWindow(this, voucherGrid);
    voucherGrid->setReadOnly(true);
    voucherGrid->setRowSelect(true);
    voucherGrid->addColumn(QStringLiteral("fei_no"), QStringLiteral("%1款单号").arg(verb), 120);
    voucherGrid->addColumn(QStringLiteral("comp_name"), QStringLiteral("公司名称"), 170);
    voucherGrid->addColumn(QStringLiteral("oper_name"), QStringLiteral("操作人员"), 80);
    voucherGrid->addColumn(QStringLiteral("fei_tota"), QStringLiteral("%1款金额").arg(verb), 90);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(search);
    layout->addWidget(voucherGrid, 1);

    connect(cmd_edit, &QPushButton::clicked, this, &VoucherFinder::cmd_editClick);
    connect(cmd_save, &QPushButton::clicked, this, &VoucherFinder::cmd_saveClick);
    connect(cmd_exit, &QPushButton::clicked, this, &VoucherFinder::cmd_exitClick);
    connect(voucherNoEdit, &QLineEdit::textChanged, this, &VoucherFinder::onNumberTyped);
    connect(allBox, &QCheckBox::clicked, this, &VoucherFinder::onAllClicked);
    connect(voucherGrid, &QAbstractItemView::doubleClicked, this, &VoucherFinder::cmd_saveClick);

    FormCreate();
}

void VoucherFinder::FormCreate()
{
    search(QString(), dateEdit->date());
    voucherGrid->setDataset(m_setup.vouchers);
}

void VoucherFinder::search(const QString& number, const QDate& day)
{
    db::Dataset* q = m_setup.vouchers;
    try {
        const ui::BusyCursor busy;
        q->close();
        if (!number.isEmpty()) {
            q->setSql(QStringLiteral("select * from %1 where fei_no=:fei_no order by fei_date, fei_no").arg(m_setup.table));
            q->setParameter(QStringLiteral("fei_no"), number);
        } else {
            // The whole day, whatever time of day a voucher carries.
            q->setSql(QStringLiteral("select * from %1 where fei_date between :date1 and :date2 order by fei_no")
                          .arg(m_setup.table));
            q->setParameter(QStringLiteral("date1"), day);
            q->setParameter(QStringLiteral("date2"), QDateTime(day, QTime(23, 59, 59)));
        }
        q->open();
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("%1款单无法查询：%2").arg(m_setup.verb, ui::errorText(e)), this);
    }
}

void VoucherFinder::cmd_editClick()
{
    search(voucherNoEdit->text().trimmed(), dateEdit->date());
}

void VoucherFinder::cmd_saveClick()
{
    if (!m_setup.vouchers->isOpen() || m_setup.vouchers->isEmpty())
        return;
    accept();
}

void VoucherFinder::cmd_exitClick()
{
    reject();
}

void VoucherFinder::onNumberTyped()
{
    if (!voucherNoEdit->text().trimmed().isEmpty())
        allBox->setChecked(false);
}

void VoucherFinder::onAllClicked()
{
    voucherNoEdit->clear();
}
