// MessageBO: the message requests, their replies, and the voice folder.
#include "core/protocol/MessageBO.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/platform/AppPaths.h"
#include "core/platform/Log.h"
#include "core/protocol/FunHttpRequest.h"
#include "core/protocol/HttpRequest.h"
#include "core/protocol/JsonOperation.h"
#include "core/protocol/ReplyText.h"
#include "core/voice/VoiceConverter.h"

namespace oa {
namespace {

// Owns one file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; false when the close reported an error (the data may not be on disk).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// The server names the file; only a plain name may become a path in the voice folder.
bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Writes through a temporary file in the same folder and renames it over `target`, so that a
// reader sees the old file or the whole new one.
bool writeAtomically(const std::filesystem::path& target, const std::string& bytes) {
    std::string pattern = (target.parent_path() / ".voice-download-XXXXXX").string();
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) {
        log("cannot create a file in " + target.parent_path().string());
        return false;
    }
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    bool written = true;
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            written = false;
            break;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    written = fd.close() && written;
    std::error_code error;
    if (written) {
        std::filesystem::rename(pattern, target, error);
    }
    if (!written || error) {
        log("cannot write " + target.string());
        std::filesystem::remove(pattern, error);
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::shared_ptr<MessageListVO>> MessageBO::getMessageInfo() const {
    HttpRequest::Reply reply = HttpRequest().getMessage();
    // The server writes raw line breaks, "&nbsp" and semicolons into this JSON.
    if (reply) {
        reply = cleanDialogReply(*reply);
    }
    return JsonOperation().getMessageList(reply);
}

std::vector<std::shared_ptr<MessageDetailVO>> MessageBO::getMessageDetail(
    const Text& partnerId) const {
    return JsonOperation().getMessageDetail(HttpRequest().getMessageDetail(partnerId));
}

bool MessageBO::sendSignleMsg(const Text& partnerId, const Text& content) const {
    return HttpRequest().sendMsg(partnerId, content).has_value();
}

std::shared_ptr<MessageDetailVO> MessageBO::getSignleMsg(const Text& partnerId) const {
    const HttpRequest::Reply reply = HttpRequest().getMeg(partnerId);
    if (!reply || *reply == "NONEWDATA") {
        return nullptr;
    }
    return JsonOperation().getSignleDetail(reply);
}

std::string MessageBO::createFilePath() {
    const std::filesystem::path folder = AppPaths::current().documents() / "voice";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        log("cannot create " + folder.string() + ": " + error.message());
    }
    return folder.string();
}

std::optional<std::string> MessageBO::getVoiceMessageAttachment_id(
    const Text& attachmentId, const Text& attachmentName) const {
    if (!attachmentName || !isPlainFileName(*attachmentName)) {
        log("voice attachment name refused: " + attachmentName.value_or("(absent)"));
        return std::nullopt;
    }
    const HttpRequest::Reply bytes =
        HttpRequest().getVoiceMsgwithAttachment_id(attachmentId, attachmentName);
    if (!bytes) {
        return std::nullopt;
    }
    // The download is converted under a hidden name first: a reply that is no AMR file (an
    // error page) leaves nothing behind and does not spoil a good file of the same name.
    const std::filesystem::path folder(createFilePath());
    const std::filesystem::path amr = folder / *attachmentName;
    const std::filesystem::path trialAmr = folder / (".download-" + *attachmentName + ".amr");
    std::error_code ignored;
    if (!writeAtomically(trialAmr, *bytes)) {
        std::filesystem::remove(trialAmr, ignored);
        return std::nullopt;
    }
    const std::optional<std::string> trialWav = VoiceConverter::amrToWav(trialAmr.string());
    if (!trialWav) {
        std::filesystem::remove(trialAmr, ignored);
        std::filesystem::remove(VoiceConverter::wavPath(trialAmr.string()), ignored);
        return std::nullopt;
    }
    const std::string wav = VoiceConverter::wavPath(amr.string());
    std::error_code error;
    std::filesystem::rename(trialAmr, amr, error);
    if (!error) {
        std::filesystem::rename(*trialWav, wav, error);
    }
    if (error) {
        std::filesystem::remove(trialAmr, ignored);
        std::filesystem::remove(*trialWav, ignored);
        return std::nullopt;
    }
    return wav;
}

SubmitVerdict MessageBO::sendVoiceMsg(const Text& partnerIds, const Text& seconds,
                                      const Text& amrPath) const {
    if (HttpRequest().sendVoiceMsg(partnerIds, seconds, amrPath)) {
        return SubmitVerdict::success();
    }
    const std::optional<ExchangeFailure> failure = HttpRequest::lastFailure();
    return SubmitVerdict::failure(failure ? failure->reason() : "the voice message was not sent");
}

SubmitVerdict MessageBO::sendMessages(const AllSendVO& record) const {
    return FunHttpRequest().sendMessageInfo(record);
}

}  // namespace oa
