// TourAttachments: the attachments the tour opens, found as a user finds them: the demo e-mail
// with the outing's photos and the notice with the organisation plan in the signed-in user's
// lists, their read pages and the "message:" links in them.
#pragma once

#include <string>

namespace oa {

struct TourAttachment {
    int category = 0;     // as the read page's link gives it
    std::string address;  // absolute: the server address followed by the link's path
    bool found() const { return !address.empty(); }
};

struct TourAttachments {
    TourAttachment picture;  // "活动流程.png", 300 x 1200
    TourAttachment photo;    // "团建合影.png", about 4 MB
    TourAttachment archive;  // the e-mail's ".zip"
    TourAttachment pdf;      // the notice's ".pdf"
    bool complete() const {
        return picture.found() && photo.found() && archive.found() && pdf.found();
    }
};

// Blocking (several requests): call it on a background thread. `oa` is the server address,
// `session` the session identifier.
TourAttachments findTourAttachments(const std::string& oa, const std::string& session);

}  // namespace oa
