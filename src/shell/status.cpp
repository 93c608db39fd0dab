#include "shell/status.h"

char status_message[256] = "";
int status_message_pending = 0;
