// A ".zip" file made in memory for the attachments of the seed data: each entry deflated with
// zlib (or stored when that is no smaller), names in UTF-8, one fixed modification time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oa {

class ZipArchive {
public:
    struct Entry {
        std::string name;  // UTF-8, "/" between folders
        std::string data;
    };

    // The time every entry carries, as the MS-DOS date and time fields: from 1980 on, to the
    // even second.
    void setTime(int year, int month, int day, int hour, int minute);
    void add(std::string name, std::string data);
    // The whole archive: the entries, their central directory and its end record.
    std::string bytes() const;

private:
    std::vector<Entry> entries_;
    std::uint16_t dosDate_ = (33u << 9) | (6u << 5) | 28u;  // 2013-06-28
    std::uint16_t dosTime_ = 12u << 11;                     // 12:00:00
};

}  // namespace oa
