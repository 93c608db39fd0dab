// The blit family: results per depth, clipping, failures and the retry bound.
#include <functional>

#include <gtest/gtest.h>

#include "support/surface_fixture.h"
#include "surface/blit.h"
#include "surface/display.h"

using Reports = std::vector<std::string>;

namespace {

class Blit_Test : public Surface_Test {
protected:
    Surface source = nullptr, dest = nullptr;

    // Screen 64 x 48; a 30 x 8 source whose pixel (x, y) is x + 1 + 30 * y (below 256, so every
    // depth holds it),
    // and a destination that starts all zero.
    void Make(int bpp) {
        Close_Surface_Display(s.display);
        Open(bpp);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &source, 30, 8), 1);
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &dest, 64, 48), 1);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 30; ++x) Poke(source, x, y, Value(x, y));
    }
    static uint32_t Value(int x, int y) { return static_cast<uint32_t>(x + 1 + 30 * y); }
    using Px = std::vector<uint32_t>;
    static Px Row(Surface s, int x, int y, int n) {
        Px out;
        for (int i = 0; i < n; ++i) out.push_back(Peek(s, x + i, y));
        return out;
    }
    static Px Column(Surface s, int x, int y, int n) {
        Px out;
        for (int j = 0; j < n; ++j) out.push_back(Peek(s, x, y + j));
        return out;
    }
    void Fill_Dest(uint32_t v) {
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) Poke(dest, x, y, v);
    }
    void TearDown() override {
        Release_Surface(&source);
        Release_Surface(&dest);
        Surface_Test::TearDown();
    }
};

}  // namespace

TEST_F(Blit_Test, EveryMemberCopiesKeysMirrorsAndStretchesAtEveryDepth) {
    for (int bpp : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        Make(bpp);
        // Key-valued (0) source pixels along row 1.
        Poke(source, 0, 1, 0);
        Poke(source, 2, 1, 0);
        const uint32_t v1 = Value(1, 1), v3 = Value(3, 1);

        Fill_Dest(200);
        ASSERT_EQ(Blit(s.display, source, dest, 0, 0, 5, 6, 4, 2), 1);
        EXPECT_EQ(Row(dest, 5, 6, 5), (Px{Value(0, 0), Value(1, 0), Value(2, 0), Value(3, 0), 200}));
        EXPECT_EQ(Row(dest, 5, 7, 5), (Px{0, v1, 0, v3, 200}));  // zeros copied
        EXPECT_EQ(Peek(dest, 5, 8), 200u);

        Fill_Dest(200);
        ASSERT_EQ(Clip_Blit(s.display, source, dest, 0, 1, 0, 0, 4, 1), 1);
        EXPECT_EQ(Row(dest, 0, 0, 4), (Px{0, v1, 0, v3}));
        Fill_Dest(200);
        ASSERT_EQ(Masked_Clip_Blit(s.display, source, dest, 0, 1, 0, 0, 4, 1), 1);
        EXPECT_EQ(Row(dest, 0, 0, 4), (Px{200, v1, 200, v3}));
        Fill_Dest(200);
        ASSERT_EQ(Masked_Clip_Blit_Ex(s.display, source, dest, 0, 1, 0, 0, 4, 1, 64, 48), 1);
        EXPECT_EQ(Row(dest, 0, 0, 4), (Px{200, v1, 200, v3}));

        // a, b, c, d becomes d, c, b, a; mirrored and keyed leaves the zeros' places alone.
        Fill_Dest(200);
        ASSERT_EQ(Clip_H_Blit(s.display, source, dest, 0, 0, 0, 0, 4, 1), 1);
        EXPECT_EQ(Row(dest, 0, 0, 4), (Px{Value(3, 0), Value(2, 0), Value(1, 0), Value(0, 0)}));
        ASSERT_EQ(Masked_H_Blit(s.display, source, dest, 0, 1, 0, 0, 4, 1), 1);
        EXPECT_EQ(Row(dest, 0, 0, 4), (Px{v3, Value(2, 0), v1, Value(0, 0)}));
        ASSERT_EQ(Clip_V_Blit(s.display, source, dest, 1, 0, 0, 0, 1, 3), 1);
        EXPECT_EQ(Column(dest, 0, 0, 3), (Px{Value(1, 2), Value(1, 1), Value(1, 0)}));
        // A whole row of 29 (long enough for the vector loops and a remainder), at an odd place.
        Fill_Dest(200);
        ASSERT_EQ(Clip_H_Blit(s.display, source, dest, 1, 3, 7, 20, 29, 2), 1);
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 29; ++i) EXPECT_EQ(Peek(dest, 7 + i, 20 + j), Value(29 - i, 3 + j)) << i;
        EXPECT_EQ(Peek(dest, 6, 20), 200u);
        EXPECT_EQ(Peek(dest, 36, 20), 200u);

        // 2 x 2 stretched to 4 x 4: every source pixel becomes a 2 x 2 block.
        Fill_Dest(0);
        ASSERT_EQ(Stretch_Blit(s.display, source, dest, 4, 2, 10, 10, 2, 2, 4, 4), 1);
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(Row(dest, 10, 10 + j, 5), (Px{Value(4, 2 + j / 2), Value(4, 2 + j / 2), Value(5, 2 + j / 2),
                                                    Value(5, 2 + j / 2), 0}));

        Fill_Dest(200);
        ASSERT_EQ(Fast_Blit(s.display, source, dest, 0, 1, 60, 40, 4, 7), 1);
        EXPECT_EQ(Row(dest, 60, 40, 4), (Px{0, v1, 0, v3}));
        EXPECT_EQ(Peek(dest, 63, 46), Value(3, 7));
        EXPECT_TRUE(Take_Reports().empty());

        Release_Surface(&source);
        Release_Surface(&dest);
    }
}

