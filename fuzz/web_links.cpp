// Fuzz target: any bytes as a link a server page follows and as a reminder's address. A
// "message:" link opens an attachment of the page's server or is refused, never loads; any other
// link loads. A reminder's go.php address carries the address in Base64 that decodes back to
// exactly the bytes given, whatever they are, and nothing else is added to the query.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFiles.h"
#include "core/session/GlobalVar.h"
#include "ui/controller/detail/WebDetailView.h"
#include "ui/controller/main/IndexController.h"

namespace {

using oa::fuzz::require;
using Action = oa::WebDetailView::LinkAction;

constexpr char kOa[] = "http://oa.example:8080";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const Action action = oa::WebDetailView::linkAction(input, kOa);
    const bool message = input.rfind("message:", 0) == 0;
    require((action.type == Action::Type::Load) == !message);
    if (action.type == Action::Type::OpenAttachment) {
        require(action.category >= 0 && action.category <= 9);
        require(action.address.rfind(kOa, 0) == 0);
        require(action.address.size() == sizeof kOa - 1 + input.size() - 10);
    }

    auto& session = oa::GlobalVar::getInstance_global();
    session.setOa(kOa);
    session.setSession_id("s9");
    const std::string go = oa::IndexController::reminderAddress(input);
    const std::string prefix = std::string(kOa) + "/mobile/go.php?P=s9&MobileWebViewURL=";
    require(go.rfind(prefix, 0) == 0);
    const std::string encoded = go.substr(prefix.size());
    require(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                      "0123456789+/=") == std::string::npos);
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(encoded),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    require(decoded.decodingStatus == QByteArray::Base64DecodingStatus::Ok);
    require(decoded.decoded.toStdString() == input);
    return 0;
}
