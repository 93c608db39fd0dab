// mirravane-datagen --out DIR [--glyph-source DIR] [--icon FILE] [--font FILE] [--condensed-font FILE]
// Writes the program folder's installed data into DIR; with --glyph-source also the
// glyph tables that belong to the font bitmaps, with --icon the application icon (PNG).
// Output is deterministic.
#include "datagen.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: mirravane-datagen --out DIR [--glyph-source DIR] [--icon FILE] [--font FILE] "
                 "[--condensed-font FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    datagen::Options options;
    options.sans_bold_font = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    options.condensed_bold_font = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
    for (int i = 1; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "--out") == 0 && has_value)
            options.out_dir = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--glyph-source") == 0 && has_value)
            options.glyph_source_dir = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--icon") == 0 && has_value)
            options.icon_file = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--font") == 0 && has_value)
            options.sans_bold_font = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--condensed-font") == 0 && has_value)
            options.condensed_bold_font = QString::fromLocal8Bit(argv[++i]);
        else
            return Usage();
    }
    if (options.out_dir.isEmpty())
        return Usage();

    // A tool run from a build or a script has no display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    const bool ok = datagen::Generate_Fonts(options) && datagen::Generate_About(options) &&
                    datagen::Generate_Overlays(options) && datagen::Generate_Objects(options) &&
                    datagen::Generate_Sound(options) && datagen::Generate_Help(options) &&
                    datagen::Generate_Icon(options) &&
                    datagen::Generate_Presets(options, QStringLiteral(MIRRAVANE_PRESET_TABLE));
    if (!ok) {
        std::fprintf(stderr, "mirravane-datagen: FAILED\n");
        return 1;
    }
    std::printf("mirravane-datagen: data written to %s\n", qPrintable(options.out_dir));
    return 0;
}