TEST_F(Blit_Test, ClippingCutsTheDestinationAndMovesTheSourceOnlyForLeftAndTopCuts) {
    Make(32);
    // dx = -10 with w = 30: 20 columns at x 0 from source x 10.
    ASSERT_EQ(Masked_Clip_Blit(s.display, source, dest, 0, 0, -10, 0, 30, 1), 1);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Peek(dest, i, 0), Value(10 + i, 0)) << i;
    EXPECT_EQ(Peek(dest, 20, 0), 0u);

    // dx + w equal to the bound is not cut; one more column is, at the right: the source stays.
    Fill_Dest(0);
    ASSERT_EQ(Clip_Blit(s.display, source, dest, 0, 0, 54, 0, 10, 1), 1);
    EXPECT_EQ(Row(dest, 54, 0, 10), Row(source, 0, 0, 10));
    ASSERT_EQ(Clip_Blit(s.display, source, dest, 0, 1, 55, 0, 10, 1), 1);
    EXPECT_EQ(Row(dest, 55, 0, 9), Row(source, 0, 1, 9));
    // Bottom and top edges against Screen_Height 48.
    Fill_Dest(0);
    ASSERT_EQ(Clip_Blit(s.display, source, dest, 0, 0, 0, 45, 1, 8), 1);
    EXPECT_EQ(Column(dest, 0, 45, 3), Column(source, 0, 0, 3));
    ASSERT_EQ(Clip_Blit(s.display, source, dest, 1, 0, 1, -5, 1, 8), 1);
    EXPECT_EQ(Column(dest, 1, 0, 4), (Px{Value(1, 5), Value(1, 6), Value(1, 7), 0}));

    // Mirrored members: the left cut shows the columns after the cut, mirrored among themselves.
    Fill_Dest(0);
    ASSERT_EQ(Clip_H_Blit(s.display, source, dest, 0, 0, -2, 0, 6, 1), 1);
    EXPECT_EQ(Row(dest, 0, 0, 5), (Px{Value(5, 0), Value(4, 0), Value(3, 0), Value(2, 0), 0}));
    ASSERT_EQ(Clip_V_Blit(s.display, source, dest, 0, 0, 7, -1, 1, 3), 1);
    EXPECT_EQ(Column(dest, 7, 0, 3), (Px{Value(0, 2), Value(0, 1), 0}));
    ASSERT_EQ(Masked_H_Blit(s.display, source, dest, 0, 1, -1, 1, 3, 1), 1);
    EXPECT_EQ(Row(dest, 0, 1, 3), (Px{Value(2, 1), Value(1, 1), 0}));

    // The Ex member clips against its own arguments.
    Fill_Dest(0);
    ASSERT_EQ(Masked_Clip_Blit_Ex(s.display, source, dest, 0, 0, 15, 0, 10, 1, 20, 20), 1);
    EXPECT_EQ(Row(dest, 15, 0, 6), (Px{Value(0, 0), Value(1, 0), Value(2, 0), Value(3, 0), Value(4, 0), 0}));

    // Wholly outside on any side: success, nothing drawn, no platform call.
    Fill_Dest(0);
    const int calls = DD_Call_Count(DD_Call::Blt);
    const std::function<int(int, int)> members[] = {
        [&](int dx, int dy) { return Clip_Blit(s.display, source, dest, 0, 0, dx, dy, 10, 5); },
        [&](int dx, int dy) { return Masked_Clip_Blit(s.display, source, dest, 0, 0, dx, dy, 10, 5); },
        [&](int dx, int dy) { return Masked_Clip_Blit_Ex(s.display, source, dest, 0, 0, dx, dy, 10, 5, 64, 48); },
        [&](int dx, int dy) { return Clip_V_Blit(s.display, source, dest, 0, 0, dx, dy, 10, 5); },
        [&](int dx, int dy) { return Clip_H_Blit(s.display, source, dest, 0, 0, dx, dy, 10, 5); },
        [&](int dx, int dy) { return Masked_H_Blit(s.display, source, dest, 0, 0, dx, dy, 10, 5); },
    };
    for (const auto& member : members) {
        EXPECT_EQ(member(-10, 0), 1);
        EXPECT_EQ(member(0, -5), 1);
        EXPECT_EQ(member(64, 0), 1);
        EXPECT_EQ(member(0, 48), 1);
        EXPECT_EQ(member(-2000000000, 0), 1);
        EXPECT_EQ(member(2000000000, 0), 1);
    }
    EXPECT_EQ(DD_Call_Count(DD_Call::Blt), calls);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(Peek(dest, x, y), 0u);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Blit_Test, EmptySizesAndBadSurfacesAreRefused) {
    Make(16);
    EXPECT_EQ(Blit(s.display, source, dest, 0, 0, 0, 0, 0, 4), 0);
    EXPECT_EQ(Clip_Blit(s.display, source, dest, 0, 0, 0, 0, 4, -1), 0);
    EXPECT_EQ(Masked_Clip_Blit_Ex(s.display, source, dest, 0, 0, 0, 0, 4, 4, 0, 10), 0);
    EXPECT_EQ(Masked_Clip_Blit_Ex(s.display, source, dest, 0, 0, 0, 0, 4, 4, 10, -3), 0);
    EXPECT_EQ(Stretch_Blit(s.display, source, dest, 0, 0, 0, 0, 4, 4, 4, 0), 0);
    EXPECT_EQ(Stretch_Blit(s.display, source, dest, 0, 0, 0, 0, 4, 4, -1, 4), 0);
    EXPECT_EQ(Fast_Blit(s.display, source, dest, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Blit(s.display, nullptr, nullptr, 0, 0, 0, 0, 0, 0), 0);  // size is checked first
    EXPECT_TRUE(Take_Reports().empty());

    // The destination is checked first, even when the source is bad as well.
    EXPECT_EQ(Blit(s.display, nullptr, nullptr, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Blit():FAILED due to BAD dest surface (either lost or NULL)\n"});
    EXPECT_EQ(Masked_H_Blit(s.display, source, nullptr, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Masked_H_Blit():FAILED due to BAD dest surface (either lost or NULL)\n"});
    EXPECT_EQ(Fast_Blit(s.display, nullptr, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Fast_Blit():FAILED due to BAD source 0 surface (either lost or NULL)\n"});
    source->Mark_Lost();
    EXPECT_EQ(Clip_Blit(s.display, source, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Clip_Blit():FAILED due to BAD source " +
                                      std::to_string(reinterpret_cast<intptr_t>(source)) +
                                      " surface (either lost or NULL)\n"});
    EXPECT_EQ(source->IsLost(), DDERR_SURFACELOST);  // no restore at this point
    dest->Mark_Lost();
    EXPECT_EQ(Stretch_Blit(s.display, source, dest, 0, 0, 0, 0, 4, 4, 8, 8), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Stretch_Blit():FAILED due to BAD dest surface (either lost or NULL)\n"});
}

TEST_F(Blit_Test, PlatformAnswersEndInEachMembersMessages) {
    Make(32);
    struct Member {
        const char* name;
        std::function<int()> call;
        std::string default_text;  // for the rectangle used
    };
    // Every call copies (1,2) -> (3,4), 5 x 6; the stretch goes to 7 x 3.
    const Member members[] = {
        {"Blit", [&] { return Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6); },
         "Blit(): DEFAULTblitting from (1,2)\nto (3,4)\nwidth = 5\nheight = 6Perhaps you have crossed the surface "
         "boundary?"},
        {"Clip_Blit", [&] { return Clip_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6); },
         "Clip_Blit(): DEFAULT blitting from source x,y (1,2) to dest x,y (3,4) width = 5 height = 6"},
        {"Masked_Clip_Blit", [&] { return Masked_Clip_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6); },
         "Masked_Clip_Blit(): DEFAULT blitting from tl(1,2) br (6,8)\nto tl (3,4) br (8,10)\nwidth = 5\nheight = "
         "6source dimension w 30 h 8\ndest dimensions w64 h48"},
        {"Masked_Clip_Blit_Ex", [&] { return Masked_Clip_Blit_Ex(s.display, source, dest, 1, 2, 3, 4, 5, 6, 64, 48); },
         "Masked_Clip_Blit_Ex(): DEFAULTblitting from tl(1,2) br (6,8)\nto tl (3,4) br (8,10)\nwidth = 5\nheight = "
         "6source dimension w 30 h 8\ndest dimensions w64 h48"},
        {"Clip_V_Blit", [&] { return Clip_V_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6); },
         "Clip_V_Blit(): DEFAULTblitting from (1,2)\nto (3,4)\nwidth = 5\nheight = 6Perhaps you have crossed the "
         "surface boundary?"},
        {"Clip_H_Blit", [&] { return Clip_H_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6); },
         "Clip_H_Blit(): DEFAULTblitting from (1,2)\nto (3,4)\nwidth = 5\nheight = 6Perhaps you have crossed the "
         "surface boundary?"},
        {"Masked_H_Blit", [&] { return Masked_H_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6); },
         "Masked_H_Blit(): DEFAULTblitting from (1,2)\nto (3,4)\nwidth = 5\nheight = 6Perhaps you have crossed the "
         "surface boundary?"},
        {"Stretch_Blit", [&] { return Stretch_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6, 7, 3); },
         "Stretch_Blit(): DEFAULTblitting from tl(1,2); br (6,8)\nto lt(3,4); br (10,7)\nsource width = 5\nsource "
         "height = 6\ndest_width = 7\ndest_height = 3Perhaps you have crossed the surface boundary?"},
    };
    Surface spare = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &spare, 4, 4), 1);
    for (const Member& m : members) {
        SCOPED_TRACE(m.name);
        const std::string name = m.name;

        Inject_DD_Fault(DD_Call::Blt, DDERR_LOCKEDSURFACES);
        EXPECT_EQ(m.call(), 0);
        EXPECT_EQ(Take_Reports(), Reports{name + "(): DDERR_LOCKEDSURFACES I think you need to free a surface!"});

        Inject_DD_Fault(DD_Call::Blt, DDERR_NOBLTHW);
        EXPECT_EQ(m.call(), 0);
        EXPECT_EQ(Take_Reports(), Reports{m.default_text});

        // Busy, still drawing and a repaired loss are all tried again.
        int start = DD_Call_Count(DD_Call::Blt);
        Inject_DD_Fault(DD_Call::Blt, DDERR_WASSTILLDRAWING, 2);
        EXPECT_EQ(m.call(), 1);
        Inject_DD_Fault(DD_Call::Blt, DDERR_SURFACEBUSY, 1);
        EXPECT_EQ(m.call(), 1);
        Inject_DD_Fault(DD_Call::Blt, DDERR_SURFACELOST, 1);
        EXPECT_EQ(m.call(), 1);
        EXPECT_EQ(DD_Call_Count(DD_Call::Blt) - start, 3 + 2 + 2);
        EXPECT_TRUE(Take_Reports().empty());

        // A main surface that cannot be restored.
        s.display.Visible = spare;
        s.display.Visible->Mark_Lost();
        Inject_DD_Fault(DD_Call::Blt, DDERR_SURFACELOST, 1);
        Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC, 1);
        EXPECT_EQ(m.call(), 0);
        EXPECT_EQ(Take_Reports(), (Reports{"Restore_All_Surfaces():Unable to restore Visible Surface",
                                           name + "(): DDER_SURFACELOST and can't be restored"}));
        s.display.Visible->Restore();
        s.display.Visible = nullptr;

        // Busy for ever: bounded, then the default message.
        start = DD_Call_Count(DD_Call::Blt);
        Inject_DD_Fault(DD_Call::Blt, DDERR_SURFACEBUSY, 1 << 30);
        EXPECT_EQ(m.call(), 0);
        EXPECT_EQ(DD_Call_Count(DD_Call::Blt) - start, Surface_Retry_Limit + 1);
        EXPECT_EQ(Take_Reports(), Reports{m.default_text});
        Clear_DD_Faults();
    }
    Release_Surface(&spare);

    // A real platform refusal (source rectangle past the source's edge) ends in the default.
    EXPECT_EQ(Blit(s.display, source, dest, 28, 0, 0, 0, 5, 1), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Blit(): DEFAULTblitting from (28,0)\nto (0,0)\nwidth = 5\nheight = "
                                      "1Perhaps you have crossed the surface boundary?"});

    // Clip_Blit names more codes; the quoted rectangle is the clipped one.
    const std::pair<HRESULT, std::string> clip_codes[] = {
        {DDERR_INVALIDRECT, "Clip_Blit(): DDERR_INVALIDRECT "},
        {DDERR_INVALIDPARAMS, "Clip_Blit(): DDERR_INVALIDPARAMS "},
        {DDERR_UNSUPPORTED, "Clip_Blit(): DDERR_UNSUPPORTED "},
        {DDERR_INVALIDCLIPLIST, "Clip_Blit(): DDERR_INVALIDCLIPLIST"},
        {DDERR_INVALIDOBJECT, "Clip_Blit(): DDERR_INVALIDOBJECT"},
        {DDERR_NOCLIPLIST, "Clip_Blit(): DDERR_NOCLIPLIST "},
        {DDERR_GENERIC, "Clip_Blit(): GENERIC blitting from source x,y (3,2) to dest x,y (0,4) width = 3 height = 6"},
        {DDERR_OUTOFMEMORY,
         "Clip_Blit(): DEFAULT blitting from source x,y (3,2) to dest x,y (0,4) width = 3 height = 6"},
    };
    for (const auto& [code, text] : clip_codes) {
        Inject_DD_Fault(DD_Call::Blt, code);
        EXPECT_EQ(Clip_Blit(s.display, source, dest, 1, 2, -2, 4, 5, 6), 0);
        EXPECT_EQ(Take_Reports(), Reports{text});
    }
}

