// What every page family shares: the database, the sessions, the IM service's push channel and
// the settings of this run.
#pragma once

#include <string>

#include "server/Database.h"
#include "server/DownloadPacer.h"
#include "server/PushChannel.h"
#include "server/SessionStore.h"

namespace oa {

struct ServerContext {
    Database& db;
    SessionStore& sessions;
    PushChannel& pushes;
    std::string appTitle;
    std::string webVersion;
    int imPort = 1188;
    bool verbose = false;
    // Paces attachment downloads; nullptr sends them at full speed.
    const DownloadPacer* attachmentPacer = nullptr;
    // Whether the pages are served over TLS.
    bool tls = false;
};

}  // namespace oa
