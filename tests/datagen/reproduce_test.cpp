// The committed data must be exactly what the generator makes, so that a
// change to the generator shows up as a change to the data.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path Source_Dir = fs::path(__FILE__).parent_path().parent_path().parent_path();

std::string Read_All(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#ifdef MIRRAVANE_DATAGEN
TEST(Data_Generator, RerunReproducesTheCommittedFilesByteForByte)
{
    // The glyph pictures come from these font files; without them the output differs.
    for (const char *font : {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                             "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"})
        if (!fs::exists(font))
            GTEST_SKIP() << "font " << font << " not installed";

    const fs::path out = fs::temp_directory_path() / ("mirravane-datagen-test-" + std::to_string(getpid()));
    fs::remove_all(out);
    fs::create_directories(out / "src");
    const std::string command = std::string("'") + MIRRAVANE_DATAGEN + "' --out '" + (out / "data").string() +
                                "' --glyph-source '" + (out / "src").string() + "' --icon '" +
                                (out / "mirravane.png").string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    int compared = 0;
    for (const auto &entry : fs::recursive_directory_iterator(out / "data")) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), out / "data");
        EXPECT_TRUE(Read_All(entry.path()) == Read_All(Source_Dir / "data" / relative)) << relative;
        ++compared;
    }
    for (const char *name : {"glyph_tables.h", "glyph_tables.cpp"}) {
        EXPECT_TRUE(Read_All(out / "src" / name) == Read_All(Source_Dir / "src/text" / name)) << name;
        ++compared;
    }
    EXPECT_TRUE(Read_All(out / "mirravane.png") == Read_All(Source_Dir / "packaging/mirravane.png"));
    EXPECT_GT(compared, 60);
    fs::remove_all(out);
}
#endif

}  // namespace
