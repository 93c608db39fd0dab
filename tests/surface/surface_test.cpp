// Creation, clearing, keys, locking, dimensions and restore of surfaces.
#include <gtest/gtest.h>

#include "diagnostics/diagnostics.h"
#include "platform/gdi/gdi.h"
#include "platform/windows/windows.h"
#include "support/scratch_folder.h"
#include "support/surface_fixture.h"
#include "surface/display.h"
#include "surface/pixel_ops.h"

using Reports = std::vector<std::string>;

namespace {

bool All_Zero(Surface surf) {
    for (int y = 0; y < surf->height(); ++y)
        for (int x = 0; x < surf->width(); ++x)
            if (Peek(surf, x, y) != 0) return false;
    return true;
}

}  // namespace

TEST_F(Surface_Test, NewSurfacesAreClearKeyedZeroAndPlacedByBudget) {
    for (int bpp : {8, 15, 16, 24, 32}) {
        Close_Surface_Display(s.display);
        Open(bpp);
        Surface video = nullptr, system = nullptr;
        ASSERT_EQ(Create_Surface(s.display, &video, 20, 10), 1) << bpp;
        ASSERT_EQ(Create_SYSTEM_Surface(s.display, &system, 20, 10), 1) << bpp;
        EXPECT_TRUE(video->in_video_memory());
        EXPECT_FALSE(system->in_video_memory());
        EXPECT_EQ(video->bpp(), bpp);
        EXPECT_TRUE(All_Zero(video));
        EXPECT_TRUE(All_Zero(system));
        EXPECT_EQ(video->color_key(), 0u);
        EXPECT_EQ(system->color_key(), 0u);
        EXPECT_TRUE(Take_Reports().empty());
        Release_Surface(&video);
        Release_Surface(&system);
        EXPECT_EQ(video, nullptr);
    }

    // Wider than the screen on a display without wide surfaces: reported, then made in system memory.
    Close_Surface_Display(s.display);
    Open(32);
    Display_Settings().wide_surfaces = false;
    Surface wide = nullptr;
    ASSERT_EQ(Create_Surface(s.display, &wide, s.display.Screen_Width + 1, 4), 1);
    EXPECT_FALSE(wide->in_video_memory());
    EXPECT_EQ(Take_Reports(), Reports{"Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM"});
    Release_Surface(&wide);

    // 16 x 16 at 32 bits needs 1024 bytes: exactly 1024 free is enough, 1023 is not.
    Display_Settings().pitch_alignment = 1;
    Display_Settings().video_memory_bytes = 1024;
    Surface fits = nullptr, spills = nullptr;
    ASSERT_EQ(Create_Surface(s.display, &fits, 16, 16), 1);
    EXPECT_TRUE(fits->in_video_memory());
    EXPECT_TRUE(Take_Reports().empty());
    Release_Surface(&fits);
    Display_Settings().video_memory_bytes = 1023;
    ASSERT_EQ(Create_Surface(s.display, &spills, 16, 16), 1);
    EXPECT_FALSE(spills->in_video_memory());
    EXPECT_EQ(Take_Reports(), Reports{"Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM"});
    Release_Surface(&spills);
}

