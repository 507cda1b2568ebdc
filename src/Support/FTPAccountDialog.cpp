// The account dialog: one account's connection settings, or every account with a selector to pick,
// add and remove them. Shown modally while the caller holds the configuration lock, so the event
// handlers below work on the list directly.
#include "FTPAccountDialog.h"

#include "FTPAccount.h"
#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/GUI/DW_Dialogs.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

// Boxes and labels that only arrange the window.
enum : int32_t {
    kSelectorRow = 802,
    kNameRow = 819,
    kNameLabel = 820,
    kConnectionHeading = 831,
    kConnectionNote = 832,
    kHostRow = 839,
    kHostLabel = 840,
    kPortRow = 842,
    kPortLabel = 843,
    kPortNote = 845,
    kUsernameRow = 846,
    kUsernameLabel = 847,
    kPasswordRow = 849,
    kPasswordLabel = 850,
    kPromptRow = 852,
    kPromptIndent = 853,
    kSecureRow = 855,
    kSecureLabel = 856,
    kTimeoutRow = 858,
    kTimeoutLabel = 859,
    kDataHeading = 861,
    kDataNote = 862,
    kRangeRow = 865,
    kRangeLabel = 866,
    kRangeStartLabel = 867,
    kRangeEndLabel = 869,
    kButtonRow = 880,
    kButtonFill = 881,
    kKeyHeading = 891,
    kPrivateKeyRow = 892,
    kPrivateKeyLabel = 894,
    kPublicKeyRow = 895,
    kPublicKeyLabel = 897,
    kPassphraseRow = 898,
    kPassphraseLabel = 901,
    kAgentIndent = 902,
    kAgentRow = 903,
    kTransferHeading = 911,
    kTransferRow = 912,
    kConnectionsRow = 916,
    kConnectionsLabel = 917,
    kConnectionsNote = 919,
};

constexpr int32_t kCaptionWidth = 150;  // the labels before the fields line up
constexpr int32_t kFieldWidth = 240;
constexpr int32_t kNumberWidth = 70;

const ucstringlist kSecureChoices = {u"None (Off)", u"After Connect (AUTH TLS)", u"Before Connect (Secure Port)",
                                     u"SSH"};

void setHint(DWLayoutObject* object, const ucstring& hint) {
    if (object) object->mutableHint() = hint;
}

// One row: a caption of fixed width, then the field; returns the row's ID for further objects.
int32_t addCaptionRow(DWLayout& l, int32_t parent, int32_t rowID, int32_t labelID, const ucstring& caption) {
    addHBox(l, parent, rowID);
    if (DWLayoutObject* label = addLabel(l, rowID, labelID, caption, 0, kCaptionWidth)) label->setSkipExpand(true);
    return rowID;
}

DWLayoutObject* addField(DWLayout& l, int32_t row, int32_t id, int32_t labelID, uint16_t features, int32_t width,
                         const ucstring& hint) {
    DWLayoutObject* edit = addEdit(l, row, id, u"", features, width);
    // Numbers keep a small field; texts take the row's room.
    if (edit && width == kNumberWidth) edit->setExpandableRight(false);
    setHint(edit, hint);
    if (DWLayoutObject* label = l.findObject(labelID)) label->setAssociateID(id);
    return edit;
}

