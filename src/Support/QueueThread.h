// The transfer queue thread and each session's queue.
#pragma once

class PluginVariables;

bool startupQueueThread();
void shutdownQueueThread();
// The idle pass's work for a session's queue: advances it by one step.
void queueIdle(PluginVariables& variables);
