// Images the plug-in carries inside itself, found by name (for example "Plugin_Logo").
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstddef>
#include <cstdint>

// The PNG bytes of the named image; false when there is no such image. Provided by the plug-in.
bool dwImageResource(const ucstring& name, const unsigned char*& data, size_t& size);
// The named image's size in pixels, read from its PNG header; false when unknown.
bool dwImageResourceSize(const ucstring& name, int32_t& width, int32_t& height);
