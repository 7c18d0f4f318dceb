// CharsetDecoder on iconv, with direct paths for UTF-8 and Latin-1.
#include "core/transport/CharsetDecoder.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "core/platform/Utf8.h"
#include "core/transport/HeaderList.h"

namespace oa {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), asciiLower);
    return out;
}

bool isUtf8(const std::string& name) {
    return name == "utf-8" || name == "utf8";
}

bool isLatin1(const std::string& name) {
    return name == "iso-8859-1" || name == "iso8859-1" || name == "latin1" ||
           name == "iso_8859-1" || name == "l1";
}

std::string fromUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = utf8SequenceLength(bytes);
        if (length == 0) {
            out += kReplacement;
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

std::string fromLatin1(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

class Iconv {
public:
    explicit Iconv(const std::string& from) : cd_(iconv_open("UTF-8", from.c_str())) {}
    ~Iconv() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> CharsetDecoder::charsetOf(std::string_view contentType) {
    std::size_t pos = contentType.find(';');
    while (pos != std::string_view::npos) {
        std::string_view param = contentType.substr(pos + 1);
        const std::size_t next = param.find(';');
        param = param.substr(0, next);
        pos = next == std::string_view::npos ? next : pos + 1 + next;
        while (!param.empty() && (param.front() == ' ' || param.front() == '\t')) {
            param.remove_prefix(1);
        }
        const std::size_t equals = param.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view name = param.substr(0, equals);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
            name.remove_suffix(1);
        }
        if (lower(name) != "charset") {
            continue;
        }
        std::string_view value = param.substr(equals + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.empty()) {
            return std::nullopt;
        }
        return std::string(value);
    }
    return std::nullopt;
}

bool CharsetDecoder::isKnown(const std::string& charset) {
    const std::string name = lower(charset);
    return isUtf8(name) || isLatin1(name) || Iconv(charset).ok();
}

std::string CharsetDecoder::toUtf8(std::string_view bytes, const std::string& charset) {
    const std::string name = lower(charset);
    if (isUtf8(name)) {
        return fromUtf8(bytes);
    }
    if (isLatin1(name)) {
        return fromLatin1(bytes);
    }
    Iconv converter(charset);
    if (!converter.ok()) {
        return fromLatin1(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // EILSEQ (invalid) or EINVAL (cut short at the end): replace one byte and go on.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter.get(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    // The converter's UTF-8 is not always valid: with an option such as "//IGNORE" in the name
    // it lets sequences beyond U+10FFFF through. Whatever it made is checked like a UTF-8 reply.
    if (!isValidUtf8(out)) {
        return fromUtf8(out);
    }
    return out;
}

}  // namespace oa
