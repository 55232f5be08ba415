#include "ChangelogParser.h"

#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

QString trimmedOfSpacesAndTabs(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (start < end && isBlank(text.at(start)))
        ++start;
    while (end > start && isBlank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

ChangelogEntry releaseFromHeading(const QString& line)
{
    const QString heading = trimmedOfSpacesAndTabs(line.mid(3));
    const qsizetype open = heading.indexOf(u'(');
    const qsizetype close = heading.indexOf(u')');
    if (open >= 0 && close > open)
        return {trimmedOfSpacesAndTabs(heading.left(open)), heading.mid(open + 1, close - open - 1), {}};
    return {heading, QString(), {}};
}

struct PendingChange {
    ChangelogChange::Kind kind;
    QString title;
    QStringList detailLines;
};

} // namespace

QList<ChangelogEntry> ChangelogParser::parse(const QString& text)
{
    // A CRLF pair is one line break; every other newline character breaks a line on its own.
    static const QRegularExpression newline(u"\r\n|[\n\r\v\f\u0085\u2028\u2029]"_s);

    QList<ChangelogEntry> result;
    std::optional<ChangelogEntry> release;
    std::optional<PendingChange> pending;

    const auto finishPendingChange = [&] {
        if (pending && release)
            release->changes.append(
                {pending->kind, pending->title, pending->detailLines.join(u'\n').trimmed()});
        pending.reset();
    };

    for (const QString& line : text.split(newline)) {
        if (line.startsWith(u"## "_s)) {
            finishPendingChange();
            if (release)
                result.append(*release);
            release = releaseFromHeading(line);
        } else if (!release) {
            continue;
        } else if (line.startsWith(u"### "_s) && line.contains(u':')) {
            finishPendingChange();
            const qsizetype colon = line.indexOf(u':');
            const auto kind =
                ChangelogChange::kindFromRawValue(trimmedOfSpacesAndTabs(line.mid(4, colon - 4)));
            if (kind)
                pending = PendingChange{*kind, trimmedOfSpacesAndTabs(line.mid(colon + 1)), {}};
        } else if (pending) {
            pending->detailLines.append(line);
        }
    }
    finishPendingChange();
    if (release)
        result.append(*release);
    return result;
}

QList<ChangelogEntry> ChangelogParser::parse(const QByteArray& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError())
        return {};
    return parse(text);
}
