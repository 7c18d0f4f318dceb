// The settings store against real files: templates, both encodings, partial updates, failures,
// file modes, corrupt content and concurrent use.
#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/Log.h"
#include "core/session/GlobalVar.h"
#include "core/session/LoginBO.h"
#include "core/session/PlistManager.h"
#include "core/session/SetBO.h"
#include "support/TempHome.h"

namespace oa {
namespace {
namespace fs = std::filesystem;

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

struct Value {
    enum Kind { Text, Bool, Integer } kind;
    std::string text;
    bool flag = false;
    uint64_t number = 0;
};
Value text(std::string s) {
    return {Value::Text, std::move(s)};
}
Value boolean(bool b) {
    return {Value::Bool, {}, b};
}
Value integer(uint64_t n) {
    return {Value::Integer, {}, false, n};
}

// A property-list dictionary encoded as the platform writes it, XML or binary.
std::string encode(const std::vector<std::pair<std::string, Value>>& items, bool binary) {
    Plist dict(plist_new_dict());
    for (const auto& [key, value] : items) {
        plist_t node = value.kind == Value::Text   ? plist_new_string(value.text.c_str())
                       : value.kind == Value::Bool ? plist_new_bool(value.flag)
                                                   : plist_new_uint(value.number);
        plist_dict_set_item(dict.get(), key.c_str(), node);
    }
    char* out = nullptr;
    uint32_t length = 0;
    if (binary) {
        plist_to_bin(dict.get(), &out, &length);
        std::string bytes(out, length);
        plist_to_bin_free(out);
        return bytes;
    }
    plist_to_xml(dict.get(), &out, &length);
    std::string bytes(out, length);
    plist_to_xml_free(out);
    return bytes;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

LoginVO fullRecord() {
    LoginVO record;
    record.name = "张三";
    record.pwd = "p<&>\"' 密码";
    record.oa = "http://10.0.0.5:8080";
    record.oaName = "总部";
    record.oaKey = "name2";
    record.isRem = true;
    record.isAuto = true;
    return record;
}

class PlistManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalVar::getInstance_global().resetForTesting();
        previousSink_ = setLogSink([this](std::string_view line) { logged_.emplace_back(line); });
    }
    void TearDown() override {
        setLogSink(previousSink_);
        GlobalVar::getInstance_global().resetForTesting();
    }

    fs::path loginFile() const { return home_.paths().documents() / "loginPlist.plist"; }
    fs::path setFile() const { return home_.paths().documents() / "SetPlist.plist"; }

    // Points the resources at a folder of this test's own, with the given templates.
    fs::path useOwnResources(const std::string& loginTemplate, const std::string& setTemplate) {
        const fs::path resources = home_.path() / "resources";
        fs::create_directories(resources / "templates");
        if (!loginTemplate.empty()) {
            writeFile(resources / "templates" / "loginPlist.plist", loginTemplate);
        }
        if (!setTemplate.empty()) {
            writeFile(resources / "templates" / "SetPlist.plist", setTemplate);
        }
        AppPaths::setCurrent(AppPaths(home_.path(), resources));
        return resources;
    }

    test::TempHome home_;
    PlistManager store_;
    std::vector<std::string> logged_;
    LogSink previousSink_;
};

TEST_F(PlistManagerTest, FirstStartCopiesTheShippedTemplates) {
    ASSERT_FALSE(fs::exists(loginFile()));
    ASSERT_FALSE(fs::exists(setFile()));
    EXPECT_EQ(store_.datafilePath(), loginFile());
    EXPECT_EQ(store_.dataSetFilePath(), setFile());
    EXPECT_FALSE(fs::exists(loginFile())) << "the plain path functions touch nothing";

    const LoginVO record = store_.getLoginInfo();
    ASSERT_TRUE(fs::exists(loginFile()));
    EXPECT_EQ(record.pwd, std::optional<std::string>(""));
    EXPECT_FALSE(record.name || record.oa || record.oaName || record.oaKey);
    EXPECT_FALSE(record.isRem || record.isAuto);

    const auto settings = store_.getSetInfo();
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->at("im_port"), "1188");
    for (const char* key : {"name1", "ip1", "name2", "ip2", "name3", "ip3"}) {
        EXPECT_EQ(settings->at(key), "") << key;
    }
    EXPECT_EQ(modeOf(loginFile()), 0600u);
    EXPECT_EQ(modeOf(setFile()), 0600u);
}

