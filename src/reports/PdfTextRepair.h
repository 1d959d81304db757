#pragma once

#include <QString>

// Qt's PDF writer names each glyph by the lowest code point the font maps to it.
// The CJK fonts share glyphs between the Kangxi radicals and the ideographs, so
// 客户 would copy and search as 客⼾. This rewrites those names in a written
// PDF's text maps to the ideographs, in place and at the same length.
class PdfTextRepair {
public:
    // False when the file cannot be read or written back.
    static bool repair(const QString& fileName);
};
