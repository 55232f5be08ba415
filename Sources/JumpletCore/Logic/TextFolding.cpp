#include "TextFolding.h"

#include <QTextBoundaryFinder>

QStringList TextFolding::graphemes(const QString& text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end > start)
            result.append(text.mid(start, end - start));
        start = end;
    }
    return result;
}

QString TextFolding::foldGrapheme(const QString& grapheme)
{
    const QString decomposed = grapheme.normalized(QString::NormalizationForm_D);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const auto category = c.category();
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
            category != QChar::Mark_Enclosing)
            stripped.append(c);
    }
    // A grapheme made only of marks keeps its marks rather than vanishing.
    return (stripped.isEmpty() ? decomposed : stripped).toCaseFolded();
}

QStringList TextFolding::foldedGraphemes(const QString& text)
{
    QStringList result = graphemes(text);
    for (QString& grapheme : result)
        grapheme = foldGrapheme(grapheme);
    return result;
}

QString TextFolding::upperCased(const QString& text)
{
    return text.toUpper();
}
