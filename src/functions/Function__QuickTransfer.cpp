#include "Function__QuickTransfer.h"

#include "Function__Session.h"
#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Support/FTPAccount.h"
#include "Support/QueueThread.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_StringRegEx.h"

#include <cctype>

namespace {

// "%" and two hexadecimal digits become that byte.
std::string percentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string trimmed(const std::string& text) { return ucstringToUTF8String(stringTrim(ucstringFromUTF8String(text))); }

}  // namespace

ucstring quickParseURL(const ucstring& url, QuickURL& out, const ucstring& compileError) {
    StringRegEx expression;
    const std::string error = expression.setExpression(
        R"(^(ftp|ftps|sftp|scp)://(([^:@]+):?([^@]+)?@)?(\[[^\]/]+\]|[^:/]+)(:([\d]+))?(/.+)$)");
    if (!error.empty()) return compileError + ucstringFromUTF8String(error);
    const std::string text = ucstringToUTF8String(stringTrim(url));
    if (!expression.match(text)) return u"The URL parameter appears to be invalid: " + url;
    const ucstring scheme = stringNormalize(ucstringFromUTF8String(expression.result(1)));
    // As in any URL, a user name or password holding ":", "@" or "/" is written percent-encoded.
    out.user = percentDecode(trimmed(expression.result(3)));
    out.password = percentDecode(trimmed(expression.result(4)));
    // An IPv6 address comes in brackets; the connection puts them back where a URL needs them.
    out.host = trimmed(expression.result(5));
    if (out.host.size() > 2 && out.host.front() == '[') out.host = out.host.substr(1, out.host.size() - 2);
    // A port is 1 to 65535; more digits would wrap around (or not fit a number at all).
    const std::string port = expression.result(7);
    out.port = port.empty() ? 0 : port.size() > 5 ? -1 : std::stoi(port);
    if (!port.empty() && (out.port < 1 || out.port > 65535)) return u"The URL parameter appears to be invalid: " + url;
    out.path = ucstringFromUTF8String(percentDecode(trimmed(expression.result(8))));
    // The decoded path and the login go on the wire as they are.
    for (const ucstring& part : {out.path, ucstringFromUTF8String(out.user), ucstringFromUTF8String(out.password),
                                 ucstringFromUTF8String(out.host)})
        if (const ucstring refused = remoteCheckSendable(part); !refused.empty()) return refused;
    out.name = out.path.substr(out.path.rfind(u'/') + 1);
    if (scheme == u"FTP")
        out.secureType = FTPAccount::kSecureNone;
    else if (scheme == u"FTPS")
        out.secureType = out.port == 990 ? FTPAccount::kSecureBeforeConnect : FTPAccount::kSecureAfterConnect;
    else
        out.secureType = FTPAccount::kSecureSSH;
    return u"";
}

namespace {

// Closes the call's connection as Volan_Disconnect would and puts the status window back.
void quickClose(PluginVariables& session, StatusWindow* status, bool openedWindow, PluginPrefsEx* prefs) {
    ucstring ignored;
    // The transfer's own outcome is the call's result, not how the connection closed.
    if (session.connection.isOpen()) (void)sessionDisconnect(session, ignored);
    sessionRelease(session);
    queueClear(session);
    session.lastTransfer.clear(true);
    if (!status) return;
    status->disableCancelButton(true);
    if (status->isOpen()) {
        status->setCustomTitle(u"");
        status->updateStatusText(u"Idle.");
    }
    if (openedWindow) {
        int32_t left = 0, top = 0;
        status->getCoords(left, top);
        status->hide();
        if (prefs) {
            prefs->setIntegerPref(u"LastStatusLeft", left);
            prefs->setIntegerPref(u"LastStatusTop", top);
            const ucstring saveError = prefs->save();
            if (!saveError.empty()) DEBUG_OUT(saveError);
        }
    }
}

}  // namespace

ucstring quickTransfer(PluginVariables& session, const QuickURL& url, bool showStatus,
                       const std::function<ucstring()>& transfer) {
    if (queueThreadUsesSession(session)) return queueConnectionBusyError();
    if (session.connection.isOpen() || !session.currentAccountName.empty())
        return u"Currently connected to the '" + session.currentAccountName + u"' account. Please disconnect first.";
    PluginConfigLock lock(10000);
    if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
    FTPAccounts* accounts = nullptr;
    ucstring error = lock.get(accounts);
    if (!error.empty()) return u"Could not get FTPAccounts Config Var: " + error;
    if (!accounts) return u"FTPAccounts Config Var is NULL.";

    // The URL's settings, or those of the stored account named like its host.
    FTPAccount account;
    account.mutableHost() = url.host;
    account.setPort(url.port);
    account.mutableUsername() = url.user;
    account.mutablePassword() = url.password;
    account.setTimeout(15);
    account.setPassive(true);
    account.setDataPortRangeStart(0);
    account.setDataPortRangeEnd(0);
    account.setSecureType(url.secureType);
    if (const FTPAccount* stored = accounts->findAccount(ucstringFromUTF8String(url.host))) {
        account = *stored;
        if (stored->promptForPassword()) account.mutablePassword() = "__ASK__";
        if (account.timeout() <= 0) account.setTimeout(15);
    } else {
        account.mutableName().clear();
    }
    account.setPromptForPassword(stringNormalize(ucstringFromUTF8String(account.password())) == u"__ASK__");
    if (account.promptForPassword()) account.mutablePassword().clear();
    if (stringTrim(ucstringFromUTF8String(account.host())).empty()) return u"You must provide a host.";

    StatusWindow* status = nullptr;
    PluginPrefsEx* prefs = nullptr;
    bool openedWindow = false;
    if (showStatus && lock.get(status).empty() && status && lock.get(prefs).empty() && prefs && !status->isOpen()) {
        int32_t left = static_cast<int32_t>(prefs->integerPref(u"LastStatusLeft", 0));
        int32_t top = static_cast<int32_t>(prefs->integerPref(u"LastStatusTop", 0));
        status->show();
        status->move(left == 0 ? -1 : left, top == 0 ? -1 : top);
        openedWindow = true;
    }
    if (status && status->isOpen()) status->enableCancelButton();

    // The state is there: the accounts were had from it above.
    const std::string caPath = ucstringToUTF8String(lock.state()->caPath);
    const std::string knownHostsPath = ucstringToUTF8String(lock.state()->knownHostsPath);

    error = sessionOpen(session, account, caPath, knownHostsPath, ucstringFromUTF8String(account.host()));
    if (error.empty()) error = transfer();
    quickClose(session, status, openedWindow, prefs);
    return error;
}
