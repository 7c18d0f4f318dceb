// The root of the server records: the item id, the text types every record field uses, and the
// field tables through which the parsers and oa-cli walk a record's fields.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oa {

// A value as the server sent it; absent when the reply lacks the key or holds null there.
using Text = std::optional<std::string>;
// A list the parser cut out of a joined text (attachment ids and names).
using TextList = std::optional<std::vector<std::string>>;

// One entry of a record's field table: the field's name (also what oa-cli prints), the member, and
// the key of the server's JSON object it is read from. The key is the name unless given; a null
// key marks a field that no parser fills.
template <class Record>
struct RecordField {
    const char* name = nullptr;
    Text Record::*member = nullptr;
    const char* key = name;
};

// A list a parser derives from other fields; never read from a key.
template <class Record>
struct TextListField {
    const char* name = nullptr;
    TextList Record::*member = nullptr;
};

// Whether no two entries of the table share a name, a member or a server key (a repeated key would
// find the value already moved out of the reply).
template <class Record, std::size_t N>
constexpr bool distinctFields(const std::array<RecordField<Record>, N>& fields) {
    for (std::size_t i = 0; i < N; ++i) {
        for (std::size_t j = i + 1; j < N; ++j) {
            const RecordField<Record>& a = fields[i];
            const RecordField<Record>& b = fields[j];
            if (std::string_view(a.name) == b.name || a.member == b.member ||
                (a.key != nullptr && b.key != nullptr && std::string_view(a.key) == b.key)) {
                return false;
            }
        }
    }
    return true;
}

// Two field tables as one, `first` before `second`.
template <class Field, std::size_t N, std::size_t M>
constexpr std::array<Field, N + M> joinFields(const std::array<Field, N>& first,
                                              const std::array<Field, M>& second) {
    std::array<Field, N + M> all{};
    for (std::size_t i = 0; i < N; ++i) {
        all[i] = first[i];
    }
    for (std::size_t i = 0; i < M; ++i) {
        all[N + i] = second[i];
    }
    return all;
}

struct BaseVO {
    BaseVO() = default;
    BaseVO(const BaseVO&) = default;
    BaseVO(BaseVO&&) = default;
    BaseVO& operator=(const BaseVO&) = default;
    BaseVO& operator=(BaseVO&&) = default;
    virtual ~BaseVO() = default;

    bool operator==(const BaseVO&) const = default;

    Text q_id;
};

using RecordList = std::vector<std::shared_ptr<BaseVO>>;

}  // namespace oa