TEST_F(Surface_Test, CreationFailuresReportTheirCode) {
    Open(16);
    // 16 x 640 x 480 x 2 bits scaled by 0.0001220703125 x 0.001 gives 1.2.
    const std::string tail =
        "width = 640\nheight = 480N.B. Some video cards do not support\nVIDEOMEMORY surfaces\nthat are wider "
        "than the primary surface\nat least 1.200 MB required";
    struct Case {
        HRESULT code;
        std::string text;  // after the operation's name
    };
    const Case cases[] = {
        {DDERR_NOCOOPERATIVELEVELSET,
         "()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the \nIDirectDraw4::"
         "SetCooperativeLevel method being called. "},
        {DDERR_OUTOFMEMORY,
         "()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the operation\nat least 1.200 MB "
         "required"},
        {DDERR_INVALIDPARAMS,
         "()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the method are incorrect."},
        {DDERR_INVALIDCAPS,
         "()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to the callback function are incorrect."},
        {DDERR_OUTOFVIDEOMEMORY,
         "()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display memory\n to perform the operation. "
         "Cannot create surface\n" + tail},
        {DDERR_GENERIC, "():DEFAULT\nCannot create surface\n" + tail},
    };
    for (const Case& c : cases) {
        Surface surf = nullptr;
        Inject_DD_Fault(DD_Call::CreateSurface, c.code);
        EXPECT_EQ(Create_Surface(s.display, &surf, 640, 480), 0);
        EXPECT_EQ(surf, nullptr);
        EXPECT_EQ(Take_Reports(), Reports{"Create_Surface" + c.text});
        Inject_DD_Fault(DD_Call::CreateSurface, c.code);
        EXPECT_EQ(Create_SYSTEM_Surface(s.display, &surf, 640, 480), 0);
        EXPECT_EQ(Take_Reports(), Reports{"Create_SYSTEM_Surface" + c.text});
    }

    Surface surf = nullptr;
    Inject_DD_Fault(DD_Call::GetAvailableVidMem, DDERR_GENERIC);
    EXPECT_EQ(Create_Surface(s.display, &surf, 8, 8), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Create_Surface():Unable to determine available video memory"});

    Inject_DD_Fault(DD_Call::Blt, DDERR_LOCKEDSURFACES);
    EXPECT_EQ(Create_Surface(s.display, &surf, 8, 8), 0);
    EXPECT_EQ(Take_Reports(), (Reports{"Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!",
                                       "Create_Surface(): Clear FAILED"}));
    Release_Surface(&surf);
    Inject_DD_Fault(DD_Call::SetColorKey, DDERR_GENERIC);
    EXPECT_EQ(Create_SYSTEM_Surface(s.display, &surf, 8, 8), 0);
    EXPECT_EQ(Take_Reports(),
              (Reports{"Set_Transparency(): SetColorKey FAILED", "Create_SYSTEM_Surface(): Set Transparency FAILED"}));
    Release_Surface(&surf);

    // A handle that already holds a surface is refused and left alone.
    Surface held = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &held, 4, 4), 1);
    Surface before = held;
    EXPECT_EQ(Create_SYSTEM_Surface(s.display, &held, 8, 8), 0);
    EXPECT_EQ(held, before);
    EXPECT_EQ(held->width(), 4);
    EXPECT_EQ(Take_Reports(), Reports{"Create_SYSTEM_Surface(): surface_to_create should be NULL"});
    Release_Surface(&held);
}

TEST_F(Surface_Test, LockReportsEachCodeAndLearnsThePixelFormat) {
    Open(16, true);
    Surface surf = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, 10, 3), 1);
    EXPECT_EQ(Lock_Surface(s.display, nullptr), nullptr);
    EXPECT_TRUE(Take_Reports().empty());

    int pitch = 0;
    uint8_t* p = Lock_Surface(s.display, surf, &pitch);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(pitch, surf->pitch());
    EXPECT_GT(pitch, 10 * 2);  // rows are padded: loops must step by the pitch
    EXPECT_EQ(s.display.Pixel_Format_565, 1);
    Unlock_Surface(surf, p);
    EXPECT_FALSE(surf->is_locked());
    p = Lock_Surface(s.display, surf);  // pitch may be omitted
    EXPECT_NE(p, nullptr);
    Unlock_Surface(surf, p);

    const std::pair<HRESULT, const char*> codes[] = {
        {DDERR_SURFACEBUSY, "Lock_Surface():DDERR_SURFACEBUSY"},
        {DDERR_OUTOFMEMORY, "Lock_Surface():DDERR_OUTOFMEMORY"},
        {DDERR_INVALIDPARAMS, "Lock_Surface():DDERR_INVALIDPARAMS"},
        {DDERR_INVALIDOBJECT, "Lock_Surface():DDERR_INVALIDOBJECT"},
        {DDERR_WASSTILLDRAWING, "Lock_Surface():DDERR_WASSTILLDRAWING"},
    };
    for (const auto& [code, text] : codes) {
        Inject_DD_Fault(DD_Call::Lock, code);
        EXPECT_EQ(Lock_Surface(s.display, surf, &pitch), nullptr);
        EXPECT_EQ(Take_Reports(), Reports{text});
    }
    // A code the lock does not name leaves no pointer: silent null.
    Inject_DD_Fault(DD_Call::Lock, DDERR_GENERIC);
    EXPECT_EQ(Lock_Surface(s.display, surf, &pitch), nullptr);
    EXPECT_TRUE(Take_Reports().empty());

    // Lost twice, restored each time, then locked.
    const int before = DD_Call_Count(DD_Call::Lock);
    Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACELOST, 2);
    p = Lock_Surface(s.display, surf, &pitch);
    EXPECT_NE(p, nullptr);
    EXPECT_EQ(DD_Call_Count(DD_Call::Lock) - before, 3);
    Unlock_Surface(surf, p);

    // Lost for ever while the restore keeps succeeding: the retries end at the bound.
    const int start = DD_Call_Count(DD_Call::Lock);
    Inject_DD_Fault(DD_Call::Lock, DDERR_SURFACELOST, 1 << 30);
    EXPECT_EQ(Lock_Surface(s.display, surf, &pitch), nullptr);
    EXPECT_EQ(DD_Call_Count(DD_Call::Lock) - start, Surface_Retry_Limit + 1);
    EXPECT_EQ(Take_Reports(), Reports{"Lock_Surface():DDERR_SURFACELOST"});
    Clear_DD_Faults();

    // Lost and the restore of a main surface fails.
    s.display.Hidden = surf;
    surf = nullptr;
    s.display.Hidden->Mark_Lost();
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Lock_Surface(s.display, s.display.Hidden, &pitch), nullptr);
    EXPECT_EQ(Take_Reports(),
              (Reports{"Restore_All_Surfaces():Unable to restore Hidden Surface", "Lock_Surface():DDERR_SURFACELOST"}));
    // The next lock restores it and goes through.
    p = Lock_Surface(s.display, s.display.Hidden, &pitch);
    EXPECT_NE(p, nullptr);
    Unlock_Surface(s.display.Hidden, p);
}

