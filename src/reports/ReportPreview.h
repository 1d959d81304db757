#pragma once

#include <QDialog>
#include <QSizeF>

class QAction;
class QLabel;
class QPrinter;
class QSpinBox;
class QToolBar;
class ReportLayout;
class ReportPageView;

// The on-screen preview of a layout: zoom, page moves, printer set-up, printing
// through the print dialog, saving as PDF and exporting the lines to a
// spreadsheet. It paints onto the layout's own printer, so choices made here
// stay with that layout.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(ReportLayout& layout, QWidget* parent = nullptr);

    ReportPageView* pageView() const { return m_view; }
    int pageCount() const;
    int currentPage() const;
    // The file 保存为PDF offers: title and today's date, in the folder last saved to
    // in this run or else the documents folder.
    QString suggestedPdfName() const;

public slots:
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void goToPage(int page);
    void zoomToFit();
    void zoomToActualSize();
    void zoomToPageWidth();
    void pageSetup();
    // Shows the print dialog and prints what it asks for; false when cancelled or failed.
    bool print();
    // Asks for a file name and writes the report there; false when cancelled or failed.
    bool saveAsPdf();
    // Asks for a file name and writes the report's lines there as .xlsx or CSV;
    // false when cancelled or failed.
    bool exportSheet();

signals:
    // Pages went to the printer (not when the print dialog was cancelled or printing failed).
    void printed();

private slots:
    void updateControls();

private:
    QSizeF pageSizeMm() const;
    // Paginates again on the printer's present paper and orientation.
    void refresh();
    QAction* addAction(const QString& text, const QString& name, void (ReportPreview::*slot)());

    ReportLayout& m_layout;
    QPrinter& m_printer;
    ReportPageView* m_view = nullptr;
    QToolBar* m_toolBar = nullptr;
    QSpinBox* m_pageBox = nullptr;
    QLabel* m_pageTotal = nullptr;
};
