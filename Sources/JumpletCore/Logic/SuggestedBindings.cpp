#include "SuggestedBindings.h"

#include "LetterKeyCode.h"
#include "LocalizedStandardCompare.h"
#include "TextFolding.h"

#include <algorithm>

QList<BoundKey> SuggestedBindings::freeLetters(const QString& name, const QSet<PhysicalKeyCode>& excluded)
{
    const auto& codes = LetterKeyCode::codes();
    QList<BoundKey> result;
    QSet<PhysicalKeyCode> kept;
    for (const QChar character : TextFolding::upperCased(name)) {
        const auto found = codes.constFind(QString(character));
        if (found == codes.constEnd() || excluded.contains(*found) || kept.contains(*found))
            continue;
        kept.insert(*found);
        result.append(BoundKey{*found, found.key()});
    }
    if (!result.isEmpty())
        return result;

    for (char16_t letter = u'A'; letter <= u'Z' && result.size() < 3; ++letter) {
        const QString text(QChar{letter});
        const PhysicalKeyCode code = codes.value(text);
        if (!excluded.contains(code))
            result.append(BoundKey{code, text});
    }
    return result;
}

QList<SuggestedBinding> SuggestedBindings::assign(const QList<AppInfo>& apps,
                                                  const QSet<PhysicalKeyCode>& reserving)
{
    QList<AppInfo> sorted = apps;
    std::stable_sort(sorted.begin(), sorted.end(), [](const AppInfo& a, const AppInfo& b) {
        return LocalizedStandardCompare::lessThan(a.name, b.name);
    });

    QSet<PhysicalKeyCode> used = reserving;
    QList<SuggestedBinding> result;
    for (const AppInfo& app : sorted) {
        const QList<BoundKey> letters = freeLetters(app.name, used);
        if (letters.isEmpty())
            continue;
        used.insert(letters.first().keyCode);
        result.append(SuggestedBinding{app, letters.first()});
    }
    return result;
}
