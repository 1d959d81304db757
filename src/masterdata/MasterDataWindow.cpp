#include "masterdata/MasterDataWindow.h"


#include "db/Dataset.h"
#include "db/Statement.h"
#include "shop/MasterDataRules.h"
#include "shop/OperationLog.h"
#include "ui/WindowParts.h"
#include "ui/DbComboBox.h"
#include "ui/DbDateEdit.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowPlacement.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

MasterDataWindow::MasterDataWindow(Setup setup, QWidget* parent)
    : ui::ModeWindow(parent), m_setup(std::move(setup))
{
    m_toolBar = new QHBoxLayout;
    cmd_add = WindowParts::addCommand(m_toolBar, "cmd_add", WindowParts::Command::Add);
    cmd_edit = WindowParts::addCommand(m_toolBar, "cmd_edit", WindowParts::Command::Edit);
    cmd_dele = WindowParts::addCommand(m_toolBar, "cmd_dele", WindowParts::Command::Delete);
    cmd_save = WindowParts::addCommand(m_toolBar, "cmd_save", WindowParts::Command::Save);
    cmd_canc = WindowParts::addCommand(m_toolBar, "cmd_canc", WindowParts::Command::Cancel);
    cmd_exit = WindowParts::addCommand(m_toolBar, "cmd_exit", WindowParts::Command::Exit);
    // Browsing until the window says otherwise: nothing may react as if saving were possible.
    cmd_save->setEnabled(false);
    cmd_canc->setEnabled(false);

    findGroup = new QGroupBox(QStringLiteral("快速查找"), this);
    findGroup->setObjectName(QStringLiteral("GroupBox2"));
    findEdit = new QLineEdit(findGroup);
    findEdit->setObjectName(QStringLiteral("Edit1"));
    auto* findRow = new QHBoxLayout(findGroup);
    findRow->addWidget(WindowParts::caption(m_setup.findLabel, findEdit, findGroup));
    findRow->addWidget(findEdit, 1);
    cmd_find = WindowParts::addButton(findRow, "cmd_find", QStringLiteral("查找"));

    dataGroup = new QGroupBox(this);
    dataGroup->setObjectName(QStringLiteral("GroupBox1"));
    m_fieldGrid = new QGridLayout(dataGroup);
    m_fieldGrid->setColumnStretch(1, 1);
    m_fieldGrid->setColumnStretch(3, 1);
    codeEdit = makeEdit(QStringLiteral("DBEdit1"), m_setup.codeField);

    listGrid = new ui::DbGrid(this);
    listGrid->setObjectName(QStringLiteral("DBGrid1"));
    listGrid->setReadOnly(true);
    listGrid->setRowSelect(true);
    // A list to pick a row from: Tab moves on to the next control.
    listGrid->setTabKeyNavigation(false);
    if (m_setup.importKind) {
        QList<QPair<QString, QString>> exported;
        for (const SheetImport::Caption& caption : SheetImport::templateColumns(*m_setup.importKind))
            exported.append({caption.field, caption.caption});
        listGrid->setExportFields(exported);
    }

    connect(cmd_add, &QPushButton::clicked, this, &MasterDataWindow::cmd_addClick);
    connect(cmd_edit, &QPushButton::clicked, this, &MasterDataWindow::cmd_editClick);
    connect(cmd_dele, &QPushButton::clicked, this, &MasterDataWindow::cmd_deleClick);
    connect(cmd_save, &QPushButton::clicked, this, &MasterDataWindow::cmd_saveClick);
    connect(cmd_canc, &QPushButton::clicked, this, &MasterDataWindow::cmd_cancClick);
    connect(cmd_exit, &QPushButton::clicked, this, &MasterDataWindow::cmd_exitClick);
    connect(cmd_find, &QPushButton::clicked, this, &MasterDataWindow::cmd_findClick);
    connect(findEdit, &QLineEdit::returnPressed, this, &MasterDataWindow::cmd_findClick);
}

QHBoxLayout* MasterDataWindow::toolBarLayout()
{
    m_toolBar->addStretch();
    return m_toolBar;
}

ui::DbEdit* MasterDataWindow::makeEdit(const QString& name, const QString& field)
{
    auto* edit = new ui::DbEdit(dataGroup);
    edit->setObjectName(name);
    edit->bind(m_setup.dataset, field);
    return edit;
}

ui::DbComboBox* MasterDataWindow::makeCombo(const QString& name, const QString& field)
{
    auto* combo = new ui::DbComboBox(dataGroup);
    combo->setObjectName(name);
    combo->bind(m_setup.dataset, field);
    return combo;
}

