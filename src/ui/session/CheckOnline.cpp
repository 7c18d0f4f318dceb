// CheckOnline: the one repeating timer and its reports.
#include "ui/session/CheckOnline.h"

#include "core/session/GlobalVar.h"
#include "core/transport/ASIFormDataRequest.h"

namespace oa {

namespace {
// The instance is shared with the requests as a weak delegate, so a report whose instance has
// gone (only in tests) ends without a callback.
std::shared_ptr<CheckOnline>& instance() {
    static std::shared_ptr<CheckOnline> shared;
    return shared;
}
}  // namespace

CheckOnline& CheckOnline::shar() {
    std::shared_ptr<CheckOnline>& shared = instance();
    if (!shared) {
        shared.reset(new CheckOnline);
        const std::weak_ptr<CheckOnline> weak = shared;
        shared->timer_ = MainLoop::main().schedule(
            kInterval,
            [weak] {
                if (const auto self = weak.lock()) {
                    self->checkAction();
                }
            },
            true);
    }
    return *shared;
}

void CheckOnline::resetForTesting() {
    instance().reset();
}

CheckOnline::~CheckOnline() {
    timer_.cancel();
}

void CheckOnline::checkAction() {
    auto& session = GlobalVar::getInstance_global();
    auto request =
        ASIFormDataRequest::requestWithURL(session.oa().value_or("") + std::string(kPage));
    request->setTimeOutSeconds(10);
    request->setPostValue("CLIENT", "5");
    request->setPostValue("P", session.session_id());
    request->setDelegate(std::weak_ptr<ASIHTTPRequestDelegate>(instance()));
    lastRequest_ = request;
    request->startAsynchronous();
}

void CheckOnline::requestFinished(ASIHTTPRequest&) {}

void CheckOnline::requestFailed(ASIHTTPRequest&) {}

}  // namespace oa
