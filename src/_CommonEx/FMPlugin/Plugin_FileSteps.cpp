#include "Plugin_FileSteps.h"

// The file and folder steps join this table with the file and folder operations they call; until
// then there is no step to register.
namespace {
uint32_t gMask = 0;
}  // namespace

void fileChooseScriptSteps(uint32_t mask) { gMask = mask; }
fmx::errcode fileRegisterScriptSteps() { return 0; }
void fileUnregisterFunctions() {}
