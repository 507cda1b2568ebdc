// The transfer queue thread and each session's queue.
#pragma once

class PluginVariables;

bool startupQueueThread();
void shutdownQueueThread();
// The idle pass's work for a session's queue: empties it when the status window's Cancel was
// pressed, then advances it by one step.
void queueIdle(PluginVariables& variables);
