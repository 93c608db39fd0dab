// Leaks one block from a slot that Qt's event loop calls, as a fault of ours in an event
// handler would. The sanitizer build must report it through the suppressions the suite runs
// with: whole Qt libraries in them would hide it, since Qt's frames lie under the slot.
#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>

namespace {
void* volatile kept = nullptr;
}

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTimer::singleShot(0, &application, [&application] {
        kept = std::malloc(4099);
        kept = nullptr;
        application.quit();
    });
    return application.exec();
}
