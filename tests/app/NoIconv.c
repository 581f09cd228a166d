// Loaded with LD_PRELOAD, it makes a system without iconv: every iconv_open is refused.
// When QUILLERY_ICONV_LOG names a file, each attempt appends a line to it, so that a test
// sees whether the program asked at all.
#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

iconv_t iconv_open(const char* to, const char* from) {
    const char* log = getenv("QUILLERY_ICONV_LOG");
    if (log != NULL && *log != '\0') {
        const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            // Best effort: the refusal below is what matters.
            (void)!write(fd, from, strlen(from));
            (void)!write(fd, " -> ", 4);
            (void)!write(fd, to, strlen(to));
            (void)!write(fd, "\n", 1);
            close(fd);
        }
    }
    errno = EINVAL;
    return (iconv_t)-1;
}
