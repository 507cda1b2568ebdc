// The callbacks of the external functions, one per file Function_<Name>.cpp. Each follows the
// call frame convention of Function__Common.h.
#pragma once

#include <FMWrapper/FMXClient.h>

#define VOLAN_FUNCTION_CALLBACK(Name)                                                      \
    fmx::errcode Name##FunctionCallback(short functionId, const fmx::ExprEnv& environment, \
                                        const fmx::DataVect& arguments, fmx::Data& result)

VOLAN_FUNCTION_CALLBACK(AddAccount);
VOLAN_FUNCTION_CALLBACK(ChangeLocalDir);
VOLAN_FUNCTION_CALLBACK(ChangeLocalDirUp);
VOLAN_FUNCTION_CALLBACK(ChangeRemoteDir);
VOLAN_FUNCTION_CALLBACK(ChangeRemoteDirUp);
VOLAN_FUNCTION_CALLBACK(ConfigureAccount);
VOLAN_FUNCTION_CALLBACK(Connect);
VOLAN_FUNCTION_CALLBACK(CopyLocalFile);
VOLAN_FUNCTION_CALLBACK(DeleteLocalFile);
VOLAN_FUNCTION_CALLBACK(DeleteRemoteFile);
VOLAN_FUNCTION_CALLBACK(Disconnect);
VOLAN_FUNCTION_CALLBACK(DownloadDir);
VOLAN_FUNCTION_CALLBACK(DownloadFile);
VOLAN_FUNCTION_CALLBACK(DownloadText);
VOLAN_FUNCTION_CALLBACK(ExportContainer);
VOLAN_FUNCTION_CALLBACK(GetAccountNames);
VOLAN_FUNCTION_CALLBACK(GetAccountOption);
VOLAN_FUNCTION_CALLBACK(GetCurrentLocalDir);
VOLAN_FUNCTION_CALLBACK(GetCurrentRemoteDir);
VOLAN_FUNCTION_CALLBACK(GetLastResult);
VOLAN_FUNCTION_CALLBACK(GetLocalFileSize);
VOLAN_FUNCTION_CALLBACK(GetLocalFileTimestamp);
VOLAN_FUNCTION_CALLBACK(GetLocalListCount);
VOLAN_FUNCTION_CALLBACK(GetLocalListItem);
VOLAN_FUNCTION_CALLBACK(GetLocalNamedPath);
VOLAN_FUNCTION_CALLBACK(GetQueueList);
VOLAN_FUNCTION_CALLBACK(GetRemoteFileSize);
VOLAN_FUNCTION_CALLBACK(GetRemoteFileTimestamp);
VOLAN_FUNCTION_CALLBACK(GetRemoteListCount);
VOLAN_FUNCTION_CALLBACK(GetRemoteListItem);
VOLAN_FUNCTION_CALLBACK(ImportContainer);
VOLAN_FUNCTION_CALLBACK(IsConnected);
VOLAN_FUNCTION_CALLBACK(LocalDirExists);
VOLAN_FUNCTION_CALLBACK(LocalFileExists);
VOLAN_FUNCTION_CALLBACK(MakeLocalDir);
VOLAN_FUNCTION_CALLBACK(MakeRemoteDir);
VOLAN_FUNCTION_CALLBACK(MoveLocalFile);
VOLAN_FUNCTION_CALLBACK(QuickDownload);
VOLAN_FUNCTION_CALLBACK(QuickUpload);
VOLAN_FUNCTION_CALLBACK(ReadLocalFile);
VOLAN_FUNCTION_CALLBACK(RemoteDirExists);
VOLAN_FUNCTION_CALLBACK(RemoteFileExists);
VOLAN_FUNCTION_CALLBACK(RemoveAccount);
VOLAN_FUNCTION_CALLBACK(RemoveLocalDir);
VOLAN_FUNCTION_CALLBACK(RemoveRemoteDir);
VOLAN_FUNCTION_CALLBACK(RenameLocalDir);
VOLAN_FUNCTION_CALLBACK(RenameLocalFile);
VOLAN_FUNCTION_CALLBACK(RenameRemoteDir);
VOLAN_FUNCTION_CALLBACK(RenameRemoteFile);
VOLAN_FUNCTION_CALLBACK(SelectLocalDirWithDialog);
VOLAN_FUNCTION_CALLBACK(SelectLocalFileWithDialog);
VOLAN_FUNCTION_CALLBACK(SendRemoteCommand);
VOLAN_FUNCTION_CALLBACK(SetAccountOption);
VOLAN_FUNCTION_CALLBACK(StatusWindow);
VOLAN_FUNCTION_CALLBACK(UploadDir);
VOLAN_FUNCTION_CALLBACK(UploadFile);
VOLAN_FUNCTION_CALLBACK(UploadText);
VOLAN_FUNCTION_CALLBACK(WriteLocalFile);
VOLAN_FUNCTION_CALLBACK(Configure);
VOLAN_FUNCTION_CALLBACK(Version);
VOLAN_FUNCTION_CALLBACK(VersionAutoUpdate);

// Version texts shared by Volan_Version, Volan_VersionAutoUpdate and the Version script step.
#include <string>
std::u16string pluginVersionText();
std::u16string pluginVersionAutoUpdate();
