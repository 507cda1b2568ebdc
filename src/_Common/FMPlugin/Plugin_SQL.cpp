#include "Plugin_SQL.h"

#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_ErrorTexts.h"
#include "_Common/FMPlugin/Plugin_Values.h"
#include "_Common/Strings/Orb_String.h"

void sqlORBVariableToData(const OrbVariable& value, fmx::Data& data) {
    fmx::LocaleUniquePtr locale;
    data.Clear(fmx::kDTText);
    variableToHostData(value, data, *locale);
}

void sqlORBVariableArrayToDataVect(const OrbVariableArray& values, fmx::DataVect& data) {
    data.Clear();
    for (const OrbVariable& v : values) {
        fmx::DataUniquePtr d;
        sqlORBVariableToData(v, *d);
        data.PushBack(*d);
    }
}

void sqlDataVectToORBVariableArray(const fmx::DataVect& data, OrbVariableArray& values) {
    values.clear();
    PluginParameter reader;
    ucstring error;
    for (fmx::uint32 i = 0; i < data.Size(); ++i) {
        OrbVariable v;
        reader.extract(data.At(i), v);
        values.addVariable(error, v, true);
    }
}

fmx::errcode sqlProcessQueue(const fmx::ExprEnv& environment, OrbVariableArray& queue) {
    fmx::errcode last = 0;
    for (OrbVariable& entry : queue) {
        if (entry.type() != OrbVariable::kArray) continue;
        OrbVariableArray& fields = entry.mutableArrayValue();
        const OrbVariable* v = nullptr;
        if (fields.variableWithName(u"complete", v) && v->variableAsBoolean()) continue;
        const ucstring fileName = fields.variableWithName(u"fileName", v) ? v->variableAsString(1) : ucstring();
        const ucstring sql = fields.variableWithName(u"sql", v) ? v->variableAsString(1) : ucstring();
        fmx::DataVectUniquePtr parameters;
        if (fields.variableWithName(u"parameters", v) && v->type() == OrbVariable::kArray)
            sqlORBVariableArrayToDataVect(v->arrayValue(), *parameters);

        fmx::TextUniquePtr sqlText, fileText;
        sqlText->AssignUnicodeWithLength(sql.data(), static_cast<fmx::uint32>(sql.size()));
        fileText->AssignUnicodeWithLength(fileName.data(), static_cast<fmx::uint32>(fileName.size()));
        fmx::RowVectUniquePtr rows;
        const fmx::errcode code = environment.ExecuteFileSQL(*sqlText, *fileText, *parameters, *rows);
        if (code != 0 && debugMode()) {
            ucstring number;
            debugOutput(__FILE__, __LINE__,
                        u"sqlProcessQueue: Failure; FMError: " + stringFromInteger(number, code) + u"; Error Text: " +
                            ucstringFromFMError(code));
        }
        OrbVariableArray result;
        ucstring error;
        for (fmx::uint32 r = 0; r < rows->Size(); ++r) {
            OrbVariableArray row;
            sqlDataVectToORBVariableArray(rows->At(r), row);
            result.addArrayVariable(error, u"", row, true);
        }
        fields.setArrayVariable(error, u"result", result);
        fields.setIntegerVariable(error, u"resultCode", code);
        fields.setIntegerVariable(error, u"complete", 1);
        OrbVariable* stamp = nullptr;
        if (!fields.mutableVariableWithName(u"completeTimestamp", stamp)) {
            OrbVariable added(u"completeTimestamp");
            fields.addVariable(error, added, true);
            fields.mutableVariableWithName(u"completeTimestamp", stamp);
        }
        stamp->setTimestampValue(OrbDateTime());
        last = code;
    }
    return last;
}
