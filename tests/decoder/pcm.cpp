#include "pcm.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <cstring>

bool readWav(const QString &path, Pcm &pcm, QString *why)
{
    auto bad = [why](const QString &text) {
        if (why)
            *why = text;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return bad(QStringLiteral("cannot open %1").arg(path));
    QByteArray all = file.readAll();
    const auto *d = reinterpret_cast<const uchar *>(all.constData());
    if (all.size() < 44 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0)
        return bad(QStringLiteral("not a WAV file"));
    if (qFromLittleEndian<quint32>(d + 4) != quint32(all.size() - 8))
        return bad(QStringLiteral("RIFF size disagrees with the file"));
    // Walk the chunks: reference files may carry more than fmt and data.
    qsizetype at = 12;
    bool haveFormat = false;
    while (at + 8 <= all.size()) {
        quint32 size = qFromLittleEndian<quint32>(d + at + 4);
        if (std::memcmp(d + at, "fmt ", 4) == 0 && size >= 16) {
            if (qFromLittleEndian<quint16>(d + at + 8) != 1 ||
                qFromLittleEndian<quint16>(d + at + 22) != 16)
                return bad(QStringLiteral("not 16-bit PCM"));
            pcm.channels = qFromLittleEndian<quint16>(d + at + 10);
            pcm.rate = int(qFromLittleEndian<quint32>(d + at + 12));
            haveFormat = true;
        } else if (std::memcmp(d + at, "data", 4) == 0) {
            if (!haveFormat || at + 8 + qsizetype(size) != all.size())
                return bad(QStringLiteral("data size disagrees with the file"));
            pcm.samples.resize(qsizetype(size / 2));
            if (size > 0)
                std::memcpy(pcm.samples.data(), d + at + 8, size / 2 * 2);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return bad(QStringLiteral("no data chunk"));
}

bool referenceDecode(const QString &mp3, Pcm &pcm)
{
    QTemporaryDir dir;
    QString wav = dir.filePath(QStringLiteral("reference.wav"));
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), wav, mp3});
    if (!mpg123.waitForFinished(60000) || mpg123.exitCode() != 0)
        return false;
    return readWav(wav, pcm);
}

Match bestMatch(const Pcm &expected, const Pcm &actual, qsizetype maxShift)
{
    Match best;
    best.maxDifference = INT_MAX;
    const int ch = expected.channels;
    if (ch == 0 || ch != actual.channels)
        return best;
    // Nearest shifts first: matching streams are found at once.
    for (qsizetype step = 0; step <= 2 * maxShift; ++step) {
        qsizetype shift = step % 2 ? (step + 1) / 2 : -step / 2;
        qsizetype e0 = shift < 0 ? -shift : 0, a0 = shift > 0 ? shift : 0;
        qsizetype n = std::min(expected.frames() - e0, actual.frames() - a0);
        if (n <= 0)
            continue;
        const int16_t *e = expected.samples.constData() + e0 * ch;
        const int16_t *a = actual.samples.constData() + a0 * ch;
        int worst = 0;
        for (qsizetype i = 0; i < n * ch && worst < best.maxDifference; ++i)
            worst = std::max(worst, std::abs(e[i] - a[i]));
        if (worst < best.maxDifference)
            best = {shift, worst, n};
        if (best.maxDifference <= 1)
            break;
    }
    return best;
}

double rmsDb(const Pcm &pcm, int channel, qsizetype fromFrame, qsizetype frames)
{
    qsizetype end = frames < 0 ? pcm.frames() : std::min(pcm.frames(), fromFrame + frames);
    double sum = 0;
    qsizetype n = 0;
    for (qsizetype i = fromFrame; i < end; ++i, ++n) {
        double s = pcm.samples[i * pcm.channels + channel] / 32768.0;
        sum += s * s;
    }
    return n ? 10 * std::log10(sum / double(n) + 1e-20) : -200;
}

bool MonitorRecording::start()
{
    const QString raw = m_dir.filePath(QStringLiteral("monitor.raw"));
    m_parec.setStandardOutputFile(raw);
    // Small latency, or the end of the recording is lost when parec stops.
    m_parec.start(QStringLiteral("parec"), {"--latency-msec=20", "-d", "@DEFAULT_MONITOR@", "--raw",
                                            "--format=s16le", "--rate=44100", "--channels=2"});
    if (!m_parec.waitForStarted())
        return false;
    const QDeadlineTimer deadline(5000);
    while (QFileInfo(raw).size() <= 8192) {
        if (deadline.hasExpired() || m_parec.state() != QProcess::Running)
            return false;
        QThread::msleep(10);
    }
    return true;
}

bool MonitorRecording::stop(Pcm &heard)
{
    m_parec.terminate();
    if (!m_parec.waitForFinished(5000))
        return false;
    QFile file(m_dir.filePath(QStringLiteral("monitor.raw")));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    heard = Pcm{44100, 2, QVector<int16_t>(bytes.size() / 4 * 2)};
    std::memcpy(heard.samples.data(), bytes.constData(), size_t(heard.samples.size()) * 2);
    return true;
}
