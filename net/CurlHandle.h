#pragma once
// RAII over libcurl's easy handle and header lists, with the library initialised once per process.

#include <curl/curl.h>

#include <memory>

namespace vorlane::net {

struct CurlEasyDeleter {
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
struct CurlSlistDeleter {
    void operator()(curl_slist *l) const { curl_slist_free_all(l); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// A new easy handle (after curl_global_init has run once); null when libcurl cannot make one.
CurlEasy NewCurlEasy();

// Appends a header line to a list that may be empty.
void AppendHeader(CurlSlist &list, const char *line);

} // namespace vorlane::net
