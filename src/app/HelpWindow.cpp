#include "app/HelpWindow.h"

#include "app/WindowCatalog.h"

#include "ui/EnterWalk.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

QString HelpWindow::chapterFor(const QString& windowClass)
{
    static const QHash<QString, QString> chapters = {
        {"TFrmEmployee", "基本资料"}, {"TFrmGoods", "基本资料"}, {"TFrmCompany", "基本资料"},
        {"TFrmUser", "基本资料"}, {"TFrmStorIni", "基本资料"}, {"TFrmImport", "基本资料"},
        {"TFrmPower", "用户和权限"},
        {"TFrmIn", "进货：从头到尾"}, {"TFrmInFind", "进货：从头到尾"}, {"TFrmOut", "销售"},
        {"TFrmOutFind", "销售"}, {"TFrmReturnIn", "退货"}, {"TFrmReturnout", "退货"},
        {"TFrmStorChk", "月末盘点"}, {"TFrmStore", "月末盘点"}, {"TFrmAlarm", "月末盘点"},
        {"TFrmStorChg", "月末盘点"}, {"TFrmMios", "月末盘点"}, {"TFrmGath", "收款和付款"},
        {"TFrmPay", "收款和付款"}, {"TFrmIncost", "对帐单和统计"}, {"TFrmOutcost", "对帐单和统计"},
        {"TFrmInlist", "对帐单和统计"}, {"TFrmOutList", "对帐单和统计"}, {"TFrmOutSortG", "对帐单和统计"},
        {"TFrmOutSortC", "对帐单和统计"}, {"TFrmBackUp", "备份和恢复"}, {"TFrmRestore", "备份和恢复"},
        {"TFrmOperLog", "备份和恢复"}, {"TFrmGathAge", "对帐单和统计"}, {"TFrmPayAge", "对帐单和统计"},
        {"TFrmCompDetail", "对帐单和统计"}, {"TFrmServerSettings", "几台电脑共用店铺服务器"},
        {"TFrmTill", "零售收银"}, {"TFrmDayEnd", "零售收银"}, {"TFrmStyleAnalysis", "款式分析和库龄"},
        {"TFrmSizeShare", "款式分析和库龄"}, {"TFrmSlowStock", "款式分析和库龄"}, {"TFrmTurnover", "款式分析和库龄"},
        {"TFrmMember", "会员和促销"}, {"TFrmMarkdown", "会员和促销"}, {"TFrmMemberRank", "会员和促销"},
        {"TFrmMarkdownEffect", "会员和促销"},
    };
    return chapters.value(windowClass);
}

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("使用指南"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchEdit"));
    m_search->setPlaceholderText(QStringLiteral("输入要查找的字词，按回车"));
    auto* findButton = new QPushButton(QStringLiteral("查找下一个[&N]"), this);
    findButton->setObjectName(QStringLiteral("cmd_find"));
    findButton->setAutoDefault(false);
    m_searchResult = new QLabel(this);
    m_searchResult->setObjectName(QStringLiteral("searchResult"));
    m_searchResult->setMinimumWidth(220);   // the box keeps its width when a message comes
    auto* searchLabel = new QLabel(QStringLiteral("查找[&F]:"), this);
    searchLabel->setBuddy(m_search);

    m_contents = new QListWidget(this);
    m_contents->setObjectName(QStringLiteral("contents"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/guide/guide.html")));

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 620});

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(findButton);
    searchRow->addWidget(m_searchResult);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(splitter, 1);
    resize(860, 620);

    fillContents();
    connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::showChapter);
    // Enter in the box searches on and keeps the focus there, for the next Enter.
    ui::setWalksEnter(m_search);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { findNext(m_search->text()); });
    connect(findButton, &QPushButton::clicked, this, [this] { findNext(m_search->text()); });
}

void HelpWindow::fillContents()
{
    // The chapters are the guide's second-level headings, so the list never drifts from the text.
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 2) {
            auto* item = new QListWidgetItem(block.text(), m_contents);
            item->setData(Qt::UserRole, block.position());
        }
}

HelpWindow* HelpWindow::showFor(QWidget* window)
{
    auto* help = window->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(window);
    // Shown first: the page is laid out at its real width before it is scrolled.
    help->show();
    help->showChapterNamed(chapterFor(WindowCatalog::nameOf(window)));
    help->raise();
    help->activateWindow();
    return help;
}

void HelpWindow::showChapterNamed(const QString& heading)
{
    const QList<QListWidgetItem*> found = m_contents->findItems(heading, Qt::MatchExactly);
    m_contents->setCurrentItem(found.isEmpty() ? m_contents->item(0) : found.first());
    showChapter(m_contents->currentRow());
}

void HelpWindow::showChapter(int index)
{
    const QListWidgetItem* item = m_contents->item(index);
    if (!item)
        return;
    const QTextBlock block = m_browser->document()->findBlock(item->data(Qt::UserRole).toInt());
    const QRectF rect = m_browser->document()->documentLayout()->blockBoundingRect(block);
    QTextCursor cursor(block);
    m_browser->setTextCursor(cursor);
    m_browser->verticalScrollBar()->setValue(qRound(rect.top()));
}

bool HelpWindow::findNext(const QString& text)
{
    const QString word = text.trimmed();
    m_searchResult->clear();
    if (word.isEmpty())
        return false;
    if (m_browser->find(word))
        return true;
    const QTextCursor before = m_browser->textCursor();
    QTextCursor start = before;
    start.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(start);
    if (m_browser->find(word))
        return true;
    // Nothing anywhere: the page stays where the reader was.
    m_browser->setTextCursor(before);
    m_searchResult->setText(QStringLiteral("没有找到“%1”").arg(word));
    return false;
}
