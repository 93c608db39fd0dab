// System services: the Windows directory, Windows-style paths on this file system,
// files, directory search, clocks, memory and version information.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Room for any path the system opens. One more than it takes, so that a path cut to fit a
// buffer is one the system refuses, never some other file.
constexpr size_t PATH_BUFFER_SIZE = PATH_MAX + 1;
// A chosen file's full path, or its name without the folder, as a file dialog returns them.
using File_Name = char[PATH_BUFFER_SIZE];

// ---- the Windows directory and paths --------------------------------------------------------
// MIRRAVANE_WINDOWS_DIR when set, else $XDG_DATA_HOME, else ~/.local/share. No trailing slash.
// Returns the number of characters written (0 on failure), like GetWindowsDirectoryA.
unsigned GetWindowsDirectoryA(char* buffer, unsigned size);
std::string Windows_Directory();
// Tests point the Windows directory elsewhere; an empty text goes back to the environment.
void Set_Windows_Directory_Override(const std::string& dir);

// Maps a Windows-style path ("C:\x\Mirravane\Data\Bmp\Font.bmp" style separators, either
// slash) to a path on this file system: "\" and "/" become "/", and every existing
// component is matched case-insensitively, so "data\bmp\objects" and "Data/Bmp/Objects"
// name one folder. Components that do not exist are kept as written.
std::string Map_Path(const std::string& windows_path);

// ---- files ------------------------------------------------------------------------------
// A small handle API in the shape of the Windows file calls (binary, no text translation).
struct File;
using HANDLE = File*;
constexpr uint32_t GENERIC_READ = 0x80000000u;
constexpr uint32_t GENERIC_WRITE = 0x40000000u;
constexpr uint32_t CREATE_ALWAYS = 2;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t OPEN_ALWAYS = 4;
// Opens the named entry itself instead of a file a symbolic link points to: a link is refused.
constexpr uint32_t FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000;
// Only regular files open: a FIFO, device or folder is refused at once, never waited on, and
// nothing is truncated before the file is known to be a regular one.
HANDLE CreateFileA(const char* name, uint32_t access, uint32_t share, uint32_t disposition, uint32_t flags = 0);
bool ReadFile(HANDLE file, void* buffer, uint32_t size, uint32_t* read);
bool WriteFile(HANDLE file, const void* buffer, uint32_t size, uint32_t* written);
bool CloseHandle(HANDLE file);
uint32_t GetFileSize(HANDLE file);  // low 32 bits; 0xFFFFFFFF on failure
bool SetFilePointerToEnd(HANDLE file);
bool DeleteFileA(const char* name);
bool Directory_Exists(const std::string& windows_path);
bool Create_Directory(const std::string& windows_path);

// fopen-style access for the record files ("rb", "wb"); regular files only, as CreateFileA.
struct Std_File;
Std_File* Open_File(const char* name, const char* mode);
size_t Read_File(void* buffer, size_t size, size_t count, Std_File* file);
size_t Write_File(const void* buffer, size_t size, size_t count, Std_File* file);
int Close_File(Std_File* file);

// True unless nothing at all is at the path (a link counts by its target). A file that exists
// but cannot be opened, or a path below a folder that cannot be searched, exists.
bool Path_Exists(const std::string& windows_path);

// Reads a whole regular file of at most `limit` bytes. `size` gets the file's size whenever it
// could be learnt (also for Too_Large). A FIFO, device or folder is Not_Regular, refused
// without waiting on it.
enum class File_Read { Ok, Missing, Not_Regular, Too_Large, Failed };
File_Read Read_Regular_File(const std::string& windows_path, std::vector<uint8_t>& data, size_t limit,
                            uint64_t* size = nullptr);

// Replaces a file's contents in one step: the bytes go to a temporary file beside the target,
// which is renamed over it only once whole. A symbolic link is written through to its target;
// an existing target keeps its permissions (and owner where allowed). A target that is not a
// regular file, or has no write permission, is refused and left as it is.
enum class File_Replace { Ok, Not_Regular, Read_Only, Create_Failed, Write_Failed, Rename_Failed };
File_Replace Replace_File(const std::string& windows_path, const void* data, size_t size);

