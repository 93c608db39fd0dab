#include "datagen.h"
namespace datagen {
bool Generate_Objects(const Options &) { return true; }
}
