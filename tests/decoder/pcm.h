// PCM helpers for the decoder tests: WAV files, the reference decoder, comparisons.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVector>
#include <cstdint>

struct Pcm {
    int rate = 0;
    int channels = 0;
    QVector<int16_t> samples; // interleaved

    qsizetype frames() const { return channels ? samples.size() / channels : 0; }
};

// Reads a 16-bit PCM WAV file; false when it is not one or its sizes disagree with the file.
bool readWav(const QString &path, Pcm &pcm, QString *why = nullptr);
// Decodes with the mpg123 command line (an independent front end to compare with).
bool referenceDecode(const QString &mp3, Pcm &pcm);

struct Match {
    qsizetype offset = 0;  // frames to skip in `actual` (negative: in `expected`)
    int maxDifference = 0; // largest sample difference over the overlap
    qsizetype overlap = 0; // frames compared
};
// Finds the alignment within +-maxShift frames that makes the two closest.
Match bestMatch(const Pcm &expected, const Pcm &actual, qsizetype maxShift = 4096);
// Level of a channel in dBFS (RMS of a full-scale sine is -3 dBFS).
double rmsDb(const Pcm &pcm, int channel, qsizetype fromFrame = 0, qsizetype frames = -1);

// What the test sound server's default sink plays, recorded from its monitor with parec at
// 44.1 kHz, 16-bit stereo.
class MonitorRecording {
public:
    // Starts parec and waits until it records; false when it does not within five seconds.
    bool start();
    // Stops parec and reads what it recorded; false when it cannot.
    bool stop(Pcm &heard);

private:
    QTemporaryDir m_dir;
    QProcess m_parec;
};
