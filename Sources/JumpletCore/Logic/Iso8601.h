#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Dates as files hold them: ISO 8601 with whole seconds, written in UTC with a final Z.
namespace Iso8601 {

// Accepts "yyyy-MM-ddTHH:mm:ss" followed by "Z" or an offset "+HH:MM"/"-HH:MM"; a fraction fails.
std::optional<QDateTime> parse(const QString& text);

QString format(const QDateTime& date);

} // namespace Iso8601
