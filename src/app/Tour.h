// Tour: a scripted walk through the client's first screens for headless runs: it drives the
// screens through their own operations, waits for each state it needs (server replies
// included) and writes a screenshot of each stop into a folder.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TourAttachments.h"

class QPixmap;
class QTimer;

namespace oa {

struct BaseVO;
class IndexController;
class Window;

class Tour : public QObject {
    Q_OBJECT
public:
    // How long one stop may wait for its state before the tour gives up.
    static constexpr int kStepTimeoutMs = 30000;
    static constexpr int kPollMs = 50;

    Tour(Window* window, QString folder, QObject* parent = nullptr);

    // Starts the walk; `done` runs once with whether every stop was reached and written.
    void start(std::function<void(bool)> done);

    // The screenshots written so far, in order.
    QStringList written() const { return written_; }

private:
    struct Stop {
        QString name;                 // for the log; also the file name when `shot` is set
        std::function<bool()> ready;  // the state to wait for
        bool shot = false;            // write a screenshot once ready
        std::function<void()> then;   // what to do next
        bool fromScreen = false;      // shot from the screen: the stop shows a web page
        std::function<bool()> skip;   // once ready: true passes the stop without shot or `then`
        std::function<QPixmap()> picture;  // the shot, when it is not of the window
    };

    void buildStops();
    // The module lists' stops (TourListStops.cpp).
    void buildListStops();
    // The detail stops: a schedule entry, an e-mail page with "回复", a reminder page.
    void addDetailStops();
    // Fetches, off the main thread, a schedule entry, an e-mail and a reminder address of the
    // signed-in user for the detail stops.
    void fetchDetailSamples();
    void poll();
    void finish(bool ok);
    void openWorkflow(IndexController* index);
    // The attachment viewer's stops: a picture, a photo mid-download, a PDF and a file that
    // cannot be shown (TourAttachmentStops.cpp).
    void addAttachmentStops();
    void openAttachment(const TourAttachment& attachment);
    QPixmap shotOf(const Stop& stop) const;
    // The conversation list and the reminder list (TourMessageStops.cpp).
    void addMessageListStops();
    // The dialog and a voice recording (TourDialogStops.cpp).
    void addDialogStops();
    // The directory lookups and their cards (TourLookupStops.cpp).
    void addLookupStops();
    // The write screen's editors, the picker and a failed save (TourWriteStops.cpp).
    void addWriteStops();
    // The recipient picker and its department screen (TourPickerStops.cpp).
    void addPickerStops();
    // The tray icon's menu and a desktop notice of a new message (TourDesktopStops.cpp).
    void addDesktopStops();
    // The home grid at zoom 2× (TourZoomStops.cpp).
    void addZoomStops();

    Window* window_;
    QString folder_;
    std::vector<Stop> stops_;
    std::size_t next_ = 0;
    int waitedMs_ = 0;
    int countersApplied_ = 0;
    int workflowLoaded_ = 0;
    bool attachmentsLookedUp_ = false;
    TourAttachments attachments_;
    // The detail stops' samples, set on the main thread once fetched.
    bool samplesFetched_ = false;
    std::shared_ptr<BaseVO> calendarSample_;
    std::shared_ptr<BaseVO> emailSample_;
    std::string reminderSample_;
    int detailPageLoaded_ = 0;
    QTimer* timer_;
    QStringList written_;
    std::function<void(bool)> done_;
};

}  // namespace oa
