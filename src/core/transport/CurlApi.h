// The libcurl functions the transport uses, from libcurl.so.4 loaded with the first request
// (see LazyLibrary): the program does not link libcurl, so its start does not wait for it and
// the libraries it needs. Call them as curl().easy_setopt(...), exactly as the C functions.
#pragma once

#include <curl/curl.h>

namespace oa {

struct CurlApi {
    decltype(&::curl_global_init) global_init = nullptr;
    decltype(&::curl_free) free = nullptr;
    decltype(&::curl_easy_init) easy_init = nullptr;
    decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&::curl_easy_perform) easy_perform = nullptr;
    decltype(&::curl_easy_strerror) easy_strerror = nullptr;
    CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...) = nullptr;
    CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...) = nullptr;
    decltype(&::curl_multi_init) multi_init = nullptr;
    decltype(&::curl_multi_cleanup) multi_cleanup = nullptr;
    decltype(&::curl_multi_add_handle) multi_add_handle = nullptr;
    decltype(&::curl_multi_remove_handle) multi_remove_handle = nullptr;
    decltype(&::curl_multi_perform) multi_perform = nullptr;
    decltype(&::curl_multi_poll) multi_poll = nullptr;
    decltype(&::curl_multi_wakeup) multi_wakeup = nullptr;
    decltype(&::curl_multi_info_read) multi_info_read = nullptr;
    decltype(&::curl_share_init) share_init = nullptr;
    CURLSHcode (*share_setopt)(CURLSH* share, CURLSHoption option, ...) = nullptr;
    decltype(&::curl_slist_append) slist_append = nullptr;
    decltype(&::curl_slist_free_all) slist_free_all = nullptr;
    decltype(&::curl_url) url = nullptr;
    decltype(&::curl_url_cleanup) url_cleanup = nullptr;
    decltype(&::curl_url_get) url_get = nullptr;
    decltype(&::curl_url_set) url_set = nullptr;
};

// libcurl's functions, the library loaded by the first call (any thread).
const CurlApi& curl();

}  // namespace oa