TEST_F(PlistManagerTest, TemplateIsCopiedOnlyWhenNoFileExists) {
    useOwnResources(encode({{"userName", text("from template")}}, false),
                    encode({{"ip1", text("template.example")}}, true));
    EXPECT_EQ(store_.getLoginInfo().name, std::optional<std::string>("from template"));
    EXPECT_EQ(store_.getSetInfo(), (SetDictionary{{"ip1", "template.example"}}));

    writeFile(setFile(), encode({{"ip1", text("mine")}}, false));
    EXPECT_EQ(store_.isSetExists(), setFile());
    EXPECT_EQ(store_.getSetInfo(), (SetDictionary{{"ip1", "mine"}}));

    LoginVO record;
    record.name = "saved";
    ASSERT_TRUE(store_.setLoginInfo(record));
    EXPECT_EQ(store_.isExists(), loginFile());
    EXPECT_EQ(store_.getLoginInfo().name, std::optional<std::string>("saved"));
}

class PlistEncodingTest : public PlistManagerTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PlistEncodingTest, ReadsBothFilesInEitherEncoding) {
    const bool binary = GetParam();
    writeFile(loginFile(), encode({{"userName", text("张三")},
                                   {"userPassword", text("secret")},
                                   {"OA", text("https://oa.example")},
                                   {"OAName", text("外网")},
                                   {"OAKey", text("name3")},
                                   {"isRemember", boolean(true)},
                                   {"isAutoLogin", boolean(false)}},
                                  binary));
    writeFile(setFile(), encode({{"name1", text("内网")},
                                 {"ip1", text("192.168.1.2")},
                                 {"im_port", text("1188")},
                                 {"count", integer(3)},
                                 {"flag", boolean(true)}},
                                binary));

    LoginVO expected;
    expected.name = "张三";
    expected.pwd = "secret";
    expected.oa = "https://oa.example";
    expected.oaName = "外网";
    expected.oaKey = "name3";
    expected.isRem = true;
    EXPECT_EQ(store_.getLoginInfo(), expected);
    // Values that are not texts were put there by hand; they are left out, not fatal.
    EXPECT_EQ(store_.getSetInfo(),
              (SetDictionary{{"name1", "内网"}, {"ip1", "192.168.1.2"}, {"im_port", "1188"}}));
}

