#include "LocalizedStandardCompare.h"

#include <QCollator>
#include <QLocale>

namespace {

// Qt's C collation ignores numeric mode, so the C and POSIX locales sort as English does.
QLocale collationLocale()
{
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English) : system;
}

QCollator makeCollator()
{
    QCollator collator(collationLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

int LocalizedStandardCompare::compare(const QString& a, const QString& b)
{
    // A collator is not safe to share between threads; each thread keeps its own.
    thread_local const QCollator collator = makeCollator();
    return collator.compare(a, b);
}
