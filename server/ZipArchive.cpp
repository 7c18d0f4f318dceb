// ZipArchive: the local headers, the central directory and the end record of the ZIP format,
// raw deflate from zlib.
#include "server/ZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace oa {

namespace {

void put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Raw deflate (no zlib header), as the "deflate" method of a ZIP entry stores it.
std::string deflateRaw(const std::string& data) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) {
        throw std::runtime_error("deflate did not finish");
    }
    return out;
}

constexpr std::uint16_t kVersionNeeded = 20;  // deflate
constexpr std::uint16_t kUtf8Names = 1u << 11;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

}  // namespace

void ZipArchive::setTime(int year, int month, int day, int hour, int minute) {
    year = std::clamp(year, 1980, 2107);
    dosDate_ = static_cast<std::uint16_t>(((year - 1980) << 9) | (std::clamp(month, 1, 12) << 5) |
                                          std::clamp(day, 1, 31));
    dosTime_ = static_cast<std::uint16_t>((std::clamp(hour, 0, 23) << 11) |
                                          (std::clamp(minute, 0, 59) << 5));
}

void ZipArchive::add(std::string name, std::string data) {
    entries_.push_back({std::move(name), std::move(data)});
}

std::string ZipArchive::bytes() const {
    // Small archives only: no ZIP64 records.
    std::string out;
    std::string directory;
    for (const Entry& entry : entries_) {
        const auto crc =
            static_cast<std::uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(entry.data.data()),
                                             static_cast<uInt>(entry.data.size())));
        std::string packed = deflateRaw(entry.data);
        std::uint16_t method = kDeflated;
        if (packed.size() >= entry.data.size()) {
            packed = entry.data;
            method = kStored;
        }
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto nameSize = static_cast<std::uint32_t>(entry.name.size());

        put32(out, 0x04034b50);
        put16(out, kVersionNeeded);
        put16(out, kUtf8Names);
        put16(out, method);
        put16(out, dosTime_);
        put16(out, dosDate_);
        put32(out, crc);
        put32(out, static_cast<std::uint32_t>(packed.size()));
        put32(out, static_cast<std::uint32_t>(entry.data.size()));
        put16(out, nameSize);
        put16(out, 0);  // no extra field
        out += entry.name;
        out += packed;

        put32(directory, 0x02014b50);
        put16(directory, (3u << 8) | kVersionNeeded);  // made on Unix
        put16(directory, kVersionNeeded);
        put16(directory, kUtf8Names);
        put16(directory, method);
        put16(directory, dosTime_);
        put16(directory, dosDate_);
        put32(directory, crc);
        put32(directory, static_cast<std::uint32_t>(packed.size()));
        put32(directory, static_cast<std::uint32_t>(entry.data.size()));
        put16(directory, nameSize);
        put16(directory, 0);               // extra field
        put16(directory, 0);               // comment
        put16(directory, 0);               // disk number
        put16(directory, 0);               // internal attributes
        put32(directory, 0100644u << 16);  // external attributes: a regular file, rw-r--r--
        put32(directory, offset);
        directory += entry.name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);  // this disk
    put16(out, 0);  // disk of the directory
    put16(out, static_cast<std::uint32_t>(entries_.size()));
    put16(out, static_cast<std::uint32_t>(entries_.size()));
    put32(out, static_cast<std::uint32_t>(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);  // no comment
    return out;
}

}  // namespace oa
