#include "masterdata/TFrmEmployee.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "masterdata/EmployeeRecords.h"
#include "shop/OperationLog.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

using WindowParts::named;

namespace {

// The date a picker shows for an empty date.
const QDate zeroDate(1899, 12, 30);

QDateEdit* datePicker(const char* name)
{
    auto* picker = named<QDateEdit>(name);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    picker->setMinimumDate(zeroDate);
    return picker;
}

} // namespace

TFrmEmployee::TFrmEmployee(QWidget* parent)
    : ui::ModeWindow(parent)
{
    setObjectName(QStringLiteral("FrmEmployee"));
    setWindowTitle(QStringLiteral("员工资料"));
    buildLayout();
    FormCreate();
}

TFrmEmployee::~TFrmEmployee()
{
    dataModule().EmployeeQ->close();
}

void TFrmEmployee::buildLayout()
{
    db::Dataset* q = dataModule().EmployeeQ;

    auto* bar = new QHBoxLayout;
    BitBtn2 = WindowParts::addButton(bar, "BitBtn2", QStringLiteral("新增&A"));
    BitBtn7 = WindowParts::addButton(bar, "BitBtn7", QStringLiteral("修改&E"));
    BitBtn6 = WindowParts::addButton(bar, "BitBtn6", QStringLiteral("删除&D"));
    BitBtn4 = WindowParts::addButton(bar, "BitBtn4", QStringLiteral("保存&S"));
    BitBtn3 = WindowParts::addButton(bar, "BitBtn3", QStringLiteral("取消&C"));
    BitBtn5 = WindowParts::addButton(bar, "BitBtn5", QStringLiteral("打印&P"));
    BitBtn1 = WindowParts::addButton(bar, "BitBtn1", QStringLiteral("退出&X"));
    bar->addStretch();
    connect(BitBtn2, &QPushButton::clicked, this, &TFrmEmployee::BitBtn2Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TFrmEmployee::BitBtn7Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TFrmEmployee::BitBtn6Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFrmEmployee::BitBtn4Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFrmEmployee::BitBtn3Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFrmEmployee::BitBtn5Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmEmployee::BitBtn1Click);

    DBGrid1 = named<ui::DbGrid>("DBGrid1");
    DBGrid1->addColumn(QStringLiteral("empl_code"), QStringLiteral("编号"), 80);
    DBGrid1->addColumn(QStringLiteral("empl_name"), QStringLiteral("姓名"), 80);
    DBGrid1->addColumn(QStringLiteral("empl_sex"), QStringLiteral("性别"), 40);
    DBGrid1->addColumn(QStringLiteral("dept_name"), QStringLiteral("部门"), 90);
    DBGrid1->setReadOnly(true);
    DBGrid1->setRowSelect(true);
    DBGrid1->setDataset(q);
    DBGrid1->setFixedWidth(330);

    const auto edit = [q](const char* name, const char* field) {
        auto* box = named<ui::DbEdit>(name);
        box->bind(q, QString::fromLatin1(field));
        return box;
    };
    const auto combo = [q](const char* name, const char* field) {
        auto* box = named<ui::DbComboBox>(name);
        box->bind(q, QString::fromLatin1(field));
        return box;
    };

    GroupBox1 = named<QGroupBox>("GroupBox1");
    GroupBox1->setTitle(QStringLiteral("个人资料"));
    DBEdit1 = edit("DBEdit1", "empl_code");
    DBEdit3 = edit("DBEdit3", "empl_name");
    DBComboBox4 = combo("DBComboBox4", "empl_sex");
    DBComboBox4->addItems({QStringLiteral("男"), QStringLiteral("女")});
    DBComboBox8 = combo("DBComboBox8", "regi_place");
    DBComboBox7 = combo("DBComboBox7", "native_place");
    DateTimePicker1 = datePicker("DateTimePicker1");
    DBEdit4 = edit("DBEdit4", "id_card");
    DBEdit7 = edit("DBEdit7", "rela_phon");
    DBEdit6 = edit("DBEdit6", "mobile");
    DBEdit10 = edit("DBEdit10", "exig_rela");
    DBEdit8 = edit("DBEdit8", "exig_tele");
    DBComboBox9 = combo("DBComboBox9", "school_name");
    DBComboBox10 = combo("DBComboBox10", "special");
    DBEdit13 = edit("DBEdit13", "leave_school");
    DBComboBox11 = combo("DBComboBox11", "degree");
    DBEdit9 = edit("DBEdit9", "society_no");
    DBEdit11 = edit("DBEdit11", "medica_no");
    DBEdit5 = edit("DBEdit5", "rela_addr");
    DBEdit12 = edit("DBEdit12", "post_code");
    auto* personal = new QGridLayout(GroupBox1);
    WindowParts::addLabelled(personal,
                             {{QStringLiteral("员工编号"), DBEdit1}, {QStringLiteral("姓名"), DBEdit3},
                              {QStringLiteral("性别"), DBComboBox4}, {QStringLiteral("户口"), DBComboBox8},
                              {QStringLiteral("籍贯"), DBComboBox7}, {QStringLiteral("出生日期"), DateTimePicker1},
                              {QStringLiteral("身份证号"), DBEdit4}, {QStringLiteral("联系电话"), DBEdit7},
                              {QStringLiteral("移动电话"), DBEdit6}, {QStringLiteral("紧急联系人"), DBEdit10},
                              {QStringLiteral("紧急电话"), DBEdit8}, {QStringLiteral("毕业学校"), DBComboBox9},
                              {QStringLiteral("专业"), DBComboBox10}, {QStringLiteral("毕业时间"), DBEdit13},
                              {QStringLiteral("学位"), DBComboBox11}, {QStringLiteral("养老保险号"), DBEdit9},
                              {QStringLiteral("医疗保险号"), DBEdit11}, {QStringLiteral("联系地址"), DBEdit5},
                              {QStringLiteral("邮编"), DBEdit12}},
                             2);

    GroupBox2 = named<QGroupBox>("GroupBox2");
    GroupBox2->setTitle(QStringLiteral("在职资料"));
    DBComboBox1 = combo("DBComboBox1", "dept_name");
    DateTimePicker2 = datePicker("DateTimePicker2");
    DBComboBox3 = combo("DBComboBox3", "duty");
    DBComboBox6 = combo("DBComboBox6", "salary_type");
    DBComboBox2 = combo("DBComboBox2", "tech_class");
    DBEdit2 = edit("DBEdit2", "low_salary");
    DBComboBox5 = combo("DBComboBox5", "class_type");
    auto* employment = new QGridLayout(GroupBox2);
    WindowParts::addLabelled(employment,
                             {{QStringLiteral("部门"), DBComboBox1}, {QStringLiteral("入职日期"), DateTimePicker2},
                              {QStringLiteral("职务"), DBComboBox3}, {QStringLiteral("薪资类型"), DBComboBox6},
                              {QStringLiteral("技能等级"), DBComboBox2}, {QStringLiteral("保障底薪"), DBEdit2},
                              {QStringLiteral("班次"), DBComboBox5}},
                             2);

    auto* groups = new QVBoxLayout;
    groups->addWidget(GroupBox1);
    groups->addWidget(GroupBox2);
    groups->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(DBGrid1);
    body->addLayout(groups, 1);
    auto* root = new QVBoxLayout(this);
    root->addLayout(bar);
    root->addLayout(body, 1);
    resize(880, 600);

    // The pickers are not bound: they show the stored dates whenever another row
    // (or a row's stored data) is shown, but never overwrite what is being typed.
    connect(q, &db::Dataset::currentRowChanged, this, &TFrmEmployee::showDates);
    connect(q, &db::Dataset::reset, this, &TFrmEmployee::showDates);
    connect(q, &db::Dataset::stateChanged, this, [this, q] {
        if (!q->isEditing())
            showDates();
    });
    connect(q, &db::Dataset::rowChanged, this, [this, q](int row) {
        if (!q->isEditing() && row == q->currentRow())
            showDates();
    });
}

