#include "Function__Session.h"

#include "Function__Local.h"
#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Support/FTPAccount.h"
#include "Support/QueueThread.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>

namespace {

constexpr bool sameNumber(RemoteSecurity a, FTPAccount::SecureType b) {
    return static_cast<int32_t>(a) == static_cast<int32_t>(b);
}
static_assert(sameNumber(kRemoteFTP, FTPAccount::kSecureNone) &&
                  sameNumber(kRemoteFTPAuthTLS, FTPAccount::kSecureAfterConnect) &&
                  sameNumber(kRemoteFTPImplicitTLS, FTPAccount::kSecureBeforeConnect) &&
                  sameNumber(kRemoteSFTP, FTPAccount::kSecureSSH),
              "accounts store the connection's protocol numbers");

}  // namespace

// ---- State -------------------------------------------------------------------------------------

bool sessionIsConnected(const PluginVariables& session) {
    return session.connection.isOpen() && !session.currentAccountName.empty();
}

ucstring sessionCheckUsable(const PluginVariables& session) {
    if (!sessionIsConnected(session)) return u"Not connected.";
    if (queueThreadUsesSession(session)) return queueConnectionBusyError();
    return u"";
}

// ---- Connect and disconnect --------------------------------------------------------------------

namespace {

// What an account gives the connection.
ConnectionSettings connectionSettings(const FTPAccount& account, const std::string& caPath,
                                      const std::string& knownHostsPath) {
    ConnectionSettings settings;
    settings.accountName = account.name();
    settings.host = account.host();
    settings.port = account.port();
    settings.security = account.secureType();
    settings.timeout = account.timeout();
    settings.userName = account.username();
    settings.password = account.password();
    settings.promptForPassword = account.promptForPassword();
    settings.caPath = caPath;
    settings.knownHostsPath = knownHostsPath;
    settings.keyPassphrase = account.keyPassphrase();
    settings.useAgent = account.useAgent();
    settings.resume = account.resume();
    settings.verify = account.verify();
    settings.preserveTimestamps = account.preserveTimestamps();
    settings.maxConnections = account.maxConnections();
    return settings;
}

// A key file of the account as a path of this system: a relative path after the session's current
// local folder, any accepted spelling read as local paths are. Empty, or why it names no file.
ucstring keyFilePath(PluginVariables& session, const ucstring& path, const char16_t* what, std::string& native) {
    native.clear();
    if (path.empty()) return {};
    ucstring error;
    const OrbFileRef file(localCompletePath(session, path, error));
    if (!error.empty()) return error;
    std::string why;
    if (!file.defined() || !platform::fileNativePath(file.pathAsString(kPathStyleWindows), native, why))
        return ucstring(what) + u" not found: " + path;
    return {};
}

ucstring serverText(const PluginVariables& session) {
    return ucstringFromUTF8String(session.connection.responseText());
}

}  // namespace

ucstring sessionOpen(PluginVariables& session, const FTPAccount& account, const std::string& caPath,
                     const std::string& knownHostsPath, const ucstring& displayName) {
    Connection& connection = session.connection;
    ConnectionSettings settings = connectionSettings(account, caPath, knownHostsPath);
    ucstring error;
    if (settings.security == kRemoteSFTP) {
        error = keyFilePath(session, account.privateKeyFile(), u"Private key file", settings.privateKeyFile);
        if (error.empty())
            error = keyFilePath(session, account.publicKeyFile(), u"Public key file", settings.publicKeyFile);
    }
    if (!error.empty()) {
        sessionRelease(session);
        return u"Error connecting to FTP Server: " + error;
    }
    error = connection.open(settings);
    if (!error.empty()) {
        sessionRelease(session);
        return error;
    }
    connection.setDataConnection(account.passive(), account.dataPortRangeStart(), account.dataPortRangeEnd());

    updateStatusText(u"Connecting to \"" + displayName + u"\"...");
    const RemoteResult login = connection.login();
    updateStatusText(u"Idle.");
    if (!login.ok()) {
        sessionRelease(session);
        return u"Error connecting to FTP Server: " + login.text;
    }

    const std::string entryPath = connection.entryPath();
    const ucstring remoteDir = entryPath.empty() ? ucstring(u"/") : ucstringFromUTF8String(entryPath);

    if (!connection.readFeatures().ok())
        DEBUG_OUT(u"FEAT failed: Error getting features; Server response: " + serverText(session));

    session.currentAccountName = account.name();
    queueClear(session);
    session.lastTransfer.clear(true);
    session.currentRemoteDir = remoteDir;
    session.remoteList.clear();
    session.remoteListCurrent = false;
    session.remoteListPosition = 0;
    session.machineListMode = -1;
    updateStatusTitle(u"Volan Pro - Connected to \"" + displayName + u"\"");
    return {};
}

ucstring sessionConnect(PluginVariables& session, const ucstring& accountName, ucstring& result) {
    DEBUG_SCOPE("sessionConnect");
    const ucstring name = stringTrim(accountName);
    // Connecting starts the session's queue afresh: a queued transfer running on the connection is
    // stopped first, as Disconnect does.
    if (!queueReleaseSession(session, 10000)) return queueConnectionBusyError();
    queueClear(session);
    if (session.connection.isOpen())
        return u"Already connected to account '" + session.currentAccountName +
               u"'; Disconnect from that account before attempting a new connection.";
    if (name.empty()) return u"You must specify the account to connect to: ('AccountName' parameter).";

    FTPAccount account;
    std::string caPath, knownHostsPath;
    {
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        caPath = ucstringToUTF8String(lock.state()->caPath);
        knownHostsPath = ucstringToUTF8String(lock.state()->knownHostsPath);
        const FTPAccount* found = accounts->findAccount(name);
        if (!found) return u"Could not find account named '" + name + u"'.";
        account = *found;
    }

    const ucstring error = sessionOpen(session, account, caPath, knownHostsPath, account.name());
    if (!error.empty()) return error;
    result = u"Connected to Account: " + account.name() + u" (" + ucstringFromUTF8String(account.host()) + u")";
    return {};
}

ucstring sessionDisconnect(PluginVariables& session, ucstring& result) {
    DEBUG_SCOPE("sessionDisconnect");
    // A queued transfer on this connection is stopped first: the handle must be free.
    if (!queueReleaseSession(session, 10000)) return queueConnectionBusyError();
    queueClear(session);
    const ucstring name = sessionIsConnected(session) ? session.currentAccountName : ucstring();
    if (!name.empty() && !session.connection.quit().ok())
        DEBUG_OUT(u"Error sending QUIT command: Error disonnecting; Server response: " + serverText(session));
    sessionRelease(session);
    session.lastTransfer.clear(true);
    {
        PluginConfigLock lock(250);
        StatusWindow* status = nullptr;
        if (lock.held() && lock.get(status).empty()) {
            status->disableCancelButton(false);
            status->setCustomTitle(u"");
        }
    }
    result = name.empty() ? ucstring(u"Disconnected.") : u"Disconnected from Account " + name + u".";
    return {};
}
