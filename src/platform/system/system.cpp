// Windows directory, Windows-style paths and files on a POSIX file system.
#include "platform/system/system.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string windows_dir_override;

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_no_case(const std::string& a, const char* b) {
    size_t n = a.size();
    if (std::strlen(b) != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Finds `name` in `dir`: the exact spelling first, else the first case-insensitive match in
// listing order. Empty result: no such entry.
std::string resolve_component(const std::string& dir, const std::string& name) {
    std::string exact = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
    struct stat st;
    if (::lstat(exact.c_str(), &st) == 0) return name;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return {};
    std::string found;
    while (dirent* e = ::readdir(d)) {
        if (equal_no_case(name, e->d_name)) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

}  // namespace

// ---- the Windows directory and paths --------------------------------------------------------

std::string Windows_Directory() {
    std::string dir;
    if (!windows_dir_override.empty()) {
        dir = windows_dir_override;
    } else if (const char* env = std::getenv("MIRRAVANE_WINDOWS_DIR"); env && *env) {
        dir = env;
    } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::string(home && *home ? home : "") + "/.local/share";
    }
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    return dir;
}

unsigned GetWindowsDirectoryA(char* buffer, unsigned size) {
    std::string dir = Windows_Directory();
    if (!buffer || dir.size() + 1 > size) return 0;
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<unsigned>(dir.size());
}

void Set_Windows_Directory_Override(const std::string& dir) { windows_dir_override = dir; }

std::string Map_Path(const std::string& windows_path) {
    std::string result;
    bool absolute = !windows_path.empty() && (windows_path[0] == '/' || windows_path[0] == '\\');
    if (absolute) result = "/";
    bool resolving = true;  // once a component is missing, the rest is kept as written
    size_t i = 0, n = windows_path.size();
    while (i < n) {
        size_t j = i;
        while (j < n && windows_path[j] != '/' && windows_path[j] != '\\') ++j;
        std::string part = windows_path.substr(i, j - i);
        i = j + 1;
        if (part.empty()) continue;
        if (resolving && part != "." && part != "..") {
            std::string found = resolve_component(result, part);
            if (found.empty())
                resolving = false;
            else
                part = found;
        }
        if (!result.empty() && result.back() != '/') result += '/';
        result += part;
    }
    if (result.empty()) result = windows_path.empty() ? "" : ".";
    return result;
}

// ---- files ------------------------------------------------------------------------------

struct File {
    int fd = -1;
};

struct Std_File {
    int fd = -1;
    bool readable = false;
    bool writable = false;
};

namespace {

long long disk_space_left = -1;

// Writes through the disk-space limit: once it is used up nothing more is written.
bool write_all(int fd, const void* data, size_t size, size_t* written) {
    *written = 0;
    size_t allowed = size;
    bool full = false;
    if (disk_space_left >= 0 && static_cast<unsigned long long>(disk_space_left) < size) {
        allowed = static_cast<size_t>(disk_space_left);
        full = true;
    }
    const char* p = static_cast<const char*>(data);
    while (*written < allowed) {
        ssize_t r = ::write(fd, p + *written, allowed - *written);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        *written += static_cast<size_t>(r);
    }
    if (disk_space_left >= 0) disk_space_left -= static_cast<long long>(*written);
    return !full && *written == size;
}

// Opens a path only when it is a regular file (or is created as one). A stat first keeps a
// device from being opened at all, O_NONBLOCK keeps a FIFO from holding the open, and fstat
// settles what was opened; O_TRUNC waits until then. -1 on failure, with *not_regular set when
// something other than a regular file is in the way.
int open_regular(const std::string& path, int flags, bool follow, bool* not_regular) {
    *not_regular = false;
    const bool truncate = (flags & O_TRUNC) != 0;
    flags &= ~O_TRUNC;
    if (!follow) flags |= O_NOFOLLOW;
    struct stat st;
    const int found = follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (found == 0 && !S_ISREG(st.st_mode)) {
        *not_regular = true;
        return -1;
    }
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        // A FIFO put in place after the stat, opened for writing without a reader; a link
        // where none may be followed.
        if (errno == ENXIO || errno == ELOOP || errno == EISDIR) *not_regular = true;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *not_regular = true;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (truncate && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

size_t read_all(int fd, void* data, size_t size) {
    size_t got = 0;
    char* p = static_cast<char*>(data);
    while (got < size) {
        ssize_t r = ::read(fd, p + got, size - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return got;
}

}  // namespace

HANDLE CreateFileA(const char* name, uint32_t access, uint32_t /*share*/, uint32_t disposition, uint32_t flags) {
    if (!name || !*name) return nullptr;
    int open_flags = 0;
    bool rd = access & GENERIC_READ, wr = access & GENERIC_WRITE;
    if (rd && wr)
        open_flags |= O_RDWR;
    else if (wr)
        open_flags |= O_WRONLY;
    else
        open_flags |= O_RDONLY;
    switch (disposition) {
        case CREATE_ALWAYS: open_flags |= O_CREAT | O_TRUNC; break;
        case OPEN_ALWAYS: open_flags |= O_CREAT; break;
        case OPEN_EXISTING: break;
        default: return nullptr;
    }
    bool not_regular = false;
    int fd = open_regular(Map_Path(name), open_flags, !(flags & FILE_FLAG_OPEN_REPARSE_POINT), &not_regular);
    if (fd < 0) return nullptr;
    return new File{fd};
}

bool ReadFile(HANDLE file, void* buffer, uint32_t size, uint32_t* read) {
    if (read) *read = 0;
    if (!file || (!buffer && size)) return false;
    size_t got = read_all(file->fd, buffer, size);
    if (read) *read = static_cast<uint32_t>(got);
    return true;
}

bool WriteFile(HANDLE file, const void* buffer, uint32_t size, uint32_t* written) {
    if (written) *written = 0;
    if (!file || (!buffer && size)) return false;
    size_t done = 0;
    bool ok = write_all(file->fd, buffer, size, &done);
    if (written) *written = static_cast<uint32_t>(done);
    return ok;
}

bool CloseHandle(HANDLE file) {
    if (!file) return false;
    bool ok = ::close(file->fd) == 0;
    delete file;
    return ok;
}

uint32_t GetFileSize(HANDLE file) {
    struct stat st;
    if (!file || ::fstat(file->fd, &st) != 0) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(static_cast<uint64_t>(st.st_size) & 0xFFFFFFFFu);
}

bool SetFilePointerToEnd(HANDLE file) { return file && ::lseek(file->fd, 0, SEEK_END) >= 0; }

bool DeleteFileA(const char* name) {
    if (!name || !*name) return false;
    return ::unlink(Map_Path(name).c_str()) == 0;
}

bool Directory_Exists(const std::string& windows_path) {
    struct stat st;
    return !windows_path.empty() && ::stat(Map_Path(windows_path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Create_Directory(const std::string& windows_path) {
    if (windows_path.empty()) return false;
    return ::mkdir(Map_Path(windows_path).c_str(), 0755) == 0;
}

Std_File* Open_File(const char* name, const char* mode) {
    if (!name || !*name || !mode || !*mode) return nullptr;
    bool plus = std::strchr(mode, '+') != nullptr;
    int flags = 0;
    Std_File f;
    switch (mode[0]) {
        case 'r':
            flags |= plus ? O_RDWR : O_RDONLY;
            f.readable = true;
            f.writable = plus;
            break;
        case 'w':
            flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
            f.writable = true;
            f.readable = plus;
            break;
        case 'a':
            flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
            f.writable = true;
            f.readable = plus;
            break;
        default: return nullptr;
    }
    bool not_regular = false;
    f.fd = open_regular(Map_Path(name), flags, true, &not_regular);
    if (f.fd < 0) return nullptr;
    return new Std_File(f);
}

size_t Read_File(void* buffer, size_t size, size_t count, Std_File* file) {
    if (!file || !file->readable || !buffer || size == 0 || count == 0) return 0;
    if (count > static_cast<size_t>(-1) / size) return 0;
    return read_all(file->fd, buffer, size * count) / size;
}

size_t Write_File(const void* buffer, size_t size, size_t count, Std_File* file) {
    if (!file || !file->writable || !buffer || size == 0 || count == 0) return 0;
    if (count > static_cast<size_t>(-1) / size) return 0;
    size_t done = 0;
    write_all(file->fd, buffer, size * count, &done);
    return done / size;
}

int Close_File(Std_File* file) {
    if (!file) return -1;
    int r = ::close(file->fd);
    delete file;
    return r == 0 ? 0 : -1;
}

bool Path_Exists(const std::string& windows_path) {
    if (windows_path.empty()) return false;
    struct stat st;
    return ::stat(Map_Path(windows_path).c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

File_Read Read_Regular_File(const std::string& windows_path, std::vector<uint8_t>& data, size_t limit,
                            uint64_t* size) {
    data.clear();
    if (size) *size = 0;
    if (windows_path.empty()) return File_Read::Missing;
    bool not_regular = false;
    const int fd = open_regular(Map_Path(windows_path), O_RDONLY, true, &not_regular);
    if (fd < 0) {
        if (not_regular) return File_Read::Not_Regular;
        return errno == ENOENT || errno == ENOTDIR ? File_Read::Missing : File_Read::Failed;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return File_Read::Failed;
    }
    if (size) *size = static_cast<uint64_t>(st.st_size);
    if (static_cast<uint64_t>(st.st_size) > limit) {
        ::close(fd);
        return File_Read::Too_Large;
    }
    // One byte more than the file claims tells a file that grew since the fstat.
    data.resize(static_cast<size_t>(st.st_size) + 1);
    const size_t got = read_all(fd, data.data(), data.size());
    ::close(fd);
    if (got > limit) {
        data.clear();
        if (size) *size = got;
        return File_Read::Too_Large;
    }
    data.resize(got);
    if (size) *size = got;
    return File_Read::Ok;
}

std::string Temporary_File_Name(const std::string& path) {
    return path + ".mirravane-" + std::to_string(static_cast<long>(::getpid())) + ".tmp";
}

File_Replace Replace_File(const std::string& windows_path, const void* data, size_t size) {
    if (windows_path.empty()) return File_Replace::Create_Failed;
    // A chain of links is followed to the file it names, so the links stay where they are.
    std::string target = Map_Path(windows_path);
    struct stat st;
    bool exists = false;
    for (int hops = 0;; ++hops) {
        if (::lstat(target.c_str(), &st) != 0) break;  // nothing there yet: made where the chain ends
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            break;
        }
        if (hops == 40) return File_Replace::Not_Regular;
        std::error_code error;
        std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) return File_Replace::Create_Failed;
        if (next.is_relative()) next = std::filesystem::path(target).parent_path() / next;
        target = next.string();
    }
    if (exists) {
        if (!S_ISREG(st.st_mode)) return File_Replace::Not_Regular;
        // The permission bits say read-only even to a user whom access() would let through.
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return File_Replace::Read_Only;
    }

    const std::string temporary = Temporary_File_Name(target);
    ::unlink(temporary.c_str());  // only a dead process of this number can have left it
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return File_Replace::Create_Failed;
    if (exists) {
        // The owner first: changing it may clear set-id bits that the mode then puts back.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        }
        ::fchmod(fd, st.st_mode & 07777);
    }
    size_t written = 0;
    bool whole = write_all(fd, data, size, &written);
    whole = ::fsync(fd) == 0 && whole;
    whole = ::close(fd) == 0 && whole;
    if (!whole) {
        ::unlink(temporary.c_str());
        return File_Replace::Write_Failed;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return File_Replace::Rename_Failed;
    }
    return File_Replace::Ok;
}

int Remove_Stale_Temporary_Files(const std::string& windows_folder) {
    if (windows_folder.empty()) return 0;
    const std::string folder = Map_Path(windows_folder);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    static const std::string marker = ".mirravane-", suffix = ".tmp";
    const time_t now = std::time(nullptr);
    int removed = 0;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const size_t at = name.rfind(marker);
        if (at == std::string::npos || at == 0) continue;
        const std::string digits = name.substr(at + marker.size(), name.size() - suffix.size() - at - marker.size());
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long pid = std::strtol(digits.c_str(), nullptr, 10);
        const std::string path = folder + "/" + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        // A save lasts moments: a file older than ten minutes belongs to a number since reused.
        const bool running = pid > 0 && pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
        const bool old = now - st.st_mtime > 600;
        if ((!running || old) && ::unlink(path.c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

void Set_Disk_Space_Limit(long long bytes) { disk_space_left = bytes < 0 ? -1 : bytes; }
