#include "Plugin_Scripts.h"

void processFMPScripts(bool, int, int) {}
