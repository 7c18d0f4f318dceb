// GlobalVar: one mutex over all properties; getters hand out copies.
#include "core/session/GlobalVar.h"

namespace oa {

GlobalVar& GlobalVar::getInstance_global() {
    static auto* instance = new GlobalVar;  // lives until the process ends
    return *instance;
}

GlobalVar::Text GlobalVar::get(const Text GlobalVar::*field) const {
    std::lock_guard lock(mutex_);
    return this->*field;
}

void GlobalVar::set(Text GlobalVar::*field, Text value) {
    std::lock_guard lock(mutex_);
    this->*field = std::move(value);
}

GlobalVar::Text GlobalVar::session_id() const {
    return get(&GlobalVar::session_id_);
}
void GlobalVar::setSession_id(Text value) {
    set(&GlobalVar::session_id_, std::move(value));
}
GlobalVar::Text GlobalVar::oa() const {
    return get(&GlobalVar::oa_);
}
void GlobalVar::setOa(Text value) {
    set(&GlobalVar::oa_, std::move(value));
}
GlobalVar::Text GlobalVar::zq_ovix_version() const {
    return get(&GlobalVar::zq_ovix_version_);
}
void GlobalVar::setZq_ovix_version(Text value) {
    set(&GlobalVar::zq_ovix_version_, std::move(value));
}
GlobalVar::Text GlobalVar::ovix_zqim_port() const {
    return get(&GlobalVar::ovix_zqim_port_);
}
void GlobalVar::setOvix_zqim_port(Text value) {
    set(&GlobalVar::ovix_zqim_port_, std::move(value));
}
GlobalVar::Text GlobalVar::login_user_name() const {
    return get(&GlobalVar::login_user_name_);
}
void GlobalVar::setLogin_user_name(Text value) {
    set(&GlobalVar::login_user_name_, std::move(value));
}
GlobalVar::Text GlobalVar::uid() const {
    return get(&GlobalVar::uid_);
}
void GlobalVar::setUid(Text value) {
    set(&GlobalVar::uid_, std::move(value));
}
GlobalVar::Text GlobalVar::app_title() const {
    return get(&GlobalVar::app_title_);
}
void GlobalVar::setApp_title(Text value) {
    set(&GlobalVar::app_title_, std::move(value));
}
GlobalVar::Text GlobalVar::choiceKey() const {
    return get(&GlobalVar::choiceKey_);
}
void GlobalVar::setChoiceKey(Text value) {
    set(&GlobalVar::choiceKey_, std::move(value));
}

void GlobalVar::resetForTesting() {
    std::lock_guard lock(mutex_);
    session_id_ = oa_ = zq_ovix_version_ = ovix_zqim_port_ = std::nullopt;
    login_user_name_ = uid_ = app_title_ = choiceKey_ = std::nullopt;
}

}  // namespace oa
