#include "slides/object_queue.h"

// The travelling objects come with the colour slides; until then the queue is always empty.
int Empty_Objects_Queue() { return 1; }
