// Accounts: named connection settings, one small file per account, and the list of them that
// every remote operation looks accounts up in.
#pragma once

#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FolderLock.h"
#include "_Common/Strings/Orb_Scramble.h"
#include "_Common/Strings/Orb_StringTypes.h"
#include "_CommonEx/GUI/DW_Window.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class PluginPrefsEx;

class FTPAccount {
public:
    enum SecureType : int32_t { kSecureNone = 0, kSecureAfterConnect = 1, kSecureBeforeConnect = 2, kSecureSSH = 3 };
    enum DefaultMode : int32_t { kModeBinary = 0, kModeASCII = 1 };

    FTPAccount() { clear(); }
    FTPAccount(const FTPAccount& other) = default;
    FTPAccount& operator=(const FTPAccount& other) = default;

    virtual ucstring& mutableName() { return mName; }
    virtual const ucstring& name() const { return mName; }
    virtual std::string& mutableHost() { return mHost; }
    virtual const std::string& host() const { return mHost; }
    virtual void setPort(int32_t port) { mPort = port; }
    virtual int32_t port() const { return mPort; }
    virtual void setTimeout(int32_t seconds) { mTimeout = seconds; }
    virtual int32_t timeout() const { return mTimeout; }
    virtual std::string& mutableUsername() { return mUsername; }
    virtual const std::string& username() const { return mUsername; }
    virtual std::string& mutablePassword() { return mPassword; }
    virtual const std::string& password() const { return mPassword; }
    virtual void setPromptForPassword(bool prompt) { mPromptForPassword = prompt; }
    virtual bool promptForPassword() const { return mPromptForPassword; }
    virtual std::string& mutableAccount() { return mAccount; }
    virtual const std::string& account() const { return mAccount; }
    virtual void setSecureType(int32_t type) { mSecureType = type; }
    virtual int32_t secureType() const { return mSecureType; }
    virtual void setDataPortRangeStart(int32_t port) { mDataPortRangeStart = port; }
    virtual int32_t dataPortRangeStart() const { return mDataPortRangeStart; }
    virtual void setDataPortRangeEnd(int32_t port) { mDataPortRangeEnd = port; }
    virtual int32_t dataPortRangeEnd() const { return mDataPortRangeEnd; }
    virtual ucstring& mutableDefaultCompletedScript() { return mDefaultCompletedScript; }
    virtual const ucstring& defaultCompletedScript() const { return mDefaultCompletedScript; }
    virtual void setDefaultMode(int32_t mode) { mDefaultMode = mode; }
    virtual int32_t defaultMode() const { return mDefaultMode; }
    virtual void setPassive(bool passive) { mPassive = passive; }
    virtual bool passive() const { return mPassive; }
    virtual ucstring& mutableFileName() { return mFileName; }
    virtual const ucstring& fileName() const { return mFileName; }
    virtual void setValid(bool valid) { mValid = valid; }
    virtual bool valid() const { return mValid; }
    virtual OrbDateTime& mutableLoadTime() { return mLoadTime; }
    virtual const OrbDateTime& loadTime() const { return mLoadTime; }
    virtual ~FTPAccount() = default;

    // Options beyond the connection basics; their defaults keep the plain behaviour.
    // SFTP: the private key (a local path as the user typed it), its public half (optional),
    // the key's passphrase, and whether the running ssh-agent is asked first.
    ucstring& mutablePrivateKeyFile() { return mPrivateKeyFile; }
    const ucstring& privateKeyFile() const { return mPrivateKeyFile; }
    ucstring& mutablePublicKeyFile() { return mPublicKeyFile; }
    const ucstring& publicKeyFile() const { return mPublicKeyFile; }
    std::string& mutableKeyPassphrase() { return mKeyPassphrase; }
    const std::string& keyPassphrase() const { return mKeyPassphrase; }
    void setUseAgent(bool on) { mUseAgent = on; }
    bool useAgent() const { return mUseAgent; }
    // Interrupted transfers continue; transfers are checked at both ends; modification times are
    // carried over; folder transfers use up to this many logins at once.
    void setResume(bool on) { mResume = on; }
    bool resume() const { return mResume; }
    void setVerify(bool on) { mVerify = on; }
    bool verify() const { return mVerify; }
    void setPreserveTimestamps(bool on) { mPreserveTimestamps = on; }
    bool preserveTimestamps() const { return mPreserveTimestamps; }
    void setMaxConnections(int32_t count) { mMaxConnections = clampMaxConnections(count); }
    int32_t maxConnections() const { return mMaxConnections; }
    static constexpr int32_t kMaxConnectionsLimit = 8;
    static int32_t clampMaxConnections(int64_t count) {
        return count < 1 ? 1 : count > kMaxConnectionsLimit ? kMaxConnectionsLimit : static_cast<int32_t>(count);
    }

