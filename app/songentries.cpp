#include "songentries.h"

#include <QCollator>
#include <algorithm>

namespace SongEntries {

QString titleOf(const QString &path)
{
    qsizetype start = path.lastIndexOf(QLatin1Char('/')) + 1;
    qsizetype dot = path.indexOf(QLatin1Char('.'), start);
    return dot < 0 ? QString() : path.mid(start, dot - start);
}

QString makeEntry(const QString &path)
{
    return titleOf(path).section(QLatin1Char(','), 0, 0) + QLatin1Char(',') + path;
}

QString titleOfEntry(const QString &entry)
{
    return entry.section(QLatin1Char(','), 0, 0);
}

QString pathOfEntry(const QString &entry)
{
    qsizetype comma = entry.indexOf(QLatin1Char(','));
    return comma < 0 ? QString() : entry.mid(comma + 1);
}

QString rowText(int row, const QString &title, bool numbered)
{
    return numbered ? QString::number(row + 1) + QStringLiteral(".- ") + title : title;
}

void sortEntries(QStringList &entries)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(
        entries.begin(), entries.end(),
        [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

} // namespace SongEntries
