#include "Orb_FileRefEx.h"

OrbFileRefEx::~OrbFileRefEx() = default;

bool OrbFileRefEx::copyFile(const OrbFileRef& dest, const ucstring& srcName, const ucstring& destName) {
    return copyOrMoveFile(dest, srcName, destName, false);
}

bool OrbFileRefEx::moveFile(const OrbFileRef& dest, const ucstring& srcName, const ucstring& destName) {
    return copyOrMoveFile(dest, srcName, destName, true);
}
