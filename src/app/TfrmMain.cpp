#include "app/TfrmMain.h"

#include "core/CurrentRights.h"
#include "app/BackupKeeper.h"
#include "app/HelpWindow.h"
#include "app/HomePage.h"
#include "app/ProductInfo.h"
#include "app/TodayPage.h"
#include "app/TfrmAbout.h"
#include "app/WindowCatalog.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "shop/DatabaseUpgrade.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <memory>

namespace {

struct MenuCommand {
    const char* item;
    const char* caption;   // empty: a separator
    int position;          // 0: always enabled
    const char* window;    // class opened, empty when the item has its own action
};

struct Menu {
    const char* name;
    const char* caption;
    QList<MenuCommand> commands;
};

const QList<Menu>& menus()
{
    static const QList<Menu> all = {
        {"N1", "基本资料[&B]",
         {{"N3", "员工资料", 1, "TFrmEmployee"},
          {"N4", "货品资料", 2, "TFrmGoods"},
          {"N5", "客户资料", 3, "TFrmCompany"},
          {"N13", "会员资料", Function::Members, "TFrmMember"},
          {"N14", "促销折扣", Function::Markdowns, "TFrmMarkdown"},
          {"N6", "基本设置", 4, "TFrmUser"},
          {"N7", "库存初始化", 5, "TFrmStorIni"},
          {"N8", "权限设置", 6, "TFrmPower"},
          {"", "", 0, ""},
          {"N9", "导入…", 0, "TFrmImport"}}},
        {"N2", "进货管理[&I]",
         {{"N10", "进货输入", 7, "TFrmIn"},
          {"N11", "进货统计", 8, "TFrmInlist"},
          {"", "", 0, ""},
          {"N12", "顾客退货", 9, "TFrmReturnIn"}}},
        {"D1", "出货管理[&O]",
         {{"N20", "销售输入", 10, "TFrmOut"},
          {"N26", "零售收银", Function::RetailTill, "TFrmTill"},
          {"N22", "退货厂商", 11, "TFrmReturnout"},
          {"", "", 0, ""},
          {"N23", "出货统计", 12, "TFrmOutList"},
          {"N24", "出货排行-按货品", 13, "TFrmOutSortG"},
          {"N25", "出货排行-按客户", 14, "TFrmOutSortC"}}},
        {"G1", "仓库管理[&S]",
         {{"N31", "库存查询", 15, "TFrmStore"},
          {"N15", "库存报警", 16, "TFrmAlarm"},
          {"N32", "库存调整", 17, "TFrmStorChg"},
          {"", "", 0, ""},
          {"N33", "库存盘点", 18, "TFrmStorChk"},
          {"N34", "进销存明细", 19, "TFrmMios"}}},
        {"M1", "财务管理[&M]",
         {{"N39", "收款单", 20, "TFrmGath"},
          {"N40", "付款单", 21, "TFrmPay"},
          {"", "", 0, ""},
          {"N41", "进货对帐单", 22, "TFrmIncost"},
          {"N42", "出货对帐单", 23, "TFrmOutcost"},
          {"", "", 0, ""},
          {"N43", "应收账龄", 23, "TFrmGathAge"},
          {"N44", "应付账龄", 22, "TFrmPayAge"},
          {"N45", "客户往来明细", 23, "TFrmCompDetail"}}},
        {"R1", "统计报表[&R]",
         {{"N60", "款式分析", 13, "TFrmStyleAnalysis"},
          {"N61", "尺码分布", 13, "TFrmSizeShare"},
          {"N62", "滞销与库龄", 13, "TFrmSlowStock"},
          {"N63", "周转", 13, "TFrmTurnover"},
          {"N64", "会员消费排行", 13, "TFrmMemberRank"},
          {"N65", "促销效果", 13, "TFrmMarkdownEffect"},
          {"", "", 0, ""},
          {"N27", "日结", Function::RetailTill, "TFrmDayEnd"}}},
        {"S1", "系统管理[&Y]",
         {{"N46", "数据备份", 24, "TFrmBackUp"},
          {"N47", "数据恢复", 25, "TFrmRestore"},
          {"N49", "操作日志", 26, "TFrmOperLog"},
          {"N48", "访问主页", 0, ""},
          {"N50", "帮助", 0, ""},
          {"N51", "关于", 0, ""}}},
    };
    return all;
}

struct ToolCommand {
    const char* button;
    const char* caption;
    const char* icon;
    const char* item;   // the menu item whose click it performs
};

const QList<QList<ToolCommand>>& toolGroups()
{
    static const QList<QList<ToolCommand>> groups = {
        {{"cmd_employee", "员工资料", "employee", "N3"},
         {"cmd_goods", "货品资料", "goods", "N4"},
         {"cmd_company", "客户资料", "company", "N5"}},
        {{"cmd_in", "进货输入", "in", "N10"}, {"cmd_out", "销售输入", "out", "N20"},
         {"cmd_till", "零售收银", "till", "N26"}},
        {{"cmd_gath", "收款单", "gath", "N39"}, {"cmd_pay", "付款单", "pay", "N40"}},
        {{"cmd_store", "库存查询", "store", "N31"}},
        {{"BitBtn2", "退出系统", "exit", "X1"}},
    };
    return groups;
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProductInfo::designedCaption);
    buildMenus();
    buildToolBar();
    buildStatusBar();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("background"));
    central->setStyleSheet(QStringLiteral("#background { background: #eef3f9; }"));
    m_background800 = new QLabel(central);
    m_background800->setObjectName(QStringLiteral("Image1"));
    m_background1024 = new QLabel(central);
    m_background1024->setObjectName(QStringLiteral("Image2"));
    m_today = new TodayPage(central);
    m_today->hide();   // until someone has logged in
    (new QVBoxLayout(central))->addWidget(m_today);
    connect(m_today, &TodayPage::openRequested, this, &TfrmMain::openWindow);
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, [this] {
        if (!m_today->isHidden())
            m_today->refresh();
    });
    setCentralWidget(central);
    const QScreen* screen = QGuiApplication::primaryScreen();
    applyBackground(screen ? screen->geometry().width() : 0);

    // The product title replaces the designed caption.
    setWindowTitle(ProductInfo::title);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::buildMenus()
{
    for (const Menu& menu : menus()) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(menu.caption));
        m->setObjectName(QString::fromLatin1(menu.name));
        for (const MenuCommand& c : menu.commands) {
            if (!*c.item) {
                m->addSeparator();
                continue;
            }
            QAction* action = m->addAction(QString::fromUtf8(c.caption));
            const QString name = QString::fromLatin1(c.item);
            action->setObjectName(name);
            m_items.insert(name, action);
            if (c.position > 0)
                m_positions.insert(name, c.position);
            const QString window = QString::fromLatin1(c.window);
            if (!window.isEmpty())
                connect(action, &QAction::triggered, this, [this, window] { openWindow(window); });
        }
    }
    connect(m_items.value("N48"), &QAction::triggered, this, &TfrmMain::openHomePage);
    connect(m_items.value("N50"), &QAction::triggered, this, &TfrmMain::openHelp);
    connect(m_items.value("N51"), &QAction::triggered, this, &TfrmMain::openAbout);
    QAction* exit = menuBar()->addAction(QStringLiteral("退出[&X]"));
    exit->setObjectName(QStringLiteral("X1"));
    m_items.insert(QStringLiteral("X1"), exit);
    connect(exit, &QAction::triggered, this, &TfrmMain::exitProgram);
}

