// The requests of the instant messages: conversations, the dialog with one partner, sending
// text and voice, the newest message after a push notice, and fetching a voice message.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/protocol/BaseVO.h"
#include "core/protocol/MessageRecords.h"
#include "core/protocol/SaveRecords.h"
#include "core/protocol/SubmitVerdict.h"

namespace oa {

// Stateless: make one per call. Every request runs synchronously on the calling thread;
// HttpRequest::lastFailure() then tells a failed exchange from an empty reply.
class MessageBO {
public:
    // The conversations in reply order; empty when the request fails or the reply is not a list.
    std::vector<std::shared_ptr<MessageListVO>> getMessageInfo() const;
    // The messages of the dialog with `partnerId`, in reply order (oldest last).
    std::vector<std::shared_ptr<MessageDetailVO>> getMessageDetail(const Text& partnerId) const;
    // Sends a text message; true when the server accepted it with a status from 200 to 299 (the
    // text of its answer is not examined).
    bool sendSignleMsg(const Text& partnerId, const Text& content) const;
    // The newest message sent to the signed-in user; null when there is none ("NONEWDATA") or
    // the request failed. `partnerId` is not sent.
    std::shared_ptr<MessageDetailVO> getSignleMsg(const Text& partnerId) const;

    // Documents/voice, created when missing.
    static std::string createFilePath();
    // Downloads the voice file into the voice folder under `attachmentName`, replacing any file
    // of that name, and converts it; the path of the playable WAV file, or nothing when the
    // download, the name or the conversion is no good.
    std::optional<std::string> getVoiceMessageAttachment_id(const Text& attachmentId,
                                                            const Text& attachmentName) const;
    // Uploads the AMR file at `amrPath` as a voice message of `seconds` to `partnerIds`
    // (comma-separated); success only when the server accepted it with a status from 200 to
    // 299. A missing file fails before anything is sent.
    SubmitVerdict sendVoiceMsg(const Text& partnerIds, const Text& seconds,
                               const Text& amrPath) const;

    // Sends one text to several people (FunHttpRequest::sendMessageInfo).
    SubmitVerdict sendMessages(const AllSendVO& record) const;
};

}  // namespace oa
