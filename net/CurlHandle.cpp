#include "net/CurlHandle.h"

#include <mutex>

namespace vorlane {

namespace net {

CurlEasy NewCurlEasy()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return CurlEasy(curl_easy_init());
}

void AppendHeader(CurlSlist &list, const char *line)
{
    curl_slist *grown = curl_slist_append(list.get(), line);
    if (grown) {
        (void)list.release(); // curl_slist_append returned the same list, now longer
        list.reset(grown);
    }
}

} // namespace net

} // namespace vorlane
