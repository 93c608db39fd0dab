// SIGTERM, SIGINT and SIGHUP (logout, Ctrl+C, a closed terminal) are noted for the message
// loop, which ends the program the orderly way. The handler does nothing but note the signal
// and write one byte to a pipe, so that a window system waiting for events wakes up.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/system/system.h"

namespace {

const int Ending_Signals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t pending_signal = 0;
int wake_pipe[2] = {-1, -1};

void On_Ending_Signal(int signal) {
    const int saved = errno;
    pending_signal = signal;
    if (wake_pipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wake_pipe[1], &byte, 1);
    }
    errno = saved;
}

}  // namespace

bool Catch_Ending_Signals() {
    if (wake_pipe[0] < 0 && ::pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        wake_pipe[0] = wake_pipe[1] = -1;
        return false;
    }
    struct sigaction action {};
    action.sa_handler = On_Ending_Signal;
    sigemptyset(&action.sa_mask);
    // A second signal of the same kind ends the process at once, should the orderly end hang.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signal : Ending_Signals) ::sigaction(signal, &action, nullptr);
    return true;
}

void Release_Ending_Signals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : Ending_Signals) ::sigaction(signal, &action, nullptr);
    Drain_Ending_Signal_Wakeups();
    pending_signal = 0;
}

int Ending_Signal_Fd() { return wake_pipe[0]; }

int Pending_Ending_Signal() { return pending_signal; }

int Take_Ending_Signal() {
    const int signal = pending_signal;
    if (signal) {
        pending_signal = 0;
        Drain_Ending_Signal_Wakeups();
    }
    return signal;
}

void Drain_Ending_Signal_Wakeups() {
    if (wake_pipe[0] < 0) return;
    char bytes[64];
    while (::read(wake_pipe[0], bytes, sizeof bytes) > 0) {
    }
}
