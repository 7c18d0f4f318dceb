// PlistManager: reading and atomically replacing the two settings files with libplist.
#include "core/session/PlistManager.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/platform/AppPaths.h"
#include "core/platform/FileLock.h"
#include "core/platform/Log.h"
#include "core/session/GlobalVar.h"

namespace oa {
namespace {
namespace fs = std::filesystem;

constexpr const char* kLoginFile = "loginPlist.plist";
constexpr const char* kSetFile = "SetPlist.plist";

// Both files hold a handful of short texts; anything larger is not one of them.
constexpr std::size_t kMaxFileSize = 1 << 20;

// The lock file beside the settings files that every process writing them takes.
constexpr const char* kLockFile = ".settings.lock";

// The files are read-modify-written from the sign-in thread, the main thread and oa-cli; one
// lock keeps two writers in this process from losing each other's keys.
std::mutex g_filesMutex;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
using MallocText = std::unique_ptr<char, MallocDeleter>;
using DictIterator = std::unique_ptr<void, MallocDeleter>;

struct XmlDeleter {
    void operator()(char* xml) const { plist_to_xml_free(xml); }
};

class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    // Closes now; false when close reported an error (data may not have reached the disk).
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string errnoText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

enum class FileState {
    Missing,     // nothing at the path
    Unreadable,  // something there, but its bytes could not be had
    Read,
};

FileState readFile(const fs::path& path, std::string& bytes) {
    bytes.clear();
    // O_NONBLOCK so that a FIFO planted at the path cannot hang us; no effect on regular files.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return FileState::Missing;
        }
        log("cannot open " + path.string() + ": " + errnoText(error));
        return FileState::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        log("not a regular file: " + path.string());
        return FileState::Unreadable;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            log("cannot read " + path.string() + ": " + errnoText(errno));
            return FileState::Unreadable;
        }
        if (n == 0) {
            return FileState::Read;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxFileSize) {
            log("too large for a settings file: " + path.string());
            bytes.clear();
            return FileState::Unreadable;
        }
    }
}

// The dictionary in `bytes` (XML or binary property list); null for anything else.
Plist parseDictionary(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > kMaxFileSize) {
        return {};
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    Plist holder(root);
    if (!holder || plist_get_node_type(root) != PLIST_DICT) {
        return {};
    }
    return holder;
}

struct LoadedDictionary {
    FileState state = FileState::Missing;
    Plist dict;  // null unless the file was read and holds a dictionary
};

LoadedDictionary loadDictionary(const fs::path& path) {
    LoadedDictionary loaded;
    std::string bytes;
    loaded.state = readFile(path, bytes);
    if (loaded.state == FileState::Read) {
        loaded.dict = parseDictionary(bytes);
        if (!loaded.dict) {
            log("not a property-list dictionary: " + path.string());
        }
    }
    return loaded;
}

std::optional<std::string> toXml(plist_t dict) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict, &xml, &length);
    std::unique_ptr<char, XmlDeleter> holder(xml);
    if (!holder) {
        return std::nullopt;
    }
    return std::string(xml, length);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing that the rename had not already
// made visible, so it is not reported.
void syncDirectory(const fs::path& dir) {
    UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());
    }
}

// Moves the finished temporary file to `target`. With `replace` false an existing target is left
// as it is, which counts as success.
bool moveIntoPlace(const std::string& temp, const fs::path& target, bool replace) {
    if (replace) {
        return ::rename(temp.c_str(), target.c_str()) == 0;
    }
    if (::link(temp.c_str(), target.c_str()) == 0 || errno == EEXIST) {
        return true;
    }
    // No hard links on this file system: fall back to a rename, which races only with another
    // process creating the same file at this very moment.
    std::error_code ec;
    return fs::exists(fs::symlink_status(target, ec)) ||
           ::rename(temp.c_str(), target.c_str()) == 0;
}

