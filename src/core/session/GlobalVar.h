// The state of the signed-in session, shared by every request builder and several screens.
// Read and written from several threads, so every property is guarded and read as a copy.
#pragma once

#include <mutex>
#include <optional>
#include <string>

namespace oa {

class GlobalVar {
public:
    using Text = std::optional<std::string>;

    // The one instance, created on first use and never released.
    static GlobalVar& getInstance_global();

    Text session_id() const;
    void setSession_id(Text value);
    Text oa() const;
    void setOa(Text value);
    Text zq_ovix_version() const;
    void setZq_ovix_version(Text value);
    Text ovix_zqim_port() const;
    void setOvix_zqim_port(Text value);
    Text login_user_name() const;
    void setLogin_user_name(Text value);
    Text uid() const;
    void setUid(Text value);
    Text app_title() const;
    void setApp_title(Text value);
    Text choiceKey() const;
    void setChoiceKey(Text value);

    // Every property absent again, as at process start. For tests.
    void resetForTesting();

private:
    GlobalVar() = default;

    Text get(const Text GlobalVar::*field) const;
    void set(Text GlobalVar::*field, Text value);

    mutable std::mutex mutex_;
    Text session_id_;       // Guarded by mutex_.
    Text oa_;               // Guarded by mutex_.
    Text zq_ovix_version_;  // Guarded by mutex_.
    Text ovix_zqim_port_;   // Guarded by mutex_.
    Text login_user_name_;  // Guarded by mutex_.
    Text uid_;              // Guarded by mutex_.
    Text app_title_;        // Guarded by mutex_.
    Text choiceKey_;        // Guarded by mutex_.
};

}  // namespace oa
