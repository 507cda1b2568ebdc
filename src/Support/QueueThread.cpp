#include "QueueThread.h"

// Transfers are not queued yet, so there is no thread to run them and nothing to advance.
bool startupQueueThread() { return true; }
void shutdownQueueThread() {}
void queueIdle(PluginVariables&) {}
