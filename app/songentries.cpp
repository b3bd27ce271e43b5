#include "songentries.h"

#include <QCollator>
#include <algorithm>
#include <vector>

namespace SongEntries {

QString titleOf(const QString &path)
{
    qsizetype start = path.lastIndexOf(QLatin1Char('/')) + 1;
    qsizetype dot = path.indexOf(QLatin1Char('.'), start);
    return dot < 0 ? QString() : path.mid(start, dot - start);
}

QString makeEntry(const QString &path)
{
    const QString title = titleOf(path).section(QLatin1Char(','), 0, 0);
    // Exactly as long as its text: a long list holds many of them.
    QString entry;
    entry.reserve(title.size() + 1 + path.size());
    entry.append(title).append(QLatin1Char(',')).append(path);
    return entry;
}

QString titleOfEntry(const QString &entry)
{
    return entry.section(QLatin1Char(','), 0, 0);
}

QStringView pathViewOfEntry(const QString &entry)
{
    qsizetype comma = entry.indexOf(QLatin1Char(','));
    return comma < 0 ? QStringView() : QStringView(entry).mid(comma + 1);
}

QString pathOfEntry(const QString &entry)
{
    return pathViewOfEntry(entry).toString();
}

QString rowText(int row, const QString &title, bool numbered)
{
    return numbered ? QString::number(row + 1) + QStringLiteral(".- ") + title : title;
}

namespace {

QCollator entryCollator()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

void sortEntries(QStringList &entries)
{
    const QCollator collator = entryCollator();
    // Qt's sort keys for the C locale are the bare text and ignore the case setting ("Bravo"
    // before "alpha"); there a direct compare is cheap anyway.
    if (collator.locale().language() == QLocale::C) {
        std::stable_sort(
            entries.begin(), entries.end(),
            [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
        return;
    }
    // Sort keys make each comparison a byte compare: long lists sort in a blink.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(size_t(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i)
        keys.emplace_back(collator.sortKey(entries.at(i)), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(entries.size());
    for (const auto &key : keys)
        sorted << entries.at(key.second);
    entries = std::move(sorted);
}

void insertSorted(QStringList &entries, const QString &entry)
{
    const QCollator collator = entryCollator();
    const auto place = std::upper_bound(
        entries.begin(), entries.end(), entry,
        [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    entries.insert(place, entry);
}

} // namespace SongEntries
