#pragma once

#include <QHash>
#include <QString>

// Jump counts keyed by the canonical upper-case id of a binding.
using JumpCounts = QHash<QString, qint64>;

// Where the jump counts are kept. Never fails: a missing or bad file gives an empty map.
class JumpCountsStorePort {
public:
    virtual ~JumpCountsStorePort() = default;

    virtual JumpCounts load() = 0;
    virtual void save(const JumpCounts& counts) = 0;
};
