// Object IDs of the account dialog (FTPAccounts::showAccountDialog), for whoever drives it.
#pragma once

#include <cstdint>

enum : int32_t {
    kAccountRoot = 800,
    kAccountSelector = 810,  // combo box of the accounts; only without a requested account
    kAccountAdd = 811,       // "+"
    kAccountRemove = 812,    // "-"
    kAccountName = 821,
    kAccountConnectionGroup = 830,
    kAccountHost = 841,
    kAccountPort = 844,
    kAccountUsername = 848,
    kAccountPassword = 851,
    kAccountPromptPassword = 854,
    kAccountSecureType = 857,
    kAccountTimeout = 860,
    kAccountDataGroup = 863,
    kAccountPassive = 864,
    kAccountRangeStart = 868,
    kAccountRangeEnd = 870,
    kAccountSave = 882,
    kAccountClose = 883,
    kAccountKeyGroup = 890,  // SFTP keys
    kAccountPrivateKey = 893,
    kAccountPublicKey = 896,
    kAccountKeyPassphrase = 899,
    kAccountUseAgent = 900,
    kAccountTransferGroup = 910,  // transfer options
    kAccountResume = 913,
    kAccountVerify = 914,
    kAccountPreserveTimestamps = 915,
    kAccountMaxConnections = 918,
};
