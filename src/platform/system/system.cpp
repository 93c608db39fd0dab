// Windows directory, Windows-style paths and files on a POSIX file system.
#include "platform/system/system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
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

HANDLE CreateFileA(const char* name, uint32_t access, uint32_t /*share*/, uint32_t disposition) {
    if (!name || !*name) return nullptr;
    int flags = O_CLOEXEC;
    bool rd = access & GENERIC_READ, wr = access & GENERIC_WRITE;
    if (rd && wr)
        flags |= O_RDWR;
    else if (wr)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    switch (disposition) {
        case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
        case OPEN_ALWAYS: flags |= O_CREAT; break;
        case OPEN_EXISTING: break;
        default: return nullptr;
    }
    std::string path = Map_Path(name);
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
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
    int flags = O_CLOEXEC;
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
    f.fd = ::open(Map_Path(name).c_str(), flags, 0644);
    if (f.fd < 0) return nullptr;
    struct stat st;
    if (::fstat(f.fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(f.fd);
        return nullptr;
    }
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

void Set_Disk_Space_Limit(long long bytes) { disk_space_left = bytes < 0 ? -1 : bytes; }
