// SFTP login with keys: the ways of logging in an account asks for, tried one at a time in OpenSSH's
// order (the running ssh-agent, the key file, the password), and the texts that say why the server
// accepted none. An account without a key file or the agent logs in as libcurl chooses, as always.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <string>
#include <vector>

enum class SSHLoginMethod { kAgent, kKey, kPassword };

// The ways to try for an SFTP login, in order; empty when the account uses neither a key file nor
// the agent. The password comes last, and only when there is one (stored, or answered at the prompt).
std::vector<SSHLoginMethod> sshLoginMethods(bool useAgent, const std::string& privateKeyFile,
                                            const std::string& password);
// libcurl's CURLOPT_SSH_AUTH_TYPES for one way.
long sshAuthTypes(SSHLoginMethod method);
// Empty, or why the account's key files cannot be used ("Private key file not found: <path>").
ucstring sshKeyFilesProblem(const std::string& privateKeyFile, const std::string& publicKeyFile);
// True when the private key file needs a passphrase (OpenSSH format with a cipher, or PEM/PKCS#8
// marked as encrypted); false when it cannot be read.
bool sshKeyFileEncrypted(const std::string& path);
// Why the server did not take `method`, from libcurl's notes of that login (its info lines).
ucstring sshLoginRefusal(SSHLoginMethod method, const std::string& privateKeyFile, const std::string& notes);
// Empty when the agent can be asked; else why not (no SSH_AUTH_SOCK).
ucstring sshAgentMissing();
