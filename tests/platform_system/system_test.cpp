#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system/system.h"
#include "support/scratch_folder.h"

namespace {

std::vector<std::string> find_all(const std::string& pattern) {
    std::vector<std::string> names;
    Find_Data data;
    HFIND find = FindFirstFileA(pattern.c_str(), &data);
    if (!find) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// The folder's own listing order, keeping only the given names.
std::vector<std::string> listing_order(const std::string& folder, const std::vector<std::string>& keep) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = readdir(d))
        for (const auto& k : keep)
            if (k == e->d_name) names.push_back(k);
    closedir(d);
    return names;
}

}  // namespace

TEST(Paths, EitherSeparatorAndAnyCaseNameOneFile) {
    Scratch_Folder root;
    root.make_folder("Mirravane/Data/Bmp/Objects");
    root.write("Mirravane/default.dat", "abc");

    const std::string file = root.native("Mirravane/default.dat");
    EXPECT_EQ(Map_Path(root.windows("Mirravane\\default.dat")), file);
    EXPECT_EQ(Map_Path(root.path() + "/Mirravane/default.dat"), file);
    EXPECT_EQ(Map_Path(root.windows("MIRRAVANE\\Default.DAT")), file);
    EXPECT_EQ(Map_Path(root.windows("mirravane\\data\\bmp\\objects")), root.native("Mirravane/Data/Bmp/Objects"));
    EXPECT_EQ(Map_Path(root.windows("Mirravane\\\\Data\\Bmp\\")), root.native("Mirravane/Data/Bmp"));
    // What does not exist keeps its spelling, also below a missing folder.
    EXPECT_EQ(Map_Path(root.windows("mirravane\\DATA\\New\\Font.BMP")), root.native("Mirravane/Data/New/Font.BMP"));
    EXPECT_TRUE(Directory_Exists(root.windows("MIRRAVANE\\data")));
    EXPECT_FALSE(Directory_Exists(root.windows("Mirravane\\default.dat")));

    // Written under one spelling, read under another: one file.
    HANDLE out = CreateFileA(root.windows("Mirravane/default.dat").c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(out, nullptr);
    uint32_t written = 0;
    EXPECT_TRUE(WriteFile(out, "plasma", 6, &written));
    EXPECT_EQ(written, 6u);
    CloseHandle(out);
    HANDLE in = CreateFileA(root.windows("mirravane\\DEFAULT.dat").c_str(), GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(GetFileSize(in), 6u);
    char buffer[16] = {};
    uint32_t got = 0;
    EXPECT_TRUE(ReadFile(in, buffer, sizeof buffer, &got));
    EXPECT_EQ(got, 6u);
    EXPECT_STREQ(buffer, "plasma");
    CloseHandle(in);

    // The exact spelling wins when two names differ only in case.
    root.write("Mirravane/Twin.dat", "1");
    root.write("Mirravane/twin.dat", "22");
    EXPECT_EQ(Map_Path(root.windows("Mirravane\\twin.dat")), root.native("Mirravane/twin.dat"));
    EXPECT_EQ(Map_Path(root.windows("Mirravane\\Twin.dat")), root.native("Mirravane/Twin.dat"));

    // Missing files and folders do not open as files.
    EXPECT_EQ(CreateFileA(root.windows("Mirravane\\none.dat").c_str(), GENERIC_READ, 0, OPEN_EXISTING), nullptr);
    EXPECT_EQ(CreateFileA(root.windows("Mirravane\\Data").c_str(), GENERIC_READ, 0, OPEN_EXISTING), nullptr);
    EXPECT_EQ(Open_File(root.windows("Mirravane\\Data").c_str(), "rb"), nullptr);
    EXPECT_TRUE(DeleteFileA(root.windows("MIRRAVANE\\DEFAULT.DAT").c_str()));
    EXPECT_FALSE(DeleteFileA(root.windows("Mirravane\\default.dat").c_str()));
}

TEST(Paths, WindowsDirectoryComesFromOverrideThenEnvironment) {
    setenv("MIRRAVANE_WINDOWS_DIR", "/srv/win/", 1);
    setenv("XDG_DATA_HOME", "/home/someone/data", 1);
    EXPECT_EQ(Windows_Directory(), "/srv/win");
    char buffer[260];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 8u);
    EXPECT_STREQ(buffer, "/srv/win");
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 8), 0u);  // no room for the terminator

    unsetenv("MIRRAVANE_WINDOWS_DIR");
    EXPECT_EQ(Windows_Directory(), "/home/someone/data");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(Windows_Directory(), "/home/someone/.local/share");

    Set_Windows_Directory_Override("/tmp/elsewhere");
    EXPECT_EQ(Windows_Directory(), "/tmp/elsewhere");
    Set_Windows_Directory_Override("");
    EXPECT_EQ(Windows_Directory(), "/home/someone/.local/share");
}

