// Host scripts started by the plug-in.
#pragma once

void processFMPScripts(bool allowImmediateEvents, int idleLevel, int idleSeconds);
