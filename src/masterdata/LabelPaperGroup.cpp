#include "masterdata/LabelPaperGroup.h"

#include "core/AppPaths.h"
#include "core/LabelPaper.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

LabelPaperGroup::LabelPaperGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("条码标签"), parent)
{
    setObjectName(QStringLiteral("LabelPaperGroup"));
    LabelPaper = WindowParts::named<QComboBox>("LabelPaper", this);
    for (const LabelPaper::Shape& s : LabelPaper::shapes())
        LabelPaper->addItem(s.name, int(s.kind));
    auto* row = new QHBoxLayout(this);
    row->addWidget(WindowParts::caption(QStringLiteral("标签纸"), LabelPaper, this));
    row->addWidget(LabelPaper, 1);
}

void LabelPaperGroup::load()
{
    LabelPaper->setCurrentIndex(LabelPaper->findData(int(LabelPaper::current())));
}

bool LabelPaperGroup::save()
{
    if (LabelPaper::setCurrent(LabelPaper::Kind(LabelPaper->currentData().toInt())))
        return true;
    ui::showError(QStringLiteral("无法写入设置文件 %1").arg(AppPaths::settingsFile()), window());
    return false;
}
