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
    addButton = WindowParts::addCommand(bar, "BitBtn2", WindowParts::Command::Add);
    editButton = WindowParts::addCommand(bar, "BitBtn7", WindowParts::Command::Edit);
    deleteButton = WindowParts::addCommand(bar, "BitBtn6", WindowParts::Command::Delete);
    saveButton = WindowParts::addCommand(bar, "BitBtn4", WindowParts::Command::Save);
    cancelButton = WindowParts::addCommand(bar, "BitBtn3", WindowParts::Command::Cancel);
    printButton = WindowParts::addCommand(bar, "BitBtn5", WindowParts::Command::Print);
    exitButton = WindowParts::addCommand(bar, "BitBtn1", WindowParts::Command::Exit);
    bar->addStretch();
    connect(addButton, &QPushButton::clicked, this, &TFrmEmployee::onAdd);
    connect(editButton, &QPushButton::clicked, this, &TFrmEmployee::onEdit);
    connect(deleteButton, &QPushButton::clicked, this, &TFrmEmployee::onDelete);
    connect(saveButton, &QPushButton::clicked, this, &TFrmEmployee::onSave);
    connect(cancelButton, &QPushButton::clicked, this, &TFrmEmployee::onCancel);
    connect(printButton, &QPushButton::clicked, this, &TFrmEmployee::onPrint);
    connect(exitButton, &QPushButton::clicked, this, &TFrmEmployee::onExit);

    employeeGrid = named<ui::DbGrid>("DBGrid1");
    employeeGrid->addColumn(QStringLiteral("empl_code"), QStringLiteral("编号"), 80);
    employeeGrid->addColumn(QStringLiteral("empl_name"), QStringLiteral("姓名"), 80);
    employeeGrid->addColumn(QStringLiteral("empl_sex"), QStringLiteral("性别"), 40);
    employeeGrid->addColumn(QStringLiteral("dept_name"), QStringLiteral("部门"), 90);
    employeeGrid->setReadOnly(true);
    employeeGrid->setRowSelect(true);
    employeeGrid->setDataset(q);
    employeeGrid->setFixedWidth(330);

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

    personalGroup = named<QGroupBox>("GroupBox1");
    personalGroup->setTitle(QStringLiteral("个人资料"));
    codeEdit = edit("DBEdit1", "empl_code");
    nameEdit = edit("DBEdit3", "empl_name");
    sexBox = combo("DBComboBox4", "empl_sex");
    sexBox->addItems({QStringLiteral("男"), QStringLiteral("女")});
    registeredPlaceBox = combo("DBComboBox8", "regi_place");
    nativePlaceBox = combo("DBComboBox7", "native_place");
    birthDateEdit = datePicker("DateTimePicker1");
    idCardEdit = edit("DBEdit4", "id_card");
    phoneEdit = edit("DBEdit7", "rela_phon");
    mobileEdit = edit("DBEdit6", "mobile");
    emergencyContactEdit = edit("DBEdit10", "exig_rela");
    emergencyPhoneEdit = edit("DBEdit8", "exig_tele");
    schoolBox = combo("DBComboBox9", "school_name");
    majorBox = combo("DBComboBox10", "special");
    graduationEdit = edit("DBEdit13", "leave_school");
    degreeBox = combo("DBComboBox11", "degree");
    pensionNoEdit = edit("DBEdit9", "society_no");
    medicalNoEdit = edit("DBEdit11", "medica_no");
    addressEdit = edit("DBEdit5", "rela_addr");
    postCodeEdit = edit("DBEdit12", "post_code");
    auto* personal = new QGridLayout(personalGroup);
    WindowParts::addLabelled(personal,
                             {{QStringLiteral("员工编号"), codeEdit}, {QStringLiteral("姓名"), nameEdit},
                              {QStringLiteral("性别"), sexBox}, {QStringLiteral("户口"), registeredPlaceBox},
                              {QStringLiteral("籍贯"), nativePlaceBox}, {QStringLiteral("出生日期"), birthDateEdit},
                              {QStringLiteral("身份证号"), idCardEdit}, {QStringLiteral("联系电话"), phoneEdit},
                              {QStringLiteral("移动电话"), mobileEdit}, {QStringLiteral("紧急联系人"), emergencyContactEdit},
                              {QStringLiteral("紧急电话"), emergencyPhoneEdit}, {QStringLiteral("毕业学校"), schoolBox},
                              {QStringLiteral("专业"), majorBox}, {QStringLiteral("毕业时间"), graduationEdit},
                              {QStringLiteral("学位"), degreeBox}, {QStringLiteral("养老保险号"), pensionNoEdit},
                              {QStringLiteral("医疗保险号"), medicalNoEdit}, {QStringLiteral("联系地址"), addressEdit},
                              {QStringLiteral("邮编"), postCodeEdit}},
                             2);

    employmentGroup = named<QGroupBox>("GroupBox2");
    employmentGroup->setTitle(QStringLiteral("在职资料"));
    departmentBox = combo("DBComboBox1", "dept_name");
    joinDateEdit = datePicker("DateTimePicker2");
    dutyBox = combo("DBComboBox3", "duty");
    salaryTypeBox = combo("DBComboBox6", "salary_type");
    skillLevelBox = combo("DBComboBox2", "tech_class");
    baseSalaryEdit = edit("DBEdit2", "low_salary");
    shiftBox = combo("DBComboBox5", "class_type");
    auto* employment = new QGridLayout(employmentGroup);
    WindowParts::addLabelled(employment,
                             {{QStringLiteral("部门"), departmentBox}, {QStringLiteral("入职日期"), joinDateEdit},
                              {QStringLiteral("职务"), dutyBox}, {QStringLiteral("薪资类型"), salaryTypeBox},
                              {QStringLiteral("技能等级"), skillLevelBox}, {QStringLiteral("保障底薪"), baseSalaryEdit},
                              {QStringLiteral("班次"), shiftBox}},
                             2);

    auto* groups = new QVBoxLayout;
    groups->addWidget(personalGroup);
    groups->addWidget(employmentGroup);
    groups->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(employeeGrid);
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
        {"regi_place", registeredPlaceBox}, {"native_place", nativePlaceBox}, {"school_name", schoolBox},
        {"special", majorBox},              {"degree", degreeBox},            {"dept_name", departmentBox},
        {"tech_class", skillLevelBox},      {"duty", dutyBox},                {"class_type", shiftBox},
        {"salary_type", salaryTypeBox}};
    for (const auto& [column, box] : lists)
        DataHelpers::mergeCombo(QStringLiteral("employee"), QString::fromLatin1(column), box);
}

