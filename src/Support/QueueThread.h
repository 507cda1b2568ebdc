// The transfer queue thread.
#pragma once

void startupQueueThread();
void shutdownQueueThread();
