#include "SimulatedBundleReader.h"

#include <QFile>
#include <QFileInfo>
#include <QVariantList>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

QVariant readValue(QXmlStreamReader& xml);

// The reader stands on the start of <dict>; leaves it after </dict>.
QVariantMap readDict(QXmlStreamReader& xml)
{
    QVariantMap dict;
    QString key;
    while (xml.readNextStartElement()) {
        if (xml.name() == "key"_L1)
            key = xml.readElementText();
        else
            dict.insert(key, readValue(xml));
    }
    return dict;
}

QVariant readValue(QXmlStreamReader& xml)
{
    const auto name = xml.name();
    if (name == "dict"_L1)
        return readDict(xml);
    if (name == "array"_L1) {
        QVariantList list;
        while (xml.readNextStartElement())
            list.append(readValue(xml));
        return list;
    }
    if (name == "string"_L1)
        return xml.readElementText();
    if (name == "integer"_L1)
        return xml.readElementText().toLongLong();
    if (name == "true"_L1 || name == "false"_L1) {
        const bool value = name == "true"_L1;
        xml.skipCurrentElement();
        return value;
    }
    xml.skipCurrentElement();
    return {};
}

QVariantMap readInfo(const QString& plistPath)
{
    QFile file(plistPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != "plist"_L1)
        return {};
    if (!xml.readNextStartElement() || xml.name() != "dict"_L1)
        return {};
    QVariantMap info = readDict(xml);
    return xml.hasError() ? QVariantMap() : info;
}

} // namespace

std::optional<BundleReader::Bundle> SimulatedBundleReader::bundleAtPath(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return std::nullopt;
    Bundle bundle;
    bundle.info = readInfo(path + u"/Contents/Info.plist"_s);
    const QVariant identifier = bundle.info.value(u"CFBundleIdentifier"_s);
    if (identifier.typeId() == QMetaType::QString)
        bundle.bundleIdentifier = identifier.toString();
    return bundle;
}
