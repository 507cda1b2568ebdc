#include "QueueThread.h"

void startupQueueThread() {}
void shutdownQueueThread() {}
