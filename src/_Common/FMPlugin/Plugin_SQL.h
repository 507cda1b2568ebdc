// SQL statements queued in the plug-in's state and run by the host on idle. Each entry is an array: "fileName", "sql",
// "parameters" (an array of values); after running, "result" (an array of rows, each an array of column values),
// "resultCode", "complete" and "completeTimestamp".
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

#include <FMWrapper/FMXClient.h>

// Runs the entries of `queue` not yet complete; the host's error of the last one run.
fmx::errcode sqlProcessQueue(const fmx::ExprEnv& environment, OrbVariableArray& queue);

void sqlORBVariableToData(const OrbVariable& value, fmx::Data& data);
void sqlORBVariableArrayToDataVect(const OrbVariableArray& values, fmx::DataVect& data);
void sqlDataVectToORBVariableArray(const fmx::DataVect& data, OrbVariableArray& values);
