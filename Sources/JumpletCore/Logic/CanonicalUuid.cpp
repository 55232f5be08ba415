#include "CanonicalUuid.h"

namespace {

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

} // namespace

std::optional<QUuid> CanonicalUuid::parse(const QString& text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool hyphenPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPlace ? c != u'-' : !isHexDigit(c))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

QString CanonicalUuid::format(const QUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}
