// The host's calculation environment: evaluation, SQL, session identity and the registration
// of external functions and script steps.
#pragma once

#include "FMXData.h"

namespace fmx {
// Callback of an external function or script step: the host passes the environment it evaluates
// in, the argument values, and a result value to fill.
typedef errcode (*ExtPluginType)(int16 functionId, const ExprEnv& env, const DataVect& parms, Data& result);
}  // namespace fmx

FMX_API fmx::ExprEnv* FM_ExprEnv_Constructor1(fmx::_fmxcpt& _x);
FMX_API void FM_ExprEnv_Delete(fmx::ExprEnv* self, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_ExprEnv_Evaluate(const fmx::ExprEnv* self, const fmx::Text& expression, fmx::Data& result,
                                         fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_ExprEnv_ExecuteFileSQL(const fmx::ExprEnv* self, const fmx::Text& expression,
                                               const fmx::Text& fileName, const fmx::DataVect& parameters,
                                               fmx::RowVect& result, fmx::_fmxcpt& _x);
// Newer hosts: the host session and file this environment belongs to (0 when unknown).
FMX_API fmx::ptrtype FM_ExprEnv_SessionID(const fmx::ExprEnv* self, fmx::_fmxcpt& _x);
FMX_API fmx::ptrtype FM_ExprEnv_FileID(const fmx::ExprEnv* self, fmx::_fmxcpt& _x);

FMX_API fmx::errcode FM_ExprEnv_RegisterExternalFunction(const fmx::QuadChar& pluginId, fmx::int16 functionId,
                                                         const fmx::Text& functionName,
                                                         const fmx::Text& functionPrototype, fmx::int16 minArgs,
                                                         fmx::int16 maxArgs, fmx::uint32 compatibleOnFlags,
                                                         fmx::ExtPluginType funcPtr, fmx::_fmxcpt& _x);
// Newer hosts: as above with a description shown in the calculation dialog.
FMX_API fmx::errcode FM_ExprEnv_RegisterExternalFunctionEx(const fmx::QuadChar& pluginId, fmx::int16 functionId,
                                                           const fmx::Text& functionName,
                                                           const fmx::Text& functionPrototype,
                                                           const fmx::Text& functionDescription, fmx::int16 minArgs,
                                                           fmx::int16 maxArgs, fmx::uint32 compatibleOnFlags,
                                                           fmx::ExtPluginType funcPtr, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar& pluginId, fmx::int16 functionId,
                                                           fmx::_fmxcpt& _x);
// Newer hosts: plug-in script steps.
FMX_API fmx::errcode FM_ExprEnv_RegisterScriptStep(const fmx::QuadChar& pluginId, fmx::int16 scriptStepId,
                                                   const fmx::Text& scriptStepName,
                                                   const fmx::Text& scriptStepDefinition,
                                                   const fmx::Text& scriptStepDescription,
                                                   fmx::uint32 compatibleOnFlags, fmx::ExtPluginType funcPtr,
                                                   fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_ExprEnv_UnRegisterScriptStep(const fmx::QuadChar& pluginId, fmx::int16 scriptStepId,
                                                     fmx::_fmxcpt& _x);

namespace fmx {

class ExprEnv : public HostObject {
public:
    errcode Evaluate(const Text& expression, Data& result) const {
        return FMX_CALL(FM_ExprEnv_Evaluate(this, expression, result, _x));
    }
    errcode ExecuteFileSQL(const Text& expression, const Text& fileName, const DataVect& parameters,
                           RowVect& result) const {
        return FMX_CALL(FM_ExprEnv_ExecuteFileSQL(this, expression, fileName, parameters, result, _x));
    }
    ptrtype SessionID() const { return FMX_CALL(FM_ExprEnv_SessionID(this, _x)); }
    ptrtype FileID() const { return FMX_CALL(FM_ExprEnv_FileID(this, _x)); }

    static errcode RegisterExternalFunction(const QuadChar& pluginId, int16 functionId, const Text& name,
                                            const Text& prototype, int16 minArgs, int16 maxArgs, uint32 flags,
                                            ExtPluginType funcPtr) {
        return FMX_CALL(FM_ExprEnv_RegisterExternalFunction(pluginId, functionId, name, prototype, minArgs, maxArgs,
                                                            flags, funcPtr, _x));
    }
    static errcode RegisterExternalFunctionEx(const QuadChar& pluginId, int16 functionId, const Text& name,
                                              const Text& prototype, const Text& description, int16 minArgs,
                                              int16 maxArgs, uint32 flags, ExtPluginType funcPtr) {
        return FMX_CALL(FM_ExprEnv_RegisterExternalFunctionEx(pluginId, functionId, name, prototype, description,
                                                              minArgs, maxArgs, flags, funcPtr, _x));
    }
    static errcode UnRegisterExternalFunction(const QuadChar& pluginId, int16 functionId) {
        return FMX_CALL(FM_ExprEnv_UnRegisterExternalFunction(pluginId, functionId, _x));
    }
    static errcode RegisterScriptStep(const QuadChar& pluginId, int16 id, const Text& name, const Text& definition,
                                      const Text& description, uint32 flags, ExtPluginType funcPtr) {
        return FMX_CALL(FM_ExprEnv_RegisterScriptStep(pluginId, id, name, definition, description, flags, funcPtr, _x));
    }
    static errcode UnRegisterScriptStep(const QuadChar& pluginId, int16 id) {
        return FMX_CALL(FM_ExprEnv_UnRegisterScriptStep(pluginId, id, _x));
    }
};

class ExprEnvUniquePtr : public HostUniquePtr<ExprEnv, FM_ExprEnv_Delete> {
public:
    ExprEnvUniquePtr() : HostUniquePtr(FMX_CALL(FM_ExprEnv_Constructor1(_x))) {}
};

}  // namespace fmx