    // The defaults of a new account.
    void clear();

    // The account options of Volan_SetAccountOption / Volan_GetAccountOption. `option` is the
    // normalised option name. Set: the confirmation text, or false with the error. Get: the value
    // as text or number in `value`; false with the error for an unknown option.
    bool setOption(const std::string& option, const ucstring& value, ucstring& confirmation, ucstring& error);
    bool getOption(const std::string& option, class OrbVariable& value, ucstring& error) const;
    // Fills the settings from the lines of an account file; false (nothing changed) without a name.
    bool readLines(const ucstringlist& lines);

private:
    // The on/off options beyond the basics; false when `option` is none of them.
    bool setSwitch(const std::string& option, const ucstring& value, ucstring& confirmation);

    ucstring mName;
    std::string mHost;
    int32_t mPort;
    int32_t mTimeout;
    std::string mUsername;
    std::string mPassword;
    bool mPromptForPassword;
    std::string mAccount;
    int32_t mSecureType;
    int32_t mDataPortRangeStart;
    int32_t mDataPortRangeEnd;
    ucstring mDefaultCompletedScript;
    int32_t mDefaultMode;
    bool mPassive;
    ucstring mFileName;
    bool mValid;
    OrbDateTime mLoadTime;
    ucstring mPrivateKeyFile;
    ucstring mPublicKeyFile;
    std::string mKeyPassphrase;
    bool mUseAgent;
    bool mResume;
    bool mVerify;
    bool mPreserveTimestamps;
    int32_t mMaxConnections;
};

// Account texts are stored one to a line: they cannot hold a carriage return, a line feed or a NUL.
bool accountTextIsStorable(const ucstring& text);
inline constexpr char16_t kAccountTextUnstorable[] =
    u"An account setting cannot hold a carriage return, line feed or NUL character.";

// The one list of accounts (configuration variable "FTPAccounts"), kept as one file per account in
// the "Accounts" folder beside the preferences. Every access holds the plug-in configuration lock.
// Names compare after normalisation (trimmed, ASCII upper case). The folder is re-read at most once
// a minute, and only files changed since they were read, so edits by another plug-in instance
// show up.
//
// Other processes change the same files. The list remembers each account as its file held it when
// last read or written; a save takes the folder's lock, reads the file again and changes in it only
// the settings this process changed, so both processes' changes stay.
//
// The list is also the receiver of the account dialog's events (FTPAccountDialog.cpp).
class FTPAccounts : public DWEvents {
public:
    using Accounts = std::vector<FTPAccount>;

    // `prefs` tells whether an older version's settings were taken over (its accounts then are too).
    explicit FTPAccounts(const PluginPrefsEx* prefs = nullptr) : mPrefs(prefs) {}
    FTPAccounts(const FTPAccounts&) = delete;
    FTPAccounts& operator=(const FTPAccounts&) = delete;
    ~FTPAccounts() override;
    virtual Accounts& mutableAccounts() { return mAccounts; }
    virtual const Accounts& accounts() const { return mAccounts; }
    // An explicit accounts folder; empty for the standard one.
    virtual ucstring& mutableAccountsPath() { return mAccountsPath; }
    virtual const ucstring& accountsPath() const { return mAccountsPath; }
    virtual OrbFileRef& mutableAccountsPathRef() { return mAccountsPathRef; }
    virtual const OrbFileRef& accountsPathRef() const { return mAccountsPathRef; }
    virtual void setLoading(bool loading) { mLoading = loading; }
    virtual bool loading() const { return mLoading; }
    virtual void setSaving(bool saving) { mSaving = saving; }
    virtual bool saving() const { return mSaving; }
    virtual void setLastLoadTime(int64_t seconds) { mLastLoadTime = seconds; }
    virtual int64_t lastLoadTime() const { return mLastLoadTime; }
    virtual void setSkipLoading(bool skip) { mSkipLoading = skip; }
    virtual bool skipLoading() const { return mSkipLoading; }

