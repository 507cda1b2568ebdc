// Quick transfers: one file moved by a URL over a connection that lives only for the call.
#pragma once

#include "Function__Common.h"

#include <functional>
#include <string>

// What a quick transfer's URL names.
struct QuickURL {
    int32_t secureType = 0;            // the account protocol value the scheme stands for
    std::string user, password, host;  // user and password percent-decoded
    int32_t port = 0;
    ucstring path;  // percent-decoded, from the "/" after the host
    ucstring name;  // the path's last item
};

// Parses scheme://[user[:password]@]host[:port]/path; an error text (`compileError` starts the
// message of an expression that does not compile).
[[nodiscard]] ucstring quickParseURL(const ucstring& url, QuickURL& out, const ucstring& compileError);

// Runs `transfer` over a connection made from the URL (or from the stored account named like its
// host), with the status window when asked; the connection is closed again whatever happens.
[[nodiscard]] ucstring quickTransfer(PluginVariables& session, const QuickURL& url, bool showStatus,
                                     const std::function<ucstring()>& transfer);
