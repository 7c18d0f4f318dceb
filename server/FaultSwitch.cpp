// The fault switch: per-page counted failures and delays.
#include "server/FaultSwitch.h"

#include <chrono>
#include <optional>

#include "core/platform/Log.h"
#include "server/HttpSupport.h"
#include "server/PageRouter.h"

namespace oa {
namespace {

constexpr char kAdminPrefix[] = "/demo/admin/";

// A whole number from `low` to `high`; absent otherwise.
std::optional<int> boundedNumber(const httplib::Request& req, const std::string& name, int low,
                                 int high) {
    const auto value = HttpSupport::idField(req, name);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

}  // namespace

void FaultSwitch::install(PageRouter& router) {
    router.admin("/demo/admin/fault",
                 [this](const httplib::Request& req, httplib::Response& res) { admin(req, res); });
}

void FaultSwitch::admin(const httplib::Request& req, httplib::Response& res) {
    const std::string page = HttpSupport::fieldOr(req, "page");
    if (page.empty() || page[0] != '/' || page.rfind(kAdminPrefix, 0) == 0) {
        HttpSupport::error(res, 400, "page must be a path outside /demo/admin/");
        return;
    }
    const auto count = boundedNumber(req, "count", 0, kMaxCount);
    if (!count && HttpSupport::field(req, "count")) {
        HttpSupport::error(res, 400, "count must be a whole number from 0 to 1000");
        return;
    }
    Fault fault;
    fault.remaining = count.value_or(1);
    const bool hasStatus = HttpSupport::field(req, "status").has_value();
    const bool hasDelay = HttpSupport::field(req, "delay_ms").has_value();
    if (fault.remaining > 0) {
        if (hasStatus == hasDelay) {
            HttpSupport::error(res, 400, "give either status or delay_ms");
            return;
        }
        if (hasStatus) {
            const auto status = boundedNumber(req, "status", 400, 599);
            if (!status) {
                HttpSupport::error(res, 400, "status must be from 400 to 599");
                return;
            }
            fault.status = *status;
        } else {
            const auto delay = boundedNumber(req, "delay_ms", 1, kMaxDelayMs);
            if (!delay) {
                HttpSupport::error(res, 400, "delay_ms must be from 1 to 60000");
                return;
            }
            fault.delayMs = *delay;
        }
    }
    {
        std::lock_guard lock(mutex_);
        if (fault.remaining > 0) {
            faults_[page] = fault;
        } else {
            faults_.erase(page);
        }
    }
    HttpSupport::json(res, {{"status", "OK"}, {"page", page}, {"count", fault.remaining}});
}

bool FaultSwitch::intercept(const httplib::Request& req, httplib::Response& res) {
    std::unique_lock lock(mutex_);
    const auto found = faults_.find(req.path);
    if (found == faults_.end()) {
        return false;
    }
    const Fault fault = found->second;
    if (--found->second.remaining <= 0) {
        faults_.erase(found);
    }
    if (fault.status != 0) {
        lock.unlock();
        HttpSupport::error(res, fault.status, "failure switched on for this page");
        return true;
    }
    log("fault switch: holding " + req.path + " for " + std::to_string(fault.delayMs) + " ms");
    stopped_.wait_for(lock, std::chrono::milliseconds(fault.delayMs), [this] { return stopping_; });
    return false;
}

void FaultSwitch::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
}

}  // namespace oa
