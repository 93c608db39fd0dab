#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "input/mouse.h"
#include "platform/input/dinput.h"
#include "platform/windows/windows.h"
#include "session/run_mode.h"
#include "surface/display.h"
#include "session/session.h"
#include "support/fresh_test.h"

namespace {

// A saver's mouse on a 1024 x 768 screen, the pointer started as the session starts it.
class Saver_Mouse : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        Reset_Input_Service();
        s.app.Saver_Mode = SAVER;
        s.display.Screen_Width = 1024;
        s.display.Screen_Height = 768;
        ASSERT_EQ(Setup_Direct_Input(s), 1);
        ASSERT_EQ(Setup_Mouse(s), 1);
        s.mouse.Mouse_X = s.mouse.Mouse_Y = s.display.Screen_Width;
        ASSERT_EQ(Mouse_Has_Moved(s, 1), 0);
    }
    void TearDown() override {
        Release_Mouse(s);
        Release_Direct_Input(s);
        EXPECT_EQ(s.mouse.Mouse_Device, nullptr);
        EXPECT_EQ(s.mouse.Direct_Input, nullptr);
    }
    // What the frame driver does once per frame after presenting.
    int Frame() {
        Poll_Input_Devices(s);
        return Mouse_Has_Moved(s, 0);
    }
};

TEST_F(Saver_Mouse, StartsClampedIntoTheBottomRightCorner) {
    EXPECT_EQ(std::tuple(s.mouse.Mouse_X, s.mouse.Mouse_Y, s.mouse.Last_Mouse_X, s.mouse.Last_Mouse_Y),
              std::tuple(1023, 767, 1023, 767));
    // Further right and down the pointer cannot go: no change, however far.
    Feed_Mouse_Motion(500, 500);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(std::pair(s.mouse.Mouse_X, s.mouse.Mouse_Y), std::pair(1023, 767));
    // Back left by 40 counts: 80 pixels, more than 1024 / 16 = 64.
    Feed_Mouse_Motion(-40, 0);
    EXPECT_EQ(Frame(), 1);
}

TEST_F(Saver_Mouse, ThirtyThreeCountsInOneFrameEndTheSaverThirtyTwoDoNot) {
    // 32 counts are a change of 64: not more than the threshold.
    Feed_Mouse_Motion(-32, 0);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(s.mouse.Mouse_X, 1023 - 64);
    EXPECT_EQ(s.mouse.Last_Mouse_X, 1023 - 64);
    // 33 counts, split over the two reads of one frame: a change of 66.
    Feed_Mouse_Motion(-20, 0);
    Poll_Input_Devices(s);
    Feed_Mouse_Motion(-13, 0);
    EXPECT_EQ(Mouse_Has_Moved(s, 0), 1);
    EXPECT_EQ(s.mouse.Mouse_X, 1023 - 64 - 66);
    EXPECT_EQ(s.mouse.Last_Mouse_X, 1023 - 64);  // not recorded when movement is found

    // Vertically the threshold is 768 / 16 = 48: 24 counts do not, 25 do.
    Mouse_Has_Moved(s, 1);
    Feed_Mouse_Motion(0, -24);
    EXPECT_EQ(Frame(), 0);
    Feed_Mouse_Motion(0, -25);
    EXPECT_EQ(Frame(), 1);
}

TEST_F(Saver_Mouse, SlowMovementNeverEndsTheSaver) {
    for (int frame = 0; frame < 20; ++frame) {
        Feed_Mouse_Motion(-16, -12);
        ASSERT_EQ(Frame(), 0) << frame;
    }
    // 640 pixels left and 480 up in all, 32 and 24 at a time.
    EXPECT_EQ(std::pair(s.mouse.Mouse_X, s.mouse.Mouse_Y), std::pair(1023 - 20 * 32, 767 - 20 * 24));
}

