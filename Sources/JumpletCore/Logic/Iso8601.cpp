#include "Iso8601.h"

#include <QRegularExpression>
#include <QTimeZone>

using namespace Qt::StringLiterals;

std::optional<QDateTime> Iso8601::parse(const QString& text)
{
    static const QRegularExpression pattern(
        u"^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:(Z)|([+-])(\\d{2}):(\\d{2}))$"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;

    const auto number = [&match](int group) { return match.captured(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;

    int offsetSeconds = 0;
    if (match.captured(7).isEmpty()) {
        const int hours = number(9);
        const int minutes = number(10);
        if (hours > 23 || minutes > 59)
            return std::nullopt;
        offsetSeconds = (hours * 3600 + minutes * 60) * (match.captured(8) == u"-"_s ? -1 : 1);
    }
    return QDateTime(date, time, QTimeZone(offsetSeconds)).toUTC();
}

QString Iso8601::format(const QDateTime& date)
{
    return date.toUTC().toString(u"yyyy-MM-ddTHH:mm:ss'Z'"_s);
}
