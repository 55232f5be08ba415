#pragma once

#include "AppModel.h"

#include <QHash>

#include <memory>

// Builds the one model in start-up order: changelog, data folders, legacy migration, stores, then the model.
namespace AppModelFactory {

// adapters is the platform's set, chosen by the composition root; environment may override the data folders.
std::unique_ptr<AppModel> make(PlatformAdapters adapters, std::shared_ptr<UserDefaults> defaults,
                               const QHash<QString, QString>& environment);

} // namespace AppModelFactory