TEST_F(Saver_Mouse, LostMouseIsReportedAndDoesNotEndTheSaver) {
    Inject_DI_Fault(DI_Call::GetDeviceState, DIERR_INPUTLOST, 2);
    Feed_Mouse_Motion(-300, -300);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(s.mouse.Mouse_X, 1023);
    const std::vector<std::string> expected = {
        "[Error] Read_Mouse():\n\nDIERR_INPUTLOST:\n\n Mouse has been lost",
        "[Error] Update_Mouse():Unable to Read Mouse",
        "[Error] Read_Mouse():\n\nDIERR_INPUTLOST:\n\n Mouse has been lost",
        "[Error] Update_Mouse():Unable to Read Mouse",
        "[Error]  Mouse_Has_Moved(): Update_Mouse FAILED",
    };
    EXPECT_EQ(Headless().boxes, expected);

    Headless().boxes.clear();
    Inject_DI_Fault(DI_Call::GetDeviceState, DIERR_NOTINITIALIZED, 1);
    EXPECT_EQ(Read_Mouse(s), 0);
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0], "[Error] Read_Mouse():\n\nDIERR_NOTINITIALIZED\n\nHave you setup the mouse?");
}

TEST_F(Saver_Mouse, AnotherFailedReadMovesNothing) {
    Feed_Mouse_Motion(-30, 0);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(s.mouse.Mouse_X, 1023 - 60);
    // A read that fails otherwise counts as a read, but of no motion: the last
    // frame's counts are not applied again.
    Inject_DI_Fault(DI_Call::GetDeviceState, DIERR_OTHERAPPHASPRIO, 2);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(s.mouse.Mouse_X, 1023 - 60);
    EXPECT_TRUE(Headless().boxes.empty());
}

using Mouse = Fresh_Test;

TEST_F(Mouse, OutsideTheSaverNothingIsRead) {
    Reset_Input_Service();
    s.display.Screen_Width = 1024;
    s.display.Screen_Height = 768;
    s.app.Saver_Mode = SAVER;
    ASSERT_EQ(Setup_Direct_Input(s), 1);
    ASSERT_EQ(Setup_Mouse(s), 1);
    s.mouse.Mouse_X = s.mouse.Mouse_Y = 500;
    for (int mode : {0, CONFIGURE, PREVIEW}) {
        s.app.Saver_Mode = mode;
        Feed_Mouse_Motion(-20, 0);
        EXPECT_EQ(Mouse_Has_Moved(s, 0), 0) << mode;
        EXPECT_EQ(s.mouse.Mouse_X, 500) << mode;
    }
    // The counts were left waiting for the next real read.
    s.app.Saver_Mode = SAVER;
    EXPECT_EQ(Update_Mouse(s), 1);
    EXPECT_EQ(s.mouse.Mouse_X, 500 - 2 * 60);
    Release_Mouse(s);
    Release_Direct_Input(s);
}

TEST_F(Mouse, SetupFailuresAndReadsWithoutDevices) {
    struct Case {
        DI_Call call;
        const char* message;
    } cases[] = {
        {DI_Call::CreateDevice, "[Error] Setup_Mouse():\n\nCreateDevice FAILED\nIs there a mouse plugged in?"},
        {DI_Call::SetDataFormat, "[Error] Setup_Mouse():\n\nSetDataFormat FAILED"},
        {DI_Call::SetCooperativeLevel, "[Error] Setup_Mouse():\n\nSetCooperativeLevel FAILED\n(NON_EXCLUSIVE BACKGROUND)"},
        {DI_Call::Acquire, "[Error] Setup_Mouse():\n\nUnable to Acquire Mouse"},
    };
    Reset_Input_Service();
    ASSERT_EQ(Setup_Direct_Input(s), 1);
    for (const Case& c : cases) {
        Headless().boxes.clear();
        Inject_DI_Fault(c.call, DIERR_GENERIC);
        EXPECT_EQ(Setup_Mouse(s), 0);
        ASSERT_EQ(Headless().boxes.size(), 1u);
        EXPECT_EQ(Headless().boxes[0], c.message);
        Release_Mouse(s);
    }
    // An input system without a mouse device reads as success; none at all as failure.
    EXPECT_EQ(Read_Mouse(s), 1);
    Release_Direct_Input(s);
    EXPECT_EQ(Read_Mouse(s), 0);

    Headless().boxes.clear();
    Inject_DI_Fault(DI_Call::DirectInputCreate, DIERR_GENERIC);
    EXPECT_EQ(Setup_Direct_Input(s), 0);
    ASSERT_EQ(Headless().boxes.size(), 1u);
    EXPECT_EQ(Headless().boxes[0], "[Error] Setup_Direct_Input():\n\nDirectInputCreate FAILED");
}

}  // namespace