TEST_F(Surface_Test, ClearFillsZeroRetriesAndGivesUp) {
    Open(32);
    Surface surf = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, 6, 5), 1);
    Poke(surf, 0, 0, 0x123456);
    Poke(surf, 5, 4, 0xFFFFFF);
    EXPECT_EQ(Clear(s.display, surf), 1);
    EXPECT_TRUE(All_Zero(surf));
    EXPECT_EQ(Clear(s.display, nullptr), 0);
    EXPECT_TRUE(Take_Reports().empty());

    // Busy answers are tried again.
    int start = DD_Call_Count(DD_Call::Blt);
    Inject_DD_Fault(DD_Call::Blt, DDERR_WASSTILLDRAWING, 3);
    EXPECT_EQ(Clear(s.display, surf), 1);
    EXPECT_EQ(DD_Call_Count(DD_Call::Blt) - start, 4);

    // A locked surface ends it.
    uint8_t* p = Lock_Surface(s.display, surf);
    EXPECT_EQ(Clear(s.display, surf), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!"});
    Unlock_Surface(surf, p);

    // A surface that is not one of the main three is never restored: bounded, then our message.
    surf->Mark_Lost();
    start = DD_Call_Count(DD_Call::Blt);
    EXPECT_EQ(Clear(s.display, surf), 0);
    EXPECT_EQ(DD_Call_Count(DD_Call::Blt) - start, Surface_Retry_Limit + 1);
    EXPECT_EQ(Take_Reports(), Reports{"Clear(): retry limit reached"});
    surf->Restore();

    // A main surface that cannot be restored: only the restore's message.
    s.display.Visible = surf;
    surf = nullptr;
    s.display.Visible->Mark_Lost();
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Clear(s.display, s.display.Visible), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Restore_All_Surfaces():Unable to restore Visible Surface"});
    // Restorable: restored, then cleared.
    EXPECT_EQ(Clear(s.display, s.display.Visible), 1);
    EXPECT_EQ(s.display.Visible->IsLost(), DD_OK);
}

