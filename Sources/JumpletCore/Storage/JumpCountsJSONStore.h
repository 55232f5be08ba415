#pragma once

#include "Ports/JumpCountsStorePort.h"

#include <QJsonValue>

#include <optional>

// The jump-count file. A missing file reads as no counts and is not created; an unreadable one is moved aside
// to "<name>.corrupt-<unix seconds>.json" so the counts in it are not lost.
class JumpCountsJSONStore : public JumpCountsStorePort {
public:
    explicit JumpCountsJSONStore(const QString& fileURL);

    JumpCounts load() override;
    void save(const JumpCounts& counts) override;

    // A JSON object of integer values; anything else (an array, 1.5, a string) is no map.
    static std::optional<JumpCounts> fromJson(const QJsonValue& value);
    static QJsonObject toJson(const JumpCounts& counts);

private:
    void moveAside();

    QString m_fileURL;
};
