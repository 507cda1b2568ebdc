// Everything a plug-in includes to talk to the host.
#pragma once

#include "FMXBinaryData.h"
#include "FMXCalcEngine.h"
#include "FMXData.h"
#include "FMXDateTime.h"
#include "FMXExtern.h"
#include "FMXFixPt.h"
#include "FMXText.h"
#include "FMXTypes.h"