void TFrmEmployee::updateButtons()
{
    const bool editing = isEditing();
    employeeGrid->setEnabled(!editing);
    for (QPushButton* browse : {addButton, editButton, deleteButton, printButton, exitButton})
        browse->setEnabled(!editing);
    saveButton->setEnabled(editing);
    cancelButton->setEnabled(editing);
    personalGroup->setEnabled(editing);
    employmentGroup->setEnabled(editing);
    if (editing) {
        fillCombos();
        return;
    }
    ui::applyRight(addButton, Right::Add, Function::Employee);
    ui::applyRight(editButton, Right::Edit, Function::Employee);
    ui::applyRight(deleteButton, Right::Delete, Function::Employee);
}

void TFrmEmployee::showDates()
{
    db::Dataset* q = dataModule().EmployeeQ;
    const bool onRow = q->isOpen() && q->currentRow() >= 0;
    const auto stored = [q, onRow](const char* field) {
        const QVariant value = onRow ? q->value(QString::fromLatin1(field)) : QVariant();
        return value.isNull() ? zeroDate : value.toDateTime().date();
    };
    birthDateEdit->setDate(stored("empl_birth"));
    joinDateEdit->setDate(stored("in_date"));
}

void TFrmEmployee::onAdd()
{
    try {
        db::Dataset* q = dataModule().EmployeeQ;
        q->append();
        q->setValue(QStringLiteral("empl_sex"), QStringLiteral("男"));
        setMode(Mode::Adding);
        codeEdit->setFocus();
        const QDateTime now = Clock::now();
        birthDateEdit->setDateTime(now);
        joinDateEdit->setDateTime(now);
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmEmployee::onEdit()
{
    if (codeEdit->text().isEmpty())
        return;
    try {
        db::Dataset* q = dataModule().EmployeeQ;
        q->locate(QStringLiteral("empl_code"), codeEdit->text().trimmed());
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

void TFrmEmployee::onSave()
{
    // The code is stored without surrounding blanks, so a code of blanks is none.
    const QString code = codeEdit->text().trimmed();
    if (code.isEmpty() || nameEdit->text().isEmpty()) {
        ui::inform(QStringLiteral("员工编号,名称不能为空"), this);
        WindowParts::focusBox(code.isEmpty() ? codeEdit : nameEdit);
        return;
    }
    try {
        if (codeTakenByAnother(code)) {
            WindowParts::refuse(codeEdit, QStringLiteral("员工编号“%1”已存在，不能重复使用").arg(code));
            return;
        }
        if (codeEdit->text() != code)
            codeEdit->setText(code);
        db::Dataset* q = dataModule().EmployeeQ;
        // A picker still on the empty-date marker leaves the date empty instead of storing 1899.
        const auto picked = [](const QDateEdit* picker) {
            return picker->date() == zeroDate ? QVariant() : QVariant(QDateTime(picker->date(), QTime(0, 0)));
        };
        q->setValue(QStringLiteral("empl_birth"), picked(birthDateEdit));
        q->setValue(QStringLiteral("in_date"), picked(joinDateEdit));
        q->post();
        setMode(Mode::Browsing);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("员工资料保存失败：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmEmployee::onCancel()
{
    try {
        db::Dataset* q = dataModule().EmployeeQ;
        q->cancel();
        setMode(Mode::Browsing);
        q->locate(QStringLiteral("empl_code"), codeEdit->text().trimmed());
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmEmployee::onDelete()
{
    const QString code = codeEdit->text().trimmed();
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

void TFrmEmployee::onPrint()
{
    // The staff list has no print-out.
}

void TFrmEmployee::onExit()
{
    close();
}
