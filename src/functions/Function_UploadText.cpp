// Volan_UploadText ( Text ; RemoteFile {; CompletedScript {; AppendToFile {; LineEndingType {; CharSet {;
// IncludeUnicodeBOM {; CSParameter }}}}}} ): text as a remote file, at once or queued.
#include "Function__Common.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Functions.h"
#include "Support/QueueThread.h"
#include "_Common/Strings/Orb_CharSets.h"

namespace {

bool lineEndingKind(const ucstring& text, int32_t& kind) {
    const ucstring v = stringNormalize(text);
    if (v == u"CRLF" || v == u"WIN")
        kind = 3;
    else if (v == u"CR" || v == u"MAC")
        kind = 1;
    else if (v == u"LF" || v == u"UNIX")
        kind = 2;
    else if (v == u"ASCII" || v.empty())
        kind = 0;
    else
        return false;
    return true;
}

}  // namespace

VOLAN_FUNCTION_CALLBACK(UploadText) {
    (void)functionId;
    return runFunction("UploadText", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        v.lastTransfer.clear(true);
        nameArguments(call.arguments, {u"Text", u"RemoteFile", u"CompletedScript", u"AppendToFile", u"LineEndingType",
                                       u"CharSet", u"IncludeUnicodeBOM", u"CSParameter"});
        ucstringlist lines;
        if (const OrbVariable* text = argument(call.arguments, u"Text")) text->copyVariableToList(lines);
        const ucstring remoteFile = argumentString(call.arguments, u"RemoteFile");
        const bool append = argumentBoolean(call.arguments, u"AppendToFile", false);
        const bool bom = argumentBoolean(call.arguments, u"IncludeUnicodeBOM", false);
        const ucstring parameter = argumentString(call.arguments, u"CSParameter");
        if (remoteFile.empty()) return u"You must specify the file to upload text to ('RemoteFile' parameter).";
        const ucstring endingText = argumentString(call.arguments, u"LineEndingType");
        int32_t lineEnding = 0;
        if (!lineEndingKind(endingText, lineEnding))
            return u"Unknown line ending type: '" + endingText +
                   u"'; Please use \"CRLF\", \"CR\", \"LF\", \"Win\", \"Mac\", \"Unix\", or \"ASCII\".";
        const ucstring charSetText = argumentString(call.arguments, u"CharSet");
        int16_t charSet = kCharSetUTF8;
        if (!charSetText.empty()) {
            charSet = stringToCharSet(charSetText);
            if (charSet == kCharSetUnknown) return u"Unknown charset: '" + charSetText + u"'.";
        }
        ucstring script;
        ucstring error = transferCompletedScript(call, argumentString(call.arguments, u"CompletedScript"), script);
        if (!error.empty()) return error;
        error = transferCheckConnection(v, !script.empty());
        if (!error.empty()) return error;
        ucstring remoteDir, remoteName;
        error = transferRemotePath(v, remoteFile, remoteDir, remoteName);
        if (!error.empty()) return error;
        if (remoteName.empty())
            return u"You must specify a file name to upload text to, not just a path ('RemoteFile' parameter).";
        v.remoteListCurrent = false;

        if (!script.empty()) {
            queueAddUploadText(v, transferNewID(v), lines, remoteDir, remoteName, append, lineEnding, charSet, bom,
                               script, parameter);
            call.result.setStringValue(u"'" + remoteName + u"' queued for upload.");
            return {};
        }
        error = transferRunNow(v, [&] {
            return uploadText(v, lines, sessionWirePath(v, remoteDir + remoteName), append, lineEnding, charSet, bom);
        });
        if (!error.empty()) return error;
        v.lastTransfer = transferRecord(u"UploadText", remoteDir, remoteName);
        call.result.setStringValue(u"Uploaded '" + remoteName + u"'.");
        return {};
    });
}
