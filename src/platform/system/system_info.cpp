// Directory search, clocks, local time, memory and version information.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/system/system.h"

// ---- directory search ------------------------------------------------------------------------

struct Find_Handle {
    std::vector<Find_Data> found;
    size_t next = 0;
};

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// '*' and '?' without backtracking blow-up: remember the last star and retry from there.
bool wildcard_match(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '?' || (*pattern != '*' && *pattern && lower(*pattern) == lower(*name))) {
            ++pattern;
            ++name;
        } else if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

}  // namespace

HFIND FindFirstFileA(const char* pattern, Find_Data* data) {
    if (!pattern || !*pattern || !data) return nullptr;
    std::string text = pattern;
    size_t cut = text.find_last_of("/\\");
    std::string folder = cut == std::string::npos ? "." : text.substr(0, cut + 1);
    std::string wanted = cut == std::string::npos ? text : text.substr(cut + 1);
    if (wanted.empty()) return nullptr;
    // "*.*" names every file, also those without a dot.
    bool everything = wanted == "*.*";

    std::string dir = Map_Path(folder);
    if (dir.empty()) dir = ".";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return nullptr;
    auto* handle = new Find_Handle;
    while (dirent* e = ::readdir(d)) {
        if (!everything && !wildcard_match(wanted.c_str(), e->d_name)) continue;
        size_t len = std::strlen(e->d_name);
        if (len >= sizeof(Find_Data::cFileName)) continue;
        std::string full = dir == "/" ? "/" + std::string(e->d_name) : dir + "/" + e->d_name;
        struct stat st;
        if (::stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        Find_Data f;
        std::memcpy(f.cFileName, e->d_name, len + 1);
        f.nFileSizeLow = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size) & 0xFFFFFFFFu);
        handle->found.push_back(f);
    }
    ::closedir(d);
    if (handle->found.empty()) {
        delete handle;
        return nullptr;
    }
    *data = handle->found[0];
    handle->next = 1;
    return handle;
}

bool FindNextFileA(HFIND find, Find_Data* data) {
    if (!find || !data || find->next >= find->found.size()) return false;
    *data = find->found[find->next++];
    return true;
}

bool FindClose(HFIND find) {
    if (!find) return false;
    delete find;
    return true;
}

// ---- clocks --------------------------------------------------------------------------------

namespace {

bool fake_clock = false;
int64_t fake_microseconds = 0;
bool high_resolution_available = true;

int64_t now_microseconds() {
    if (fake_clock) return fake_microseconds;
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

}  // namespace

uint32_t timeGetTime() { return static_cast<uint32_t>(static_cast<uint64_t>(now_microseconds() / 1000)); }

uint32_t GetTickCount() { return timeGetTime(); }

bool QueryPerformanceFrequency(int64_t* frequency) {
    if (!frequency) return false;
    *frequency = high_resolution_available ? 1000000 : 0;
    return high_resolution_available;
}

bool QueryPerformanceCounter(int64_t* counter) {
    if (!counter) return false;
    *counter = high_resolution_available ? now_microseconds() : 0;
    return high_resolution_available;
}

void Set_Fake_Clock(bool enabled, int64_t microseconds) {
    fake_clock = enabled;
    fake_microseconds = microseconds;
}

void Advance_Fake_Clock(int64_t microseconds) { fake_microseconds += microseconds; }

void Set_High_Resolution_Counter_Available(bool available) { high_resolution_available = available; }

namespace {
bool fake_time_set = false;
SYSTEMTIME fake_time;
}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) return;
    if (fake_time_set) {
        *time = fake_time;
        return;
    }
    timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::localtime_r(&ts.tv_sec, &tm);
    time->wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    time->wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    time->wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    time->wDay = static_cast<uint16_t>(tm.tm_mday);
    time->wHour = static_cast<uint16_t>(tm.tm_hour);
    time->wMinute = static_cast<uint16_t>(tm.tm_min);
    time->wSecond = static_cast<uint16_t>(tm.tm_sec);
    time->wMilliseconds = static_cast<uint16_t>(ts.tv_nsec / 1000000);
}

void Set_Fake_Local_Time(const SYSTEMTIME* time) {
    fake_time_set = time != nullptr;
    if (time) fake_time = *time;
}

// ---- memory and version ------------------------------------------------------------------------

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (!status) return;
    *status = MEMORYSTATUS{};
    if (FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kb = 0;
        while (std::fgets(line, sizeof line, f)) {
            if (std::sscanf(line, "MemTotal: %llu kB", &kb) == 1) status->dwTotalPhys = kb * 1024;
            else if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) status->dwAvailPhys = kb * 1024;
        }
        std::fclose(f);
    }
    long page = ::sysconf(_SC_PAGESIZE);
    if (status->dwTotalPhys == 0) {
        long pages = ::sysconf(_SC_PHYS_PAGES);
        if (pages > 0 && page > 0) status->dwTotalPhys = static_cast<uint64_t>(pages) * static_cast<uint64_t>(page);
    }
    if (status->dwAvailPhys == 0) {
        long pages = ::sysconf(_SC_AVPHYS_PAGES);
        if (pages > 0 && page > 0) status->dwAvailPhys = static_cast<uint64_t>(pages) * static_cast<uint64_t>(page);
    }
}

namespace {
bool fake_version_set = false;
bool fake_version_fails = false;
OSVERSIONINFO fake_version;
}  // namespace

bool GetVersionExA(OSVERSIONINFO* info) {
    if (!info || fake_version_fails) return false;
    *info = fake_version_set ? fake_version : OSVERSIONINFO{};
    return true;
}

void Set_Fake_Version(const OSVERSIONINFO* info, bool fail) {
    fake_version_set = info != nullptr;
    fake_version = info ? *info : OSVERSIONINFO{};
    fake_version_fails = fail;
}
