// Fuzz target: any bytes as the reply of a detail request, through every parser of
// JsonDetailOperation and every module key. Nothing may crash or throw; the attachment lists must
// match the joined texts they were cut from.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/protocol/JsonDetailOperation.h"
#include "core/protocol/ModuleCatalogue.h"
#include "core/protocol/ReplyText.h"
#include "core/session/GlobalVar.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

size_t pieces(const std::string& text, char separator) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), separator)) + 1;
}

template <class Record>
void checkAttachments(const Record& vo) {
    require(!vo.attachment_url_arr);
    if (!vo.attachment_id) {
        require(!vo.attachment_id_arr && !vo.attachment_name_arr);
        return;
    }
    require(vo.attachment_id_arr && vo.attachment_id_arr->size() == pieces(*vo.attachment_id, ','));
    require(vo.attachment_name_arr.has_value() == vo.attachment_name.has_value());
    if (vo.attachment_name) {
        require(vo.attachment_name_arr->size() == pieces(*vo.attachment_name, '*'));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oa;
    static const bool configured = [] {
        GlobalVar::getInstance_global().setOa("http://oa.example.cn:8080");
        return true;
    }();
    (void)configured;

    const std::string reply(reinterpret_cast<const char*>(data), size);
    const JsonDetailOperation& parser = JsonDetailOperation::getInstance_detail();

    std::vector<std::string> keys = ModuleCatalogue::keys();
    keys.emplace_back("unknown");
    for (const std::string& key : keys) {
        std::shared_ptr<BaseVO> record = parser.splitString(reply, key);
        if (reply.empty()) {
            require(record != nullptr && typeid(*record) == typeid(BaseVO));
        } else {
            require((record != nullptr) == ModuleCatalogue::detailParser(key).has_value());
        }
        require((parser.splitString(std::nullopt, key) != nullptr) ==
                ModuleCatalogue::detailParser(key).has_value());
    }
    checkAttachments(*parser.emailDetail(reply));
    checkAttachments(*parser.notifyDetail(reply));
    checkAttachments(*parser.newsDetail(reply));
    checkAttachments(*parser.DiaryDetail(reply));
    checkAttachments(*parser.fileDetail(reply));

    const std::string rewritten = rewriteImageSources(reply, "http://oa");
    require(rewritten.size() >= reply.size());
    return 0;
}