// The name under which this process writes a file's new contents before it replaces the file:
// "<path>.mirravane-<pid>.tmp". The form lets a later start tell its own leftovers from a user's.
std::string Temporary_File_Name(const std::string& path);
// Removes the temporary files of Temporary_File_Name's form that a killed run left in a folder
// (their process is gone, or they are older than any save could take); nothing else. Returns
// how many were removed.
int Remove_Stale_Temporary_Files(const std::string& windows_folder);

// Test hook: writes fail once this many more bytes have been written (a full disk).
// A negative value (the default) never fails.
void Set_Disk_Space_Limit(long long bytes);

// ---- directory search ------------------------------------------------------------------------
// Patterns use "*" and "?" in the last component, matched case-insensitively; files come
// in the order the file system lists them (not sorted). Folders are not returned.
struct Find_Data {
    char cFileName[260] = {};
    uint32_t nFileSizeLow = 0;
};
struct Find_Handle;
using HFIND = Find_Handle*;
HFIND FindFirstFileA(const char* pattern, Find_Data* data);  // nullptr: nothing matches
bool FindNextFileA(HFIND find, Find_Data* data);
bool FindClose(HFIND find);

// ---- clocks --------------------------------------------------------------------------------
uint32_t timeGetTime();    // milliseconds since an arbitrary start, wraps at 2^32
uint32_t GetTickCount();
bool QueryPerformanceFrequency(int64_t* frequency);
bool QueryPerformanceCounter(int64_t* counter);
// Tests freeze the clocks: when set, both clocks read this many microseconds.
void Set_Fake_Clock(bool enabled, int64_t microseconds = 0);
void Advance_Fake_Clock(int64_t microseconds);
// Tests can make the system report that it has no high-resolution counter.
void Set_High_Resolution_Counter_Available(bool available);

struct SYSTEMTIME {
    uint16_t wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0, wHour = 0, wMinute = 0, wSecond = 0,
             wMilliseconds = 0;
};
void GetLocalTime(SYSTEMTIME* time);
void Set_Fake_Local_Time(const SYSTEMTIME* time);  // nullptr: the real clock

// ---- memory and version ------------------------------------------------------------------------
struct MEMORYSTATUS {
    uint64_t dwTotalPhys = 0;
    uint64_t dwAvailPhys = 0;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

constexpr uint32_t VER_PLATFORM_WIN32s = 0;
constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;
constexpr uint32_t VER_PLATFORM_UNKNOWN = 99;
struct OSVERSIONINFO {
    uint32_t dwMajorVersion = 0, dwMinorVersion = 0, dwPlatformId = VER_PLATFORM_UNKNOWN;
};
// This platform reports itself as unknown; tests may fake the others or a failure.
bool GetVersionExA(OSVERSIONINFO* info);
void Set_Fake_Version(const OSVERSIONINFO* info, bool fail = false);  // nullptr: unknown platform

// ---- the "screen saver running" flag ------------------------------------------------------------
// A lock on a file in $XDG_RUNTIME_DIR when that is the user's own private folder, else in
// $TMPDIR/mirravane-UID (or /tmp/mirravane-UID), made private to the user. Setting returns
// the previous state, like SystemParametersInfoA(SPI_SCREENSAVERRUNNING); setting it while
// another process holds it leaves it with them. Where no lock can be had the flag stays clear.
bool Set_Screen_Saver_Running(bool running);
bool Screen_Saver_Running();
std::string Saver_Lock_Path();  // "" when there is no private folder for it
void Set_Saver_Lock_Path(const std::string& path);  // tests; "" goes back to the folders above

// ---- ending signals ------------------------------------------------------------------------------
// SIGTERM, SIGINT and SIGHUP are noted rather than ending the process, until a second one of
// the same kind. False when the wake-up pipe cannot be made (the signals are left alone).
bool Catch_Ending_Signals();
void Release_Ending_Signals();    // default handling again, nothing pending
int Ending_Signal_Fd();           // readable after a signal, for a window system to wait on; -1 if none
int Pending_Ending_Signal();      // the signal noted, or 0
int Take_Ending_Signal();         // the same, then forgets it and empties the pipe
void Drain_Ending_Signal_Wakeups();  // empties the pipe, keeping the signal noted
