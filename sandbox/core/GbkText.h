#pragma once

#include <QByteArray>
#include <QString>

// The bank speaks GBK: every page and answer body is encoded with it.
namespace GbkText {
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
} // namespace GbkText
