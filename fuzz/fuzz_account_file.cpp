// Feeds arbitrary bytes to the account-file reader: the text-file line reader, then the account
// settings read from those lines.
#include "Support/FTPAccount.h"
#include "_Common/FileAndStream/Orb_Stream.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_String.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OrbMemoryStream stream;
    stream.writeBytes(data, static_cast<int64_t>(size));
    ucstringlist lines;
    ucstring error;
    if (!stringlistLoadFromStream(error, &lines, &stream, kCharSetUTF8)) return 0;
    FTPAccount account;
    if (account.readLines(lines)) {
        // Whatever was read must scramble back to itself, also as the text of a UTF-8 file.
        const std::string scrambled = encryptPassword(account.password());
        if (decryptPassword(scrambled) != account.password()) __builtin_trap();
        const ucstring text = ucstringFromUTF8String(ucstringToUTF8String(encryptPasswordText(account.password())));
        if (decryptPasswordText(text) != account.password()) __builtin_trap();
    }
    return 0;
}