    // Re-reads the folder (or only the named account file); a non-empty skipIfSet does nothing.
    void loadAccounts(const ucstring& fileName = {}, const ucstring& skipIfSet = {});
    // Re-reads the folder now, even within a minute of the last time (before a change that must
    // see every account there is).
    void reloadAccounts();
    // Writes what changed in every account, or in the named one; an error text, empty on success.
    [[nodiscard]] ucstring saveAccounts(const ucstring& name = {}, const ucstring& skipIfSet = {});
    // The account of that name (after a reload when due), or null.
    FTPAccount* findAccount(const ucstring& name);
    FTPAccount* findAccountByFileName(const ucstring& fileName);
    // Appends a new account with default settings and a file name of its own, and writes its file;
    // false with the reason when the name is empty or taken, or the file cannot be written.
    bool addAccount(ucstring& error, const ucstring& name);
    // Deletes the account's file and forgets the account; an error text when the file stays.
    [[nodiscard]] ucstring removeAccount(const ucstring& name);
    void copyAccountNames(ucstringlist& names);
    // The accounts folder, made when `create` is set; false when it is missing or cannot be made.
    bool generateAccountsPath(bool create);

    // ---- The account dialog (FTPAccountDialog.cpp) ----
    // Shows the dialog modally for the named account, or with the account selector ("+" and "-")
    // when `accountName` is empty. The caller holds the configuration lock. An error text when the
    // dialog cannot be shown.
    [[nodiscard]] ucstring showAccountDialog(const ucstring& accountName);

    void buttonClick(DynamicWindow& window, int32_t objectID) override;
    void editChange(DynamicWindow& window, int32_t objectID) override;
    void editKeyPress(DynamicWindow& window, int32_t objectID, int32_t key) override;
    void checkBoxChange(DynamicWindow& window, int32_t objectID, bool checked) override;
    void comboBoxChange(DynamicWindow& window, int32_t objectID, int64_t index) override;
    void listBoxDoubleClick(DynamicWindow& window, int32_t objectID, int64_t index) override;
    bool windowCloseBoxClick(DynamicWindow& window) override;

    virtual DynamicWindow* accountDialog() const { return mAccountDialog; }
    // The file name of the account the dialog shows; empty for none.
    virtual const ucstring& dialogAccountFile() const { return mDialogAccountFile; }
    virtual void setDialogChanged(bool changed) { mDialogChanged = changed; }
    virtual bool dialogChanged() const { return mDialogChanged; }

private:
    const PluginPrefsEx* mPrefs = nullptr;
    bool buildAccountDialog(ucstring& error, const ucstring& accountName);
    void showDialogAccount(DynamicWindow& window, const ucstring& fileName);
    // Copies the dialog's fields into `account` (by the dialog's rules for empty fields).
    void readDialogFields(DynamicWindow& window, FTPAccount& account) const;
    bool dialogHasChanges(DynamicWindow& window);
    // The selector's names and selection from the list.
    void refreshSelector(DynamicWindow& window);
    // Stores the fields in the shown account and writes its file; false (with a message to the
    // user) when the name is empty or another account's.
    bool saveDialogAccount(DynamicWindow& window);
    // Asks whether to keep unsaved edits before the shown account goes; false when the user
    // chose to stay.
    bool settleDialogChanges(DynamicWindow& window, bool fromSelector);
    void addDialogAccount(DynamicWindow& window);
    void removeDialogAccount(DynamicWindow& window);
    void closeAccountDialog(DynamicWindow& window);

    bool readAccountFile(const OrbFileRef& file, const ucstring& fileName);
    // Merges the account's changes into its file (under the folder's lock).
    [[nodiscard]] ucstring saveAccountFile(FTPAccount& account);
    FTPAccount* find(const ucstring& name);

    // Holds the accounts folder's lock for a scope; nested holds share the one lock.
    class FolderHold;
    friend class FolderHold;

    Accounts mAccounts;
    ucstring mAccountsPath;
    OrbFileRef mAccountsPathRef;
    bool mLoading = false;
    bool mSaving = false;
    int64_t mLastLoadTime = -1000;
    bool mSkipLoading = false;
    DynamicWindow* mAccountDialog = nullptr;
    bool mDialogSingle = false;
    ucstring mDialogAccountFile;
    ucstringlist mDialogFileNames;  // the selector's accounts, in its order
    bool mDialogChanged = false;
    // Each account as its file held it when last read or written, by normalised file name.
    std::map<ucstring, FTPAccount> mStored;
    std::unique_ptr<OrbFolderLock> mFolderLock;
    int mFolderLockDepth = 0;
};
