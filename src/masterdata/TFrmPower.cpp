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
    cmd_add = WindowParts::addCommand(bar, "cmd_add", WindowParts::Command::Add);
    cmd_edit = WindowParts::addCommand(bar, "cmd_edit", WindowParts::Command::Edit);
    cmd_dele = WindowParts::addCommand(bar, "cmd_dele", WindowParts::Command::Delete);
    cmd_save = WindowParts::addCommand(bar, "cmd_save", WindowParts::Command::Save);
    cmd_canc = WindowParts::addCommand(bar, "cmd_canc", WindowParts::Command::Cancel);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();
    connect(cmd_add, &QPushButton::clicked, this, &TFrmPower::cmd_addClick);
    connect(cmd_edit, &QPushButton::clicked, this, &TFrmPower::cmd_editClick);
    connect(cmd_dele, &QPushButton::clicked, this, &TFrmPower::cmd_deleClick);
    connect(cmd_save, &QPushButton::clicked, this, &TFrmPower::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &TFrmPower::cmd_cancClick);
    connect(cmd_exit, &QPushButton::clicked, this, &TFrmPower::cmd_exitClick);

    userGroup = named<QGroupBox>("GB1");
    userIdEdit = named<ui::DbEdit>("DBEdit1");
    userIdEdit->bind(q, QStringLiteral("user_id"));
    connect(userIdEdit, &QLineEdit::returnPressed, this, &TFrmPower::onUserIdEntered);
    userNameEdit = named<ui::DbEdit>("DBEdit2");
    userNameEdit->bind(q, QStringLiteral("user_name"));
    userNameEdit->setEnabled(false);
    passwordEdit = named<ui::DbEdit>("DBEdit4");
    passwordEdit->bind(q, QStringLiteral("password"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordAgainEdit = named<QLineEdit>("Edit5");
    passwordAgainEdit->setEchoMode(QLineEdit::Password);
    passwordAgainEdit->setMaxLength(10);
    auto* fields = new QGridLayout;
    WindowParts::addLabelled(fields,
                             {{QStringLiteral("员工编码:"), userIdEdit}, {QStringLiteral("姓名"), userNameEdit},
                              {QStringLiteral("密    码:"), passwordEdit}, {QStringLiteral("确认密码:"), passwordAgainEdit}},
                             1);
    auto* group = new QVBoxLayout(userGroup);
    group->addLayout(fields);
    for (const char* note : {"说明：", "√—有此权限", "单击左键改变权限"})
        group->addWidget(new QLabel(QString::fromUtf8(note)));

    userGrid = named<ui::DbGrid>("DBGrid1");
    userGrid->addColumn(QStringLiteral("user_id"), QStringLiteral("编码"), 80);
    userGrid->addColumn(QStringLiteral("user_name"), QStringLiteral("姓名"), 90);
    userGrid->setReadOnly(true);
    userGrid->setRowSelect(true);
    userGrid->setDataset(q);

    rightsGrid = named<RightsGrid>("SGrid");
    const int gridWidth = RightsGrid::labelWidth + RightsGrid::columns * RightsGrid::tickWidth + 2 * rightsGrid->frameWidth();
    rightsGrid->setFixedWidth(gridWidth + 20);   // room for the vertical scroll bar

    auto* left = new QVBoxLayout;
    left->addWidget(userGroup);
    left->addWidget(userGrid, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildColumnBoxes());
    right->addWidget(rightsGrid, 1);
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
    row->addSpacing(RightsGrid::labelWidth + rightsGrid->frameWidth());
    for (int column = 1; column <= RightsGrid::columns; ++column) {
        auto* box = new QCheckBox;
        box->setObjectName(QStringLiteral("CheckBox%1").arg(column));
        columnChecks.append(box);
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
                rightsGrid->setColumnTicked(column, checked);
        });
    }
    row->addStretch();
    return strip;
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
    rightsGrid->writeLabels();
    setMode(Mode::Browsing);
}

void TFrmPower::reloadTicks()
{
    const db::Dataset* q = dataModule().PowerQ;
    const bool onRow = q->isOpen() && q->currentRow() >= 0;
    for (int column = 1; column <= RightsGrid::columns; ++column)
        rightsGrid->showRights(column, onRow ? q->text(columnFields.at(column - 1)) : QString());
}

void TFrmPower::clearGrid()
{
    passwordAgainEdit->clear();
    rightsGrid->writeLabels();
    rightsGrid->clearTicks();
}

