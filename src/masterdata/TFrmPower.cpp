#include "masterdata/TFrmPower.h"

#include "core/CurrentRights.h"
#include "core/PasswordHash.h"
#include "core/TFrmDataMod.h"
#include "db/Statement.h"
#include "shop/OperationLog.h"
#include "masterdata/EmployeeRecords.h"
#include "masterdata/RightsGrid.h"
#include "ui/WindowParts.h"
#include "ui/BusyCursor.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using WindowParts::named;

const QStringList TFrmPower::columnFields = {"pow_use",  "pow_add",  "pow_edit", "pow_dele",
                                             "pow_chek", "pow_find", "pow_prin"};

TFrmPower::TFrmPower(QWidget* parent)
    : ui::ModeWindow(parent)
{
    setObjectName(QStringLiteral("FrmPower"));
    setWindowTitle(QStringLiteral("权限设置"));
    buildLayout();
    FormCreate();
}

TFrmPower::~TFrmPower()
{
    // The tick reload must not run while the grid is being torn down.
    dataModule().PowerQ->removeHooks(this);
}

void TFrmPower::buildLayout()
{
    db::Dataset* q = dataModule().PowerQ;

    auto* bar = new QHBoxLayout;
    cmd_add = WindowParts::addButton(bar, "cmd_add", QStringLiteral("新增&A"));
    cmd_edit = WindowParts::addButton(bar, "cmd_edit", QStringLiteral("修改&E"));
    cmd_dele = WindowParts::addButton(bar, "cmd_dele", QStringLiteral("删除&D"));
    cmd_save = WindowParts::addButton(bar, "cmd_save", QStringLiteral("保存&S"));
    cmd_canc = WindowParts::addButton(bar, "cmd_canc", QStringLiteral("取消&C"));
    cmd_exit = WindowParts::addButton(bar, "cmd_exit", QStringLiteral("关闭&X"));
    bar->addStretch();
    connect(cmd_add, &QPushButton::clicked, this, &TFrmPower::cmd_addClick);
    connect(cmd_edit, &QPushButton::clicked, this, &TFrmPower::cmd_editClick);
    connect(cmd_dele, &QPushButton::clicked, this, &TFrmPower::cmd_deleClick);
    connect(cmd_save, &QPushButton::clicked, this, &TFrmPower::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &TFrmPower::cmd_cancClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmPower::cmd_exitClick);

    GB1 = named<QGroupBox>("GB1");
    DBEdit1 = named<ui::DbEdit>("DBEdit1");
    DBEdit1->bind(q, QStringLiteral("user_id"));
    connect(DBEdit1, &QLineEdit::returnPressed, this, &TFrmPower::DBEdit1KeyPress);
    DBEdit2 = named<ui::DbEdit>("DBEdit2");
    DBEdit2->bind(q, QStringLiteral("user_name"));
    DBEdit2->setEnabled(false);
    DBEdit4 = named<ui::DbEdit>("DBEdit4");
    DBEdit4->bind(q, QStringLiteral("password"));
    DBEdit4->setEchoMode(QLineEdit::Password);
    Edit5 = named<QLineEdit>("Edit5");
    Edit5->setEchoMode(QLineEdit::Password);
    Edit5->setMaxLength(10);
    auto* fields = new QGridLayout;
    WindowParts::addLabelled(fields,
                             {{QStringLiteral("员工编码:"), DBEdit1}, {QStringLiteral("姓名"), DBEdit2},
                              {QStringLiteral("密    码:"), DBEdit4}, {QStringLiteral("确认密码:"), Edit5}},
                             1);
    auto* group = new QVBoxLayout(GB1);
    group->addLayout(fields);
    for (const char* note : {"说明：", "√—有此权限", "单击左键改变权限"})
        group->addWidget(new QLabel(QString::fromUtf8(note)));

    DBGrid1 = named<ui::DbGrid>("DBGrid1");
    DBGrid1->addColumn(QStringLiteral("user_id"), QStringLiteral("编码"), 80);
    DBGrid1->addColumn(QStringLiteral("user_name"), QStringLiteral("姓名"), 90);
    DBGrid1->setReadOnly(true);
    DBGrid1->setRowSelect(true);
    DBGrid1->setDataset(q);

    SGrid = named<RightsGrid>("SGrid");
    const int gridWidth = RightsGrid::labelWidth + RightsGrid::columns * RightsGrid::tickWidth + 2 * SGrid->frameWidth();
    SGrid->setFixedWidth(gridWidth + 20);   // room for the vertical scroll bar

    auto* left = new QVBoxLayout;
    left->addWidget(GB1);
    left->addWidget(DBGrid1, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildColumnBoxes());
    right->addWidget(SGrid, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(right);
    auto* root = new QVBoxLayout(this);
    root->addLayout(bar);
    root->addLayout(body, 1);
    resize(820, 740);
}

// One check box above each tick column, so that a whole column is ticked or cleared at once.
QWidget* TFrmPower::buildColumnBoxes()
{
    auto* strip = new QWidget;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addSpacing(RightsGrid::labelWidth + SGrid->frameWidth());
    QCheckBox** boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6, &CheckBox7};
    for (int column = 1; column <= RightsGrid::columns; ++column) {
        auto* box = new QCheckBox;
        box->setObjectName(QStringLiteral("CheckBox%1").arg(column));
        *boxes[column - 1] = box;
        auto* cell = new QWidget;
        cell->setFixedWidth(RightsGrid::tickWidth);
        auto* centre = new QHBoxLayout(cell);
        centre->setContentsMargins(0, 0, 0, 0);
        centre->addStretch();
        centre->addWidget(box);
        centre->addStretch();
        row->addWidget(cell);
        connect(box, &QCheckBox::clicked, this, [this, column](bool checked) {
            if (isEditing())
                SGrid->setColumnTicked(column, checked);
        });
    }
    row->addStretch();
    return strip;
}