TEST_F(Surface_Test, DimensionsRestoreAndVideoMemoryQueries) {
    EXPECT_EQ(Restore_All_Surfaces(s.display), 1);  // nothing created yet
    uint32_t total = 7, free = 7;
    EXPECT_EQ(Get_Available_Video_Memory(s.display, &total, &free), 0);  // no display interface
    EXPECT_EQ(Supports_Wide_Surfaces(s.display), 0);
    Open(32);

    Surface surf = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, 13, 7), 1);
    int w = -1, h = -1;
    EXPECT_EQ(Grab_Surface_Dimensions(s.app, surf, &w, &h), 1);
    EXPECT_EQ(std::pair(w, h), std::pair(13, 7));
    EXPECT_EQ(Grab_Surface_Dimensions(s.app, nullptr, &w, &h), 0);
    EXPECT_EQ(std::pair(w, h), std::pair(0, 0));
    EXPECT_EQ(Take_Reports(), Reports{" Grab_Surface_Dimensions(): Surface NULL"});
    w = h = 99;
    surf->Mark_Lost();
    EXPECT_EQ(Grab_Surface_Dimensions(s.app, surf, &w, &h), 0);
    EXPECT_EQ(std::pair(w, h), std::pair(99, 99));
    EXPECT_EQ(surf->IsLost(), DDERR_SURFACELOST);  // no restore tried
    EXPECT_EQ(Take_Reports(), Reports{" Grab_Surface_Dimensions(): Surface LOST"});
    surf->Restore();
    Inject_DD_Fault(DD_Call::GetSurfaceDesc, DDERR_GENERIC);
    EXPECT_EQ(Grab_Surface_Dimensions(s.app, surf, &w, &h), 0);
    EXPECT_EQ(std::pair(w, h), std::pair(0, 0));
    EXPECT_EQ(Take_Reports(), Reports{"Grab_Surface_Dimensions():Get Surface Description FAILED"});

    // Restore order: Visible, Hidden, Scratch_Pad; the first failure ends it.
    Surface a = nullptr, b = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &a, 4, 4), 1);
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &b, 4, 4), 1);
    s.display.Hidden = a;
    s.display.Scratch_Pad = b;
    s.display.Hidden->Mark_Lost();
    s.display.Scratch_Pad->Mark_Lost();
    EXPECT_EQ(Restore_All_Surfaces(s.display), 1);
    EXPECT_EQ(s.display.Hidden->IsLost(), DD_OK);
    EXPECT_EQ(s.display.Scratch_Pad->IsLost(), DD_OK);
    s.display.Scratch_Pad->Mark_Lost();
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Restore_All_Surfaces(s.display), 0);
    EXPECT_EQ(Take_Reports(), Reports{"Restore_All_Surfaces():Unable to restore Scratch_Pad"});
    s.display.Visible = surf;
    surf = nullptr;
    s.display.Visible->Mark_Lost();
    s.display.Hidden->Mark_Lost();
    Inject_DD_Fault(DD_Call::Restore, DDERR_GENERIC);
    EXPECT_EQ(Restore_All_Surfaces(s.display), 0);
    EXPECT_EQ(s.display.Hidden->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(Take_Reports(), Reports{"Restore_All_Surfaces():Unable to restore Visible Surface"});

    Display_Settings().video_memory_bytes = 5000;
    EXPECT_EQ(Get_Available_Video_Memory(s.display, &total, &free), 1);
    EXPECT_EQ(total, 5000u);
    EXPECT_EQ(free, 5000u);
    Inject_DD_Fault(DD_Call::GetAvailableVidMem, DDERR_GENERIC);
    EXPECT_EQ(Get_Available_Video_Memory(s.display, &total, &free), 0);
    EXPECT_EQ(Supports_Wide_Surfaces(s.display), 1);
    Display_Settings().wide_surfaces = false;
    EXPECT_EQ(Supports_Wide_Surfaces(s.display), 0);
    Display_Settings().wide_surfaces = true;
    Inject_DD_Fault(DD_Call::GetCaps, DDERR_GENERIC);
    EXPECT_EQ(Supports_Wide_Surfaces(s.display), 0);
    EXPECT_TRUE(Take_Reports().empty());
}

