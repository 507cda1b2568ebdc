// Passwords as account and preference files keep them.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <string>

// The scrambled form in which passwords are stored in account and preference files. It hides a
// password from a casual look; it is not encryption.
std::string encryptPassword(const std::string& password);
std::string decryptPassword(const std::string& scrambled);
// The scrambled form as text in a file: one character per scrambled byte. (The bytes of a password
// outside ASCII are scrambled as they are, and between the filler bytes they are no longer UTF-8.)
// Reading also takes files whose scrambled text was stored as UTF-8.
ucstring encryptPasswordText(const std::string& password);
std::string decryptPasswordText(const ucstring& stored);