QList<QCheckBox*> TFrmPower::columnBoxes() const
{
    return {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7};
}

void TFrmPower::FormCreate()
{
    const ui::BusyCursor busy;
    db::Dataset* q = dataModule().PowerQ;
    try {
        q->close();
        q->setSql(QStringLiteral("select * from powers"));
        q->setLocking(db::Dataset::Locking::Optimistic);
        q->addHook(db::Dataset::Hook::AfterScroll, this, [this](db::Dataset&) { reloadTicks(); });
        q->open();
        if (!q->isEmpty()) {
            q->first();
            reloadTicks();
        }
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("用户列表无法打开：%1").arg(ui::errorText(e)), this);
    }
    SGrid->writeLabels();
    setMode(Mode::Browsing);
}

void TFrmPower::reloadTicks()
{
    const db::Dataset* q = dataModule().PowerQ;
    const bool onRow = q->isOpen() && q->currentRow() >= 0;
    for (int column = 1; column <= RightsGrid::columns; ++column)
        SGrid->showRights(column, onRow ? q->text(columnFields.at(column - 1)) : QString());
}

void TFrmPower::clearGrid()
{
    Edit5->clear();
    SGrid->writeLabels();
    SGrid->clearTicks();
}

void TFrmPower::updateButtons()
{
    const bool editing = isEditing();
    GB1->setEnabled(editing);
    DBGrid1->setEnabled(!editing);
    for (QPushButton* browse : {cmd_add, cmd_edit, cmd_dele, cmd_exit})
        browse->setEnabled(!editing);
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    for (QCheckBox* box : columnBoxes())
        box->setEnabled(editing);
    SGrid->setTicking(editing);
    // A user's id cannot change once saved.
    DBEdit1->setEnabled(mode() != Mode::Editing);
    if (editing)
        return;
    ui::applyRight(cmd_add, Right::Add, Function::Powers);
    ui::applyRight(cmd_edit, Right::Edit, Function::Powers);
    ui::applyRight(cmd_dele, Right::Delete, Function::Powers);
}

void TFrmPower::cmd_addClick()
{
    const ui::BusyCursor busy;
    try {
        dataModule().PowerQ->append();
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
        return;
    }
    clearGrid();
    setMode(Mode::Adding);
    DBEdit1->setFocus();
}

// A new user must be an employee and must not be a user already; a refusal is told.
TFrmPower::IdCheck TFrmPower::checkNewUser(const QString& id)
{
    if (EmployeeRecords::usersNamed(id) > 0) {
        ui::inform(QStringLiteral("该员工已存在！"), this);
        WindowParts::focusBox(DBEdit1);
        return IdCheck::AlreadyUser;
    }
    if (!EmployeeRecords::isEmployee(id)) {
        ui::inform(QStringLiteral("无此员工编码！"), this);
        WindowParts::focusBox(DBEdit1);
        return IdCheck::NotEmployee;
    }
    return IdCheck::Ok;
}