INSTANTIATE_TEST_SUITE_P(Encodings, PlistEncodingTest, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Binary" : "Xml"; });

TEST_F(PlistManagerTest, MissingKeysReadAsAbsentExceptThePassword) {
    writeFile(loginFile(), encode({{"userName", text("li")}, {"OA", text("")}}, false));
    const LoginVO record = store_.getLoginInfo();
    EXPECT_EQ(record.name, std::optional<std::string>("li"));
    EXPECT_EQ(record.pwd, std::optional<std::string>(""));
    EXPECT_EQ(record.oa, std::optional<std::string>("")) << "empty and absent differ";
    EXPECT_EQ(record.oaKey, std::nullopt);
    EXPECT_EQ(record.oaName, std::nullopt);
    EXPECT_FALSE(record.isRem);
    EXPECT_FALSE(record.isAuto);
}

TEST_F(PlistManagerTest, SwitchesReadFromHandEditedValues) {
    struct Case {
        Value value;
        bool expected;
    };
    const std::vector<Case> cases{
        {boolean(true), true}, {boolean(false), false}, {integer(1), true}, {integer(0), false},
        {text("YES"), true},   {text("true"), true},    {text(" 1"), true}, {text("+007"), true},
        {text("NO"), false},   {text("0"), false},      {text(""), false},  {text("false"), false},
    };
    for (const auto& c : cases) {
        writeFile(loginFile(), encode({{"isAutoLogin", c.value}, {"isRemember", c.value}}, false));
        const LoginVO record = store_.getLoginInfo();
        EXPECT_EQ(record.isAuto, c.expected) << c.value.text << "/" << c.value.number;
        EXPECT_EQ(record.isRem, c.expected) << c.value.text << "/" << c.value.number;
    }
}

TEST_F(PlistManagerTest, SetLoginInfoKeepsOtherKeysAndSetsServerAddress) {
    writeFile(loginFile(), encode({{"userName", text("old")},
                                   {"lastServerVersion", text("5.1")},
                                   {"launchCount", integer(7)}},
                                  true));
    const LoginVO record = fullRecord();
    ASSERT_TRUE(store_.setLoginInfo(record));
    EXPECT_EQ(store_.getLoginInfo(), record);
    EXPECT_EQ(GlobalVar::getInstance_global().oa(), record.oa);

    const std::string xml = readFile(loginFile());
    EXPECT_NE(xml.find("<key>lastServerVersion</key>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<key>launchCount</key>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("bplist"), std::string::npos) << "written back as XML";

    LoginVO sparse;
    sparse.name = "wang";
    ASSERT_TRUE(store_.setLoginInfo(sparse));
    const LoginVO stored = store_.getLoginInfo();
    for (const auto& field : {stored.pwd, stored.oa, stored.oaName, stored.oaKey}) {
        EXPECT_EQ(field, std::optional<std::string>("")) << "absent texts are written as empty";
    }
    EXPECT_EQ(GlobalVar::getInstance_global().oa(), std::nullopt);
}

TEST_F(PlistManagerTest, ReloginOnlySwitchesAutomaticSignInOff) {
    // Binary, with a key this client never writes, as another version might have left it.
    writeFile(loginFile(), encode({{"userName", text("张三")},
                                   {"userPassword", text("p<&>\"' 密码")},
                                   {"OA", text("http://10.0.0.5:8080")},
                                   {"OAName", text("总部")},
                                   {"OAKey", text("name2")},
                                   {"isRemember", boolean(true)},
                                   {"isAutoLogin", boolean(true)},
                                   {"theme", text("dark")}},
                                  true));
    store_.relogin();
    LoginVO expected = fullRecord();
    expected.isAuto = false;
    EXPECT_EQ(store_.getLoginInfo(), expected);
    EXPECT_NE(readFile(loginFile()).find("<string>dark</string>"), std::string::npos);
    EXPECT_EQ(modeOf(loginFile()), 0600u);
}

TEST_F(PlistManagerTest, SaveSetInfoReplacesTheWholeFile) {
    writeFile(setFile(), encode({{"name1", text("内网")},
                                 {"ip1", text("10.1.1.1")},
                                 {"name3", text("备用")},
                                 {"ip3", text("10.3.3.3")},
                                 {"im_port", text("1188")}},
                                false));
    const SetDictionary saved{
        {"name1", ""}, {"ip1", ""}, {"name2", "外网 <&>"}, {"ip2", "oa.example.com"},
        {"name3", ""}, {"ip3", ""}, {"im_port", ""}};
    ASSERT_TRUE(store_.saveSetInfo(saved));
    EXPECT_EQ(store_.getSetInfo(), saved);

    ASSERT_TRUE(store_.saveSetInfo({{"ip2", "only"}}));
    EXPECT_EQ(store_.getSetInfo(), (SetDictionary{{"ip2", "only"}}));
    EXPECT_EQ(modeOf(setFile()), 0600u);
}

TEST_F(PlistManagerTest, WritesTightenTheModeOfAnExistingFile) {
    writeFile(loginFile(), encode({{"userName", text("x")}}, false));
    writeFile(setFile(), encode({{"ip1", text("x")}}, false));
    fs::permissions(loginFile(), fs::perms(0644));
    fs::permissions(setFile(), fs::perms(0644));
    ASSERT_TRUE(store_.setLoginInfo(fullRecord()));
    ASSERT_TRUE(store_.saveSetInfo({{"ip1", "y"}}));
    EXPECT_EQ(modeOf(loginFile()), 0600u);
    EXPECT_EQ(modeOf(setFile()), 0600u);
    // Nothing but the two files and the writers' lock file is left behind in the documents
    // folder; the lock file holds nothing.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(home_.paths().documents())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{".settings.lock", "SetPlist.plist", "loginPlist.plist"}));
    EXPECT_EQ(fs::file_size(home_.paths().documents() / ".settings.lock"), 0u);
    EXPECT_EQ(modeOf(home_.paths().documents() / ".settings.lock"), 0600u);
}

TEST_F(PlistManagerTest, DocumentsFolderThatIsAFileFailsEveryWrite) {
    GlobalVar::getInstance_global().setOa("http://before");
    fs::remove_all(home_.paths().documents());
    writeFile(home_.paths().documents(), "not a folder");

    EXPECT_FALSE(store_.setLoginInfo(fullRecord()));
    EXPECT_EQ(GlobalVar::getInstance_global().oa(), std::optional<std::string>("http://before"));
    EXPECT_FALSE(store_.saveSetInfo({{"ip1", "x"}}));
    store_.relogin();
    EXPECT_EQ(store_.getSetInfo(), std::nullopt);
    const LoginVO record = store_.getLoginInfo();
    EXPECT_EQ(record, LoginVO{.pwd = ""});
    EXPECT_FALSE(logged_.empty()) << "a failed write leaves a diagnostic line";
}

TEST_F(PlistManagerTest, MissingTemplateLeavesNothingToUpdate) {
    useOwnResources("", "");
    GlobalVar::getInstance_global().setOa("http://before");

    EXPECT_FALSE(store_.setLoginInfo(fullRecord()));
    EXPECT_EQ(GlobalVar::getInstance_global().oa(), std::optional<std::string>("http://before"));
    store_.relogin();
    EXPECT_FALSE(fs::exists(loginFile()));
    EXPECT_EQ(store_.getLoginInfo(), LoginVO{.pwd = ""});
    EXPECT_EQ(store_.getSetInfo(), std::nullopt);

    // The settings file is written whole, so it needs no template.
    ASSERT_TRUE(store_.saveSetInfo({{"ip1", "x"}}));
    EXPECT_EQ(store_.getSetInfo(), (SetDictionary{{"ip1", "x"}}));
}

TEST_F(PlistManagerTest, UnreadableLoginFileIsNotWrittenOver) {
    GlobalVar::getInstance_global().setOa("http://before");
    // A folder where the file should be.
    fs::create_directories(loginFile());
    EXPECT_FALSE(store_.setLoginInfo(fullRecord()));
    EXPECT_TRUE(fs::is_directory(loginFile()));
    EXPECT_EQ(store_.getLoginInfo(), LoginVO{.pwd = ""});

    // Far too large to be a sign-in record: whatever it is, it is not ours to replace.
    fs::remove(loginFile());
    const std::string huge(2 << 20, 'x');
    writeFile(loginFile(), huge);
    EXPECT_FALSE(store_.setLoginInfo(fullRecord()));
    store_.relogin();
    EXPECT_EQ(store_.getLoginInfo(), LoginVO{.pwd = ""});
    EXPECT_EQ(fs::file_size(loginFile()), huge.size());
    EXPECT_EQ(GlobalVar::getInstance_global().oa(), std::optional<std::string>("http://before"));
}

TEST_F(PlistManagerTest, GarbageReadsAsEmptyAndIsReplacedByTheNextRecord) {
    const std::string binaryDict = encode({{"userName", text("x")}, {"ip1", text("y")}}, true);
    const std::vector<std::string> garbage{
        "",
        "garbage",
        std::string("\0\xff\xfe\x01 binary junk", 17),
        "bplist00" + std::string(40, '\xff'),
        binaryDict.substr(0, binaryDict.size() / 2),
        binaryDict.substr(0, binaryDict.size() - 3),
        "<?xml version=\"1.0\"?><plist><dict><key>userName</key><string>x",
        "<plist><dict><key>userName</key></dict></plist>",
        "<plist><array><string>x</string></array></plist>",
        "<plist><string>just a text</string></plist>",
        "<plist><dict><key>a</key><dict><key>b</key><date>not a date</date></dict></dict></plist>",
    };
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        SCOPED_TRACE("garbage case " + std::to_string(i));
        writeFile(loginFile(), garbage[i]);
        writeFile(setFile(), garbage[i]);
        const LoginVO record = store_.getLoginInfo();
        EXPECT_EQ(record.pwd, std::optional<std::string>(""));
        EXPECT_EQ(record.oaKey, std::nullopt);
        EXPECT_FALSE(record.isAuto);
        EXPECT_EQ(store_.getSetInfo(), SetDictionary{});
        store_.relogin();

        ASSERT_TRUE(store_.setLoginInfo(fullRecord()));
        EXPECT_EQ(store_.getLoginInfo(), fullRecord());
    }
}

TEST_F(PlistManagerTest, ReadersSeeWholeRecordsWhileOtherThreadsWrite) {
    LoginVO first = fullRecord();
    LoginVO second = fullRecord();
    second.name = std::string(4000, 'n');  // a longer file takes longer to write
    second.isAuto = true;
    ASSERT_TRUE(store_.setLoginInfo(first));

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> reads{0};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (int i = 0; i < 150; ++i) {
            PlistManager().setLoginInfo(i % 2 ? second : first);
        }
        stop = true;
    });
    threads.emplace_back([&] {
        while (!stop) {
            PlistManager().saveSetInfo({{"ip1", "a"}, {"ip2", std::string(500, 'b')}});
            PlistManager().relogin();
        }
    });
    // As another process would read it: the file straight from disk, without the store's lock.
    threads.emplace_back([&] {
        while (!stop) {
            const std::string bytes = readFile(loginFile());
            plist_t parsed = nullptr;
            plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &parsed);
            Plist dict(parsed);
            plist_t name = dict ? plist_dict_get_item(dict.get(), "userName") : nullptr;
            char* raw = nullptr;
            if (name) {
                plist_get_string_val(name, &raw);
            }
            const std::string seen = raw ? raw : "";
            std::free(raw);
            if (seen != *first.name && seen != *second.name) {
                ++torn;
            }
            ++reads;
        }
    });
    threads.emplace_back([&] {
        while (!stop) {
            LoginVO seen = LoginBO().getPlistInfo();
            seen.isAuto = first.isAuto;  // relogin may have switched it off meanwhile
            if (seen != first && seen != second) {
                ++torn;
            }
            const auto settings = SetBO().readSet();
            if (!settings || (settings->size() != 2 && settings->size() != 7)) {
                ++torn;
            }
            ++reads;
        }
    });
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(torn, 0);
    EXPECT_GT(reads, 0);
}

