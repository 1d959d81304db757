#pragma once

#include <QString>

// The print settings shared by the bill print-outs. Company name, footer and
// line count are loaded at every login attempt; the page values only take a
// value when the basic settings are saved while the program runs.
struct PrintSettings {
    QString companyName;
    QString billFooter;
    int lineCount = 0;
    QString pageType;     // "默认", "自定义", "A4", or empty when never saved in this run
    int pageWidth = 0;    // millimetres
    int pageLength = 0;

    static PrintSettings& current();
};

// Keys of system.ini.
namespace SettingsKeys {
inline const QString billdata = QStringLiteral("billdata");
inline const QString companyName = QStringLiteral("company_name");
inline const QString billBottom = QStringLiteral("bill_bottom");
inline const QString lineCount = QStringLiteral("line_count");
inline const QString pagesize = QStringLiteral("pagesize");
inline const QString pageType = QStringLiteral("page_type");
inline const QString pageWidth = QStringLiteral("page_width");
inline const QString pageLength = QStringLiteral("page_length");
inline const QString nettype = QStringLiteral("nettype");
inline const QString datasource = QStringLiteral("datasource");
} // namespace SettingsKeys

// The shop server's keys (group "server" of system.ini).
namespace SettingsKeys {
inline const QString server = QStringLiteral("server");
inline const QString serverMode = QStringLiteral("mode");   // "file" or "server"
inline const QString serverHost = QStringLiteral("host");
inline const QString serverPort = QStringLiteral("port");
inline const QString serverDatabase = QStringLiteral("database");
inline const QString serverUser = QStringLiteral("user");
inline const QString serverSsl = QStringLiteral("sslmode");
} // namespace SettingsKeys
