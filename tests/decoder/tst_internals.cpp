// The library's building blocks on their own: the buffered reader in front of libmpg123, the
// volume scales and packings, handle bookkeeping, thread priority levels.
#include <QtTest>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

#include "bufferedreader.h"
#include "decodererror.h"
#include "equalizer.h"
#include "handletable.h"
#include "threadpriority.h"
#include "volume.h"

using namespace norl;

namespace {

// Bytes 0, 1, 2, ... from memory; can refuse to seek or fail after a number of bytes.
class MemorySource : public ByteSource {
public:
    MemorySource(size_t size, bool seekable, size_t failAfter = SIZE_MAX)
        : m_size(size), m_seekable(seekable), m_failAfter(failAfter)
    {
    }
    size_t read(void *buffer, size_t bytes) override
    {
        if (m_position >= m_failAfter)
            fail(NP_ERROR_INPUT, "broken");
        size_t n = std::min(bytes, m_size - std::min(m_size, m_position));
        for (size_t i = 0; i < n; ++i)
            static_cast<unsigned char *>(buffer)[i] = uint8_t(m_position + i);
        m_position += n;
        ++reads;
        return n;
    }
    bool seek(int64_t offset) override
    {
        if (!m_seekable)
            return false;
        m_position = size_t(offset);
        return true;
    }
    int64_t size() const override { return m_seekable ? int64_t(m_size) : -1; }
    bool canSeek() const override { return m_seekable; }
    int reads = 0;

private:
    size_t m_size;
    bool m_seekable;
    size_t m_failAfter;
    size_t m_position = 0;
};

bool bytesFollowFrom(const unsigned char *data, size_t n, int64_t offset)
{
    for (size_t i = 0; i < n; ++i)
        if (data[i] != uint8_t(offset + int64_t(i)))
            return false;
    return true;
}

} // namespace

class tst_internals : public QObject {
    Q_OBJECT

private slots:
    void readerServesSmallReadsFromItsBuffer()
    {
        MemorySource source(200000, true);
        BufferedReader reader(source);
        unsigned char buf[300];
        int64_t offset = 0;
        for (int i = 0; i < 500; ++i) { // 150 kB in pieces, as libmpg123 reads
            QCOMPARE(reader.read(buf, sizeof buf), ssize_t(sizeof buf));
            QVERIFY(bytesFollowFrom(buf, sizeof buf, offset));
            offset += sizeof buf;
        }
        QVERIFY(source.reads <= 4);
        QCOMPARE(reader.position(), offset);
    }

    void readerSeeksRelativeAndFromTheEnd()
    {
        MemorySource source(100000, true);
        BufferedReader reader(source);
        unsigned char buf[16];
        QCOMPARE(reader.seek(-128, SEEK_END), off_t(100000 - 128));
        QCOMPARE(reader.read(buf, sizeof buf), ssize_t(sizeof buf));
        QVERIFY(bytesFollowFrom(buf, sizeof buf, 100000 - 128));
        QCOMPARE(reader.seek(-16, SEEK_CUR), off_t(100000 - 128));
        QCOMPARE(reader.seek(10, SEEK_SET), off_t(10));
        QCOMPARE(reader.read(buf, sizeof buf), ssize_t(sizeof buf));
        QVERIFY(bytesFollowFrom(buf, sizeof buf, 10));
        QCOMPARE(reader.seek(-1, SEEK_SET), off_t(-1));
        // A read across the end answers what is there, then 0.
        reader.seek(-5, SEEK_END);
        QCOMPARE(reader.read(buf, sizeof buf), ssize_t(5));
        QCOMPARE(reader.read(buf, sizeof buf), ssize_t(0));
        QVERIFY(!reader.failed());
    }

    void readerOfUnseekableInputSeeksOnlyWithinItsBuffer()
    {
        MemorySource source(100000, false);
        BufferedReader reader(source);
        unsigned char buf[100];
        QCOMPARE(reader.read(buf, sizeof buf), ssize_t(sizeof buf));
        QCOMPARE(reader.seek(0, SEEK_SET), off_t(0)); // still buffered
        QCOMPARE(reader.seek(-10, SEEK_END), off_t(-1));
        QCOMPARE(reader.seek(90000, SEEK_SET), off_t(-1));
        QCOMPARE(reader.read(buf, sizeof buf), ssize_t(sizeof buf));
        QVERIFY(bytesFollowFrom(buf, sizeof buf, 0));
    }

    void readerLatchesFailures()
    {
        MemorySource source(1000000, true, 30000);
        BufferedReader reader(source);
        std::vector<unsigned char> buf(100000);
        QCOMPARE(reader.read(buf.data(), buf.size()), ssize_t(-1));
        QVERIFY(reader.failed());
        // Failing stays failing, so the decoder cannot take it for a clean end.
        QCOMPARE(reader.read(buf.data(), 10), ssize_t(-1));
        QCOMPARE(reader.seek(0, SEEK_SET), off_t(-1));
    }