// Several processes on one home (a client and oa-cli commands) each setting keys of their own:
// every read-modify-write sees the one before, so no key is lost.
TEST_F(PlistManagerTest, WritersInSeveralProcessesLoseNoKey) {
    constexpr int kProcesses = 4;
    constexpr int kKeysEach = 25;
    ASSERT_TRUE(store_.saveSetInfo({{"im_port", "1188"}}));
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char byte = 0;
            [[maybe_unused]] auto opened = ::read(gate[0], &byte, 1);  // all start together
            bool ok = true;
            for (int k = 0; k < kKeysEach; ++k) {
                const std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
                ok = PlistManager().updateSetInfo({{key, std::to_string(k)}}) && ok;
            }
            // The sign-in record is read-modify-written too; its other keys stay.
            LoginVO record = fullRecord();
            record.name = "process " + std::to_string(p);
            ok = PlistManager().setLoginInfo(record) && ok;
            PlistManager().relogin();
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
    }

    const auto settings = store_.getSetInfo();
    ASSERT_TRUE(settings);
    std::vector<std::string> missing;
    for (int p = 0; p < kProcesses; ++p) {
        for (int k = 0; k < kKeysEach; ++k) {
            const std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
            if (!settings->count(key)) {
                missing.push_back(key);
            }
        }
    }
    EXPECT_TRUE(missing.empty()) << missing.size() << " keys lost, first " << missing.front();
    EXPECT_EQ(settings->at("im_port"), "1188");
    EXPECT_EQ(settings->size(), std::size_t{kProcesses * kKeysEach + 1});
    const LoginVO record = store_.getLoginInfo();
    EXPECT_EQ(record.name.value_or("").rfind("process ", 0), 0u);
    EXPECT_FALSE(record.isAuto);
}

}  // namespace
}  // namespace oa
