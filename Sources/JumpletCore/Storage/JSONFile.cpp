#include "JSONFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

void appendString(QByteArray& out, const QString& text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '/': out += "\\/"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (uchar(c) < 0x20)
                out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
}

void appendNumber(QByteArray& out, const QJsonValue& value)
{
    const double number = value.toDouble();
    if (!std::isfinite(number))
        throw JSONFile::Error(u"a number that JSON cannot hold"_s);
    constexpr double integerLimit = 9223372036854775808.0; // 2^63
    // toInteger keeps the exact value of large integers that a double would round.
    if (std::trunc(number) == number && std::abs(number) < integerLimit)
        out += QByteArray::number(value.toInteger());
    else
        out += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The order of the macOS encoder's sorted keys: runs of digits by value, letters regardless of case, then
// code units to break ties.
bool keyLessThan(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            // Compare the values without leading zeros, longer run of significant digits first.
            QStringView runA = QStringView(a).sliced(startA, i - startA);
            QStringView runB = QStringView(b).sliced(startB, j - startB);
            while (runA.size() > 1 && runA.front() == u'0')
                runA = runA.sliced(1);
            while (runB.size() > 1 && runB.front() == u'0')
                runB = runB.sliced(1);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (const int order = runA.compare(runB); order != 0)
                return order < 0;
            continue;
        }
        const QChar foldedA = a[i].toCaseFolded();
        const QChar foldedB = b[j].toCaseFolded();
        if (foldedA != foldedB)
            return foldedA < foldedB;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

void appendIndent(QByteArray& out, int depth)
{
    out += QByteArray(depth * 2, ' ');
}

void appendValue(QByteArray& out, const QJsonValue& value, int depth)
{
    switch (value.type()) {
    case QJsonValue::Null: out += "null"; break;
    case QJsonValue::Bool: out += value.toBool() ? "true" : "false"; break;
    case QJsonValue::Double: appendNumber(out, value); break;
    case QJsonValue::String: appendString(out, value.toString()); break;
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        out += "[\n";
        for (qsizetype i = 0; i < array.size(); ++i) {
            if (i > 0)
                out += ",\n";
            appendIndent(out, depth + 1);
            appendValue(out, array.at(i), depth + 1);
        }
        out += '\n';
        appendIndent(out, depth);
        out += ']';
        break;
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        QStringList keys = object.keys();
        std::sort(keys.begin(), keys.end(), keyLessThan);
        out += "{\n";
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (i > 0)
                out += ",\n";
            appendIndent(out, depth + 1);
            appendString(out, keys.at(i));
            out += " : ";
            appendValue(out, object.value(keys.at(i)), depth + 1);
        }
        out += '\n';
        appendIndent(out, depth);
        out += '}';
        break;
    }
    case QJsonValue::Undefined: throw JSONFile::Error(u"an undefined value cannot be encoded"_s);
    }
}


} // namespace

JSONFile::Error::Error(QString description)
    : m_description(std::move(description)), m_what(m_description.toUtf8())
{
}

JSONFile::TooLarge::TooLarge(qint64 size)
    : Error(u"TooLarge(size: %1)"_s.arg(size)), m_size(size)
{
}

QByteArray JSONFile::data(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(u"the file \u201C%1\u201D does not exist"_s.arg(info.fileName()));
    if (info.isDir())
        throw Error(u"\u201C%1\u201D is a folder"_s.arg(info.fileName()));
    // A pipe or a device would block the read or never end.
    if (!info.isFile())
        throw Error(u"\u201C%1\u201D is not a regular file"_s.arg(info.fileName()));
    if (info.size() > maxSize)
        throw TooLarge(info.size());

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString());
    // The file may have grown since its size was taken.
    QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize)
        throw TooLarge(qMax(file.size(), qint64(bytes.size())));
    if (file.error() != QFileDevice::NoError)
        throw Error(file.errorString());
    return bytes;
}

QJsonValue JSONFile::parse(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw Error(u"not valid JSON: %1 at offset %2"_s.arg(error.errorString()).arg(error.offset));
    if (document.isArray())
        return document.array();
    return document.object();
}

QByteArray JSONFile::encode(const QJsonValue& value)
{
    QByteArray out;
    appendValue(out, value, 0);
    return out;
}

void JSONFile::write(const QJsonValue& value, const QString& path)
{
    const QByteArray bytes = encode(value);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(u"could not create the folder \u201C%1\u201D"_s.arg(folder));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw Error(file.errorString());
    }
    if (!file.commit())
        throw Error(file.errorString());
}

bool JSONFile::isAwaitingDownload(const QString& path)
{
    // No cloud drive here reports a download status or takes download requests: the placeholder is all.
    const QFileInfo info(path);
    return QFileInfo::exists(info.dir().filePath(u"."_s + info.fileName() + u".icloud"_s));
}
