#include "SimulatedWindowServer.h"

using namespace Qt::StringLiterals;

QVariantMap SimulatedWindowServer::window(qint64 ownerPid, qint64 layer)
{
    return {{u"kCGWindowOwnerPID"_s, ownerPid}, {u"kCGWindowLayer"_s, layer}};
}

std::optional<QList<QVariantMap>> SimulatedWindowServer::windowListCopyWindowInfo(std::uint32_t options,
                                                                                  std::uint32_t)
{
    lastOptions = options;
    return windows;
}