void MasterDataWindow::addField(const QString& label, QWidget* control, bool wide)
{
    if (wide && m_fieldColumn > 0) {
        ++m_fieldRow;
        m_fieldColumn = 0;
    }
    m_fieldGrid->addWidget(WindowParts::caption(label, control, dataGroup), m_fieldRow, m_fieldColumn);
    m_fieldGrid->addWidget(control, m_fieldRow, m_fieldColumn + 1, 1, wide ? 3 : 1);
    m_fieldColumn += wide ? 4 : 2;
    if (m_fieldColumn >= 4) {
        ++m_fieldRow;
        m_fieldColumn = 0;
    }
}

void MasterDataWindow::addFieldRow(const QString& label, QLayout* controls)
{
    if (m_fieldColumn > 0) {
        ++m_fieldRow;
        m_fieldColumn = 0;
    }
    // The row's caption names its first control.
    QWidget* first = nullptr;
    for (int i = 0; i < controls->count() && !first; ++i)
        if (QWidget* w = controls->itemAt(i)->widget(); w && !qobject_cast<QLabel*>(w))
            first = w;
    m_fieldGrid->addWidget(WindowParts::caption(label, first, dataGroup), m_fieldRow, 0);
    m_fieldGrid->addLayout(controls, m_fieldRow, 1, 1, 3);
    ++m_fieldRow;
}

void MasterDataWindow::openDataset(const QString& sql)
{
    db::Dataset* q = m_setup.dataset;
    q->close();
    q->setSql(sql);
    q->setLocking(db::Dataset::Locking::Optimistic);
    q->open();
    listGrid->setDataset(q);
}

void MasterDataWindow::showEvent(QShowEvent* event)
{
    ui::ModeWindow::showEvent(event);
    ui::centreOnScreen(this);
}

void MasterDataWindow::updateButtons()
{
    const bool editing = isEditing();
    listGrid->setEnabled(!editing);
    for (QPushButton* b : {cmd_add, cmd_edit, cmd_dele, cmd_exit})
        b->setEnabled(!editing);
    cmd_save->setEnabled(editing);
    cmd_canc->setEnabled(editing);
    dataGroup->setEnabled(editing);
    findGroup->setEnabled(!editing);
    if (!editing) {
        ui::applyRight(cmd_add, Right::Add, m_setup.position);
        ui::applyRight(cmd_edit, Right::Edit, m_setup.position);
        ui::applyRight(cmd_dele, Right::Delete, m_setup.position);
    }
}

void MasterDataWindow::report(const QString& what, const std::exception& error)
{
    ui::showError(QStringLiteral("%1：%2").arg(what, ui::errorText(error)), this);
}

void MasterDataWindow::cmd_addClick()
{
    try {
        m_setup.dataset->append();
    } catch (const std::exception& e) {
        report(QStringLiteral("无法新增"), e);
        return;
    }
    m_codeBeforeEdit.clear();
    setMode(Mode::Adding);
    codeEdit->setFocus();
}

void MasterDataWindow::cmd_editClick()
{
    const QString code = codeEdit->text().trimmed();
    if (code.isEmpty())
        return;
    db::Dataset* q = m_setup.dataset;
    try {
        q->locate(m_setup.codeField, code);
        q->edit();
    } catch (const std::exception& e) {
        report(QStringLiteral("无法修改"), e);
        return;
    }
    m_codeBeforeEdit = code;
    setMode(Mode::Editing);
    codeEdit->setFocus();
}

bool MasterDataWindow::codeTaken(const QString& code) const
{
    // Keeping its own code is no duplicate, even where old data already holds one.
    if (mode() == Mode::Editing && code.compare(m_codeBeforeEdit, Qt::CaseInsensitive) == 0)
        return false;
    db::Statement count(m_setup.dataset->connection(),
                        QStringLiteral("select count(*) from %1 where lower(trim(%2))=lower(:code)")
                            .arg(m_setup.table, m_setup.codeField));
    count.bind(QStringLiteral("code"), code);
    return count.next() && count.intValue(0) > 0;
}

void MasterDataWindow::cmd_saveClick()
{
    const QString code = codeEdit->text().trimmed();
    if (code.isEmpty())
        return;
    // Every box's text first: a refused number is told at its own box.
    for (ui::DbEdit* box : dataGroup->findChildren<ui::DbEdit*>())
        if (!box->commit())
            return;
    for (ui::DbComboBox* box : dataGroup->findChildren<ui::DbComboBox*>())
        if (!box->commit())
            return;
    for (ui::DbDateEdit* box : dataGroup->findChildren<ui::DbDateEdit*>())
        if (!box->commit())
            return;
    try {
        if (codeTaken(code)) {
            WindowParts::refuse(codeEdit,
                                QStringLiteral("%1“%2”已存在，不能重复，请换一个编码").arg(m_setup.codeCaption, code));
            return;
        }
        if (!acceptRow())
            return;
        // Stored without the blanks typed around it, so that finding it by its code works.
        if (codeEdit->text() != code)
            codeEdit->setText(code);
        m_setup.dataset->post();
    } catch (const std::exception& e) {
        report(QStringLiteral("保存失败"), e);
        return;
    }
    setMode(Mode::Browsing);
    try {
        afterSave(code);
    } catch (const std::exception& e) {
        report(QStringLiteral("已保存，但刷新失败"), e);
    }
    // Back on the list, at the saved row, ready for the next move.
    listGrid->setFocus();
}

