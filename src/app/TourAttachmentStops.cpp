// Tour: the attachment viewer's stops. Attachments open the way a read page's link opens them:
// the viewer pushed over the main index with the link's category and address. The photo is
// shot while it downloads (run.sh paces the demo server's attachment downloads for the tour)
// and left before it is complete.
#include <QPointer>
#include <memory>

#include "app/Tour.h"
#include "core/platform/Log.h"
#include "core/platform/MainLoop.h"
#include "core/session/GlobalVar.h"
#include "ui/controller/main/AttachmentViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"

namespace oa {

namespace {

using Content = AttachmentViewController::Content;

AttachmentViewController* shownViewer(Window* window) {
    auto* nav =
        window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
    if (!nav || nav->isTransitioning()) {
        return nullptr;
    }
    return qobject_cast<AttachmentViewController*>(nav->topViewController());
}

// The viewer shows `content` and nothing moves: no slide, no progress indicator.
bool viewerShows(Window* window, Content content) {
    const AttachmentViewController* viewer = shownViewer(window);
    const ProgressHUD* hud = ProgressHUD::instance();
    return viewer && viewer->content() == content &&
           ProgressHUD::state() == ProgressHUD::State::Hidden && !(hud && hud->isVisible());
}

void leaveViewer(Window* window) {
    if (auto* nav = qobject_cast<NavigationController*>(window->rootViewController())) {
        nav->popViewController(false);
    }
}

}  // namespace

void Tour::openAttachment(const TourAttachment& attachment) {
    auto* nav = qobject_cast<NavigationController*>(window_->rootViewController());
    if (!nav || !attachment.found()) {
        log("tour: attachment not found on the server");
        return;
    }
    auto* viewer = new AttachmentViewController;
    viewer->setAttachmentCategory(attachment.category);
    viewer->setAttachmentURL(attachment.address);
    nav->pushViewController(viewer, false);
}

void Tour::addAttachmentStops() {
    Window* window = window_;
    stops_.push_back({"attachment links", [] { return true; }, false,
                      [this] {
                          const GlobalVar& global = GlobalVar::getInstance_global();
                          QPointer<Tour> guard(this);
                          runInBackground([guard, oa = global.oa().value_or(""),
                                           session = global.session_id().value_or("")] {
                              TourAttachments found = findTourAttachments(oa, session);
                              MainLoop::main().post([guard, found] {
                                  if (guard) {
                                      guard->attachments_ = found;
                                      guard->attachmentsLookedUp_ = true;
                                  }
                              });
                          });
                      }});
    stops_.push_back({"attachments found", [this] { return attachmentsLookedUp_; }, false,
                      [this] {
                          if (!attachments_.complete()) {
                              log("tour: the demo e-mail's and notices' attachments are missing");
                          }
                          openAttachment(attachments_.picture);
                      }});
    stops_.push_back({"16-attachment-picture",
                      [window] { return viewerShows(window, Content::Picture); }, true,
                      [this, window] {
                          leaveViewer(window);
                          openAttachment(attachments_.photo);
                      }});
    stops_.push_back({"17-attachment-photo-loading",
                      [window] {
                          const auto fraction = ProgressHUD::progress();
                          const ProgressHUD* hud = ProgressHUD::instance();
                          return shownViewer(window) && fraction && *fraction > 0.2 &&
                                 *fraction < 0.8 && hud && hud->isVisible();
                      },
                      true,
                      [this, window] {
                          // Leaving cancels the download.
                          leaveViewer(window);
                          openAttachment(attachments_.pdf);
                      }});
    // The PDF view draws its pages on a thread of its own and tells nobody when it is done:
    // the page is given a second once shown.
    auto shownFor = std::make_shared<int>(0);
    stops_.push_back({"18-attachment-pdf",
                      [window, shownFor] {
                          *shownFor = viewerShows(window, Content::Pdf) ? *shownFor + 1 : 0;
                          return *shownFor * kPollMs >= 1000;
                      },
                      true,
                      [this, window] {
                          leaveViewer(window);
                          openAttachment(attachments_.archive);
                      }});
    stops_.push_back({"19-attachment-unviewable",
                      [window] { return viewerShows(window, Content::Unviewable); }, true,
                      [window] { leaveViewer(window); }});
    stops_.push_back({"attachments closed",
                      [window] {
                          auto* nav =
                              qobject_cast<NavigationController*>(window->rootViewController());
                          return nav && !shownViewer(window) && !nav->isTransitioning();
                      },
                      false, [] {}});
}

}  // namespace oa
