#include "reports/ReportPreview.h"

#include "reports/PdfTextRepair.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPageView.h"
#include "reports/ReportSheet.h"
#include "core/Clock.h"
#include "ui/Dialogs.h"
#include "ui/SheetExport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

ReportPreview::ReportPreview(ReportLayout& layout, QWidget* parent)
    : QDialog(parent)
    , m_layout(layout)
    , m_printer(layout.printer())
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("打印预览 - %1").arg(layout.title()));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The layout decides the paper; orientation, printer and copies stay as the
    // user last chose them for this layout.
    const QPageLayout::Orientation orientation = m_printer.pageLayout().orientation();
    m_printer.setFullPage(true);
    m_printer.setPageSize(QPageSize(layout.paper().sizeMm(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    m_printer.setPageOrientation(orientation);
    m_printer.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    m_printer.setDocName(layout.title());

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addAction(QStringLiteral("适合页面"), QStringLiteral("actFitPage"), &ReportPreview::zoomToFit);
    addAction(QStringLiteral("100%"), QStringLiteral("actZoom100"), &ReportPreview::zoomToActualSize);
    addAction(QStringLiteral("页宽"), QStringLiteral("actFitWidth"), &ReportPreview::zoomToPageWidth);
    m_toolBar->addSeparator();
    addAction(QStringLiteral("首页"), QStringLiteral("actFirst"), &ReportPreview::firstPage);
    addAction(QStringLiteral("上一页"), QStringLiteral("actPrevious"), &ReportPreview::previousPage);
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("pageBox"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setPrefix(QStringLiteral("第 "));
    m_pageBox->setSuffix(QStringLiteral(" 页"));
    m_pageBox->setToolTip(QStringLiteral("转到页"));
    m_toolBar->addWidget(m_pageBox);
    m_pageTotal = new QLabel(this);
    m_pageTotal->setObjectName(QStringLiteral("pageTotal"));
    m_toolBar->addWidget(m_pageTotal);
    addAction(QStringLiteral("下一页"), QStringLiteral("actNext"), &ReportPreview::nextPage);
    addAction(QStringLiteral("末页"), QStringLiteral("actLast"), &ReportPreview::lastPage);
    m_toolBar->addSeparator();
    addAction(QStringLiteral("打印设置"), QStringLiteral("actPageSetup"), &ReportPreview::pageSetup);
    QAction* printAction = m_toolBar->addAction(QStringLiteral("打印"));
    printAction->setObjectName(QStringLiteral("actPrint"));
    connect(printAction, &QAction::triggered, this, [this] { print(); });
    QAction* pdfAction = m_toolBar->addAction(QStringLiteral("保存为PDF"));
    pdfAction->setObjectName(QStringLiteral("actSavePdf"));
    connect(pdfAction, &QAction::triggered, this, [this] { saveAsPdf(); });
    QAction* exportAction = m_toolBar->addAction(QStringLiteral("导出"));
    exportAction->setObjectName(QStringLiteral("actExport"));
    connect(exportAction, &QAction::triggered, this, [this] { exportSheet(); });
    m_toolBar->addSeparator();
    addAction(QStringLiteral("关闭"), QStringLiteral("actClose"), &ReportPreview::reject);

    m_view = new ReportPageView(this);
    m_view->setObjectName(QStringLiteral("pageView"));
    connect(m_view, &ReportPageView::currentPageChanged, this, &ReportPreview::updateControls);
    connect(m_pageBox, &QSpinBox::valueChanged, this, &ReportPreview::goToPage);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_toolBar);
    box->addWidget(m_view, 1);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 0.85);
    m_view->setZoomMode(ReportPageView::ZoomMode::FitToWidth);
    refresh();
    m_view->setCurrentPage(1);
    m_view->setFocus();
    updateControls();
}

QAction* ReportPreview::addAction(const QString& text, const QString& name, void (ReportPreview::*slot)())
{
    QAction* action = m_toolBar->addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

int ReportPreview::pageCount() const
{
    return m_view->pageCount();
}

int ReportPreview::currentPage() const
{
    return m_view->currentPage();
}

QSizeF ReportPreview::pageSizeMm() const
{
    return m_printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
}

void ReportPreview::refresh()
{
    m_view->setDocument(m_layout.prepare(pageSizeMm()));
}

void ReportPreview::updateControls()
{
    const int count = m_view->pageCount();
    const QSignalBlocker blocker(m_pageBox);
    m_pageBox->setRange(1, qMax(1, count));
    m_pageBox->setValue(m_view->currentPage());
    m_pageTotal->setText(QStringLiteral(" 共 %1 页 ").arg(count));
}

void ReportPreview::firstPage()
{
    goToPage(1);
}

void ReportPreview::previousPage()
{
    goToPage(m_view->currentPage() - 1);
}

void ReportPreview::nextPage()
{
    goToPage(m_view->currentPage() + 1);
}

void ReportPreview::lastPage()
{
    goToPage(m_view->pageCount());
}

void ReportPreview::goToPage(int page)
{
    m_view->setCurrentPage(qBound(1, page, qMax(1, m_view->pageCount())));
    updateControls();
}

void ReportPreview::zoomToFit()
{
    m_view->setZoomMode(ReportPageView::ZoomMode::FitInView);
}

void ReportPreview::zoomToActualSize()
{
    m_view->setZoomFactor(1.0);
}

void ReportPreview::zoomToPageWidth()
{
    m_view->setZoomMode(ReportPageView::ZoomMode::FitToWidth);
}

void ReportPreview::pageSetup()
{
    QPageSetupDialog dialog(&m_printer, this);
    if (ui::dialogs().exec(&dialog) == QDialog::Accepted)
        refresh();
}

bool ReportPreview::print()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setMinMax(1, qMax(1, m_view->pageCount()));
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return false;

    // The dialog may have changed the orientation or the paper: prepare again.
    const ReportDocument document = m_layout.prepare(pageSizeMm());
    int first = 0;
    int last = document.pageCount() - 1;
    if (m_printer.printRange() == QPrinter::PageRange && m_printer.fromPage() > 0) {
        first = m_printer.fromPage() - 1;
        last = qMin(last, m_printer.toPage() - 1);
    }
    // Printers that cannot make copies themselves get the pages again.
    const int copies = m_printer.supportsMultipleCopies() ? 1 : m_printer.copyCount();
    bool printed = first <= last && document.render(m_printer, first, last, copies);
    if (printed && m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty())
        printed = PdfTextRepair::repair(m_printer.outputFileName());
    m_view->setDocument(document);
    if (!printed)
        ui::showError(QStringLiteral("打印失败"), this);
    else
        emit this->printed();
    return printed;
}

namespace {

// The folder a PDF was last saved in during this run.
QString lastPdfFolder;

QString pdfFolder()
{
    if (!lastPdfFolder.isEmpty() && QFileInfo(lastPdfFolder).isDir())
        return lastPdfFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

QString ReportPreview::suggestedPdfName() const
{
    // The title as printed where the window put more into it (the month of a movement sheet).
    const QString printed = m_layout.hasLabel(QStringLiteral("title")) ? m_layout.labelText(QStringLiteral("title"))
                                                                       : QString();
    QString title = printed.trimmed().isEmpty() ? m_layout.title() : printed.trimmed();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]+"));
    title.replace(unsafe, QStringLiteral("_"));
    return QDir(pdfFolder()).filePath(
        QStringLiteral("%1_%2.pdf").arg(title, Clock::today().toString(QStringLiteral("yyyyMMdd"))));
}

bool ReportPreview::saveAsPdf()
{
    QString fileName = ui::dialogs().saveFileName(this, QStringLiteral("保存为PDF"), suggestedPdfName(),
                                                  QStringLiteral("PDF 文件 (*.pdf)"));
    if (fileName.isEmpty())
        return false;
    if (!fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
    if (!m_layout.prepare(pageSizeMm()).writePdf(fileName)) {
        ui::showError(QStringLiteral("无法保存文件 %1").arg(fileName), this);
        return false;
    }
    lastPdfFolder = QFileInfo(fileName).absolutePath();
    return true;
}

bool ReportPreview::exportSheet()
{
    const QString title = m_layout.hasLabel(QStringLiteral("title")) ? m_layout.labelText(QStringLiteral("title"))
                                                                     : QString();
    const QString name = title.trimmed().isEmpty() ? m_layout.title() : title.trimmed();
    const QString fileName = ui::SheetExport::askFileName(this, name, true);
    if (fileName.isEmpty())
        return false;
    const ReportSheet sheet(m_layout);
    return ui::SheetExport::write(
        this, fileName, name, sheet.columns(), sheet.rowCount(),
        [&sheet](int row, int column) { return sheet.value(row, column); }, sheet.frame());
}
