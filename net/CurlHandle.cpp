#include "net/CurlHandle.h"

#include <dlfcn.h>

#include <mutex>

namespace vorlane {

namespace net {

namespace {

template <typename F>
bool resolve(void *library, const char *name, F &function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

TCurlLibrary *loadCurl()
{
    // The library's own name with its ABI version: the development link need not be there.
    void *library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static TCurlLibrary curl;
    if (!resolve(library, "curl_global_init", curl.GlobalInit) ||
        !resolve(library, "curl_easy_init", curl.EasyInit) ||
        !resolve(library, "curl_easy_cleanup", curl.EasyCleanup) ||
        !resolve(library, "curl_easy_reset", curl.EasyReset) ||
        !resolve(library, "curl_easy_setopt", curl.EasySetopt) ||
        !resolve(library, "curl_easy_perform", curl.EasyPerform) ||
        !resolve(library, "curl_easy_getinfo", curl.EasyGetinfo) ||
        !resolve(library, "curl_easy_strerror", curl.EasyStrerror) ||
        !resolve(library, "curl_slist_append", curl.SlistAppend) ||
        !resolve(library, "curl_slist_free_all", curl.SlistFreeAll))
        return nullptr; // stays loaded: it may be in use by another part of the process
    curl.GlobalInit(CURL_GLOBAL_DEFAULT);
    return &curl;
}

} // namespace

const TCurlLibrary *CurlLibrary()
{
    static TCurlLibrary *const curl = loadCurl();
    return curl;
}

CurlEasy NewCurlEasy()
{
    const TCurlLibrary *curl = CurlLibrary();
    return CurlEasy(curl ? curl->EasyInit() : nullptr);
}

void AppendHeader(CurlSlist &list, const char *line)
{
    curl_slist *grown = CurlLibrary()->SlistAppend(list.get(), line);
    if (grown) {
        (void)list.release(); // curl_slist_append returned the same list, now longer
        list.reset(grown);
    }
}

} // namespace net

} // namespace vorlane
