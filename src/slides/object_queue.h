// The queue of objects travelling over the slides.
#pragma once

int Empty_Objects_Queue();
