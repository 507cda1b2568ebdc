// The certificate bundle TLS servers are verified with, kept in the preferences folder.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

class OrbFileRef;

// Writes the certificate bundle "curl-ca-bundle.crt" into `folder`: two header lines, the
// system's trusted roots, and the PEM file named by VOLAN_EXTRA_CA_FILE when set (a private CA
// to trust as well). `path` gets the bundle's native path; an error text.
[[nodiscard]] ucstring exportCABundle(const OrbFileRef& folder, ucstring& path);
