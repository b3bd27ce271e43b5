// Plays a long list of short songs through the main window with the real decoder library,
// offscreen, in Forward mode, and checks that every song starts in its turn, that no error box
// appears and that memory stays flat.
//
// The song is copied to COUNT names (soak-001.mp3 ...) in a temporary folder; a fresh window
// (its own program folder and settings store, the association prompt declined) gets them all in
// its list and starts the first row; from there the window's own one-second poll moves on at the
// end of each song. Every 50 ms the harness notes a new title as a start, whether the player was
// seen playing it, and closes any message box so that the run goes on. A song that has not
// handed over to the next within 10 s is a stall: the harness starts the next row itself. The
// run ends when the list has wrapped back to its first song.
//
//   bench-soak SONG [COUNT]
//
// Prints one line; ends with status 1 when a song did not start in its turn or a box appeared.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "application.h"
#include "benchform.h"
#include "imagelistbox.h"
#include "player.h"
#include "players.h"
#include "registrystore.h"
#include "ui_playform.h"

using namespace Bench;

namespace {

constexpr int PollMs = 50;
constexpr int StallMs = 10000;

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench-soak: %s\n", qPrintable(why));
    std::exit(1);
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM"), or -1.
double ownMemoryKb(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(name) + ':';
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).simplified().split(' ').value(0).toDouble();
    return -1;
}

class SoakForm : public TPlayForm {
public:
    using TPlayForm::TPlayForm;
    using TPlayForm::ui;
};

// What the run saw, song by song. Starts are numbered from 1; start `count` + 1 is the wrap.
struct Tally {
    int count = 0;               // songs in the list
    std::vector<int> started;    // the rows in the order they started
    std::set<int> seenPlaying;   // starts during which the player was in mode 4
    QStringList boxes;           // texts of the message boxes closed
    int stalls = 0;              // songs after which the harness had to start the next row
    std::map<int, double> rssKb; // VmRSS at a start

    int listSongsStarted() const { return std::min(int(started.size()), count); }
    int inTurn() const
    {
        int right = 0;
        for (int n = 0; n < listSongsStarted(); ++n)
            right += started[size_t(n)] == n;
        return right;
    }
    int neverStarted() const
    {
        const std::set<int> rows(started.begin(), started.end());
        return count - int(rows.size());
    }
    int notSeenPlaying() const
    {
        int missed = 0;
        for (int n = 1; n <= listSongsStarted(); ++n)
            missed += !seenPlaying.count(n);
        return missed;
    }
    bool wrapped() const { return int(started.size()) > count && started[size_t(count)] == 0; }
    bool clean() const
    {
        return inTurn() == count && wrapped() && notSeenPlaying() == 0 && stalls == 0 &&
               boxes.isEmpty();
    }
};

class Soak : public QObject {
public:
    Soak(SoakForm &form, int count) : m_form(form)
    {
        m_tally.count = count;
        connect(&m_poll, &QTimer::timeout, this, &Soak::poll);
    }

    void run()
    {
        m_clock.start();
        m_sinceStart.start();
        m_form.ui->SongList->setItemIndex(0);
        m_form.SongListDblClick();
        m_poll.start(PollMs);
        QCoreApplication::exec();
    }

    const Tally &tally() const { return m_tally; }
    double seconds() const { return double(m_clock.elapsed()) / 1000; }

private:
    void poll()
    {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_tally.boxes << box->text();
            box->done(QMessageBox::Ok);
        }
        const QString title = m_form.CurrentTitle();
        if (title != m_title) {
            m_title = title;
            noteStart();
            return;
        }
        if (m_form.Player()->PlayerMode() == 4)
            m_tally.seenPlaying.insert(int(m_tally.started.size()));
        if (m_clock.elapsed() > qint64(m_tally.count + 1) * StallMs) {
            m_poll.stop();
            QCoreApplication::quit();
            return;
        }
        if (m_sinceStart.elapsed() > StallMs) {
            ++m_tally.stalls;
            m_sinceStart.start();
            m_form.LMDSpeedButton5Click();
        }
    }

    void noteStart()
    {
        m_sinceStart.start();
        m_tally.started.push_back(m_form.ui->SongList->itemIndex());
        const int n = int(m_tally.started.size());
        m_tally.rssKb[n] = ownMemoryKb("VmRSS");
        if (n > m_tally.count) { // back at the first song
            m_poll.stop();
            m_form.StopBtnClick();
            QCoreApplication::quit();
        }
    }

    SoakForm &m_form;
    Tally m_tally;
    QTimer m_poll;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceStart;
    QString m_title;
};

