#include "Plugin_SQL.h"

fmx::errcode sqlProcessQueue(const fmx::ExprEnv&) { return 0; }