void TFrmEmployee::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    fillCombos();
    db::Dataset* q = dataModule().EmployeeQ;
    q->close();
    q->setSql(QStringLiteral("select * from employee"));
    q->setLocking(db::Dataset::Locking::Optimistic);
    q->open();
    setMode(Mode::Browsing);
}

void TFrmEmployee::fillCombos()
{
    const QList<std::pair<const char*, ui::DbComboBox*>> lists = {
        {"regi_place", DBComboBox8}, {"native_place", DBComboBox7}, {"school_name", DBComboBox9},
        {"special", DBComboBox10},   {"degree", DBComboBox11},      {"dept_name", DBComboBox1},
        {"tech_class", DBComboBox2}, {"duty", DBComboBox3},         {"class_type", DBComboBox5},
        {"salary_type", DBComboBox6}};
    for (const auto& [column, box] : lists)
        DataHelpers::mergeCombo(QStringLiteral("employee"), QString::fromLatin1(column), box);
}

void TFrmEmployee::updateButtons()
{
    const bool editing = isEditing();
    DBGrid1->setEnabled(!editing);
    for (QPushButton* browse : {BitBtn2, BitBtn7, BitBtn6, BitBtn5, BitBtn1})
        browse->setEnabled(!editing);
    BitBtn4->setEnabled(editing);
    BitBtn3->setEnabled(editing);
    GroupBox1->setEnabled(editing);
    GroupBox2->setEnabled(editing);
    if (editing) {
        fillCombos();
        return;
    }
    ui::applyRight(BitBtn2, Right::Add, Function::Employee);
    ui::applyRight(BitBtn7, Right::Edit, Function::Employee);
    ui::applyRight(BitBtn6, Right::Delete, Function::Employee);
}

