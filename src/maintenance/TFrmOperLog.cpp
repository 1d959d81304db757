#include "maintenance/TFrmOperLog.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "reports/ReportLayouts.h"
#include "shop/OperationLog.h"
#include "ui/BusyCursor.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"
#include "ui/QuietControls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using WindowParts::named;

namespace {

const QString everything = QStringLiteral("全部");
const QString shortDate = QStringLiteral("yyyy-MM-dd");

QDateEdit* datePicker(const char* name, const QDate& date)
{
    auto* picker = named<QDateEdit>(name);
    picker->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    picker->setDate(date);
    return picker;
}

QString choice(const QComboBox* box)
{
    const QString text = box->currentText().trimmed();
    return text == everything ? QString() : text;
}

} // namespace

TFrmOperLog::TFrmOperLog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmOperLog"));
    setWindowTitle(QStringLiteral("操作日志"));
    resize(860, 560);

    fromDateEdit = datePicker("DP1", Clock::today().addDays(-30));
    toDateEdit = datePicker("DP2", Clock::today());
    UserBox = named<QComboBox>("UserBox");
    ActionBox = named<QComboBox>("ActionBox");
    KeyEdit = named<QLineEdit>("KeyEdit");
    logGrid = named<ui::DbGrid>("DBGrid1");
    DetailText = named<QPlainTextEdit>("DetailText");
    NoteLabel = named<QLabel>("NoteLabel");

    auto* filters = new QFormLayout;
    auto* range = new QHBoxLayout;
    range->addWidget(fromDateEdit);
    range->addWidget(new QLabel(QStringLiteral("至")));
    range->addWidget(toDateEdit);
    range->addStretch();
    filters->addRow(QStringLiteral("日期"), range);
    filters->addRow(QStringLiteral("用户"), UserBox);
    filters->addRow(QStringLiteral("操作"), ActionBox);
    filters->addRow(QStringLiteral("单号/编码"), KeyEdit);

    auto* bar = new QHBoxLayout;
    cmd_find = WindowParts::addCommand(bar, "cmd_find", WindowParts::Command::Find);
    cmd_prin = WindowParts::addCommand(bar, "cmd_prin", WindowParts::Command::Print);
    cmd_exit = WindowParts::addCommand(bar, "cmd_exit", WindowParts::Command::Exit);
    bar->addStretch();

    NoteLabel->setText(QStringLiteral("操作日志只能查看和打印，任何窗口都不能修改或删除日志记录。"));
    DetailText->setReadOnly(true);
    DetailText->setMaximumHeight(110);

    db::Dataset* list = dataModule().OperLogQ;
    list->close();
    logGrid->setReadOnly(true);
    logGrid->setRowSelect(true);
    logGrid->setDataset(list);
    logGrid->addColumn(QStringLiteral("log_time"), QStringLiteral("时间"), 140);
    logGrid->addColumn(QStringLiteral("user_id"), QStringLiteral("用户"), 70);
    logGrid->addColumn(QStringLiteral("win_name"), QStringLiteral("窗口"), 90);
    logGrid->addColumn(QStringLiteral("act_name"), QStringLiteral("操作"), 50);
    logGrid->addColumn(QStringLiteral("log_key"), QStringLiteral("单号/编码"), 120);
    logGrid->addColumn(QStringLiteral("summary"), QStringLiteral("摘要"), 300);
    list->addHook(db::Dataset::Hook::AfterScroll, this, [this](db::Dataset&) { showDetail(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(filters);
    layout->addWidget(logGrid, 1);
    layout->addWidget(new QLabel(QStringLiteral("明细")));
    layout->addWidget(DetailText);
    layout->addWidget(NoteLabel);

    cmd_find->setEnabled(hasRight(Right::Find, Function::OperationLog));
    cmd_prin->setEnabled(hasRight(Right::Print, Function::OperationLog));
    connect(cmd_find, &QPushButton::clicked, this, &TFrmOperLog::cmd_findClick);
    connect(cmd_prin, &QPushButton::clicked, this, &TFrmOperLog::cmd_prinClick);
    connect(cmd_exit, &QPushButton::clicked, this, &QDialog::close);
    connect(KeyEdit, &QLineEdit::returnPressed, this, [this] {
        if (cmd_find->isEnabled())
            cmd_findClick();
    });
    fillChoices();
    ui::placeGridWindow(this, logGrid);
    // Opens on the last month's lines, as the date range says.
    if (cmd_find->isEnabled())
        cmd_findClick();
}

TFrmOperLog::~TFrmOperLog()
{
    dataModule().OperLogQ->removeHooks(this);
}

void TFrmOperLog::fillChoices()
{
    try {
        db::Connection& connection = dataModule().AdoConn;
        UserBox->addItems(QStringList{everything} + OperationLog::users(connection));
        ActionBox->addItems(QStringList{everything} + OperationLog::actions(connection));
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("无法读取操作日志：%1").arg(ui::errorText(e)), this);
    }
}

void TFrmOperLog::cmd_findClick()
{
    const ui::BusyCursor busy;
    m_listed = false;
    db::Dataset* list = dataModule().OperLogQ;
    try {
        OperationLog::open(*list, {fromDateEdit->date(), toDateEdit->date(), choice(UserBox), choice(ActionBox), KeyEdit->text().trimmed()});
        list->first();
    } catch (const std::exception& e) {
        list->close();
        ui::showError(QStringLiteral("查询失败：%1").arg(ui::errorText(e)), this);
        return;
    }
    m_listed = true;
    showDetail();
}

void TFrmOperLog::cmd_prinClick()
{
    db::Dataset* list = dataModule().OperLogQ;
    if (!m_listed || !list->isOpen() || list->recordCount() == 0)
        return;
    TQoperlog& report = ReportLayouts::get<TQoperlog>();
    const QString user = choice(UserBox);
    const QString action = choice(ActionBox);
    report.setLabelText(QStringLiteral("datea"), fromDateEdit->date().toString(shortDate));
    report.setLabelText(QStringLiteral("dateb"), toDateEdit->date().toString(shortDate));
    report.setLabelText(QStringLiteral("user"), user.isEmpty() ? everything : user);
    report.setLabelText(QStringLiteral("action"), action.isEmpty() ? everything : action);
    report.setLabelText(QStringLiteral("keytext"), KeyEdit->text().trimmed());
    report.setLabelText(QStringLiteral("hjts"), QString::number(list->recordCount()));
    const ui::QuietControls quiet(*list);
    report.preview(this);
}

void TFrmOperLog::showDetail()
{
    const db::Dataset* list = dataModule().OperLogQ;
    DetailText->setPlainText(list->isOpen() && list->recordCount() > 0 ? list->text(QStringLiteral("detail")) : QString());
}
