// The run mode the command line chose (App::Saver_Mode).
#pragma once

constexpr int CONFIGURE = 1;
constexpr int CHANGE_PASSWORD = 2;
constexpr int PREVIEW = 3;
constexpr int SAVER = 4;
