// Loaded with LD_PRELOAD, it makes a system whose iconv has no code page 932 converter:
// every other conversion still opens.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <iconv.h>
#include <strings.h>

static int IsCodePage932(const char* name) {
    return strcasecmp(name, "CP932") == 0 || strcasecmp(name, "WINDOWS-31J") == 0 ||
           strcasecmp(name, "SHIFT_JIS") == 0 || strcasecmp(name, "SJIS") == 0;
}

iconv_t iconv_open(const char* to, const char* from) {
    if (IsCodePage932(to) || IsCodePage932(from)) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    iconv_t (*real)(const char*, const char*) =
        (iconv_t (*)(const char*, const char*))dlsym(RTLD_NEXT, "iconv_open");
    return real(to, from);
}
