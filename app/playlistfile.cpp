#include "playlistfile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <stdexcept>

namespace PlaylistFile {

QString lineFor(QStringView path, const QString &currentFolder)
{
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char(':')))
        return path.toString();
    return QString(currentFolder).append(QLatin1Char('/')).append(path);
}

bool fitsOnALine(const QString &line)
{
    const bool breaks = std::any_of(line.begin(), line.end(), [](QChar c) {
        return c == u'\r' || c == u'\n' || c == u'\x1a' || c == QChar::ReplacementCharacter;
    });
    return !breaks && QString::fromLocal8Bit(line.toLocal8Bit()) == line;
}

QByteArray contents(const QList<QStringView> &paths, const QString &currentFolder)
{
    // Reserved so that a long list is not copied over and over as it grows.
    qsizetype size = 0;
    for (QStringView path : paths)
        size += path.size() + 2;
    QByteArray bytes;
    bytes.reserve(size);
    for (QStringView path : paths) {
        const QString line = lineFor(path, currentFolder);
        if (fitsOnALine(line))
            bytes += line.toLocal8Bit() + "\r\n";
    }
    return bytes;
}

void write(const QString &fileName, const QList<QStringView> &paths, const QString &currentFolder)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents(paths, currentFolder)) < 0 ||
        !file.commit())
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()).toStdString());
}

QStringList splitLines(const QByteArray &data)
{
    QStringList lines;
    QByteArray line;
    bool pending = false; // a line has begun (or the data has not ended after a line end)
    for (qsizetype i = 0; i < data.size(); ++i) {
        char c = data.at(i);
        if (c == '\x1a')
            break;
        if (c == '\r' || c == '\n') {
            lines << QString::fromLocal8Bit(line);
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < data.size() && data.at(i + 1) == '\n')
                ++i;
            continue;
        }
        line += c;
        pending = true;
    }
    if (pending)
        lines << QString::fromLocal8Bit(line);
    return lines;
}

QStringList readLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString()).toStdString());
    // One byte more than allowed tells a file that is too large, also one that grows.
    const QByteArray data = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()).toStdString());
    if (data.size() > MaxFileBytes)
        throw std::runtime_error(QStringLiteral("Cannot read %1: a playlist file may hold at most "
                                                "%2 MB")
                                     .arg(fileName)
                                     .arg(MaxFileBytes / (1024 * 1024))
                                     .toStdString());
    return splitLines(data);
}

QStringList nonBlankLines(QStringList lines)
{
    lines.removeIf([](const QString &line) {
        return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
    });
    return lines;
}

} // namespace PlaylistFile
