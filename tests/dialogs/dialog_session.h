// A configuration run of the installed program, with helpers that script the headless
// dialogs and read what they showed when they closed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/control_ids.h"
#include "platform/windows/dialog.h"
#include "shell/startup.h"
#include "support/installed_program.h"
#include "support/fresh_session.h"

using Steps = std::vector<Dialog_Step>;

inline Dialog_Step Scroll(int bar, int code, int thumb = 0) { return {Dialog_Step::Scroll, bar, code, thumb}; }
inline Dialog_Step Thumb(int bar, int position) { return Scroll(bar, SB_THUMBTRACK, position); }
inline Dialog_Step Command(int id) { return {Dialog_Step::Command, id, 0, 0}; }
inline Dialog_Step Click(int id) { return {Dialog_Step::Click, id, 0, 0}; }
inline Dialog_Step Choose(int list, int index) { return {Dialog_Step::Select, list, index, 0}; }
inline Dialog_Step Mouse_Over() { return {Dialog_Step::Mouse_Move, 0, 0, 0}; }
inline Dialog_Step Paint() { return {Dialog_Step::Paint, 0, 0, 0}; }
inline const Dialog_Step OK = Command(IDOK);
inline const Dialog_Step Cancel = Command(IDCANCEL);
inline const Dialog_Step Default = Command(IDC_DEFAULT);

inline void Script(const Steps& steps) { Headless_Dialog_Scripts().push_back(steps); }

// What a control of the last dialog showed.
inline const Control_State& Shown(int id) {
    static Control_State missing;
    const Control_State* c = Last_Headless_Dialog().control(id);
    return c ? *c : missing;
}
inline std::string Number(int id) { return Shown(id).text; }

class Dialog_Session : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;
    void SetUp() override {
        ASSERT_EQ(Start_Up(s, "mirravane /c"), 1);
        Headless_Dialog_Scripts().clear();
    }

    Installed_Program program{2};
};
