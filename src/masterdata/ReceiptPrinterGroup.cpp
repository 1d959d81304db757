#include "masterdata/ReceiptPrinterGroup.h"

#include "core/AppPaths.h"
#include "core/ReceiptPrinterSettings.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>

using Output = ReceiptPrinterSettings::Output;

ReceiptPrinterGroup::ReceiptPrinterGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("小票打印机"), parent)
{
    setObjectName(QStringLiteral("ReceiptPrinterGroup"));
    output = WindowParts::named<QComboBox>("ReceiptOutput", this);
    output->addItem(QStringLiteral("普通打印机（按纸张打印）"), int(Output::Page));
    output->addItem(QStringLiteral("CUPS 队列（ESC/POS 原始数据）"), int(Output::Queue));
    output->addItem(QStringLiteral("设备文件（如 /dev/usb/lp0）"), int(Output::Device));
    target = WindowParts::named<QComboBox>("ReceiptTarget", this);
    target->setEditable(true);
    target->setInsertPolicy(QComboBox::NoInsert);
    target->lineEdit()->setPlaceholderText(QStringLiteral("空：默认打印机"));
    paper = WindowParts::named<QComboBox>("ReceiptPaper", this);
    paper->addItem(QStringLiteral("58毫米（32字符）"), 58);
    paper->addItem(QStringLiteral("80毫米（48字符）"), 80);
    connect(output, &QComboBox::activated, this, [this] {
        target->setEditText({});
        fillTargets();
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(WindowParts::caption(QStringLiteral("输出到"), output, this), 0, 0);
    grid->addWidget(output, 0, 1);
    grid->addWidget(WindowParts::caption(QStringLiteral("打印机"), target, this), 1, 0);
    grid->addWidget(target, 1, 1);
    grid->addWidget(WindowParts::caption(QStringLiteral("纸宽"), paper, this), 2, 0);
    grid->addWidget(paper, 2, 1);
    grid->setColumnStretch(1, 1);
}

// The printers this PC knows, for a page or a queue; a device is typed.
void ReceiptPrinterGroup::fillTargets()
{
    const QString typed = target->currentText();
    target->clear();
    if (Output(output->currentData().toInt()) != Output::Device)
        target->addItems(QPrinterInfo::availablePrinterNames());
    target->setEditText(typed);
    target->lineEdit()->setPlaceholderText(Output(output->currentData().toInt()) == Output::Page
                                               ? QStringLiteral("空：默认打印机")
                                               : QString());
}

void ReceiptPrinterGroup::load()
{
    const ReceiptPrinterSettings s = ReceiptPrinterSettings::load();
    output->setCurrentIndex(output->findData(int(s.output)));
    fillTargets();
    target->setEditText(s.target);
    paper->setCurrentIndex(paper->findData(s.paperMm));
}

bool ReceiptPrinterGroup::check()
{
    const Output chosen = Output(output->currentData().toInt());
    if (chosen == Output::Page || !target->currentText().trimmed().isEmpty())
        return true;
    WindowParts::refuse(target, chosen == Output::Queue ? QStringLiteral("请输入小票打印机的 CUPS 队列名")
                                                        : QStringLiteral("请输入小票打印机的设备文件，如 /dev/usb/lp0"));
    return false;
}

bool ReceiptPrinterGroup::save()
{
    ReceiptPrinterSettings s;
    s.output = Output(output->currentData().toInt());
    s.target = target->currentText().trimmed();
    s.paperMm = paper->currentData().toInt();
    if (s.save())
        return true;
    ui::showError(QStringLiteral("无法写入设置文件 %1").arg(AppPaths::settingsFile()), window());
    return false;
}
