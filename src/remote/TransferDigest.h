// Checking a transfer's bytes against the server's own digest of the file (FTP's HASH, or the
// XSHA256 family): which command a server offers, the digest of the bytes as they stream through,
// and the digest a reply names.
#pragma once

#include "_Common/FileAndStream/Orb_Stream.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <memory>
#include <string>

// A digest of bytes given piece by piece: "SHA-256", "SHA-512", "SHA-1", "MD5" or "CRC32".
class TransferDigest {
public:
    virtual ~TransferDigest() = default;
    // nullptr for an algorithm not known here.
    static std::unique_ptr<TransferDigest> make(const std::string& algorithm);
    virtual void update(const void* data, size_t size) = 0;
    // Lower-case hex.
    virtual std::string hex() = 0;
};

// How to ask a server for a file's digest: `command` + " " + the file's name, then the reply read
// by transferDigestFromReplies. Empty command: the server offers none known here.
struct DigestRequest {
    std::string algorithm;  // as TransferDigest::make names it
    std::string command;    // "HASH", "XSHA256", ...
    // The "OPTS HASH ..." that selects the algorithm first; empty when it is selected already.
    std::string select;
};

// From FEAT's lines ("NAME=parameters", see Connection::features): HASH with the algorithm the
// server selected (marked "*") when known here, else SHA-256 or SHA-1 selected; else XSHA256, XSHA1,
// XMD5 or XCRC.
DigestRequest transferDigestRequest(const stringlist& features);
// The hex digest in the replies: "213 <alg> <start>-<end> <hex> <name>" to HASH, "250 <hex>" or
// "213 <hex>" to the others; lower case; empty when no reply gives one.
std::string transferDigestFromReplies(const DigestRequest& request, const stringlist& replies);

// Passes reads and writes on to another stream and gives the bytes that moved to a digest (none:
// they only pass).
class DigestingStream final : public OrbStream {
public:
    DigestingStream(OrbStream& inner, TransferDigest* digest) : mInner(inner), mDigest(digest) {}
    bool readBytes(void* destination, int64_t count, int64_t& actual) override;
    bool writeBytes(const void* source, int64_t count) override;
    // Forward only, reading what it passes over, so that the digest sees every byte.
    bool reposition(int64_t newPosition) override;

private:
    OrbStream& mInner;
    TransferDigest* mDigest;
    int64_t mRead = 0;  // bytes read through this stream
};
