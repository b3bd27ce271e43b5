#include "playlistfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>
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

namespace {

QString decode(QByteArrayView data, Encoding encoding)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (utf8.hasError() && encoding == Encoding::Utf8OrLatin1)
        return QString::fromLatin1(data);
    return text;
}

bool isBlank(const QString &line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
}

} // namespace

QStringList splitLines(const QByteArray &data, Encoding encoding)
{
    const qsizetype end = data.indexOf('\x1a');
    const QString text = decode(QByteArrayView(data).first(end < 0 ? data.size() : end), encoding);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
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
    const bool utf8 = fileName.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive);
    return splitLines(data, utf8 ? Encoding::Utf8 : Encoding::Utf8OrLatin1);
}

QStringList resolvedFrom(QStringList lines, const QString &playlistFolder)
{
    // "scheme://..." or a drive ("C:\", "C:/"); a colon elsewhere is part of a file's name.
    static const QRegularExpression urlOrDrive(
        QStringLiteral("^(?:[A-Za-z][A-Za-z0-9+.-]*://|[A-Za-z]:[\\\\/])"));
    for (QString &line : lines) {
        if (isBlank(line) || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('/')))
            continue;
        if (line.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
            const QUrl url(line);
            if (url.isValid() && url.isLocalFile())
                line = url.toLocalFile();
        } else if (!urlOrDrive.match(line).hasMatch()) {
            line = QDir::cleanPath(playlistFolder + QLatin1Char('/') + line);
        }
    }
    return lines;
}

QStringList nonBlankLines(QStringList lines)
{
    lines.removeIf(isBlank);
    return lines;
}

} // namespace PlaylistFile
