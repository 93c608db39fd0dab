// The "screen saver running" flag: an advisory lock on a file in a folder only this user can
// reach, so another user can neither hold it nor plant something in its place.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/system/system.h"

namespace {

std::string saver_lock_override;
int saver_lock_fd = -1;  // held while this process has set the flag

bool Private_Folder(const std::string& dir) {
    struct stat st;
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

int Open_Lock_File() {
    const std::string path = Saver_Lock_Path();
    if (path.empty()) return -1;
    // Non-blocking, so that a FIFO in the file's place cannot hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string Saver_Lock_Path() {
    if (!saver_lock_override.empty()) return saver_lock_override;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && Private_Folder(runtime)) return std::string(runtime) + "/mirravane-saver.lock";
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/mirravane-" + std::to_string(::getuid());
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return "";
    return Private_Folder(dir) ? dir + "/mirravane-saver.lock" : "";
}

bool Screen_Saver_Running() {
    if (saver_lock_fd >= 0) return true;
    const int fd = Open_Lock_File();
    if (fd < 0) return false;
    bool held = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        held = errno == EWOULDBLOCK;
    else
        ::flock(fd, LOCK_UN);
    ::close(fd);
    return held;
}

bool Set_Screen_Saver_Running(bool running) {
    if (!running) {
        if (saver_lock_fd < 0) return Screen_Saver_Running();
        ::flock(saver_lock_fd, LOCK_UN);
        ::close(saver_lock_fd);
        saver_lock_fd = -1;
        return true;
    }
    if (saver_lock_fd >= 0) return true;
    // Testing and taking in one step: of two savers started together one sees the other.
    const int fd = Open_Lock_File();
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        saver_lock_fd = fd;
        return false;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void Set_Saver_Lock_Path(const std::string& path) {
    if (saver_lock_fd >= 0) {
        ::close(saver_lock_fd);
        saver_lock_fd = -1;
    }
    saver_lock_override = path;
}
