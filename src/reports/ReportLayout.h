#pragma once

#include "reports/ReportBand.h"
#include "reports/ReportColumn.h"
#include "reports/ReportPaper.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class TFrmDataMod;
class QWidget;
class ReportDocument;

// A banded report layout: paper, a master dataset and bands of labels, data texts
// and rules. It lives as long as the program; labels keep the texts and alignments
// a window gives them, the paper keeps its last set-up and the printer keeps the
// choices made in this layout's print dialog.
class ReportLayout : public QObject {
    Q_OBJECT
public:
    explicit ReportLayout(QObject* parent = nullptr);
    ~ReportLayout() override;

    QString title() const { return m_title; }
    db::Dataset* masterDataset() const { return m_master; }
    void setMasterDataset(db::Dataset* dataset) { m_master = dataset; }
    // Rows that are no dataset's (a table read aside): the detail band's data texts
    // without a dataset print rowText(row, field). They stand in for the master's rows.
    using RowText = std::function<QString(int row, const QString& field)>;
    void setRows(int count, RowText text);
    // The rows printed: the given rows, or the master dataset's while it is open.
    int rowCount() const;
    QString rowText(int row, const QString& field) const;

    const ReportBand* band(ReportBand::Kind kind) const;
    QList<ReportBand::Kind> bandKinds() const;
    double contentWidth() const { return m_contentWidth; }
    // Detail bands across the content width (labels on a sheet), each contentWidth / n wide.
    int detailColumns() const { return m_detailColumns; }

    // Labels by name. An unknown name throws std::out_of_range.
    bool hasLabel(const QString& name) const;
    QStringList labelNames() const;
    QString labelText(const QString& name) const;
    void setLabelText(const QString& name, const QString& text);
    Qt::Alignment labelAlignment(const QString& name) const;
    void setLabelAlignment(const QString& name, Qt::Alignment alignment);

    ReportPaper paper() const { return m_paper; }
    void setPaper(const ReportPaper& paper) { m_paper = paper; }
    void setPaperA4() { m_paper = ReportPaper::A4(); }
    void setCustomPaper(double widthMm, double lengthMm) { m_paper = ReportPaper::custom(widthMm, lengthMm); }

    // Pages over the master dataset's rows, on the layout's paper or another page size.
    ReportDocument prepare() const;
    ReportDocument prepare(QSizeF pageMm) const;
    // Writes the report as a PDF file; throws std::runtime_error when it cannot.
    void writePdf(const QString& fileName) const;
    // Shows the preview modally and returns when it is closed.
    int preview(QWidget* parent = nullptr);
    // This layout's printer and the choices made for it in the print dialog.
    QPrinter& printer();

protected:
    using Kind = ReportBand::Kind;

    // The data module whose datasets the layouts print; throws when none exists.
    static TFrmDataMod& data();

    // Title and content width of the layout as designed.
    void setTitle(const QString& title) { m_title = title; }
    void setContentWidth(double widthMm) { m_contentWidth = widthMm; }
    void setDetailColumns(int columns) { m_detailColumns = qMax(1, columns); }
    void setDefaultFont(const ReportFont& font) { m_defaultFont = font; }
    ReportFont defaultFont() const { return m_defaultFont; }

    ReportBand& addBand(Kind kind, double heightMm);
    // Drops every band, for a layout whose columns follow what it prints.
    void clearBands();
    ReportItem& addLabel(Kind band, const QRectF& rect, const QString& text,
                         Qt::Alignment alignment = Qt::AlignLeft, const QString& name = {});
    ReportItem& addData(Kind band, const QRectF& rect, db::Dataset* dataset, const QString& field,
                        Qt::Alignment alignment = Qt::AlignLeft);
    ReportItem& addBarcode(Kind band, const QRectF& rect, db::Dataset* dataset, const QString& field);
    // The bars of a fixed code.
    ReportItem& addBarcode(Kind band, const QRectF& rect, const QString& code);
    void addHLine(Kind band, double y, double x1, double x2);
    void addVLine(Kind band, double x, double y1, double y2);
    void addBox(Kind band, const QRectF& rect);
    // The layout's title label across the full width, centred.
    ReportItem& addTitleLabel(Kind band, double top, double height, double pointSize,
                              const QString& name = QStringLiteral("title"));
    // A ruled heading row in one band and the ruled cells of the detail band below it.
    void addTable(Kind headingBand, double top, double headingHeight, const QList<ReportColumn>& columns,
                  db::Dataset* dataset);

    // One caption followed by a named value label; returns the x after the pair.
    struct Pair {
        QString caption;
        double captionWidth;
        QString name;
        double valueWidth;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    double addPairs(Kind band, double x, double top, double height, const QList<Pair>& pairs);

private:
    ReportItem* findLabel(const QString& name);
    const ReportItem* findLabel(const QString& name) const;
    ReportItem& labelOrThrow(const QString& name);
    const ReportItem& labelOrThrow(const QString& name) const;

    QString m_title;
    QPointer<db::Dataset> m_master;
    int m_rowCount = -1;   // -1: the master dataset's rows
    RowText m_rowText;
    std::array<std::optional<ReportBand>, ReportBand::kindCount> m_bands;
    ReportPaper m_paper;
    ReportFont m_defaultFont;
    double m_contentWidth = 190.0;
    int m_detailColumns = 1;
    std::unique_ptr<QPrinter> m_printer;
};
