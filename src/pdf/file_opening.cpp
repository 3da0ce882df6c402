#include "pdf/file_opening.h"

#include <qpdf/QPDFSystemError.hh>

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

#include "base/file_system.h"

namespace pagemeld {

std::FILE* openForReading(const std::string& name) {
#ifdef _WIN32
    std::FILE* file = _wfopen(systemPath(name).c_str(), L"rb");
#else
    std::FILE* file = std::fopen(name.c_str(), "rb");
#endif
    if (!file) throw QPDFSystemError("open " + name, errno);
    return file;
}

std::FILE* createExclusively(const std::string& name) {
#ifdef _WIN32
    // The C runtime MinGW links ignores fopen's "x": only _O_EXCL is exclusive there.
    const int fd = _wopen(systemPath(name).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) {
        const int err = errno;
        _close(fd);
        _wremove(systemPath(name).c_str());
        errno = err;
    }
    return file;
#else
    return std::fopen(name.c_str(), "wbx");
#endif
}

}  // namespace pagemeld