TEST_F(Blit_Test, FastBlitAndWaitForBlitterTexts) {
    Make(32);
    const std::string default_text =
        "Fast_Blit(): DEFAULT blitting from (1,2)\nto (3,4)\nwidth = 5\nheight = 6Perhaps you have crossed the "
        "surface boundary?";
    Inject_DD_Fault(DD_Call::BltFast, DDERR_LOCKEDSURFACES);
    EXPECT_EQ(Fast_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Fast_Blit(): DDERR_LOCKEDSURFACES \n I think you need to free a surface!"});
    Inject_DD_Fault(DD_Call::BltFast, DDERR_GENERIC);
    EXPECT_EQ(Fast_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_EQ(Take_Reports(), Reports{default_text});
    int start = DD_Call_Count(DD_Call::BltFast);
    Inject_DD_Fault(DD_Call::BltFast, DDERR_WASSTILLDRAWING, 1 << 30);
    EXPECT_EQ(Fast_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_EQ(DD_Call_Count(DD_Call::BltFast) - start, Surface_Retry_Limit + 1);
    EXPECT_EQ(Take_Reports(), Reports{default_text});
    Clear_DD_Faults();

    Surface spare = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &spare, 4, 4), 1);
    s.display.Scratch_Pad = spare;
    s.display.Scratch_Pad->Mark_Lost();
    Inject_DD_Fault(DD_Call::BltFast, DDERR_SURFACELOST);
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Fast_Blit(s.display, source, dest, 1, 2, 3, 4, 5, 6), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Restore_All_Surfaces():Unable to restore Scratch_Pad",
                                       "Fast_Blit(): DDER_SURFACELOST \n surface can't be restored"}));

    // A destination with a clipper refuses the fast copy.
    DDClipper* clipper = nullptr;
    ASSERT_EQ(s.display.Direct_Draw_Interface->CreateClipper(0, &clipper), DD_OK);
    ASSERT_EQ(dest->SetClipper(clipper), DD_OK);
    EXPECT_EQ(Fast_Blit(s.display, source, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Fast_Blit(): DDERR_UNSUPPORTED \n Cannot Blit to Clipped Surface"});
    clipper->Release();

    // Wait_For_Blitter.
    EXPECT_EQ(Wait_For_Blitter(s.display, source), 1);
    const std::pair<HRESULT, const char*> codes[] = {
        {DDERR_INVALIDOBJECT, "Wait_For_Blitter(): DDERR_INVALIDOBJECT \n"},
        {DDERR_UNSUPPORTED, "Wait_For_Blitter(): DDERR_UNSUPPORTED"},
        {DDERR_INVALIDPARAMS, "Wait_For_Blitter(): DDERR_INVALIDPARAMS \n"},
        {DDERR_NOBLTHW, "Wait_For_Blitter(): DDERR_NOBLTHW \n This system has no blitter hardware.\nWhere's the video "
                        "card?"},
    };
    for (const auto& [code, text] : codes) {
        Inject_DD_Fault(DD_Call::GetBltStatus, code);
        EXPECT_EQ(Wait_For_Blitter(s.display, source), 0);
        EXPECT_EQ(Take_Reports(), Reports{text});
    }
    start = DD_Call_Count(DD_Call::GetBltStatus);
    Inject_DD_Fault(DD_Call::GetBltStatus, DDERR_WASSTILLDRAWING, 5);
    EXPECT_EQ(Wait_For_Blitter(s.display, source), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::GetBltStatus) - start, 6);
    Inject_DD_Fault(DD_Call::GetBltStatus, DDERR_SURFACELOST, 1);
    EXPECT_EQ(Wait_For_Blitter(s.display, source), 1);
    s.display.Scratch_Pad->Mark_Lost();
    Inject_DD_Fault(DD_Call::GetBltStatus, DDERR_SURFACELOST, 1);
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Wait_For_Blitter(s.display, source), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Restore_All_Surfaces():Unable to restore Scratch_Pad",
                                       "Wait_For_Blitter(): DDER_SURFACELOST \n surface can't be restored"}));
    Inject_DD_Fault(DD_Call::GetBltStatus, DDERR_WASSTILLDRAWING, 1 << 30);
    EXPECT_EQ(Wait_For_Blitter(s.display, source), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Wait_For_Blitter(): retry limit reached"});
}
