#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <exception>
#include <utility>

// Reading and writing the small JSON documents the application keeps. Reads throw to the caller, which
// decides how to recover; writes replace the target atomically or leave it as it was.
namespace JSONFile {

constexpr qint64 maxSize = 1'000'000;

// A file-system, encoding or decoding failure, described for the log.
class Error : public std::exception {
public:
    explicit Error(QString description);
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};

// A file refused for its size, before it was opened.
class TooLarge : public Error {
public:
    explicit TooLarge(qint64 size);
    qint64 size() const { return m_size; }

private:
    qint64 m_size;
};

// The whole file, refused above maxSize bytes as the file system reports its size.
QByteArray data(const QString& path);

// The JSON document (an object or an array) of a file.
QJsonValue parse(const QByteArray& bytes);

// Reads a file and decodes it with decode(const QJsonValue&) -> std::optional<Record>.
template<typename Decode>
auto read(const QString& path, Decode decode)
{
    auto record = decode(parse(data(path)));
    if (!record)
        throw Error(QStringLiteral("the data is not in the expected format"));
    return *std::move(record);
}

// The stored form: two-space indentation, "key" : value, keys in the macOS encoder's sorted order,
// "/" escaped as "\/", integral numbers as integers.
QByteArray encode(const QJsonValue& value);

// Creates the parent folder, then replaces the file atomically with the stored form of value.
void write(const QJsonValue& value, const QString& path);

// True when a cloud drive has only a placeholder ".<name>.icloud" beside the file; the download is then
// requested where the platform supports it.
bool isAwaitingDownload(const QString& path);

} // namespace JSONFile