QHash<QString, QVariant> MasterDataWindow::rowValues(const QStringList& fields) const
{
    QHash<QString, QVariant> values;
    for (const QString& field : fields)
        values.insert(field, m_setup.dataset->value(field));
    return values;
}

bool MasterDataWindow::acceptFieldRules()
{
    const QHash<QString, QVariant> values = rowValues(MasterDataRules::fields(m_setup.table));
    return acceptRefusals(MasterDataRules::check(m_setup.table, values), values);
}

bool MasterDataWindow::acceptRefusals(const QList<MasterDataRules::Refusal>& refusals,
                                      const QHash<QString, QVariant>& values)
{
    if (refusals.isEmpty())
        return true;
    const MasterDataRules::Refusal& refusal = refusals.first();
    for (ui::DbEdit* box : dataGroup->findChildren<ui::DbEdit*>())
        if (box->fieldName() == refusal.field) {
            WindowParts::refuse(box, refusal.message(box->text().trimmed()));
            return false;
        }
    for (ui::DbComboBox* box : dataGroup->findChildren<ui::DbComboBox*>())
        if (box->fieldName() == refusal.field) {
            WindowParts::refuse(box, refusal.message(box->currentText().trimmed()));
            return false;
        }
    for (ui::DbDateEdit* box : dataGroup->findChildren<ui::DbDateEdit*>())
        if (box->fieldName() == refusal.field) {
            WindowParts::refuse(box, refusal.message(values.value(refusal.field).isNull() ? QString() : box->text()));
            return false;
        }
    ui::warn(refusal.message(MasterDataRules::numberText(values.value(refusal.field))), this);
    return false;
}

void MasterDataWindow::cmd_cancClick()
{
    try {
        m_setup.dataset->cancel();
    } catch (const std::exception& e) {
        report(QStringLiteral("无法取消"), e);
        return;
    }
    setMode(Mode::Browsing);
    try {
        afterCancel();
    } catch (const std::exception& e) {
        report(QStringLiteral("查找失败"), e);
    }
}

int MasterDataWindow::countUses(const QString& code, QStringList* details) const
{
    int total = 0;
    for (const CodeUse& use : m_setup.uses) {
        db::Statement count(m_setup.dataset->connection(),
                            QStringLiteral("select count(*) from %1 where lower(trim(%2))=lower(:code)")
                                .arg(use.table, use.column));
        count.bind(QStringLiteral("code"), code.trimmed());
        const int n = count.next() ? int(count.intValue(0)) : 0;
        if (n > 0 && details)
            *details << QStringLiteral("%1 %2 条").arg(use.what).arg(n);
        total += n;
    }
    return total;
}

void MasterDataWindow::cmd_deleClick()
{
    const QString code = codeEdit->text().trimmed();
    if (code.isEmpty())
        return;
    db::Dataset* q = m_setup.dataset;
    // The question names what goes, as the one about a code in use does.
    const QString name = m_setup.nameField.isEmpty() ? QString() : q->text(m_setup.nameField).trimmed();
    if (!ui::confirm(QStringLiteral("确认删除%1“%2”%3?")
                         .arg(m_setup.codeCaption, code, name.isEmpty() ? QString() : QStringLiteral("（%1）").arg(name)),
                     this))
        return;
    try {
        QStringList details;
        const int uses = countUses(code, &details);
        if (uses > 0
            && !ui::confirm(QStringLiteral("%1“%2”仍被 %3 条记录使用（%4），删除后这些记录将查不到它。\n确认仍要删除?")
                                .arg(m_setup.codeCaption, code)
                                .arg(uses)
                                .arg(details.join(QStringLiteral("，"))),
                            this))
            return;
        OperationLog::record(q->connection(), {windowTitle(), OperationLog::deleted, code, {}, OperationLog::rowText(*q)},
                             [q] { q->remove(); });
    } catch (const std::exception& e) {
        report(QStringLiteral("删除失败"), e);
        return;
    }
    setMode(Mode::Browsing);
}

void MasterDataWindow::findRow(const QString& text)
{
    m_setup.dataset->locate(m_setup.codeField, text);
}

void MasterDataWindow::cmd_findClick()
{
    try {
        findRow(findEdit->text().trimmed());
    } catch (const std::exception& e) {
        report(QStringLiteral("查找失败"), e);
    }
}

void MasterDataWindow::cmd_exitClick()
{
    close();
}
