#pragma once
// RAII over libcurl's easy handle and header lists, with the library initialised once per process.
//
// The one door to libcurl for the whole program (the engine's network input included).
// libcurl is opened on first use, not linked: with its TLS, Kerberos, LDAP and SSH libraries it
// would add two dozen libraries and their initialisers to every start of the programs, most of
// which never go on the network. Code in this library reaches curl only through CurlLibrary().

#include <curl/curl.h>

#include <memory>

namespace vorlane::net {

// The functions of libcurl this library uses, resolved from the loaded library.
struct TCurlLibrary {
    decltype(&curl_global_init) GlobalInit = nullptr;
    decltype(&curl_easy_init) EasyInit = nullptr;
    decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
    decltype(&curl_easy_reset) EasyReset = nullptr;
    decltype(&curl_easy_setopt) EasySetopt = nullptr;
    decltype(&curl_easy_perform) EasyPerform = nullptr;
    decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
    decltype(&curl_easy_strerror) EasyStrerror = nullptr;
    decltype(&curl_slist_append) SlistAppend = nullptr;
    decltype(&curl_slist_free_all) SlistFreeAll = nullptr;
};

// libcurl, loaded and globally initialised on the first call (any thread; later calls wait for
// the first); null when the library or one of its functions cannot be found.
const TCurlLibrary *CurlLibrary();

struct CurlEasyDeleter {
    void operator()(CURL *h) const { CurlLibrary()->EasyCleanup(h); }
};
struct CurlSlistDeleter {
    void operator()(curl_slist *l) const { CurlLibrary()->SlistFreeAll(l); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// A new easy handle; null when libcurl cannot be loaded or cannot make one.
CurlEasy NewCurlEasy();

// Appends a header line to a list that may be empty (needs a handle from NewCurlEasy first).
void AppendHeader(CurlSlist &list, const char *line);

} // namespace vorlane::net
