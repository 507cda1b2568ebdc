// The file and folder script steps (hosts of version 16 and later).
#pragma once

#include <FMWrapper/FMXClient.h>

#include <cstdint>

// Bit i selects step i of the table; all ones selects every step.
void fileChooseScriptSteps(uint32_t mask);
fmx::errcode fileRegisterScriptSteps();
void fileUnregisterFunctions();
