#include "core/LabelPaper.h"

#include "core/AppPaths.h"
#include "core/IniFile.h"

namespace {
const QString section = QStringLiteral("label");
const QString key = QStringLiteral("paper");
}

namespace LabelPaper {

const QList<Shape>& shapes()
{
    // An A4 sheet of 3 × 8 labels of 70 × 37 mm, 0.5 mm left over at top and bottom.
    static const QList<Shape> all = {
        {Kind::Roll40x30, QStringLiteral("40×30毫米"), {40, 30}, {40, 30}, 1, 0},
        {Kind::Roll50x30, QStringLiteral("50×30毫米"), {50, 30}, {50, 30}, 1, 0},
        {Kind::SheetA4, QStringLiteral("A4 3×8"), {210, 297}, {70, 37}, 3, 0.5},
    };
    return all;
}

const Shape& shape(Kind kind)
{
    for (const Shape& s : shapes())
        if (s.kind == kind)
            return s;
    return shapes().first();
}

Kind current()
{
    const QString stored = IniFile(AppPaths::settingsFile()).read(section, key).trimmed();
    for (const Shape& s : shapes())
        if (s.name == stored)
            return s.kind;
    return Kind::Roll40x30;
}

bool setCurrent(Kind kind)
{
    return IniFile(AppPaths::settingsFile()).write(section, key, shape(kind).name);
}

} // namespace LabelPaper