TEST_F(Surface_Test, GdiTextDrawsOnlyTheGlyphs) {
    Open(32, true, 120, 40);
    Surface surf = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &surf, 120, 40), 1);
    Poke(surf, 119, 39, 0x000001);
    EXPECT_EQ(Draw_GDI_Text(nullptr, 0, 0, RGB(255, 255, 255), "x"), 0);
    Inject_DD_Fault(DD_Call::GetDC, DDERR_GENERIC);
    EXPECT_EQ(Draw_GDI_Text(surf, 0, 0, RGB(255, 255, 255), "x"), 0);
    EXPECT_TRUE(Take_Reports().empty());

    ASSERT_EQ(Draw_GDI_Text(surf, 2, 2, RGB(0, 0, 255), "FPS 60"), 1);
    EXPECT_FALSE(surf->has_dc());
    int lit = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const uint32_t v = Peek(surf, x, y);
            if (v == 0x0000FF) {
                ++lit;  // GDI blue (0xFF0000) is the display's lowest byte
            } else if (!(x == 119 && y == 39)) {
                EXPECT_EQ(v, 0u) << x << "," << y;
            }
        }
    EXPECT_GT(lit, 10);
    EXPECT_EQ(Peek(surf, 119, 39), 0x000001u);  // transparent background
    Release_Surface(&surf);
}

