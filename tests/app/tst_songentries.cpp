// Playlist entries: titles, the entry format, rows, sorting.
#include <QtTest>

#include "songentries.h"

using namespace SongEntries;

class tst_songentries : public QObject {
    Q_OBJECT
private slots:
    void titles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << "/music/Intro.mp3"
                               << "Intro";
        QTest::newRow("first dot") << "/music/01. Intro.mp3"
                                   << "01";
        QTest::newRow("no dot") << "/music/README"
                                << "";
        QTest::newRow("dot in folder only") << "/my.music/song"
                                            << "";
        QTest::newRow("relative") << "a.mp3"
                                  << "a";
        QTest::newRow("backslash is a name character") << "/m/a\\b.mp3"
                                                       << "a\\b";
        QTest::newRow("comment line") << "#EXTINF:123,Artist - Title"
                                      << "";
    }
    void titles()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(titleOf(path), title);
        QCOMPARE(titleOfEntry(makeEntry(path)), title.section(',', 0, 0));
        QCOMPARE(pathOfEntry(makeEntry(path)), path);
    }

    void commaInTheTitleStillGivesThePath()
    {
        const QString path = QStringLiteral("/music/Hello, World.mp3");
        QCOMPARE(titleOfEntry(makeEntry(path)), QStringLiteral("Hello"));
        QCOMPARE(pathOfEntry(makeEntry(path)), path);
    }

    void rows()
    {
        QCOMPARE(rowText(0, "Intro", true), QStringLiteral("1.- Intro"));
        QCOMPARE(rowText(9, "x", true), QStringLiteral("10.- x"));
        QCOMPARE(rowText(0, "Intro", false), QStringLiteral("Intro"));
    }

    void sorting()
    {
        QStringList entries;
        for (const char *path : {"/m/delta.mp3", "/m/Bravo.mp3", "/m/alpha.mp3"}) {
            entries << makeEntry(QString::fromLatin1(path));
            sortEntries(entries);
        }
        QCOMPARE(entries,
                 QStringList({"alpha,/m/alpha.mp3", "Bravo,/m/Bravo.mp3", "delta,/m/delta.mp3"}));
        // Equal titles follow their paths.
        entries = {makeEntry("/z/song.mp3"), makeEntry("/a/song.mp3")};
        sortEntries(entries);
        QCOMPARE(pathOfEntry(entries.first()), QStringLiteral("/a/song.mp3"));
    }

    // Case is ignored in every locale, and a list kept sorted entry by entry ends in the order
    // sorting it whole gives.
    void sortingInLocales_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << "C";
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("de_DE") << "de_DE";
    }
    void sortingInLocales()
    {
        QFETCH(QString, locale);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        QStringList sorted;
        QStringList inserted;
        for (const char *path : {"/m/delta.mp3", "/m/Bravo.mp3", "/m/alpha.mp3", "/m/ALPHA.mp3",
                                 "/m/bravo.mp3", "/n/Delta.mp3", "/a/delta.mp3"}) {
            sorted << makeEntry(QString::fromLatin1(path));
            insertSorted(inserted, makeEntry(QString::fromLatin1(path)));
        }
        sortEntries(sorted);
        QLocale::setDefault(before);
        QStringList titles;
        for (const QString &entry : std::as_const(sorted))
            titles << titleOfEntry(entry).toLower();
        QCOMPARE(titles,
                 QStringList({"alpha", "alpha", "bravo", "bravo", "delta", "delta", "delta"}));
        QCOMPARE(inserted, sorted);
    }
};

QTEST_GUILESS_MAIN(tst_songentries)
#include "tst_songentries.moc"
