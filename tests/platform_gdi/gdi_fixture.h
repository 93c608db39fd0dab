// Surfaces at a chosen depth, and a byte-by-byte BMP writer, for the GDI tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/display/ddraw.h"
#include "platform/gdi/gdi.h"

class Gdi_Test : public ::testing::Test {
protected:
    void TearDown() override {
        for (DDSurface* s : surfaces_) s->Release();
        if (ddraw_) ddraw_->Release();
        Reset_Display_Service();
    }

    DDSurface* Make_Surface(int bpp, int width, int height, bool is_565 = true) {
        // The depth is read at each creation, so one test may mix depths.
        Display_Settings().desktop_bpp = bpp;
        Display_Settings().format_16_is_565 = is_565;
        if (!ddraw_) {
            EXPECT_EQ(DirectDrawCreate(nullptr, &ddraw_, nullptr), DD_OK);
            EXPECT_EQ(ddraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        }
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.dwWidth = static_cast<uint32_t>(width);
        desc.dwHeight = static_cast<uint32_t>(height);
        DDSurface* surface = nullptr;
        EXPECT_EQ(ddraw_->CreateSurface(&desc, &surface), DD_OK);
        if (surface) surfaces_.push_back(surface);
        return surface;
    }

    DDPalette* Make_Palette(std::initializer_list<PALETTEENTRY> first) {
        PALETTEENTRY entries[256]{};
        int i = 0;
        for (const PALETTEENTRY& e : first) entries[i++] = e;
        DDPalette* palette = nullptr;
        EXPECT_EQ(ddraw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
        return palette;
    }

    DDraw* ddraw_ = nullptr;
    std::vector<DDSurface*> surfaces_;
};

// Writes the little-endian fields of a BMP file one by one.
struct Bmp_Writer {
    std::vector<uint8_t> bytes;
    Bmp_Writer& u8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); return *this; }
    Bmp_Writer& u16(uint32_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bmp_Writer& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bmp_Writer& raw(std::initializer_list<uint8_t> list) {
        bytes.insert(bytes.end(), list);
        return *this;
    }
    // File header and a 40-byte information header; the pixel offset is patched by Finish().
    Bmp_Writer& Info(int32_t width, int32_t height, uint16_t bpp, uint32_t compression = 0, uint32_t colours = 0) {
        raw({'B', 'M'}).u32(0).u32(0).u32(0);
        u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height)).u16(1).u16(bpp);
        return u32(compression).u32(0).u32(2835).u32(2835).u32(colours).u32(0);
    }
    // Marks the current position as the start of the pixels.
    Bmp_Writer& Pixels_Here() {
        uint32_t at = static_cast<uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i) bytes[10 + i] = static_cast<uint8_t>(at >> (8 * i));
        return *this;
    }
    std::vector<uint8_t>& Finish() {
        uint32_t size = static_cast<uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i) bytes[2 + i] = static_cast<uint8_t>(size >> (8 * i));
        return bytes;
    }
};
