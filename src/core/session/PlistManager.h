// The settings store: the sign-in record "loginPlist.plist" and the network environments
// "SetPlist.plist", two property-list files in the documents folder. The only code that touches
// them.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "core/session/LoginVO.h"

namespace oa {

// The content of "SetPlist.plist": "name1".."name3", "ip1".."ip3", "im_port", all strings.
using SetDictionary = std::map<std::string, std::string>;

// Stateless: make one per use. Every read opens the file anew; every write replaces the file
// atomically with an XML property list of mode 0600 (the sign-in record holds the password).
// Writes of all instances are serialised, across threads and across the processes that share the
// home (a lock file in the documents folder), so a read-modify-write never loses another's
// update.
class PlistManager {
public:
    // Documents folder + "loginPlist.plist"; touches nothing.
    std::filesystem::path datafilePath() const;
    // The same path, after copying the shipped template there if no file exists yet. A failed
    // copy is ignored.
    std::filesystem::path isExists() const;
    // Documents folder + "SetPlist.plist"; touches nothing.
    std::filesystem::path dataSetFilePath() const;
    // As isExists(), for "SetPlist.plist".
    std::filesystem::path isSetExists() const;

    // The stored sign-in record. A missing or unreadable file reads as an empty record: texts
    // absent except the password, which is then empty; both switches off.
    LoginVO getLoginInfo() const;
    // Stores the record's seven values, keeping every other key of the file; an absent text is
    // written as "". On success also sets GlobalVar oa to the record's oa. False when the file
    // could not be written (GlobalVar is then left alone).
    bool setLoginInfo(const LoginVO& record) const;
    // Switches automatic sign-in off in the stored record, leaving every other key as it is.
    void relogin() const;

    // The stored settings; none when there is no file (and no template to make one from). A
    // value that is not a string is left out; an unreadable file reads as empty.
    std::optional<SetDictionary> getSetInfo() const;
    // Replaces the whole settings file with `settings`.
    bool saveSetInfo(const SetDictionary& settings) const;
    // Sets the given keys of the settings file in one read-modify-write, keeping the others.
    bool updateSetInfo(const SetDictionary& changes) const;
};

}  // namespace oa
