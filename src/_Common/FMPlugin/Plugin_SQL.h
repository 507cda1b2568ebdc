// SQL statements queued in the configuration store ("SQLQueue") and run by the host on idle.
// Each entry is an array: "fileName", "sql", "parameters" (an array of values); after running,
// "result" (an array of rows, each an array of column values), "resultCode", "complete" and
// "completeTimestamp".
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

#include <FMWrapper/FMXClient.h>

fmx::errcode sqlProcessQueue(const fmx::ExprEnv& environment);

void sqlORBVariableToData(const OrbVariable& value, fmx::Data& data);
void sqlORBVariableArrayToDataVect(const OrbVariableArray& values, fmx::DataVect& data);
void sqlDataVectToORBVariableArray(const fmx::DataVect& data, OrbVariableArray& values);