void TFrmPower::DBEdit1KeyPress()
{
    if (mode() != Mode::Adding)
        return;
    try {
        if (checkNewUser(DBEdit1->text().trimmed()) == IdCheck::NotEmployee) {
            DBEdit1->clear();
            DBEdit1->commit();
        }
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmPower::cmd_editClick()
{
    if (DBEdit1->text().isEmpty()) {
        ui::inform(QStringLiteral("请先定位删除员工"), this);
        return;
    }
    try {
        db::Dataset* q = dataModule().PowerQ;
        if (!q->locate(QStringLiteral("user_id"), DBEdit1->text().trimmed())) {
            ui::inform(QStringLiteral("请先定位员工编码"), this);
            return;
        }
        q->edit();
        setMode(Mode::Editing);
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmPower::cmd_saveClick()
{
    db::Dataset* q = dataModule().PowerQ;
    try {
        if (mode() == Mode::Adding) {
            const QString id = DBEdit1->text().trimmed();
            if (checkNewUser(id) != IdCheck::Ok)
                return;
            // Only a new user's password must be typed twice, exactly alike.
            if (DBEdit4->text() != Edit5->text()) {
                ui::inform(QStringLiteral("密码不一致"), this);
                WindowParts::focusBox(Edit5);
                return;
            }
            DBEdit1->setText(id);
        }
        if (!blanksAccepted())
            return;
        // Who gave whom which right: each kind of right, the functions gained (+) and lost (-).
        QStringList changes;
        for (int column = 1; column <= RightsGrid::columns; ++column) {
            const QString before = q->text(columnFields.at(column - 1));
            const QString after = SGrid->rightsString(column);
            QStringList change;
            for (int row = 1; row <= after.size(); ++row) {
                const bool had = before.mid(row - 1, 1) == QLatin1String("1");
                const bool has = after.at(row - 1) == QLatin1Char('1');
                if (had != has)
                    change << (has ? QStringLiteral("+") : QStringLiteral("-")) + SGrid->verticalHeaderItem(row - 1)->text();
            }
            if (!change.isEmpty())
                changes << SGrid->horizontalHeaderItem(column - 1)->text() + QStringLiteral(": ") + change.join(QLatin1Char(' '));
            q->setValue(columnFields.at(column - 1), after);
        }
        // The password is kept only as its hash; an empty box on an edit keeps the old one.
        const QString typed = DBEdit4->text();
        if (mode() == Mode::Adding || !typed.isEmpty()) {
            q->setValue(QStringLiteral("pass_hash"), PasswordHash::make(typed));
            q->setValue(QStringLiteral("password"), QString());
        }
        const QString user = DBEdit1->text().trimmed();
        OperationLog::record(q->connection(),
                             {windowTitle(), mode() == Mode::Adding ? OperationLog::added : OperationLog::rightsChanged,
                              user, QStringLiteral("%1 项权限改变").arg(changes.size()), changes.join(QLatin1Char('\n'))},
                             [q] { q->post(); });
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("用户保存失败：%1").arg(ui::errorText(e)), this);
        return;
    }
    setMode(Mode::Browsing);
}

// A password is kept exactly as typed, so a blank at either end must be typed
// at every login: asked about first, with 否 for a slip of the Enter key.
bool TFrmPower::blanksAccepted()
{
    const QString typed = DBEdit4->text();
    if (typed.isEmpty() || typed.trimmed() == typed)
        return true;
    if (ui::dialogs().ask(this, QStringLiteral("密码的开头或结尾有空格，登录时必须同样输入这些空格。\n仍然保存吗？"),
                          QStringLiteral("提示"), true, ui::Dialogs::Default::Cancel))
        return true;
    WindowParts::focusBox(DBEdit4);
    return false;
}

void TFrmPower::cmd_cancClick()
{
    setMode(Mode::Browsing);
    try {
        dataModule().PowerQ->cancel();
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
    // The grid shows what is stored, not the ticks that were dropped.
    reloadTicks();
}

void TFrmPower::cmd_deleClick()
{
    if (DBEdit1->text().isEmpty()) {
        ui::inform(QStringLiteral("请先定位删除员工"), this);
        return;
    }
    if (!ui::askYesNo(QStringLiteral("确认删除该记录"), this))
        return;
    try {
        const QString user = DBEdit1->text().trimmed();
        OperationLog::record(dataModule().AdoConn, {windowTitle(), OperationLog::deleted, user, {}, {}}, [&user] {
            db::Statement remove(dataModule().AdoConn, QStringLiteral("delete from powers where user_id=:id"));
            remove.bind(QStringLiteral("id"), user);
            remove.execute();
        });
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("用户删除失败：%1").arg(ui::errorText(e)), this);
        return;
    }
    clearGrid();
}

void TFrmPower::cmd_exitClick()
{
    close();
}