void TFrmEmployee::showDates()
{
    db::Dataset* q = dataModule().EmployeeQ;
    const bool onRow = q->isOpen() && q->currentRow() >= 0;
    const auto stored = [q, onRow](const char* field) {
        const QVariant value = onRow ? q->value(QString::fromLatin1(field)) : QVariant();
        return value.isNull() ? zeroDate : value.toDateTime().date();
    };
    DateTimePicker1->setDate(stored("empl_birth"));
    DateTimePicker2->setDate(stored("in_date"));
}

void TFrmEmployee::BitBtn2Click()
{
    try {
        db::Dataset* q = dataModule().EmployeeQ;
        q->append();
        q->setValue(QStringLiteral("empl_sex"), QStringLiteral("男"));
        setMode(Mode::Adding);
        DBEdit1->setFocus();
        const QDateTime now = Clock::now();
        DateTimePicker1->setDateTime(now);
        DateTimePicker2->setDateTime(now);
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmEmployee::BitBtn7Click()
{
    if (DBEdit1->text().isEmpty())
        return;
    try {
        db::Dataset* q = dataModule().EmployeeQ;
        q->locate(QStringLiteral("empl_code"), DBEdit1->text().trimmed());
        q->edit();
        m_editedCode = q->text(QStringLiteral("empl_code"));
        setMode(Mode::Editing);
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

bool TFrmEmployee::codeTakenByAnother(const QString& code) const
{
    if (mode() == Mode::Editing && code.compare(m_editedCode.trimmed(), Qt::CaseInsensitive) == 0)
        return false;
    return EmployeeRecords::isEmployee(code);
}

void TFrmEmployee::BitBtn4Click()
{
    // The code is stored without surrounding blanks, so a code of blanks is none.
    const QString code = DBEdit1->text().trimmed();
    if (code.isEmpty() || DBEdit3->text().isEmpty()) {
        ui::inform(QStringLiteral("员工编号,名称不能为空"), this);
        WindowParts::focusBox(code.isEmpty() ? DBEdit1 : DBEdit3);
        return;
    }
    try {
        if (codeTakenByAnother(code)) {
            WindowParts::refuse(DBEdit1, QStringLiteral("员工编号“%1”已存在，不能重复使用").arg(code));
            return;
        }
        if (DBEdit1->text() != code)
            DBEdit1->setText(code);
        db::Dataset* q = dataModule().EmployeeQ;
        // A picker still on the empty-date marker leaves the date empty instead of storing 1899.
        const auto picked = [](const QDateEdit* picker) {
            return picker->date() == zeroDate ? QVariant() : QVariant(QDateTime(picker->date(), QTime(0, 0)));
        };
        q->setValue(QStringLiteral("empl_birth"), picked(DateTimePicker1));
        q->setValue(QStringLiteral("in_date"), picked(DateTimePicker2));
        q->post();
        setMode(Mode::Browsing);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("员工资料保存失败：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmEmployee::BitBtn3Click()
{
    try {
        db::Dataset* q = dataModule().EmployeeQ;
        q->cancel();
        setMode(Mode::Browsing);
        q->locate(QStringLiteral("empl_code"), DBEdit1->text().trimmed());
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmEmployee::BitBtn6Click()
{
    const QString code = DBEdit1->text().trimmed();
    if (code.isEmpty())
        return;
    if (!ui::confirm(QStringLiteral("确认删除?"), this))
        return;
    try {
        const int bills = EmployeeRecords::billsNaming(code);
        const int users = EmployeeRecords::usersNamed(code);
        if (bills + users > 0
            && !ui::confirm(QStringLiteral("员工“%1”仍被 %2 张单据和 %3 个用户使用，删除后这些记录将查不到该员工。\n确认仍要删除?")
                                .arg(code)
                                .arg(bills)
                                .arg(users),
                            this))
            return;
        db::Dataset* q = dataModule().EmployeeQ;
        OperationLog::record(q->connection(), {windowTitle(), OperationLog::deleted, code, q->text(QStringLiteral("empl_name")),
                                               OperationLog::rowText(*q)},
                             [q] { q->remove(); });
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("员工删除失败：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmEmployee::BitBtn5Click()
{
    // The staff list has no print-out.
}

void TFrmEmployee::BitBtn1Click()
{
    close();
}