void TFrmPower::updateButtons()
{
    const bool editing = isEditing();
    userGroup->setEnabled(editing);
    userGrid->setEnabled(!editing);
    for (QPushButton* browse : {cmd_add, cmd_edit, cmd_dele, cmd_exit})
        browse->setEnabled(!editing);
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    for (QCheckBox* box : std::as_const(columnChecks))
        box->setEnabled(editing);
    rightsGrid->setTicking(editing);
    // A user's id cannot change once saved.
    userIdEdit->setEnabled(mode() != Mode::Editing);
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
    userIdEdit->setFocus();
}

// A new user must be an employee and must not be a user already; a refusal is told.
TFrmPower::IdCheck TFrmPower::checkNewUser(const QString& id)
{
    if (EmployeeRecords::usersNamed(id) > 0) {
        ui::inform(QStringLiteral("该员工已存在！"), this);
        WindowParts::focusBox(userIdEdit);
        return IdCheck::AlreadyUser;
    }
    if (!EmployeeRecords::isEmployee(id)) {
        ui::inform(QStringLiteral("无此员工编码！"), this);
        WindowParts::focusBox(userIdEdit);
        return IdCheck::NotEmployee;
    }
    return IdCheck::Ok;
}

void TFrmPower::onUserIdEntered()
{
    if (mode() != Mode::Adding)
        return;
    try {
        if (checkNewUser(userIdEdit->text().trimmed()) == IdCheck::NotEmployee) {
            userIdEdit->clear();
            userIdEdit->commit();
        }
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void TFrmPower::cmd_editClick()
{
    if (userIdEdit->text().isEmpty()) {
        ui::inform(QStringLiteral("请先定位删除员工"), this);
        return;
    }
    try {
        db::Dataset* q = dataModule().PowerQ;
        if (!q->locate(QStringLiteral("user_id"), userIdEdit->text().trimmed())) {
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
            const QString id = userIdEdit->text().trimmed();
            if (checkNewUser(id) != IdCheck::Ok)
                return;
            // Only a new user's password must be typed twice, exactly alike.
            if (passwordEdit->text() != passwordAgainEdit->text()) {
                ui::inform(QStringLiteral("密码不一致"), this);
                WindowParts::focusBox(passwordAgainEdit);
                return;
            }
            userIdEdit->setText(id);
        }
        if (!blanksAccepted())
            return;
        // Who gave whom which right: each kind of right, the functions gained (+) and lost (-).
        QStringList changes;
        for (int column = 1; column <= RightsGrid::columns; ++column) {
            const QString before = q->text(columnFields.at(column - 1));
            const QString after = rightsGrid->rightsString(column);
            QStringList change;
            for (int row = 1; row <= after.size(); ++row) {
                const bool had = before.mid(row - 1, 1) == QLatin1String("1");
                const bool has = after.at(row - 1) == QLatin1Char('1');
                if (had != has)
                    change << (has ? QStringLiteral("+") : QStringLiteral("-")) + rightsGrid->verticalHeaderItem(row - 1)->text();
            }
            if (!change.isEmpty())
                changes << rightsGrid->horizontalHeaderItem(column - 1)->text() + QStringLiteral(": ") + change.join(QLatin1Char(' '));
            q->setValue(columnFields.at(column - 1), after);
        }
        // The password is kept only as its hash; an empty box on an edit keeps the old one.
        const QString typed = passwordEdit->text();
        if (mode() == Mode::Adding || !typed.isEmpty()) {
            q->setValue(QStringLiteral("pass_hash"), PasswordHash::make(typed));
            q->setValue(QStringLiteral("password"), QString());
        }
        const QString user = userIdEdit->text().trimmed();
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
    const QString typed = passwordEdit->text();
    if (typed.isEmpty() || typed.trimmed() == typed)
        return true;
    if (ui::dialogs().ask(this, QStringLiteral("密码的开头或结尾有空格，登录时必须同样输入这些空格。\n仍然保存吗？"),
                          QStringLiteral("提示"), true, ui::Dialogs::Default::Cancel))
        return true;
    WindowParts::focusBox(passwordEdit);
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
    if (userIdEdit->text().isEmpty()) {
        ui::inform(QStringLiteral("请先定位删除员工"), this);
        return;
    }
    if (!ui::askYesNo(QStringLiteral("确认删除该记录"), this))
        return;
    try {
        const QString user = userIdEdit->text().trimmed();
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
