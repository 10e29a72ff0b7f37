#include "word_file_statistics.h"

#include <QFile>
#include <QtEndian>

#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace word {

namespace {

constexpr quint32 kLastRegularSector = 0xFFFFFFF9;
constexpr int kDirectoryEntrySize = 128;
// The properties block's place in the file information block, and its statistics fields.
constexpr quint16 kWordIdent = 0xA5EC;
constexpr int kDopIndex = 31; // fcDop is the 32nd offset-and-length pair
constexpr quint16 kTableIsOne = 0x0200;
constexpr quint32 kDopStatisticsStart = 0x26;
constexpr quint32 kDopStatisticsEnd = 0x4E;

struct Failure
{
    QString why;
};

// The compound file as far as this needs it: its allocation table and its named streams.
class CompoundFile
{
public:
    explicit CompoundFile(QFile& file) : mFile(file)
    {
        const QByteArray header = read(0, 512);
        if (!header.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1"))) {
            throw Failure{QStringLiteral("it is not a compound file")};
        }
        const quint16 shift = number<quint16>(header, 0x1E);
        if (shift != 9 && shift != 12) {
            throw Failure{QStringLiteral("its sector size is unknown")};
        }
        mSectorSize = 1U << shift;
        mMiniCutoff = number<quint32>(header, 0x38);
        readAllocationTable(header);
        readDirectory(number<quint32>(header, 0x30));
    }

    // The file offsets of a named stream's bytes, sector by sector; its size.
    std::vector<quint32> chain(quint32 start) const
    {
        std::vector<quint32> sectors;
        while (start <= kLastRegularSector) {
            if (start >= mTable.size() || sectors.size() > mTable.size()) {
                throw Failure{QStringLiteral("a chain of its sectors is broken")};
            }
            sectors.push_back(start);
            start = mTable[start];
        }
        return sectors;
    }

    struct Stream
    {
        std::vector<quint32> sectors;
        quint64 size = 0;
    };

    Stream stream(const QString& name) const
    {
        const auto found = mStreams.find(name);
        if (found == mStreams.end()) {
            throw Failure{QStringLiteral("it has no stream \"%1\"").arg(name)};
        }
        const auto [start, size] = found->second;
        if (size < mMiniCutoff) {
            throw Failure{QStringLiteral("its stream \"%1\" is a small one").arg(name)};
        }
        Stream stream{chain(start), size};
        if (quint64(stream.sectors.size()) * mSectorSize < size) {
            throw Failure{QStringLiteral("its stream \"%1\" is cut short").arg(name)};
        }
        return stream;
    }

    qint64 offset(const Stream& stream, quint64 at) const
    {
        if (at >= stream.size) {
            throw Failure{QStringLiteral("a field lies beyond its stream")};
        }
        return (qint64(stream.sectors[at / mSectorSize]) + 1) * mSectorSize + at % mSectorSize;
    }

    QByteArray read(const Stream& stream, quint64 at, int length) const
    {
        QByteArray bytes;
        for (int i = 0; i < length; ++i) {
            bytes += read(offset(stream, at + i), 1);
        }
        return bytes;
    }

    void write(const Stream& stream, quint64 at, const QByteArray& bytes)
    {
        for (int i = 0; i < bytes.size(); ++i) {
            if (!mFile.seek(offset(stream, at + i)) || mFile.write(bytes.mid(i, 1)) != 1) {
                throw Failure{mFile.errorString()};
            }
        }
    }

    template <typename T> static T number(const QByteArray& bytes, int at)
    {
        if (at < 0 || at + int(sizeof(T)) > bytes.size()) {
            throw Failure{QStringLiteral("a field lies beyond its block")};
        }
        return qFromLittleEndian<T>(bytes.constData() + at);
    }

private:
    QByteArray read(qint64 at, qint64 length) const
    {
        QByteArray bytes;
        if (mFile.seek(at)) {
            bytes = mFile.read(length);
        }
        if (bytes.size() != length) {
            throw Failure{QStringLiteral("it is shorter than its own tables say")};
        }
        return bytes;
    }

    QByteArray sector(quint32 number) const
    {
        return read((qint64(number) + 1) * mSectorSize, mSectorSize);
    }

    void readAllocationTable(const QByteArray& header)
    {
        const quint32 tableSectors = number<quint32>(header, 0x2C);
        std::vector<quint32> sectors;
        for (int i = 0; i < 109 && sectors.size() < tableSectors; ++i) {
            sectors.push_back(number<quint32>(header, 0x4C + 4 * i));
        }
        // Tables beyond the first 109 are listed in sectors of their own, chained by their last
        // entry.
        quint32 more = number<quint32>(header, 0x44);
        for (quint32 hops = 0; sectors.size() < tableSectors; ++hops) {
            if (more > kLastRegularSector || hops > tableSectors) {
                throw Failure{QStringLiteral("its allocation table is incomplete")};
            }
            const QByteArray list = sector(more);
            const int entries = int(mSectorSize / 4) - 1;
            for (int i = 0; i < entries && sectors.size() < tableSectors; ++i) {
                sectors.push_back(number<quint32>(list, 4 * i));
            }
            more = number<quint32>(list, 4 * entries);
        }
        for (const quint32 at : sectors) {
            if (at > kLastRegularSector) {
                throw Failure{QStringLiteral("its allocation table is incomplete")};
            }
            const QByteArray part = sector(at);
            for (quint32 i = 0; i < mSectorSize / 4; ++i) {
                mTable.push_back(number<quint32>(part, int(4 * i)));
            }
        }
    }

