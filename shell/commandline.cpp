#include "commandline.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::array<std::pair<const char *, InstanceRequest::Kind>, 4> RemoteOptions{{
    {"--play-pause", InstanceRequest::PlayPause},
    {"--next", InstanceRequest::Next},
    {"--previous", InstanceRequest::Previous},
    {"--stop", InstanceRequest::Stop},
}};

// Joins longer than a path can be, or of more pieces than a real name has spaces, are not
// tried: this bounds the search over a long command line.
constexpr qsizetype MaxPathLength = 4096;
constexpr qsizetype MaxWordsInPath = 32;

bool isOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

CommandLine failure(const QString &error)
{
    CommandLine line;
    line.action = CommandLine::Error;
    line.error = error;
    return line;
}

// The path as the program keeps it: absolute, its text trimmed.
QString resolved(const QStringList &words, qsizetype first, qsizetype last,
                 const QString &startFolder)
{
    const QString joined =
        (QLatin1Char(' ') + words.mid(first, last - first + 1).join(QLatin1Char(' '))).trimmed();
    if (joined.isEmpty())
        return {};
    const QFileInfo file(QDir(startFolder), joined);
    return (file.absolutePath() + QLatin1Char('/') + file.fileName()).trimmed();
}

// The shortest run of words from `first` that names an existing file ends at the word returned.
std::optional<qsizetype> lastWordOfFile(const QStringList &words, qsizetype first,
                                        const QString &startFolder)
{
    qsizetype length = 0;
    const qsizetype end = std::min(words.size(), first + MaxWordsInPath);
    for (qsizetype last = first; last < end; ++last) {
        length += words.at(last).size() + 1;
        if (length > MaxPathLength)
            break;
        if (QFileInfo(resolved(words, first, last, startFolder)).isFile())
            return last;
    }
    return std::nullopt;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    std::optional<InstanceRequest::Kind> remote;
    QString unknown;
    for (const QString &argument : arguments) {
        if (optionsEnded || !isOption(argument)) {
            line.words << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.action = Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.action = Version;
            return line;
        } else {
            const auto known =
                std::find_if(RemoteOptions.begin(), RemoteOptions.end(),
                             [&argument](const auto &option) { return argument == option.first; });
            if (known == RemoteOptions.end() || remote) {
                if (unknown.isEmpty())
                    unknown = known == RemoteOptions.end()
                                  ? QStringLiteral("unknown option %1").arg(argument)
                                  : QStringLiteral("only one command at a time: %1").arg(argument);
            } else {
                remote = known->second;
            }
        }
    }
    if (!unknown.isEmpty())
        return failure(unknown);
    if (remote) {
        if (!line.words.isEmpty())
            return failure(QStringLiteral("a command takes no files: %1").arg(line.words.first()));
        line.action = Remote;
        line.command = *remote;
    }
    return line;
}

QStringList CommandLine::songPaths(const QStringList &words, const QString &startFolder)
{
    QStringList paths;
    if (words.isEmpty() || words.first().isEmpty())
        return paths;
    const auto add = [&](qsizetype first, qsizetype last) {
        if (const QString path = resolved(words, first, last, startFolder); !path.isEmpty())
            paths << path;
    };
    qsizetype unmatched = -1; // first word of a run that names no file
    for (qsizetype first = 0; first < words.size();) {
        const std::optional<qsizetype> last = lastWordOfFile(words, first, startFolder);
        if (!last) {
            if (unmatched < 0)
                unmatched = first;
            ++first;
            continue;
        }
        if (unmatched >= 0)
            add(unmatched, first - 1);
        unmatched = -1;
        add(first, *last);
        first = *last + 1;
    }
    if (unmatched >= 0)
        add(unmatched, words.size() - 1);
    return paths;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: norlplayer [FILE...]\n"
        "       norlplayer --play-pause | --next | --previous | --stop\n"
        "\n"
        "Plays MP3 files. Files named on the command line join the list and the first of\n"
        "them plays; a playlist (.m3u, .m3u8) adds its songs. When NorlPlayer already\n"
        "runs, they are handed to it.\n"
        "A path with spaces may also come unquoted, as several arguments.\n"
        "\n"
        "Options:\n"
        "  --play-pause  pause or resume the running NorlPlayer, or start playing\n"
        "  --next        play the next song in the running NorlPlayer\n"
        "  --previous    play the previous song in the running NorlPlayer\n"
        "  --stop        stop the running NorlPlayer\n"
        "  -h, --help    show this help and exit\n"
        "  --version     show the version and exit\n"
        "  --            end of options: the arguments after it are files\n"
        "\n"
        "The commands exit with status 1 when no NorlPlayer runs; a wrong option exits with 2.\n");
}
