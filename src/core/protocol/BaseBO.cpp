// BaseBO: pages by module key, the list orders and the attachment links of details.
#include "core/protocol/BaseBO.h"

#include <algorithm>
#include <utility>

#include "core/protocol/JsonDetailOperation.h"
#include "core/protocol/JsonOperation.h"
#include "core/protocol/ModuleCatalogue.h"

namespace oa {

BaseBO::BaseBO(std::string func_type) : func_type_(std::move(func_type)) {}

BaseBO::~BaseBO() = default;

Text BaseBO::firstID() const {
    std::lock_guard lock(mutex_);
    return firstID_;
}

void BaseBO::setFirstID(Text value) {
    std::lock_guard lock(mutex_);
    firstID_ = std::move(value);
}

bool BaseBO::isDiary() const {
    std::lock_guard lock(mutex_);
    return isDiary_;
}

void BaseBO::setIsDiary(bool value) {
    std::lock_guard lock(mutex_);
    isDiary_ = value;
}

bool BaseBO::isPublicMarked() const {
    std::lock_guard lock(mutex_);
    return publicMark_;
}

std::optional<std::string> BaseBO::getUrlStr() {
    if (ModuleCatalogue::isPublicList(func_type_)) {
        std::lock_guard lock(mutex_);
        publicMark_ = true;
    }
    return ModuleCatalogue::listPage(func_type_);
}

std::optional<std::string> BaseBO::getDetailType() const {
    return ModuleCatalogue::detailType(func_type_);
}

std::optional<std::string> BaseBO::prepareList(HttpRequest& request) {
    auto page = getUrlStr();
    std::lock_guard lock(mutex_);
    request.isPublic = publicMark_;
    request.isDiary = isDiary_;
    return page;
}

std::optional<RecordList> BaseBO::getList() {
    HttpRequest request;
    const auto page = prepareList(request);
    if (!page || !ModuleCatalogue::listParser(func_type_)) {
        return std::nullopt;
    }
    auto records = splitJson(request.getList(*page));
    if (records) {
        std::reverse(records->begin(), records->end());
    }
    return records;
}

std::optional<RecordList> BaseBO::getNewList(const Text& latestId) {
    HttpRequest request;
    const auto page = prepareList(request);
    if (!page || !ModuleCatalogue::listParser(func_type_)) {
        return std::nullopt;
    }
    auto records = splitJson(request.getNewList(latestId, *page));
    if (records) {
        std::reverse(records->begin(), records->end());
    }
    return records;
}

std::optional<RecordList> BaseBO::getMoreList(long long count) {
    HttpRequest request;
    const auto page = prepareList(request);
    if (!page || !ModuleCatalogue::listParser(func_type_)) {
        return std::nullopt;
    }
    return splitJson(request.getMoreList(count, *page));
}

std::optional<RecordList> BaseBO::splitJson(const Reply& reply) {
    auto& parser = JsonOperation::getInstance_json();
    auto records = parser.splitString(reply, func_type_);
    setFirstID(parser.firstID(func_type_));
    return records;
}

std::shared_ptr<BaseVO> BaseBO::getDetailInfo(const Text& itemId) {
    const auto page = getUrlStr();
    const auto type = getDetailType();
    if (!page || !type) {
        return nullptr;
    }
    const Reply reply = HttpRequest().getDetail(itemId, *page, type);
    return JsonDetailOperation().splitString(reply, func_type_);
}

std::vector<std::shared_ptr<WeatherVO>> BaseBO::getWetherInfo(const Text& /*cityName*/) {
    return {};
}

void BaseBO::appendAttachmentLinks(Text& content, const TextList& ids, const TextList& names) {
    if (!ids) {
        return;
    }
    const std::string page = getUrlStr().value_or("");
    // A failed link is left out and the others still come; the detail reports the first failure.
    std::optional<ExchangeFailure> firstFailure;
    for (std::size_t i = 0; i < ids->size(); ++i) {
        const std::string& id = (*ids)[i];
        if (id.empty() || !names || i >= names->size() || (*names)[i].empty()) {
            continue;
        }
        if (const Reply link = HttpRequest().getAttachInfo(page, id, (*names)[i])) {
            // A detail without content still gets its links.
            content = content.value_or("") + *link;
        } else if (!firstFailure) {
            firstFailure = HttpRequest::lastFailure();
        }
    }
    if (firstFailure) {
        HttpRequest::setLastFailure(std::move(firstFailure));
    }
}

}  // namespace oa