// Writes `bytes` to a new file of mode 0600 beside `target`, flushes it to disk and moves it into
// place, so a reader sees either the old file or the whole new one.
bool writeAtomically(const fs::path& target, std::string_view bytes, bool replace) {
    const fs::path dir = target.parent_path();
    std::error_code ec;
    fs::create_directories(dir, ec);  // a fresh home has no Documents/ yet; mkstemp reports failure
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string temp = (dir / name).string();
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        log("cannot write " + target.string() + ": " + errnoText(errno));
        return false;
    }
    const bool ok = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), bytes) &&
                    ::fsync(fd.get()) == 0 && fd.close() && moveIntoPlace(temp, target, replace);
    const int error = errno;
    ::unlink(temp.c_str());  // gone already after a rename; left over after a link or a failure
    if (!ok) {
        log("cannot write " + target.string() + ": " + errnoText(error));
        return false;
    }
    syncDirectory(dir);
    return true;
}

bool writeDictionary(const fs::path& target, plist_t dict) {
    auto xml = toXml(dict);
    return xml && writeAtomically(target, *xml, true);
}

fs::path documentsFile(const char* name) {
    return AppPaths::current().documents() / name;
}

// Copies the shipped template of the same name to `target` when nothing is there yet.
void copyTemplateIfMissing(const fs::path& target, const char* name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) {
        return;
    }
    const fs::path source = AppPaths::current().resources() / "templates" / name;
    std::string bytes;
    if (readFile(source, bytes) != FileState::Read) {
        log("no template " + source.string());
        return;
    }
    writeAtomically(target, bytes, false);
}

// The text of a string node; the node keeps the memory.
std::string textOf(plist_t node) {
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, length) : std::string();
}

std::optional<std::string> stringValue(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    return textOf(node);
}

// Reads a switch as a hand-edited file may hold it: a boolean, a number, or a text read the way
// the platform reads "YES"/"true"/"1" (leading blanks, a sign and zeros skipped, then Y, T or a
// digit 1-9 means true).
bool boolValue(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (!node) {
        return false;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return value != 0;
        }
        case PLIST_UINT: {
            uint64_t value = 0;
            plist_get_uint_val(node, &value);
            return value != 0;
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return value != 0;
        }
        case PLIST_STRING: {
            const std::string text = textOf(node);
            std::size_t i = text.find_first_not_of(" \t\r\n");
            if (i != std::string::npos && (text[i] == '+' || text[i] == '-')) {
                ++i;
            }
            while (i < text.size() && text[i] == '0') {
                ++i;
            }
            return i < text.size() &&
                   std::string_view("YyTt123456789").find(text[i]) != std::string_view::npos;
        }
        default:
            return false;
    }
}

void setString(plist_t dict, const char* key, const std::optional<std::string>& value) {
    plist_dict_set_item(dict, key, plist_new_string(value ? value->c_str() : ""));
}

// The sign-in record's dictionary for a read-modify-write. An unparseable file is started over
// as an empty dictionary: otherwise one corrupt file would refuse every later sign-in record.
// A file that is missing or cannot be read at all gives null, so nothing is written over it.
Plist dictionaryToUpdate(const fs::path& path) {
    LoadedDictionary loaded = loadDictionary(path);
    if (loaded.state != FileState::Read) {
        log("nothing to update at " + path.string());
        return {};
    }
    return loaded.dict ? std::move(loaded.dict) : Plist(plist_new_dict());
}

// Held around each write: the lock of this process's threads, then the lock file in the
// documents folder, since a client and any number of oa-cli commands may share one home. When the
// lock file cannot be had (a documents folder that cannot be written, where the write fails as
// well) the write goes on under the first lock alone.
class WriteLock {
public:
    WriteLock() : threads_(g_filesMutex), processes_(lockProcesses()) {}

private:
    static FileLock lockProcesses() {
        const fs::path dir = AppPaths::current().documents();
        std::error_code ec;
        fs::create_directories(dir, ec);
        FileLock lock = FileLock::acquire(dir / kLockFile);
        if (!lock.held()) {
            log("settings written without locking out other processes: " + lock.error());
        }
        return lock;
    }

    std::lock_guard<std::mutex> threads_;
    FileLock processes_;
};