namespace {

// Every value of a kind's fields goes out to 8-bit channels and back unchanged, a full
// field widens to 255, and memory holds exactly the kind's bytes.
template <Pixel_Kind K>
void Expect_Round_Trips(uint32_t last_pixel, uint32_t white) {
    SCOPED_TRACE(static_cast<int>(K));
    int failures = 0;
    for (uint64_t p = 0; p <= last_pixel && failures < 5; p += last_pixel > 0xFFFF ? 0x010101 : 1) {
        const auto v = static_cast<uint32_t>(p);
        const uint32_t back = Pack_RGB<K>(Red_Of<K>(v), Green_Of<K>(v), Blue_Of<K>(v));
        if (back != v) {
            ADD_FAILURE() << std::hex << v << " came back as " << back;
            ++failures;
        }
    }
    EXPECT_EQ(Pack_RGB<K>(255, 255, 255), white);
    EXPECT_EQ(Red_Of<K>(white), 255u);
    EXPECT_EQ(Green_Of<K>(white), 255u);
    EXPECT_EQ(Blue_Of<K>(white), 255u);
    uint8_t memory[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    Store_Pixel<K>(memory, white);
    EXPECT_EQ(Load_Pixel<K>(memory), white);
    EXPECT_EQ(memory[Pixel_Layout<K>::bytes], 0xAA);  // nothing past the pixel
}

}  // namespace

TEST(Pixel_Format, EveryKindPacksUnpacksAndDescribesItsSurfaces) {
    Expect_Round_Trips<Pixel_Kind::Rgb555>(0x7FFF, 0x7FFF);
    Expect_Round_Trips<Pixel_Kind::Rgb565>(0xFFFF, 0xFFFF);
    Expect_Round_Trips<Pixel_Kind::Rgb24>(0xFFFFFF, 0xFFFFFF);
    Expect_Round_Trips<Pixel_Kind::Rgb32>(0xFFFFFF, 0xFFFFFF);
    // Channels land in their own fields: red high, blue low; low bits dropped.
    EXPECT_EQ(Pack_RGB<Pixel_Kind::Rgb565>(0xFF, 0x0C, 0x07), 0xF800u | (3u << 5));
    EXPECT_EQ(Pack_RGB<Pixel_Kind::Rgb555>(0x08, 0xFF, 0x00), (1u << 10) | (31u << 5));
    EXPECT_EQ(Pack_RGB<Pixel_Kind::Rgb32>(0x12, 0x34, 0x56), 0x123456u);

    // What the display service gives each surface, from the depth and the 16-bit layout.
    const struct {
        int bpp;
        bool is_565;
        Pixel_Kind kind;
        int bytes;
        uint32_t red, green, blue;
        int red_shift, green_loss;
    } cases[] = {
        {8, true, Pixel_Kind::Index8, 1, 0, 0, 0, 0, 8},
        {15, true, Pixel_Kind::Rgb555, 2, 0x7C00, 0x03E0, 0x001F, 10, 3},
        {16, false, Pixel_Kind::Rgb555, 2, 0x7C00, 0x03E0, 0x001F, 10, 3},
        {16, true, Pixel_Kind::Rgb565, 2, 0xF800, 0x07E0, 0x001F, 11, 2},
        {24, true, Pixel_Kind::Rgb24, 3, 0xFF0000, 0x00FF00, 0x0000FF, 16, 0},
        {32, true, Pixel_Kind::Rgb32, 4, 0xFF0000, 0x00FF00, 0x0000FF, 16, 0},
    };
    Fresh_Session fresh;
    Display_Context& d = fresh.session.display;
    for (const auto& c : cases) {
        Open_Surface_Display(d, 16, 16, c.bpp, c.is_565);
        Surface surf = nullptr;
        ASSERT_EQ(Create_SYSTEM_Surface(d, &surf, 4, 4), 1);
        const Pixel_Format& f = surf->pixel_format();
        EXPECT_EQ(f.kind, c.kind) << c.bpp;
        EXPECT_EQ(f.bits_per_pixel, c.bpp);
        EXPECT_EQ(f.bytes_per_pixel, c.bytes) << c.bpp;
        EXPECT_EQ(f.red_mask, c.red) << c.bpp;
        EXPECT_EQ(f.green_mask, c.green) << c.bpp;
        EXPECT_EQ(f.blue_mask, c.blue) << c.bpp;
        EXPECT_EQ(f.red_shift, c.red_shift) << c.bpp;
        EXPECT_EQ(f.green_loss, c.green_loss) << c.bpp;
        Release_Surface(&surf);
        Close_Surface_Display(d);
    }
}

// Pixel work follows the surface it touches, not the screen: a 5-5-5 surface made while a
// 5-6-5 screen is up fades, blends and converts colours by its own fields.
TEST_F(Surface_Test, A555SurfaceOnA565ScreenKeepsItsOwnFields) {
    Open(16, true);
    Surface narrow = nullptr, other = nullptr, wide = nullptr;
    Display_Settings().format_16_is_565 = false;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &narrow, 8, 4), 1);
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &other, 8, 4), 1);
    Display_Settings().format_16_is_565 = true;
    ASSERT_EQ(Create_SYSTEM_Surface(s.display, &wide, 8, 4), 1);
    ASSERT_EQ(narrow->pixel_format().kind, Pixel_Kind::Rgb555);
    ASSERT_EQ(wide->pixel_format().kind, Pixel_Kind::Rgb565);
    uint8_t* p = Lock_Surface(s.display, wide);  // the screen's flag says 5-6-5
    ASSERT_NE(p, nullptr);
    Unlock_Surface(wide, p);
    ASSERT_EQ(s.display.Pixel_Format_565, 1);

    // Hue 60 off pure blue (240) is 180: a five-bit middle field takes 30, a six-bit one 62.
    Poke(narrow, 0, 0, 0x001F);
    Poke(wide, 0, 0, 0x001F);
    ASSERT_EQ(Fade(s.display, narrow, 0, 0, 1, 1, 0, 60, 0), 1);
    ASSERT_EQ(Fade(s.display, wide, 0, 0, 1, 1, 0, 60, 0), 1);
    EXPECT_EQ(Peek(narrow, 0, 0), (30u << 5) | 31u);
    EXPECT_EQ(Peek(wide, 0, 0), (62u << 5) | 31u);

    // Light adds the values: full red on dark red (field 8 of 31) stays red, at full value.
    Poke(other, 0, 0, 0x7C00);
    Poke(narrow, 1, 0, 8u << 10);
    ASSERT_EQ(Light_Blend_Blit(s.display, other, narrow, 0, 0, 1, 0, 1, 1, 8, 4), 1);
    EXPECT_EQ(Peek(narrow, 1, 0), 0x7C00u);
    // Surfaces of two layouts are not mixed.
    Poke(wide, 1, 0, 0x1234);
    ASSERT_EQ(Colour_Blend_Blit(s.display, other, wide, 0, 0, 1, 0, 1, 1, 8, 4), 1);
    EXPECT_EQ(Peek(wide, 1, 0), 0x1234u);

    // GDI colours go in and out through the surface's own masks.
    HDC dc = nullptr;
    ASSERT_EQ(narrow->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetPixel(dc, 2, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 0, 0));
    narrow->ReleaseDC(dc);
    EXPECT_EQ(Peek(narrow, 2, 0), 0x7C00u);
    EXPECT_TRUE(Take_Reports().empty());
    Release_Surface(&narrow);
    Release_Surface(&other);
    Release_Surface(&wide);
}