int32_t clampedNumber(const ucstring& text) {
    const int64_t n = stringToInteger(text);
    return static_cast<int32_t>(
        std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

ucstring numberText(int64_t n) {
    ucstring text;
    return stringFromInteger(text, n);
}

ucstring fieldText(DynamicWindow& window, int32_t id) {
    ucstring text;
    window.copyEditText(id, text);
    return text;
}

bool fieldValue(DynamicWindow& window, int32_t id) {
    int64_t value = 0;
    window.getLayoutObjectValue(id, value);
    return value != 0;
}

// What can be edited only while an account is shown.
const int32_t kAccountFields[] = {kAccountName,          kAccountHost,          kAccountPort,
                                  kAccountUsername,      kAccountPassword,      kAccountPromptPassword,
                                  kAccountSecureType,    kAccountTimeout,       kAccountPassive,
                                  kAccountRangeStart,    kAccountRangeEnd,      kAccountPrivateKey,
                                  kAccountPublicKey,     kAccountKeyPassphrase, kAccountUseAgent,
                                  kAccountResume,        kAccountVerify,        kAccountPreserveTimestamps,
                                  kAccountMaxConnections};

}  // namespace

FTPAccounts::~FTPAccounts() { delete mAccountDialog; }

ucstring FTPAccounts::showAccountDialog(const ucstring& accountName) {
    DEBUG_SCOPE("FTPAccounts::showAccountDialog");
    if (mAccountDialog) return u"Could not create Account Configuration Dialog.";  // already open
    ucstring error;
    if (!buildAccountDialog(error, accountName)) {
        DEBUG_OUT(error);
        return error;
    }
    mAccountDialog->dwShow(true);
    delete mAccountDialog;
    mAccountDialog = nullptr;
    mDialogFileNames.clear();
    mDialogAccountFile.clear();
    mDialogChanged = false;
    return {};
}

bool FTPAccounts::buildAccountDialog(ucstring& error, const ucstring& accountName) {
    const ucstring wanted = stringTrim(accountName);
    mDialogSingle = !wanted.empty();
    mDialogFileNames.clear();
    mDialogAccountFile.clear();
    mDialogChanged = false;
    ucstringlist names;
    if (mDialogSingle) {
        const FTPAccount* account = find(wanted);
        if (!account) {
            error = u"Could not find Account named '" + wanted + u"'.";
            return false;
        }
        mDialogAccountFile = account->fileName();
    } else {
        for (const FTPAccount& a : mAccounts) {
            names.push_back(a.name());
            mDialogFileNames.push_back(a.fileName());
        }
        if (!mDialogFileNames.empty()) mDialogAccountFile = mDialogFileNames.front();
    }

    DWLayout l;
    setupLayout(l, kAccountRoot, true);
    l.mutableTitle() = u"Volan Pro - FTP Account Configuration";
    if (!mDialogSingle) {
        addHBox(l, kAccountRoot, kSelectorRow);
        DWLayoutObject* selector = addComboBox(l, kSelectorRow, kAccountSelector, names, names.empty() ? -1 : 0);
        if (selector) selector->setExpandableRight(true);
        setHint(selector, u"Select the Account you want to Configure.");
        setHint(addSmallButton(l, kSelectorRow, kAccountAdd, u"+"), u"Add a New Account to Configure.");
        setHint(addSmallButton(l, kSelectorRow, kAccountRemove, u"-"), u"Remove the Current Account.");
    }
    addCaptionRow(l, kAccountRoot, kNameRow, kNameLabel, u"Account Name");
    addField(l, kNameRow, kAccountName, kNameLabel, 0, kFieldWidth, u"");

    addVBox(l, kAccountRoot, kAccountConnectionGroup);
    addLabel(l, kAccountConnectionGroup, kConnectionHeading, u"Connection", kDWLabelBold);
    addLabel(l, kAccountConnectionGroup, kConnectionNote, u"Connection settings for this account:");
    addCaptionRow(l, kAccountConnectionGroup, kHostRow, kHostLabel, u"FTP Host");
    addField(l, kHostRow, kAccountHost, kHostLabel, 0, kFieldWidth,
             u"Enter the Domain Name or IP Address of the FTP Server.");
    addCaptionRow(l, kAccountConnectionGroup, kPortRow, kPortLabel, u"TCP/IP Port");
    addField(l, kPortRow, kAccountPort, kPortLabel, 0, kNumberWidth,
             u"Enter the TCP/IP Port of your FTP Server (if different than 21).");
    addLabel(l, kPortRow, kPortNote, u"(Default: 21)");
    addCaptionRow(l, kAccountConnectionGroup, kUsernameRow, kUsernameLabel, u"Username");
    addField(l, kUsernameRow, kAccountUsername, kUsernameLabel, 0, kFieldWidth,
             u"Enter the Username for your account on the FTP Server.");
    addCaptionRow(l, kAccountConnectionGroup, kPasswordRow, kPasswordLabel, u"Password");
    addField(l, kPasswordRow, kAccountPassword, kPasswordLabel, kDWEditPassword, kFieldWidth,
             u"Enter the Password for your account on the FTP Server.");
    addHBox(l, kAccountConnectionGroup, kPromptRow);
    addSpace(l, kPromptRow, kPromptIndent, kCaptionWidth, 0);
    setHint(addCheckBox(l, kPromptRow, kAccountPromptPassword, u"Prompt me for this when I Connect", false),
            u"Check this to have Volan Pro prompt you for your Password each time you Connect instead of saving "
            u"the password.");
    addCaptionRow(l, kAccountConnectionGroup, kSecureRow, kSecureLabel, u"Secure Type");
    setHint(addComboBox(l, kSecureRow, kAccountSecureType, kSecureChoices, 0),
            u"Select the type of Secure Connection your FTP Server supports.");
    if (DWLayoutObject* label = l.findObject(kSecureLabel)) label->setAssociateID(kAccountSecureType);
    addCaptionRow(l, kAccountConnectionGroup, kTimeoutRow, kTimeoutLabel, u"Connection Timeout");
    if (DWLayoutObject* timeout =
            addField(l, kTimeoutRow, kAccountTimeout, kTimeoutLabel, 0, kNumberWidth,
                     u"Enter the Timeout (in seconds) to wait for responses from the FTP Server."))
        timeout->mutableText() = u"15";

    addVBox(l, kAccountRoot, kAccountDataGroup);
    addLabel(l, kAccountDataGroup, kDataHeading, u"Data Connection", kDWLabelBold);
    addLabel(l, kAccountDataGroup, kDataNote, u"Data Connection Settings for this account:");
    setHint(addCheckBox(l, kAccountDataGroup, kAccountPassive, u"Use Passive Mode", true),
            u"Use Passive Mode if you are behind a Proxy.");
    addCaptionRow(l, kAccountDataGroup, kRangeRow, kRangeLabel, u"Data Port Range");
    addLabel(l, kRangeRow, kRangeStartLabel, u"Start");
    addField(l, kRangeRow, kAccountRangeStart, kRangeStartLabel, 0, kNumberWidth,
             u"Enter the Starting TCP/IP Port Number for the Data Port Connections.");
    addLabel(l, kRangeRow, kRangeEndLabel, u"End");
    addField(l, kRangeRow, kAccountRangeEnd, kRangeEndLabel, 0, kNumberWidth,
             u"Enter the Ending TCP/IP Port Number for the Data Port Connections.");

    addVBox(l, kAccountRoot, kAccountKeyGroup);
    addLabel(l, kAccountKeyGroup, kKeyHeading, u"SSH Keys (SFTP)", kDWLabelBold);
    addCaptionRow(l, kAccountKeyGroup, kPrivateKeyRow, kPrivateKeyLabel, u"Private Key File");
    addField(l, kPrivateKeyRow, kAccountPrivateKey, kPrivateKeyLabel, 0, kFieldWidth,
             u"Enter the path of your private key file to log in with a key instead of a password.");
    addCaptionRow(l, kAccountKeyGroup, kPublicKeyRow, kPublicKeyLabel, u"Public Key File");
    addField(l, kPublicKeyRow, kAccountPublicKey, kPublicKeyLabel, 0, kFieldWidth,
             u"Enter the path of the matching public key file (optional).");
    addCaptionRow(l, kAccountKeyGroup, kPassphraseRow, kPassphraseLabel, u"Key Passphrase");
    addField(l, kPassphraseRow, kAccountKeyPassphrase, kPassphraseLabel, kDWEditPassword, kFieldWidth,
             u"Enter the passphrase of the private key, if it has one.");
    addHBox(l, kAccountKeyGroup, kAgentRow);
    addSpace(l, kAgentRow, kAgentIndent, kCaptionWidth, 0);
    setHint(addCheckBox(l, kAgentRow, kAccountUseAgent, u"Use the running ssh-agent", false),
            u"Check this to log in with the keys your ssh-agent holds before trying the key file and password.");

    addVBox(l, kAccountRoot, kAccountTransferGroup);
    addLabel(l, kAccountTransferGroup, kTransferHeading, u"Transfers", kDWLabelBold);
    addHBox(l, kAccountTransferGroup, kTransferRow);
    setHint(addCheckBox(l, kTransferRow, kAccountResume, u"Resume", false),
            u"Continue interrupted transfers where they stopped.");
    setHint(addCheckBox(l, kTransferRow, kAccountVerify, u"Verify", false),
            u"Check the size (and, where the server offers one, the digest) of every transfer at both ends.");
    setHint(addCheckBox(l, kTransferRow, kAccountPreserveTimestamps, u"Keep Timestamps", false),
            u"Give transferred files the modification time of the original.");
    addCaptionRow(l, kAccountTransferGroup, kConnectionsRow, kConnectionsLabel, u"Connections");
    addField(l, kConnectionsRow, kAccountMaxConnections, kConnectionsLabel, 0, kNumberWidth,
             u"Enter how many logins a folder transfer may use at once (1 to 8).");
    addLabel(l, kConnectionsRow, kConnectionsNote, u"(1 to 8, for folder transfers)");

    addHBox(l, kAccountRoot, kButtonRow);
    addFill(l, kButtonRow, kButtonFill);
    addButton(l, kButtonRow, kAccountSave, u"Save", kDWButtonAccept, 80);
    // Close asks about unsaved edits first, so it closes the window itself rather than by feature.
    addButton(l, kButtonRow, kAccountClose, u"Close", kDWButtonCancel, 80);

    auto* window = new (std::nothrow) DynamicWindow();
    if (!window) {
        error = u"Could not create Account Configuration Dialog.";
        return false;
    }
    if (!window->buildWindow(l, this)) {
        delete window;
        error = u"Could not build Account Configuration Dialog.";
        return false;
    }
    mAccountDialog = window;
    showDialogAccount(*window, mDialogAccountFile);
    return true;
}

void FTPAccounts::showDialogAccount(DynamicWindow& window, const ucstring& fileName) {
    mDialogAccountFile = fileName;
    const FTPAccount* found = fileName.empty() ? nullptr : findAccountByFileName(fileName);
    const FTPAccount account = found ? *found : FTPAccount();
    window.updateEditText(kAccountName, account.name());
    window.updateEditText(kAccountHost, ucstringFromUTF8String(account.host()));
    window.updateEditText(kAccountPort, account.port() == -1 ? ucstring() : numberText(account.port()));
    window.updateEditText(kAccountUsername, ucstringFromUTF8String(account.username()));
    window.updateEditText(kAccountPassword, ucstringFromUTF8String(account.password()));
    window.updateLayoutObjectValue(kAccountPromptPassword, account.promptForPassword());
    const int32_t type = account.secureType() >= 0 && account.secureType() <= 3 ? account.secureType() : 0;
    window.updateLayoutObjectValue(kAccountSecureType, type);
    window.updateEditText(kAccountTimeout, numberText(account.timeout()));
    window.updateLayoutObjectValue(kAccountPassive, account.passive());
    window.updateEditText(kAccountRangeStart,
                          account.dataPortRangeStart() ? numberText(account.dataPortRangeStart()) : ucstring());
    window.updateEditText(kAccountRangeEnd,
                          account.dataPortRangeEnd() ? numberText(account.dataPortRangeEnd()) : ucstring());
    window.updateEditText(kAccountPrivateKey, account.privateKeyFile());
    window.updateEditText(kAccountPublicKey, account.publicKeyFile());
    window.updateEditText(kAccountKeyPassphrase, ucstringFromUTF8String(account.keyPassphrase()));
    window.updateLayoutObjectValue(kAccountUseAgent, account.useAgent());
    window.updateLayoutObjectValue(kAccountResume, account.resume());
    window.updateLayoutObjectValue(kAccountVerify, account.verify());
    window.updateLayoutObjectValue(kAccountPreserveTimestamps, account.preserveTimestamps());
    window.updateEditText(kAccountMaxConnections, numberText(account.maxConnections()));
    // Without an account there is nothing to edit; a prompted password is not typed here.
    for (int32_t id : kAccountFields) {
        if (found)
            window.enableLayoutObject(id);
        else
            window.disableLayoutObject(id);
    }
    if (found && account.promptForPassword()) {
        window.disableLayoutObject(kAccountPassword);
        window.disableLayoutObject(kAccountKeyPassphrase);
    }
    refreshSelector(window);
    mDialogChanged = false;
}

void FTPAccounts::readDialogFields(DynamicWindow& window, FTPAccount& account) const {
    account.mutableName() = fieldText(window, kAccountName);
    account.mutableHost() = ucstringToUTF8String(fieldText(window, kAccountHost));
    const ucstring port = fieldText(window, kAccountPort);
    account.setPort(stringTrim(port).empty() ? -1 : clampedNumber(port));
    account.mutableUsername() = ucstringToUTF8String(fieldText(window, kAccountUsername));
    const bool prompt = fieldValue(window, kAccountPromptPassword);
    account.setPromptForPassword(prompt);
    account.mutablePassword() = prompt ? std::string() : ucstringToUTF8String(fieldText(window, kAccountPassword));
    int64_t type = 0;
    window.getLayoutObjectValue(kAccountSecureType, type);
    account.setSecureType(type >= 0 && type <= 3 ? static_cast<int32_t>(type) : 0);
    account.setTimeout(clampedNumber(fieldText(window, kAccountTimeout)));
    account.setPassive(fieldValue(window, kAccountPassive));
    account.setDataPortRangeStart(clampedNumber(fieldText(window, kAccountRangeStart)));
    account.setDataPortRangeEnd(clampedNumber(fieldText(window, kAccountRangeEnd)));
    account.mutablePrivateKeyFile() = stringTrim(fieldText(window, kAccountPrivateKey));
    account.mutablePublicKeyFile() = stringTrim(fieldText(window, kAccountPublicKey));
    account.mutableKeyPassphrase() =
        prompt ? std::string() : ucstringToUTF8String(fieldText(window, kAccountKeyPassphrase));
    account.setUseAgent(fieldValue(window, kAccountUseAgent));
    account.setResume(fieldValue(window, kAccountResume));
    account.setVerify(fieldValue(window, kAccountVerify));
    account.setPreserveTimestamps(fieldValue(window, kAccountPreserveTimestamps));
    account.setMaxConnections(stringToInteger(fieldText(window, kAccountMaxConnections)));
}

void FTPAccounts::refreshSelector(DynamicWindow& window) {
    if (mDialogSingle) return;
    // Accounts gone meanwhile (another process removed their files) leave the selector.
    ucstringlist names;
    ucstringlist files;
    for (const ucstring& file : mDialogFileNames)
        if (const FTPAccount* a = findAccountByFileName(file)) {
            names.push_back(a->name());
            files.push_back(file);
        }
    mDialogFileNames = files;
    DWLayoutObject selector;
    if (!window.objectState(kAccountSelector, selector)) return;
    if (selector.items() != names) {
        while (window.removeComboBoxItem(kAccountSelector, 0)) {
        }
        for (const ucstring& n : names) window.addComboBoxItem(kAccountSelector, n);
    }
    const auto at = std::find(files.begin(), files.end(), mDialogAccountFile);
    window.updateLayoutObjectValue(kAccountSelector, at == files.end() ? -1 : at - files.begin());
}

bool FTPAccounts::dialogHasChanges(DynamicWindow& window) {
    if (!mDialogChanged) return false;
    const FTPAccount* account = findAccountByFileName(mDialogAccountFile);
    if (!account) return false;
    // Edits that were typed and then undone are no changes.
    FTPAccount edited = *account;
    readDialogFields(window, edited);
    return edited.name() != account->name() || edited.host() != account->host() || edited.port() != account->port() ||
           edited.username() != account->username() || edited.password() != account->password() ||
           edited.promptForPassword() != account->promptForPassword() || edited.secureType() != account->secureType() ||
           edited.timeout() != account->timeout() || edited.passive() != account->passive() ||
           edited.dataPortRangeStart() != account->dataPortRangeStart() ||
           edited.dataPortRangeEnd() != account->dataPortRangeEnd() ||
           edited.privateKeyFile() != account->privateKeyFile() || edited.publicKeyFile() != account->publicKeyFile() ||
           edited.keyPassphrase() != account->keyPassphrase() || edited.useAgent() != account->useAgent() ||
           edited.resume() != account->resume() || edited.verify() != account->verify() ||
           edited.preserveTimestamps() != account->preserveTimestamps() ||
           edited.maxConnections() != account->maxConnections();
}

bool FTPAccounts::saveDialogAccount(DynamicWindow& window) {
    FTPAccount* account = mDialogAccountFile.empty() ? nullptr : findAccountByFileName(mDialogAccountFile);
    if (!account) {
        messageDialog(u"You must select at least one account.", 0);
        return false;
    }
    // An account without a name is not loaded again, and two with one name cannot be told apart.
    const ucstring name = fieldText(window, kAccountName);
    if (stringTrim(name).empty()) {
        messageDialog(u"You must specify a name for the New Account.", 0);
        return false;
    }
    const FTPAccount* other = find(name);
    if (other && other != account) {
        messageDialog(u"There is already an Account with the Name '" + stringTrim(name) + u"'.", 0);
        return false;
    }
    const FTPAccount before(*account);
    readDialogFields(window, *account);
    const ucstring values[] = {account->name(),
                               ucstringFromUTF8String(account->host()),
                               ucstringFromUTF8String(account->username()),
                               ucstringFromUTF8String(account->password()),
                               account->privateKeyFile(),
                               account->publicKeyFile(),
                               ucstringFromUTF8String(account->keyPassphrase())};
    ucstring error;
    for (const ucstring& value : values)
        if (!accountTextIsStorable(value)) error = kAccountTextUnstorable;
    if (error.empty()) error = saveAccounts(account->name());
    if (!error.empty()) {
        *account = before;  // what is not saved is not kept
        messageDialog(error, 0);
        return false;
    }
    mDialogChanged = false;
    refreshSelector(window);  // the name as saved
    return true;
}

bool FTPAccounts::settleDialogChanges(DynamicWindow& window, bool fromSelector) {
    if (!dialogHasChanges(window)) return true;
    const ucstring message = fromSelector
                                 ? u"You have made changes to this Account.\rDo you want to save these changes?"
                                 : u"You have made changes to this account.\rDo you want to save these changes?";
    switch (messageDialog(message, 6, u"Save Changes?")) {
        case kDialogYes: return saveDialogAccount(window);
        case kDialogNo: return true;
        default: return false;  // Cancel: stay with the edits
    }
}

void FTPAccounts::addDialogAccount(DynamicWindow& window) {
    if (!settleDialogChanges(window, false)) return;
    ucstring name;
    if (inputDialog(u"Please enter a name for this new account:", name, false, u"New Account") != kDialogOK) return;
    ucstring error;
    if (!addAccount(error, name)) {
        messageDialog(error, 0);
        return;
    }
    const FTPAccount& added = mAccounts.back();  // and its file written
    mDialogFileNames.push_back(added.fileName());
    showDialogAccount(window, added.fileName());
    window.updateFocus(kAccountHost);
}

void FTPAccounts::removeDialogAccount(DynamicWindow& window) {
    const FTPAccount* account = mDialogAccountFile.empty() ? nullptr : findAccountByFileName(mDialogAccountFile);
    if (!account) {
        messageDialog(u"You must select at least one account.", 0);
        return;
    }
    const ucstring name = account->name();
    if (messageDialog(u"Are you sure you want to remove the account named '" + name + u"'?", 4, u"Remove Account?") !=
        kDialogYes)
        return;
    const ucstring error = removeAccount(name);
    if (!error.empty()) {
        messageDialog(error, 0);
        return;
    }
    // The account that took its place in the selector is shown next, else the one before it.
    const auto at = std::find(mDialogFileNames.begin(), mDialogFileNames.end(), mDialogAccountFile);
    size_t next = at - mDialogFileNames.begin();
    if (at != mDialogFileNames.end()) mDialogFileNames.erase(at);
    if (next >= mDialogFileNames.size() && next > 0) --next;
    showDialogAccount(window, next < mDialogFileNames.size() ? mDialogFileNames[next] : ucstring());
}

void FTPAccounts::closeAccountDialog(DynamicWindow& window) {
    if (settleDialogChanges(window, false)) window.dwClose();
}

void FTPAccounts::buttonClick(DynamicWindow& window, int32_t objectID) {
    switch (objectID) {
        case kAccountSave: saveDialogAccount(window); break;
        case kAccountClose: closeAccountDialog(window); break;
        case kAccountAdd: addDialogAccount(window); break;
        case kAccountRemove: removeDialogAccount(window); break;
        default: break;
    }
}

void FTPAccounts::editChange(DynamicWindow&, int32_t) { mDialogChanged = true; }

void FTPAccounts::editKeyPress(DynamicWindow&, int32_t, int32_t) { mDialogChanged = true; }

void FTPAccounts::checkBoxChange(DynamicWindow& window, int32_t objectID, bool checked) {
    mDialogChanged = true;
    // A password that is asked for on connecting is not kept here.
    if (objectID == kAccountPromptPassword) {
        for (int32_t id : {kAccountPassword, kAccountKeyPassphrase}) {
            if (checked)
                window.disableLayoutObject(id);
            else
                window.enableLayoutObject(id);
        }
    }
}

void FTPAccounts::comboBoxChange(DynamicWindow& window, int32_t objectID, int64_t index) {
    if (objectID != kAccountSelector) {
        mDialogChanged = true;  // the secure type
        return;
    }
    const ucstring chosen =
        index >= 0 && static_cast<size_t>(index) < mDialogFileNames.size() ? mDialogFileNames[index] : ucstring();
    if (chosen == mDialogAccountFile) return;
    if (!settleDialogChanges(window, true)) {
        refreshSelector(window);  // stay with the edited account
        return;
    }
    showDialogAccount(window, chosen);
}

void FTPAccounts::listBoxDoubleClick(DynamicWindow&, int32_t, int64_t) {
    // The dialog has no list box; nothing to open.
}

bool FTPAccounts::windowCloseBoxClick(DynamicWindow& window) { return settleDialogChanges(window, false); }