    void serverVolumeIsProportionalAndRoundTrips()
    {
        const uint32_t norm = 0x10000;
        for (uint32_t v = 0; v <= 65535; ++v)
            QCOMPARE(fromServerVolume(toServerVolume(uint16_t(v), norm), norm), uint16_t(v));
        QCOMPARE(toServerVolume(65535, norm), norm);
        QVERIFY(qAbs(int(toServerVolume(32768, norm)) - int(norm / 2)) <= 1);
        // What the desktop mixer's 60 % and 30 % read as.
        QCOMPARE(fromServerVolume(norm * 60 / 100, norm), uint16_t(39320));
        QCOMPARE(fromServerVolume(norm * 30 / 100, norm), uint16_t(19660));
        QCOMPARE(fromServerVolume(norm * 3 / 2, norm), uint16_t(65535)); // amplified
    }

    void volumePackingsAreOpposite()
    {
        StereoVolume v = unpackSetVolume(0x1234abcd);
        QCOMPARE(v.left, uint16_t(0x1234));
        QCOMPARE(v.right, uint16_t(0xabcd));
        QCOMPARE(packGetVolume(v), 0xabcd1234u);
    }

    void handlesGoStaleWhenReleased()
    {
        HandleTable table;
        auto first = std::make_shared<Decoder>();
        NpHandle a = table.add(first);
        NpHandle b = table.add(std::make_shared<Decoder>());
        QVERIFY(a != 0 && b != 0 && a != b);
        QCOMPARE(table.find(a), first);
        QCOMPARE(table.remove(a), first);
        QVERIFY(!table.find(a));
        QVERIFY(!table.remove(a));
        NpHandle c = table.add(std::make_shared<Decoder>()); // reuses the slot
        QVERIFY(c != a && c != 0);
        QVERIFY(!table.find(a));
        QVERIFY(table.find(c));
        QVERIFY(!table.find(0));
        QVERIFY(!table.find(0xdeadbeef));
    }

    void priorityLevels()
    {
        for (int level : {-15, -2, -1, 0, 1, 2, 15})
            QVERIFY(isPriorityLevel(level));
        for (int level : {-16, -3, 3, 14, 16, 100})
            QVERIFY(!isPriorityLevel(level));
        QCOMPARE(niceForLevel(-1), 5);
        QCOMPARE(niceForLevel(0), 0);
        QVERIFY(niceForLevel(2) < niceForLevel(1) && niceForLevel(15) < niceForLevel(2));
    }

    void priorityAppliesToOneThreadOnly()
    {
        int before = getpriority(PRIO_PROCESS, 0);
        int seen = 99;
        std::thread worker([&] {
            applyThreadPriority(gettid(), -1);
            seen = getpriority(PRIO_PROCESS, 0);
        });
        worker.join();
        QCOMPARE(seen, std::max(before, niceForLevel(-1)));
        QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
    }

    // Flat is exactly flat; a band's whole gain lands on the sub-band that holds its centre and
    // fades away from it; a band above the Nyquist frequency changes nothing.
    void equalizerBandIsCentredWhereItSays_data()
    {
        QTest::addColumn<int>("rate");
        for (int rate : {8000, 11025, 22050, 32000, 44100, 48000})
            QTest::addRow("%d Hz", rate) << rate;
    }
    void equalizerBandIsCentredWhereItSays()
    {
        QFETCH(int, rate);
        for (double f : Equalizer().subBandFactors(rate))
            QCOMPARE(f, 1.0);
        const double width = rate / 64.0;
        for (int band = 0; band < Equalizer::BandCount; ++band) {
            Equalizer eq;
            eq.setGain(band, 120);
            auto factors = eq.subBandFactors(rate);
            const double hz = Equalizer::BandHz[size_t(band)];
            if (hz >= rate / 2.0) {
                for (double f : factors)
                    QCOMPARE(f, 1.0);
                continue;
            }
            auto subBand = [&](double f) { return std::min<size_t>(size_t(f / width), 31); };
            const size_t peak = subBand(hz);
            // Bands whose centres share a sub-band share it equally.
            int sharing = 0;
            for (double other : Equalizer::BandHz)
                sharing += other < rate / 2.0 && subBand(other) == peak;
            QVERIFY(qAbs(factors[peak] - std::pow(10.0, 12.0 / 20 / sharing)) < 1e-9);
            QCOMPARE(std::max_element(factors.begin(), factors.end()) - factors.begin(),
                     qsizetype(peak));
            for (size_t k = peak + 1; k < factors.size(); ++k)
                QVERIFY(factors[k] <= factors[k - 1]);
            for (size_t k = peak; k > 0; --k)
                QVERIFY(factors[k - 1] <= factors[k]);
        }
    }
};

QTEST_APPLESS_MAIN(tst_internals)
#include "tst_internals.moc"
