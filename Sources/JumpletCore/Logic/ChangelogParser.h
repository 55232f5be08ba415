#pragma once

#include "Model/ChangelogEntry.h"

#include <QByteArray>
#include <QList>

// Reads the release notes: "## <version> (<date>)" starts a release, "### <Kind>: <title>" a change, and the
// lines that follow a change are its detail. Everything else is ignored.
namespace ChangelogParser {

// Releases in file order, the newest first.
QList<ChangelogEntry> parse(const QString& text);

// The same from the file's bytes; text that is not valid UTF-8 gives no releases.
QList<ChangelogEntry> parse(const QByteArray& utf8);

} // namespace ChangelogParser