// The strings of the settings dictionary at `path`; none when there is no file. A value that is
// not a string is left out; an unreadable file reads as empty.
std::optional<SetDictionary> readSettings(const fs::path& path) {
    LoadedDictionary loaded = loadDictionary(path);
    if (loaded.state == FileState::Missing) {
        return std::nullopt;
    }
    SetDictionary settings;
    if (!loaded.dict) {
        return settings;
    }
    plist_dict_iter rawIterator = nullptr;
    plist_dict_new_iter(loaded.dict.get(), &rawIterator);
    DictIterator iterator(rawIterator);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(loaded.dict.get(), rawIterator, &rawKey, &value);
        MallocText key(rawKey);
        if (!key || !value) {
            break;
        }
        if (plist_get_node_type(value) != PLIST_STRING) {
            continue;  // hand-edited; every value this client writes is a text
        }
        settings[key.get()] = textOf(value);
    }
    return settings;
}

bool writeSettings(const fs::path& path, const SetDictionary& settings) {
    Plist dict(plist_new_dict());
    for (const auto& [key, value] : settings) {
        plist_dict_set_item(dict.get(), key.c_str(), plist_new_string(value.c_str()));
    }
    return writeDictionary(path, dict.get());
}

}  // namespace

fs::path PlistManager::datafilePath() const {
    return documentsFile(kLoginFile);
}

fs::path PlistManager::isExists() const {
    std::lock_guard lock(g_filesMutex);
    const fs::path path = datafilePath();
    copyTemplateIfMissing(path, kLoginFile);
    return path;
}

fs::path PlistManager::dataSetFilePath() const {
    return documentsFile(kSetFile);
}

fs::path PlistManager::isSetExists() const {
    std::lock_guard lock(g_filesMutex);
    const fs::path path = dataSetFilePath();
    copyTemplateIfMissing(path, kSetFile);
    return path;
}

LoginVO PlistManager::getLoginInfo() const {
    const fs::path path = isExists();
    std::lock_guard lock(g_filesMutex);
    LoadedDictionary loaded = loadDictionary(path);
    LoginVO record;
    record.pwd = "";
    if (!loaded.dict) {
        return record;
    }
    plist_t dict = loaded.dict.get();
    record.name = stringValue(dict, "userName");
    record.pwd = stringValue(dict, "userPassword").value_or("");
    record.oa = stringValue(dict, "OA");
    record.oaName = stringValue(dict, "OAName");
    record.oaKey = stringValue(dict, "OAKey");
    record.isRem = boolValue(dict, "isRemember");
    record.isAuto = boolValue(dict, "isAutoLogin");
    return record;
}

bool PlistManager::setLoginInfo(const LoginVO& record) const {
    const fs::path path = isExists();
    WriteLock lock;
    Plist dict = dictionaryToUpdate(path);
    if (!dict) {
        return false;
    }
    setString(dict.get(), "userName", record.name);
    setString(dict.get(), "userPassword", record.pwd);
    setString(dict.get(), "OA", record.oa);
    setString(dict.get(), "OAName", record.oaName);
    setString(dict.get(), "OAKey", record.oaKey);
    plist_dict_set_item(dict.get(), "isRemember", plist_new_bool(record.isRem ? 1 : 0));
    plist_dict_set_item(dict.get(), "isAutoLogin", plist_new_bool(record.isAuto ? 1 : 0));
    if (!writeDictionary(path, dict.get())) {
        return false;
    }
    // Under the file lock, so that the last record written and GlobalVar oa agree.
    GlobalVar::getInstance_global().setOa(record.oa);
    return true;
}

void PlistManager::relogin() const {
    const fs::path path = isExists();
    WriteLock lock;
    Plist dict = dictionaryToUpdate(path);
    if (!dict) {
        return;
    }
    plist_dict_set_item(dict.get(), "isAutoLogin", plist_new_bool(0));
    writeDictionary(path, dict.get());
}

std::optional<SetDictionary> PlistManager::getSetInfo() const {
    const fs::path path = isSetExists();
    std::lock_guard lock(g_filesMutex);
    return readSettings(path);
}

bool PlistManager::saveSetInfo(const SetDictionary& settings) const {
    const fs::path path = isSetExists();
    WriteLock lock;
    return writeSettings(path, settings);
}

bool PlistManager::updateSetInfo(const SetDictionary& changes) const {
    const fs::path path = isSetExists();
    WriteLock lock;
    SetDictionary settings = readSettings(path).value_or(SetDictionary{});
    for (const auto& [key, value] : changes) {
        settings[key] = value;
    }
    return writeSettings(path, settings);
}

}  // namespace oa
