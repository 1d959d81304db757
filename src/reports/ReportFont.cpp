#include "reports/ReportFont.h"

#include <QFontMetricsF>
#include <QHash>

namespace {

// Measuring at 1200 dpi keeps rounding of pixel sizes far below a tenth of a millimetre.
constexpr double measureDotsPerMm = 1200.0 / 25.4;

} // namespace

QString ReportFont::installedFamily(const QString& family)
{
    if (family == QStringLiteral("宋体") || family.compare(QStringLiteral("SimSun"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Noto Serif CJK SC");
    if (family.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Noto Sans CJK SC");
    return family;
}

QFont ReportFont::toQFont(double dotsPerMm) const
{
    QFont font(installedFamily(family));
    font.setPixelSize(qMax(1, qRound(sizeMm() * dotsPerMm)));
    font.setBold(bold);
    // Unhinted glyphs keep widths proportional across resolutions, so what fits
    // when measured fits on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    // Shaping swaps the digits after a letter (A01) for alternate glyphs that no
    // character maps to, and a PDF's text then reads them as nothing.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferNoShaping));
    return font;
}

double ReportFont::textWidthMm(const QString& text) const
{
    return QFontMetricsF(toQFont(measureDotsPerMm)).horizontalAdvance(text) / measureDotsPerMm;
}

double ReportFont::lineHeightMm() const
{
    const QFontMetricsF metrics(toQFont(measureDotsPerMm));
    return (metrics.ascent() + metrics.descent()) / measureDotsPerMm;
}
