#pragma once

#include "Values.h"

#include <fmhost/Host.h>

namespace fmhost {

// What a running host script makes available to the expressions of its body.
struct CalcContext {
    std::u16string scriptName;
    std::u16string scriptParameter;
};

Evaluation evaluate(const std::u16string& expression, uint64_t session, const CalcContext& context);
Evaluation callFunction(const RegisteredFunction& f, const std::vector<DataImpl>& args, uint64_t session);

}  // namespace fmhost
