#include "core/ReceiptPrinterSettings.h"

#include "core/AppPaths.h"
#include "core/IniFile.h"

namespace {

const QString section = QStringLiteral("receipt");
const QString outputKey = QStringLiteral("output");
const QString targetKey = QStringLiteral("target");
const QString paperKey = QStringLiteral("paper");

const QString pageName = QStringLiteral("page");
const QString queueName = QStringLiteral("queue");
const QString deviceName = QStringLiteral("device");

} // namespace

ReceiptPrinterSettings ReceiptPrinterSettings::load()
{
    const IniFile ini(AppPaths::settingsFile());
    ReceiptPrinterSettings s;
    const QString output = ini.read(section, outputKey).trimmed();
    if (output == queueName)
        s.output = Output::Queue;
    else if (output == deviceName)
        s.output = Output::Device;
    s.target = ini.read(section, targetKey).trimmed();
    s.paperMm = ini.read(section, paperKey).trimmed() == QLatin1String("58") ? 58 : 80;
    return s;
}

bool ReceiptPrinterSettings::save() const
{
    const QString name = output == Output::Queue ? queueName : output == Output::Device ? deviceName : pageName;
    IniFile ini(AppPaths::settingsFile());
    return ini.write(section, outputKey, name) && ini.write(section, targetKey, target.trimmed())
           && ini.write(section, paperKey, QString::number(paperMm == 58 ? 58 : 80));
}
