// SQL statements queued for the host.
#pragma once

#include <FMWrapper/FMXClient.h>

fmx::errcode sqlProcessQueue(const fmx::ExprEnv& environment);
