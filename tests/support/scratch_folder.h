// A throw-away folder that stands in for the Windows directory during one test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/system/system.h"

class Scratch_Folder {
public:
    Scratch_Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mirravane-test-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data())) path_ = made;
        Set_Windows_Directory_Override(path_);
    }
    ~Scratch_Folder() {
        Set_Windows_Directory_Override("");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch_Folder(const Scratch_Folder&) = delete;
    Scratch_Folder& operator=(const Scratch_Folder&) = delete;

    const std::string& path() const { return path_; }
    // A path below the folder in the engine's spelling, e.g. windows("Mirravane\\default.dat").
    std::string windows(const std::string& inside) const { return path_ + "\\" + inside; }
    std::string native(const std::string& inside) const { return path_ + "/" + inside; }

    void make_folder(const std::string& inside) const { std::filesystem::create_directories(native(inside)); }
    void write(const std::string& inside, const std::string& bytes) const {
        std::ofstream out(native(inside), std::ios::binary);
        out << bytes;
    }
    std::string read(const std::string& inside) const {
        std::ifstream in(native(inside), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string path_;
};