void TfrmMain::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("ToolBar1"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    bool firstGroup = true;
    for (const QList<ToolCommand>& group : toolGroups()) {
        if (!firstGroup)
            m_toolBar->addSeparator();
        firstGroup = false;
        for (const ToolCommand& c : group) {
            auto* button = new QToolButton(m_toolBar);
            const QString name = QString::fromLatin1(c.button);
            button->setObjectName(name);
            button->setText(QString::fromUtf8(c.caption));
            button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(c.icon))));
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setMinimumHeight(39);
            m_toolBar->addWidget(button);
            m_buttons.insert(name, button);
            const QString item = QString::fromLatin1(c.item);
            if (m_positions.contains(item))
                m_positions.insert(name, m_positions.value(item));
            connect(button, &QToolButton::clicked, this, [this, item] {
                if (QAction* action = m_items.value(item))
                    action->trigger();
            });
        }
    }
}

void TfrmMain::buildStatusBar()
{
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addWidget(panel);
        m_panels << panel;
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_backups = new BackupKeeper(this);
    statusBar()->addPermanentWidget(m_backups->statusLabel());
    // The home page's 最近备份 card says what the status bar says once a backup ends.
    connect(m_backups, &BackupKeeper::backgroundFinished, this, [this] {
        if (!m_today->isHidden())
            m_today->refresh();
    });
}

QAction* TfrmMain::menuItem(const QString& name) const
{
    return m_items.value(name);
}

QToolButton* TfrmMain::toolButton(const QString& name) const
{
    return m_buttons.value(name);
}