QStringList copySong(const QString &song, const QString &folder, int count)
{
    QStringList paths;
    for (int n = 1; n <= count; ++n) {
        paths << QDir(folder).filePath(
            QStringLiteral("soak-%1.mp3").arg(n, 3, 10, QLatin1Char('0')));
        if (!QFile::copy(song, paths.last()))
            fail(QStringLiteral("cannot copy %1 to %2").arg(song, paths.last()));
    }
    return paths;
}

// A fresh store that declines the association prompt and plays forward.
std::unique_ptr<RegistryStore> forwardStore(const QString &folder)
{
    std::unique_ptr<RegistryStore> store = makeFileRegistryStore(folder);
    const QString key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
    bool stored =
        declineAssociationPrompt(*store) && store->createKey(RegistryRoot::LocalMachine, key);
    for (const auto &[mode, on] :
         {std::pair{"Forward", true}, {"Random", false}, {"SameSong", false}})
        stored =
            stored && store->writeValue(RegistryRoot::LocalMachine, key, QLatin1String(mode),
                                        {RegistryValueType::String,
                                         on ? QStringLiteral("True") : QStringLiteral("False")});
    if (!stored)
        fail(QStringLiteral("cannot write the settings store in ") + folder);
    return store;
}

double rssMbAt(const Tally &tally, int start)
{
    const auto found = tally.rssKb.find(start);
    return found == tally.rssKb.end() ? 0 : found->second / 1024;
}

void report(const Tally &tally, double seconds)
{
    const int count = tally.count;
    const int early = std::min(10, count);
    const double rssEarly = rssMbAt(tally, early);
    const double rssLast = rssMbAt(tally, count);
    std::printf("%d one-second songs, Forward mode, %.0f s (%.2f s a song): %d started in turn, "
                "%d never, %d not seen playing, %d stalls, %d error boxes, %s; VmRSS at song %d "
                "%.1f MB, at song %d %.1f MB (%+.2f MB), VmHWM %.1f MB\n",
                count, seconds, seconds / std::max(1, tally.listSongsStarted()), tally.inTurn(),
                tally.neverStarted(), tally.notSeenPlaying(), tally.stalls, int(tally.boxes.size()),
                tally.wrapped() ? "wrapped to song 1" : "no wrap", early, rssEarly, count, rssLast,
                rssLast - rssEarly, ownMemoryKb("VmHWM") / 1024);
    for (const QString &text : tally.boxes)
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    const int count = args.size() > 1 ? args[1].toInt() : 300;
    if (args.isEmpty() || count < 1)
        fail(QStringLiteral("usage: bench-soak SONG [COUNT]"));

    QTemporaryDir root;
    const QString songs = root.filePath(QStringLiteral("songs"));
    const QString program = root.filePath(QStringLiteral("program"));
    if (!root.isValid() || !QDir().mkpath(songs) || !QDir().mkpath(program))
        fail(QStringLiteral("cannot prepare ") + root.path());
    const QString bin = QCoreApplication::applicationDirPath();
    if (!copyDefaultSkin(bin, program))
        fail(QStringLiteral("no default skin beside ") + bin);
    const QStringList paths = copySong(args[0], songs, count);
    const std::unique_ptr<RegistryStore> store =
        forwardStore(root.filePath(QStringLiteral("registry")));

    SoakForm form(*store, program, QStringList());
    application.SetMainForm(&form);
    form.findChild<TElPlayerMan *>(QStringLiteral("PlayerMan"))
        ->Players()
        ->GetItems(0)
        ->SetPathToDLL(QDir(bin).filePath(QStringLiteral("libnorlplay.so")));
    form.FormCreate();
    if (!form.Player() || !form.Player()->Initialized())
        fail(QStringLiteral("the decoder library was not loaded"));
    form.AddEntries(paths);
    form.ui->SongList->clear();
    form.RebuildSongList();
    if (form.ui->SongList->count() != count)
        fail(QStringLiteral("%1 rows for %2 songs").arg(form.ui->SongList->count()).arg(count));

    Soak soak(form, count);
    soak.run();
    report(soak.tally(), soak.seconds());
    return soak.tally().clean() ? 0 : 1;
}
