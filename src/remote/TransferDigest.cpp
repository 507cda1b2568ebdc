#include "TransferDigest.h"

#include "_Common/Strings/Orb_String.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>

namespace {

class EvpDigest final : public TransferDigest {
public:
    explicit EvpDigest(const EVP_MD* type) : mContext(EVP_MD_CTX_new()) {
        if (mContext) EVP_DigestInit_ex(mContext, type, nullptr);
    }
    ~EvpDigest() override { EVP_MD_CTX_free(mContext); }
    EvpDigest(const EvpDigest&) = delete;
    EvpDigest& operator=(const EvpDigest&) = delete;
    void update(const void* data, size_t size) override {
        if (mContext) EVP_DigestUpdate(mContext, data, size);
    }
    std::string hex() override {
        unsigned char value[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!mContext || EVP_DigestFinal_ex(mContext, value, &length) != 1) return {};
        static const char kHex[] = "0123456789abcdef";
        std::string out;
        for (unsigned int i = 0; i < length; ++i) {
            out += kHex[value[i] >> 4];
            out += kHex[value[i] & 15];
        }
        return out;
    }

private:
    EVP_MD_CTX* mContext;
};

class Crc32Digest final : public TransferDigest {
public:
    void update(const void* data, size_t size) override {
        const auto* bytes = static_cast<const Bytef*>(data);
        while (size > 0) {
            const uInt piece = size > (1u << 30) ? (1u << 30) : static_cast<uInt>(size);
            mValue = crc32(mValue, bytes, piece);
            bytes += piece;
            size -= piece;
        }
    }
    std::string hex() override {
        char text[9];
        std::snprintf(text, sizeof text, "%08lx", mValue);
        return text;
    }

private:
    uLong mValue = crc32(0L, Z_NULL, 0);
};

// The algorithms known here: HASH's name, the X command, the digest's length in hex.
struct Algorithm {
    const char* name;
    const char* command;
    size_t hexLength;
};
constexpr Algorithm kAlgorithms[] = {
    {"SHA-256", "XSHA256", 64}, {"SHA-512", "XSHA512", 128}, {"SHA-1", "XSHA1", 40},
    {"MD5", "XMD5", 32},        {"CRC32", "XCRC", 8},
};

const Algorithm* findAlgorithm(const std::string& name) {
    for (const Algorithm& a : kAlgorithms)
        if (stringUpperCase(name) == a.name) return &a;
    return nullptr;
}

bool hasFeature(const stringlist& features, const std::string& name, std::string* parameters = nullptr) {
    for (const std::string& line : features) {
        const size_t equals = line.find('=');
        if (stringUpperCase(line.substr(0, equals)) != name) continue;
        if (parameters) *parameters = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        return true;
    }
    return false;
}

bool isHex(const std::string& text, size_t length) {
    return text.size() == length && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

std::unique_ptr<TransferDigest> TransferDigest::make(const std::string& algorithm) {
    const std::string name = stringUpperCase(algorithm);
    if (name == "CRC32") return std::make_unique<Crc32Digest>();
    const EVP_MD* type = name == "SHA-256"   ? EVP_sha256()
                         : name == "SHA-512" ? EVP_sha512()
                         : name == "SHA-1"   ? EVP_sha1()
                         : name == "MD5"     ? EVP_md5()
                                             : nullptr;
    if (!type) return nullptr;
    return std::make_unique<EvpDigest>(type);
}

DigestRequest transferDigestRequest(const stringlist& features) {
    std::string offered;
    if (hasFeature(features, "HASH", &offered)) {
        // "CRC32;MD5;SHA-1*;SHA-256;": the one with "*" is what HASH computes now.
        std::string selected, strongest;
        size_t start = 0;
        while (start < offered.size()) {
            size_t end = offered.find(';', start);
            if (end == std::string::npos) end = offered.size();
            std::string name = stringTrim(offered.substr(start, end - start));
            start = end + 1;
            const bool isSelected = !name.empty() && name.back() == '*';
            if (isSelected) name.pop_back();
            if (!findAlgorithm(name)) continue;
            if (isSelected) selected = stringUpperCase(name);
            if (stringUpperCase(name) == "SHA-256" || (strongest.empty() && stringUpperCase(name) == "SHA-1"))
                strongest = stringUpperCase(name);
        }
        if (!selected.empty()) return {selected, "HASH", ""};
        if (!strongest.empty()) return {strongest, "HASH", "OPTS HASH " + strongest};
    }
    for (const Algorithm& a : kAlgorithms)
        if (hasFeature(features, a.command)) return {a.name, a.command, ""};
    return {};
}

std::string transferDigestFromReplies(const DigestRequest& request, const stringlist& replies) {
    const Algorithm* algorithm = findAlgorithm(request.algorithm);
    if (!algorithm) return {};
    for (auto line = replies.rbegin(); line != replies.rend(); ++line) {
        if (line->size() < 4 || (line->compare(0, 4, "213 ") != 0 && line->compare(0, 4, "250 ") != 0)) continue;
        stringlist words;
        for (size_t at = 4; at < line->size();) {
            const size_t blank = std::min(line->find(' ', at), line->size());
            if (blank > at) words.push_back(line->substr(at, blank - at));
            at = blank + 1;
        }
        // HASH: "<alg> <start>-<end> <hex> <name>"; the others: "<hex>".
        const bool hash = request.command == "HASH";
        if (hash && (words.size() < 3 || stringUpperCase(words[0]) != algorithm->name)) continue;
        const std::string& value = hash ? words[2] : (words.empty() ? std::string() : words[0]);
        if (isHex(value, algorithm->hexLength)) return stringLowerCase(value);
    }
    return {};
}

bool DigestingStream::readBytes(void* destination, int64_t count, int64_t& actual) {
    const bool ok = mInner.readBytes(destination, count, actual);
    if (actual > 0) mRead += actual;
    if (mDigest && actual > 0) mDigest->update(destination, static_cast<size_t>(actual));
    return ok;
}

bool DigestingStream::writeBytes(const void* source, int64_t count) {
    if (!mInner.writeBytes(source, count)) return false;
    if (mDigest) mDigest->update(source, static_cast<size_t>(count));
    return true;
}

bool DigestingStream::reposition(int64_t newPosition) {
    if (!mDigest) return mInner.reposition(newPosition);
    if (newPosition < mRead) return false;
    std::string buffer(size_t{1} << 16, '\0');
    while (mRead < newPosition) {
        int64_t actual = 0;
        const int64_t want = std::min<int64_t>(static_cast<int64_t>(buffer.size()), newPosition - mRead);
        if (!readBytes(buffer.data(), want, actual) || actual <= 0) return false;
    }
    return true;
}
