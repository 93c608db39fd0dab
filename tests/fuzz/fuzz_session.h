// One headless program per fuzzing process: the shipped data copied below a scratch
// Windows directory with only a few objects, a window covering a small desktop and a
// display session built through Setup. Nothing here is torn down at exit; the process ends.
#pragma once

#include <chrono>
#include <string>
#include "session/forward.h"

// The one session of the fuzzing process, kept from input to input.
Session& Fuzz_The_Session();
// Builds (or rebuilds at another depth) the session; false when Setup refused.
bool Fuzz_Session(Session& s, int bpp);
// The scratch program folder (native path, no trailing slash).
const std::string& Fuzz_Program_Folder();
// Writes bytes to a native path.
void Fuzz_Write_File(const std::string& path, const void* data, size_t size);

// Aborts when a call takes longer than a second, so libFuzzer records the input.
class Fuzz_Deadline {
public:
    explicit Fuzz_Deadline(const char* what) : what_(what), start_(std::chrono::steady_clock::now()) {}
    ~Fuzz_Deadline();

private:
    const char* what_;
    std::chrono::steady_clock::time_point start_;
};
