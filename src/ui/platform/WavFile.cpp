// WAV reading and writing with QFile; little-endian fields through QtEndian.
#include "ui/platform/WavFile.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <cstring>

namespace oa {

namespace {

std::uint32_t u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}
std::uint16_t u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

void put32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian<quint32>(v, b);
    out.append(b, 4);
}

void put16(QByteArray& out, std::uint16_t v) {
    char b[2];
    qToLittleEndian<quint16>(v, b);
    out.append(b, 2);
}

}  // namespace

std::optional<Pcm16> WavFile::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return std::nullopt;
    }
    Pcm16 pcm;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const char* chunk = bytes.constData() + at;
        const std::uint32_t size = u32(chunk + 4);
        const qsizetype body = at + 8;
        const qsizetype available = std::min<qsizetype>(size, bytes.size() - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (available < 16) {
                return std::nullopt;
            }
            const char* f = bytes.constData() + body;
            const std::uint16_t formatTag = u16(f);
            pcm.channels = u16(f + 2);
            pcm.sampleRate = static_cast<int>(u32(f + 4));
            const std::uint16_t bits = u16(f + 14);
            // 1 is PCM; 0xFFFE (extensible) carries PCM in its sub-format here.
            if ((formatTag != 1 && formatTag != 0xFFFE) || bits != 16 || pcm.channels < 1 ||
                pcm.channels > 8 || pcm.sampleRate < 1000 || pcm.sampleRate > 384000) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                return std::nullopt;
            }
            const qsizetype frames = available / (2 * pcm.channels);
            pcm.samples.resize(static_cast<std::size_t>(frames * pcm.channels));
            const char* s = bytes.constData() + body;
            for (std::size_t i = 0; i < pcm.samples.size(); ++i) {
                pcm.samples[i] = static_cast<std::int16_t>(u16(s + 2 * i));
            }
            return pcm;
        }
        // Chunks are padded to an even size.
        at = body + static_cast<qsizetype>(size) + (size & 1);
    }
    return std::nullopt;
}

bool WavFile::write(const QString& path, const Pcm16& pcm) {
    const auto dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataBytes));
    out.append("RIFF");
    put32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(pcm.channels));
    put32(out, static_cast<std::uint32_t>(pcm.sampleRate));
    put32(out, static_cast<std::uint32_t>(pcm.sampleRate * pcm.channels * 2));
    put16(out, static_cast<std::uint16_t>(pcm.channels * 2));
    put16(out, 16);
    out.append("data");
    put32(out, dataBytes);
    for (const std::int16_t s : pcm.samples) {
        put16(out, static_cast<std::uint16_t>(s));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace oa
