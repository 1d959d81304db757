#pragma once

#include <QString>

// The product's own texts: window and application title, status-bar panels.
namespace ProductInfo {
inline const QString designedCaption = QStringLiteral("澜禾服装鞋帽进销存管理系统");
inline const QString title = QStringLiteral("澜禾服装鞋帽进销存管理系统 1.0");
inline const QString panel1 = QStringLiteral("澜禾服装鞋帽进销存");
inline const QString panel2 = QStringLiteral("单机版 1.0");
inline const QString panel2Server = QStringLiteral("网络版 1.0  服务器: %1");
} // namespace ProductInfo
