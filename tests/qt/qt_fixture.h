// The Qt backend on the offscreen platform, one per test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <vector>

#include "platform/display/ddraw.h"
#include "platform/qt/qt_access.h"
#include "platform/qt/qt_backend.h"
#include "platform/windows/windows.h"
#include "support/fresh_session.h"

class Qt_Backend_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Reset_Display_Service();
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(Install_Qt_Backend(argc, argv));
        Clear_Message_Queue();
    }
    void TearDown() override {
        Shutdown_Qt_Backend();
        Clear_Message_Queue();
    }

    // A shown window with the given style; its picture is where input arrives.
    HWND Shown_Window(uint32_t style, int x, int y, int width, int height, HMENU menu = nullptr) {
        HWND window = Create_Window(" Test", style, 0, x, y, width, height, nullptr, menu, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        QCoreApplication::processEvents();
        return window;
    }

    // Takes every waiting message of one kind off the queue, oldest first.
    static std::vector<MSG> Take(UINT message) {
        std::vector<MSG> found;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, message, message, PM_REMOVE)) found.push_back(msg);
        return found;
    }
};