TEST(DirectorySearch, PatternsMatchFilesInListingOrder) {
    Scratch_Folder root;
    root.make_folder("Mirravane/folder.dat");
    const std::vector<std::string> dat = {"default.dat", "Other.DAT", "a1.dat", "a22.dat", "zz.Dat"};
    for (const auto& name : dat) root.write("Mirravane/" + name, std::string(name.size(), 'x'));
    root.write("Mirravane/notes.txt", "n");
    root.write("Mirravane/dat", "n");

    // "*.DAT" finds every preset whatever its case, never the folder, in the listing's order.
    EXPECT_EQ(find_all(root.windows("mirravane\\*.DAT")), listing_order(root.native("Mirravane"), dat));
    EXPECT_EQ(find_all(root.windows("Mirravane\\a?.dat")), std::vector<std::string>{"a1.dat"});
    EXPECT_EQ(find_all(root.windows("Mirravane\\A??.DAT")), std::vector<std::string>{"a22.dat"});
    EXPECT_EQ(find_all(root.windows("Mirravane\\*t*.t?t")), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(find_all(root.windows("Mirravane\\DEFAULT.DAT")), std::vector<std::string>{"default.dat"});
    EXPECT_EQ(find_all(root.windows("Mirravane\\*.*")).size(), 7u);  // also "dat", which has no dot
    EXPECT_TRUE(find_all(root.windows("Mirravane\\*.bmp")).empty());
    EXPECT_TRUE(find_all(root.windows("Missing\\*.dat")).empty());

    Find_Data data;
    HFIND find = FindFirstFileA(root.windows("Mirravane\\zz.dat").c_str(), &data);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(data.nFileSizeLow, 6u);
    EXPECT_FALSE(FindNextFileA(find, &data));
    FindClose(find);

    // Many stars against a long name that does not match must still end quickly.
    root.write("Mirravane/" + std::string(200, 'a'), "");
    EXPECT_TRUE(find_all(root.windows("Mirravane\\*a*a*a*a*a*a*a*a*a*a*a*a*b")).empty());
}

TEST(Files, ReadsCountWholeItemsAndTheDiskCanFill) {
    Scratch_Folder root;
    root.write("data.bin", std::string(25, 'q'));
    Std_File* in = Open_File(root.windows("DATA.BIN").c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char buffer[64];
    EXPECT_EQ(Read_File(buffer, 10, 3, in), 2u);  // 25 bytes hold two whole items of ten
    EXPECT_EQ(Write_File(buffer, 1, 1, in), 0u);  // opened for reading only
    Close_File(in);

    Set_Disk_Space_Limit(10);
    HANDLE out = CreateFileA(root.windows("log.txt").c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(out, nullptr);
    uint32_t written = 0;
    EXPECT_TRUE(WriteFile(out, "123456", 6, &written));
    EXPECT_FALSE(WriteFile(out, "789012", 6, &written));
    EXPECT_FALSE(WriteFile(out, "x", 1, &written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetFileSize(out), 10u);
    CloseHandle(out);

    Set_Disk_Space_Limit(100);
    Std_File* record = Open_File(root.windows("record.dat").c_str(), "wb");
    ASSERT_NE(record, nullptr);
    std::string block(150, 'r');
    EXPECT_EQ(Write_File(block.data(), block.size(), 1, record), 0u);
    Close_File(record);
    EXPECT_LE(root.read("record.dat").size(), 100u);

    Set_Disk_Space_Limit(-1);
    record = Open_File(root.windows("record.dat").c_str(), "wb");
    EXPECT_EQ(Write_File(block.data(), 50, 3, record), 3u);
    Close_File(record);
    EXPECT_EQ(root.read("record.dat"), block);
}

TEST(Files, OnlyRegularFilesOpenAndNothingWaits) {
    Scratch_Folder root;
    ASSERT_EQ(mkfifo(root.native("pipe").c_str(), 0644), 0);
    root.make_folder("folder");
    alarm(20);  // an open that waited on the FIFO would end the test here
    for (const char* name : {"pipe", "folder", "/dev/null"}) {
        const std::string path = name[0] == '/' ? std::string(name) : root.windows(name);
        for (uint32_t access : {GENERIC_READ, GENERIC_WRITE})
            for (uint32_t disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS})
                EXPECT_EQ(CreateFileA(path.c_str(), access, 0, disposition), nullptr) << name;
        for (const char* mode : {"rb", "wb", "ab", "r+b"}) EXPECT_EQ(Open_File(path.c_str(), mode), nullptr) << name;
        std::vector<uint8_t> data;
        EXPECT_EQ(Read_Regular_File(path, data, 100), File_Read::Not_Regular) << name;
    }
    alarm(0);
    EXPECT_EQ(std::filesystem::status(root.native("pipe")).type(), std::filesystem::file_type::fifo);
}

TEST(Files, OnlyStaleTemporaryFilesOfOursAreRemoved) {
    namespace fs = std::filesystem;
    Scratch_Folder root;
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const pid_t alive = fork();
    if (alive == 0) {
        pause();
        _exit(0);
    }
    const std::string d = std::to_string(dead), a = std::to_string(alive);

    const std::vector<std::string> stale = {"default.dat.mirravane-" + d + ".tmp", "3.bmp.mirravane-" + d + ".tmp",
                                            "old.dat.mirravane-" + a + ".tmp"};
    const std::vector<std::string> kept = {"busy.dat.mirravane-" + a + ".tmp", "notes.tmp", "default.dat.tmp",
                                           "x.mirravane-12z.tmp", ".mirravane-" + d + ".tmp",
                                           "y.mirravane-" + d + ".tmp.bak"};
    for (const auto& name : stale) root.write(name, "x");
    for (const auto& name : kept) root.write(name, "x");
    root.make_folder("z.mirravane-" + d + ".tmp");
    // A process of that number living on: the file is older than any save lasts.
    fs::last_write_time(root.native(stale[2]), fs::file_time_type::clock::now() - std::chrono::hours(1));
    EXPECT_EQ(Temporary_File_Name("a\\b.dat"), "a\\b.dat.mirravane-" + std::to_string(getpid()) + ".tmp");

    EXPECT_EQ(Remove_Stale_Temporary_Files(root.windows("")), 3);
    for (const auto& name : stale) EXPECT_FALSE(fs::exists(root.native(name))) << name;
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(root.native(name))) << name;
    EXPECT_TRUE(fs::is_directory(root.native("z.mirravane-" + d + ".tmp")));
    kill(alive, SIGKILL);
    waitpid(alive, nullptr, 0);
}

TEST(Clocks, FakeClockDrivesEveryClock) {
    int64_t a = 0, b = 0, frequency = 0;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency, 1000000);
    uint32_t t0 = timeGetTime();
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    usleep(20000);
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_GE(b - a, 20000);
    EXPECT_GE(timeGetTime() - t0, 20u);

    // The millisecond clocks wrap at 2^32.
    Set_Fake_Clock(true, 4294967296LL * 1000 + 7123);
    EXPECT_EQ(timeGetTime(), 7u);
    EXPECT_EQ(GetTickCount(), 7u);
    Set_Fake_Clock(false);
}

TEST(SaverFlag, LockIsSeenByOtherProcesses) {
    Scratch_Folder root;
    Set_Saver_Lock_Path(root.native("saver.lock"));

    // Another process asks whether the saver runs: exit code 1 for yes.
    auto seen_by_child = [&] {
        pid_t child = fork();
        if (child == 0) {
            Set_Saver_Lock_Path(root.native("saver.lock"));  // drops the inherited descriptor only
            _exit(Screen_Saver_Running() ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 1;
    };

    EXPECT_FALSE(Screen_Saver_Running());
    EXPECT_FALSE(Set_Screen_Saver_Running(true));
    EXPECT_TRUE(Screen_Saver_Running());
    EXPECT_TRUE(seen_by_child());
    EXPECT_TRUE(Set_Screen_Saver_Running(true));
    EXPECT_TRUE(Set_Screen_Saver_Running(false));
    EXPECT_FALSE(Screen_Saver_Running());
    EXPECT_FALSE(seen_by_child());
    EXPECT_FALSE(Set_Screen_Saver_Running(false));

    Set_Saver_Lock_Path("");
}

// The lock never sits where another user could hold it or plant something: the runtime
// folder when it is private, else a private folder of the user's own, else no lock at all
// (and then no saver is ever kept away).
TEST(SaverFlag, LockLivesInAPrivateFolderOfTheUsersOwn) {
    Scratch_Folder root;
    Set_Saver_Lock_Path("");
    const char* runtime_before = std::getenv("XDG_RUNTIME_DIR");
    const char* tmp_before = std::getenv("TMPDIR");
    const std::string runtime_saved = runtime_before ? runtime_before : "";
    const std::string tmp_saved = tmp_before ? tmp_before : "";
    const std::string runtime = root.native("run");
    const std::string tmp = root.native("tmp");
    const std::string own = tmp + "/mirravane-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    mkdir(tmp.c_str(), 01777);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("TMPDIR", tmp.c_str(), 1);

    EXPECT_EQ(Saver_Lock_Path(), runtime + "/mirravane-saver.lock");
    EXPECT_FALSE(Set_Screen_Saver_Running(true));
    EXPECT_TRUE(Screen_Saver_Running());
    EXPECT_TRUE(Set_Screen_Saver_Running(false));

    // A runtime folder others may enter is not the user's own.
    chmod(runtime.c_str(), 0755);
    EXPECT_EQ(Saver_Lock_Path(), own + "/mirravane-saver.lock");
    struct stat st {};
    ASSERT_EQ(lstat(own.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(Saver_Lock_Path(), own + "/mirravane-saver.lock");
    EXPECT_FALSE(Set_Screen_Saver_Running(true));
    EXPECT_TRUE(Set_Screen_Saver_Running(false));

    // A folder of that name that others can write to, or a link, is not used.
    ASSERT_EQ(remove((own + "/mirravane-saver.lock").c_str()), 0);
    ASSERT_EQ(chmod(own.c_str(), 0777), 0);
    EXPECT_EQ(Saver_Lock_Path(), "");
    EXPECT_FALSE(Set_Screen_Saver_Running(true));
    EXPECT_FALSE(Screen_Saver_Running());

    if (runtime_before) setenv("XDG_RUNTIME_DIR", runtime_saved.c_str(), 1);
    if (tmp_before)
        setenv("TMPDIR", tmp_saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}
