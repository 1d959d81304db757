#include "reports/BarcodePainter.h"

#include "shop/Barcodes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>
#include <memory>
#include <zint.h>

namespace {

// Quiet zones in modules on each side: EAN asks for 11 and 7, Code 128 for 10.
constexpr int quietModules = 11;

} // namespace

namespace BarcodePainter {

QList<bool> modules(const QString& code)
{
    if (code.isEmpty())
        return {};
    const std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    QByteArray data = code.toUtf8();
    switch (Barcodes::symbology(code)) {
    case Barcodes::Symbology::Ean13:
    case Barcodes::Symbology::Ean8:
        // Zint adds the check digit itself.
        symbol->symbology = BARCODE_EANX;
        data.chop(1);
        break;
    case Barcodes::Symbology::Code128:
        symbol->symbology = BARCODE_CODE128;
        break;
    }
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size())) >= 5)
        return {};
    QList<bool> bars;
    bars.reserve(symbol->width);
    for (int x = 0; x < symbol->width; ++x)
        bars.append((symbol->encoded_data[0][x >> 3] >> (x & 7)) & 1);
    return bars;
}

bool fits(const QString& code, double widthMm, double dpi)
{
    const QList<bool> bars = modules(code);
    return !bars.isEmpty() && std::floor(widthMm / 25.4 * dpi) >= bars.size() + 2 * quietModules;
}

void draw(QPainter& painter, const QRectF& rect, const QString& code, double printerDpi)
{
    const QList<bool> bars = modules(code);
    if (bars.isEmpty())
        return;
    const double unitsPerDot = painter.device()->logicalDpiX() / printerDpi;
    const int totalModules = int(bars.size()) + 2 * quietModules;
    const int dots = int(std::floor(rect.width() / unitsPerDot));
    const int dotsPerModule = dots / totalModules;
    // The symbol's left edge on a whole dot, counted from the page's edge. On a
    // device too coarse for a dot a module (a small preview) it is a picture only.
    const double module = dotsPerModule >= 1 ? dotsPerModule * unitsPerDot : rect.width() / totalModules;
    const double left = dotsPerModule >= 1
                            ? std::ceil(rect.left() / unitsPerDot + (dots - totalModules * dotsPerModule) / 2.0) * unitsPerDot
                            : rect.left();
    const auto edge = [&](int at) { return left + at * module; };
    const double textHeight = rect.height() * 0.25;
    const double barHeight = rect.height() - textHeight;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    // Runs of bars as one rectangle each: no hairline gaps between neighbours.
    for (int x = 0; x < bars.size();) {
        if (!bars.at(x)) {
            ++x;
            continue;
        }
        int end = x;
        while (end < bars.size() && bars.at(end))
            ++end;
        const double left = edge(quietModules + x);
        painter.drawRect(QRectF(left, rect.top(), edge(quietModules + end) - left, barHeight));
        x = end;
    }
    QFont font(QStringLiteral("Noto Sans Mono"));
    font.setPixelSize(qMax(1, int(textHeight * 0.85)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(rect.left(), rect.top() + barHeight, rect.width(), textHeight),
                     Qt::AlignHCenter | Qt::AlignVCenter, code);
    painter.restore();
}

} // namespace BarcodePainter
