// CurlApi: libcurl's functions looked up once.
#include "core/transport/CurlApi.h"

#include "core/platform/LazyLibrary.h"

namespace oa {

namespace {

CurlApi load() {
    static LazyLibrary library("libcurl.so.4");
    CurlApi api;
    library.resolve("curl_global_init", api.global_init);
    library.resolve("curl_free", api.free);
    library.resolve("curl_easy_init", api.easy_init);
    library.resolve("curl_easy_cleanup", api.easy_cleanup);
    library.resolve("curl_easy_perform", api.easy_perform);
    library.resolve("curl_easy_strerror", api.easy_strerror);
    library.resolve("curl_easy_setopt", api.easy_setopt);
    library.resolve("curl_easy_getinfo", api.easy_getinfo);
    library.resolve("curl_multi_init", api.multi_init);
    library.resolve("curl_multi_cleanup", api.multi_cleanup);
    library.resolve("curl_multi_add_handle", api.multi_add_handle);
    library.resolve("curl_multi_remove_handle", api.multi_remove_handle);
    library.resolve("curl_multi_perform", api.multi_perform);
    library.resolve("curl_multi_poll", api.multi_poll);
    library.resolve("curl_multi_wakeup", api.multi_wakeup);
    library.resolve("curl_multi_info_read", api.multi_info_read);
    library.resolve("curl_share_init", api.share_init);
    library.resolve("curl_share_setopt", api.share_setopt);
    library.resolve("curl_slist_append", api.slist_append);
    library.resolve("curl_slist_free_all", api.slist_free_all);
    library.resolve("curl_url", api.url);
    library.resolve("curl_url_cleanup", api.url_cleanup);
    library.resolve("curl_url_get", api.url_get);
    library.resolve("curl_url_set", api.url_set);
    return api;
}

}  // namespace

const CurlApi& curl() {
    static const CurlApi api = load();
    return api;
}

}  // namespace oa