    void readDirectory(quint32 start)
    {
        for (const quint32 at : chain(start)) {
            const QByteArray entries = sector(at);
            for (int entry = 0; entry + kDirectoryEntrySize <= entries.size();
                 entry += kDirectoryEntrySize) {
                const QByteArray bytes = entries.mid(entry, kDirectoryEntrySize);
                const quint16 nameBytes = number<quint16>(bytes, 0x40);
                if (bytes[0x42] != 2 || nameBytes < 2 || nameBytes > 64) {
                    continue; // not a stream
                }
                const QString name = QString::fromUtf16(
                    reinterpret_cast<const char16_t*>(bytes.constData()), nameBytes / 2 - 1);
                mStreams[name] = {number<quint32>(bytes, 0x74), number<quint64>(bytes, 0x78)};
            }
        }
    }

    QFile& mFile;
    quint32 mSectorSize = 512;
    quint32 mMiniCutoff = 4096;
    std::vector<quint32> mTable;
    std::map<QString, std::pair<quint32, quint64>> mStreams;
};

template <typename T> QByteArray littleEndian(qint64 value)
{
    if (value < 0 || value > qint64(std::numeric_limits<T>::max())) {
        throw Failure{QStringLiteral("a count is too large for its field")};
    }
    QByteArray bytes(sizeof(T), '\0');
    qToLittleEndian<T>(T(value), bytes.data());
    return bytes;
}

// Where the properties block's statistics lie: in the table stream the file information block
// names, at the offset it gives.
std::pair<CompoundFile::Stream, quint64> statisticsPlace(const CompoundFile& compound)
{
    const CompoundFile::Stream main = compound.stream(QStringLiteral("WordDocument"));
    const QByteArray fib = compound.read(main, 0, 0x24);
    if (CompoundFile::number<quint16>(fib, 0) != kWordIdent) {
        throw Failure{QStringLiteral("it is not a Word document")};
    }
    const bool tableIsOne = (CompoundFile::number<quint16>(fib, 0x0A) & kTableIsOne) != 0;
    // The block's place follows two arrays whose lengths the file gives.
    const quint16 shorts = CompoundFile::number<quint16>(fib, 0x20);
    const quint64 longsAt = 0x22 + 2ULL * shorts;
    const quint16 longs = CompoundFile::number<quint16>(compound.read(main, longsAt, 2), 0);
    const quint64 pairsAt = longsAt + 2 + 4ULL * longs;
    const quint16 pairs = CompoundFile::number<quint16>(compound.read(main, pairsAt, 2), 0);
    if (pairs <= kDopIndex) {
        throw Failure{QStringLiteral("its file information block is too short")};
    }
    const QByteArray dop = compound.read(main, pairsAt + 2 + 8 * kDopIndex, 8);
    if (CompoundFile::number<quint32>(dop, 4) < kDopStatisticsEnd) {
        throw Failure{QStringLiteral("its properties block is too short")};
    }
    const CompoundFile::Stream table =
        compound.stream(tableIsOne ? QStringLiteral("1Table") : QStringLiteral("0Table"));
    return {table, CompoundFile::number<quint32>(dop, 0) + quint64(kDopStatisticsStart)};
}

} // namespace

QString WordFileStatistics::write(const QString& path, const DocumentCounts& counts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return file.errorString();
    }
    try {
        CompoundFile compound(file);
        const auto [table, at] = statisticsPlace(compound);
        // Words, characters, pages, paragraphs, the notes' numbers, lines (which the office
        // counts as paragraphs); then the same again with notes, of which the pasted pages have
        // none.
        QByteArray bytes;
        for (int withNotes = 0; withNotes < 2; ++withNotes) {
            bytes += littleEndian<quint32>(counts.words);
            bytes += littleEndian<quint32>(counts.characters);
            bytes += littleEndian<quint16>(0);
            bytes += littleEndian<quint32>(counts.paragraphs);
            if (withNotes == 0) {
                bytes += compound.read(table, at + bytes.size(), 4);
            }
            bytes += littleEndian<quint32>(counts.paragraphs);
        }
        // Every place is found before anything is written, so that a failure changes nothing.
        compound.offset(table, at + bytes.size() - 1);
        compound.write(table, at, bytes);
        if (!file.flush()) {
            throw Failure{file.errorString()};
        }
    } catch (const Failure& failure) {
        return failure.why;
    }
    return {};
}

QByteArray WordFileStatistics::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    try {
        const CompoundFile compound(file);
        const auto [table, at] = statisticsPlace(compound);
        return compound.read(table, at, int(kDopStatisticsEnd - kDopStatisticsStart));
    } catch (const Failure&) {
        return {};
    }
}

} // namespace word
