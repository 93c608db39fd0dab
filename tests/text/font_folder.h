// A display plus a working folder holding the installed fonts: include/fonts/ below the
// working folder and Mirravane/Data/Bmp/Font.bmp below the scratch Windows directory.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/scratch_folder.h"
#include "support/surface_fixture.h"
#include "text/font.h"

class Font_Folder : public Surface_Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const fs::path data = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";
        folder_.make_folder("include/fonts");
        folder_.make_folder("Mirravane/Data/Bmp");
        fs::copy(data / "include" / "fonts", folder_.native("include/fonts"), fs::copy_options::recursive);
        fs::copy_file(data / "Data" / "Bmp" / "Font.bmp", folder_.native("Mirravane/Data/Bmp/Font.bmp"));
        previous_ = fs::current_path();
        fs::current_path(folder_.path());
    }
    void TearDown() override {
        Release_All_Fonts(s);
        std::filesystem::current_path(previous_);
        Surface_Test::TearDown();
    }
    Scratch_Folder folder_;
    std::filesystem::path previous_;
};
