// Host values and the plug-in's variables, each way: arguments come in as variables of their own
// type, results go back to the host as theirs.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

#include <FMWrapper/FMXClient.h>

#include <vector>

// Converts one host value into a variable, reusing its text buffer between calls.
class PluginParameter {
public:
    PluginParameter() = default;
    virtual void setBuffer(const std::vector<fmx::unichar16>& buffer) { mBuffer = buffer; }
    virtual const std::vector<fmx::unichar16>& buffer() const { return mBuffer; }
    virtual void setBufferSize(size_t size) { mBuffer.resize(size); }
    virtual size_t bufferSize() const { return mBuffer.size(); }
    virtual ~PluginParameter() = default;
    virtual void extract(const fmx::Data& data, OrbVariable& variable);

private:
    std::vector<fmx::unichar16> mBuffer;
};

// Writes a variable into a host value as its own type; false for an empty or pointer variable.
// An empty text leaves the host value as it was.
bool variableToHostData(const OrbVariable& value, fmx::Data& data, const fmx::Locale& locale);
// Sets a host value to a text in `locale`.
void setHostText(fmx::Data& hostResult, const ucstring& text, const fmx::Locale& locale);