void TfrmMain::applyBackground(int screenWidth)
{
    m_background800->hide();
    m_background1024->hide();
    QLabel* picture = screenWidth == 800 ? m_background800 : screenWidth == 1024 ? m_background1024 : nullptr;
    if (picture) {
        // Read only for the width that shows it: decoding both held up the start.
        if (picture->pixmap().isNull())
            picture->setPixmap(QPixmap(picture == m_background800 ? QStringLiteral(":/images/background800.png")
                                                         : QStringLiteral(":/images/background1024.png")));
        picture->move(0, 45);
        picture->adjustSize();
        picture->show();
    }
}

void TfrmMain::applyRights()
{
    for (auto it = m_positions.constBegin(); it != m_positions.constEnd(); ++it) {
        const bool enabled = hasRight(Right::Use, it.value());
        if (QAction* action = m_items.value(it.key()))
            action->setEnabled(enabled);
        if (QToolButton* button = m_buttons.value(it.key()))
            button->setEnabled(enabled);
    }
}

void TfrmMain::showUser()
{
    try {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int width = screen ? screen->geometry().width() : 1024;
        m_panels[0]->setFixedWidth(width / 3 + 40);
        m_panels[1]->setFixedWidth(width / 3 - 20);
        m_panels[2]->setFixedWidth(width / 3 - 20);
        const QDateTime now = QDateTime::currentDateTime();
        m_panels[0]->setText(QStringLiteral("操作人员: ") + CurrentRights::current().userId.trimmed()
                             + QStringLiteral("  登录时间:") + QLocale().toString(now.date(), QLocale::ShortFormat)
                             + QLatin1Char(' ') + now.time().toString(QStringLiteral("hh:mm:ss")));
        m_panels[1]->setText(ProductInfo::panel1);
        const db::Connection& connection = dataModule().AdoConn;
        m_panels[2]->setText(connection.isShared()
                                 ? ProductInfo::panel2Server.arg(connection.serverAddress().host)
                                 : ProductInfo::panel2);
    } catch (...) {
    }
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        QTimer::singleShot(0, this, &TfrmMain::FormShow);
    }
}

void TfrmMain::FormShow()
{
    showUser();
    applyRights();
    // The backup question comes with the main window, before anything slow: a
    // box that came up a moment later would take the keys meant for the window.
    waitUntilActive();
    m_backups->start();
    checkNumbers();
    {
        const ui::BusyCursor busy;
        m_today->show();
        m_today->refresh();
    }
}

void TfrmMain::waitUntilActive()
{
    if (!isVisible() || isActiveWindow() || !windowHandle())
        return;
    activateWindow();
    QEventLoop loop;
    connect(windowHandle(), &QWindow::activeChanged, &loop, &QEventLoop::quit);
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Numbers an older database holds twice, and barcodes that are other goods'
// codes, are told once; the program works on.
void TfrmMain::checkNumbers()
{
    const std::pair<QString (*)(db::Connection&), QString> checks[] = {
        {&DatabaseUpgrade::checkNumbers, QStringLiteral("单号检查")},
        {&DatabaseUpgrade::checkBarcodes, QStringLiteral("条形码检查")}};
    for (const auto& [check, name] : checks) {
        QString report;
        try {
            const ui::BusyCursor busy;
            report = check(dataModule().AdoConn);
        } catch (const std::exception& e) {
            report = QStringLiteral("%1没有完成：%2").arg(name, ui::errorText(e));
        }
        if (!report.isEmpty())
            ui::warn(report, this);
    }
}

void TfrmMain::openWindow(const QString& className, const std::function<void(QDialog*)>& prepare)
{
    if (m_open.value(className))
        return;
    std::unique_ptr<QDialog> window;
    {
        const ui::BusyCursor busy;
        window.reset(WindowCatalog::create(className, this));
    }
    if (!window)
        return;
    m_open.insert(className, window.get());
    try {
        if (prepare)
            prepare(window.get());
        ui::dialogs().exec(window.get());
    } catch (...) {
        m_open.remove(className);
        throw;
    }
    m_open.remove(className);
    // Whatever the window saved shows on the home page at once.
    if (!m_today->isHidden())
        m_today->refresh();
}

void TfrmMain::openHomePage()
{
    if (!HomePage::open())
        ui::warn(QStringLiteral("无法打开主页"), this);
}

void TfrmMain::openHelp()
{
    HelpWindow::showFor(this);
}

void TfrmMain::openAbout()
{
    TfrmAbout about(this);
    ui::dialogs().exec(&about);
}

void TfrmMain::exitProgram()
{
    close();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (ui::confirm(QStringLiteral("确认退出系统?"), this)) {
        m_backups->backupOnExit();
        event->accept();
    } else {
        event->ignore();
    }
}
