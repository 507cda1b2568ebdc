// The external functions as the host sees them: id, name, prototype, description, the keyword
// prefix placed in front of the description, the parameter help (lines joined with CR LF), the
// argument counts the host enforces and the callback. Registered in this order.
#include "Plugin_FunctionTable.h"

#include "_Common/Strings/Orb_String.h"
#include "functions/Functions.h"

const PluginFunction kPluginFunctions[] = {
    {10, "Volan_AddAccount", "Volan_AddAccount ( AccountName )", "Adds an account.", "Add Account aa Volan Volan Pro|",
     "    AccountName = The name for the new account.", 1, 1, AddAccountFunctionCallback},
    {20, "Volan_ChangeLocalDir", "Volan_ChangeLocalDir ( Dir )",
     "Change to a specific directory on the local computer.", "Change Local Dir cld Volan Volan Pro|",
     "    Dir = The local directory to change to. [This can be a full path or a path relative to the current local "
     "directory.]",
     1, 1, ChangeLocalDirFunctionCallback},
    {40, "Volan_ChangeLocalDirUp", "Volan_ChangeLocalDirUp",
     "Change the current local directory to its parent directory.", "Change Local Dir Up cldu Volan Volan Pro|", "", 0,
     0, ChangeLocalDirUpFunctionCallback},
    {30, "Volan_ChangeRemoteDir", "Volan_ChangeRemoteDir ( Dir )", "Change to a specific directory on the FTP server.",
     "Change Remote Dir crd Volan Volan Pro|",
     "    Dir = The remote directory to change to. [This can be a full path or a path relative to the current remote "
     "directory.]",
     1, 1, ChangeRemoteDirFunctionCallback},
    {50, "Volan_ChangeRemoteDirUp", "Volan_ChangeRemoteDirUp",
     "Change the current remote directory to its parent directory.", "Change Remote Dir Up crdu Volan Volan Pro|", "",
     0, 0, ChangeRemoteDirUpFunctionCallback},
    {60, "Volan_ConfigureAccount", "Volan_ConfigureAccount{( AccountName )}",
     "Configure an FTP account using a dialog.", "Configure Account ca Volan Volan Pro|",
     "    AccountName = The account to configure. [If missing or empty, the dialog will include a list of all accounts "
     "to configure.]",
     0, -1, ConfigureAccountFunctionCallback},
    {70, "Volan_Connect", "Volan_Connect ( AccountName )", "Connects to the specified account.",
     "Connect Account Volan Volan Pro|", "    AccountName = The account to connect to.", 0, -1,
     ConnectFunctionCallback},
    {80, "Volan_CopyLocalFile", "Volan_CopyLocalFile ( SourceFile ; DestinationDirOrFile )",
     "Copies a local file to another directory, optionally renaming the file.", "Copy Local File clf Volan Volan Pro|",
     "    SourceFile = The path of the local file to copy. [This can be a full path or a path relative to the current "
     "local directory.]\r\n"
     "    DestinationDirOrFile = The path to the destination directory. [This can be a full path or a path relative to "
     "the current local directory. If a file name is specified, the file will be renamed.]",
     2, 2, CopyLocalFileFunctionCallback},
    {90, "Volan_DeleteLocalFile", "Volan_DeleteLocalFile ( File )", "Deletes a file from the local computer.",
     "Delete Local File dlf Volan Volan Pro|",
     "    File = The path of the local file to delete. [This can be a full path or a path relative to the current "
     "local directory.]",
     1, 1, DeleteLocalFileFunctionCallback},
    {100, "Volan_DeleteRemoteFile", "Volan_DeleteRemoteFile ( File )", "Deletes a file from the FTP server.",
     "Delete Remote File drf Volan Volan Pro|",
     "    File = The path of the remote file to delete. [This can be a full path or a path relative to the current "
     "remote directory.]",
     1, 1, DeleteRemoteFileFunctionCallback},
    {110, "Volan_Disconnect", "Volan_Disconnect", "Disconnects from the FTP account.", "Disconnect Volan Volan Pro|",
     "", 0, 0, DisconnectFunctionCallback},
    {120, "Volan_DownloadDir",
     "Volan_DownloadDir{( RemoteDir {; Recursive {; Wildcard {; CompletedScript {; UseASCIIMode {; CSParameter }}}}} "
     ")}",
     "Downloads an entire directory of files and optionally its subdirectories.", "Download Dir dd Volan Volan Pro|",
     "    RemoteDir = The remote directory to download. [This can be a full path or a path relative to the current "
     "remote directory; defaults to the current remote directory.]\r\n"
     "    Recursive = If True, this function will also download all subdirectories of the remote directory. [Default "
     "is False.]\r\n"
     "    Wildcard = Defines a file name pattern to determine which files to download. [eg. \"*.txt\" would download "
     "all files with a \"txt\" file extension; defaults to download all files.]\r\n"
     "    CompletedScript = The FileMaker script to call when the download is complete. [If missing or empty, this "
     "function will wait until the download is complete before returning; defaults to empty. To call a script in "
     "another database, use \"DatabaseName::ScriptName\".]\r\n"
     "    UseASCIIMode = If True, this function will download the files using ASCII mode instead of binary mode. "
     "[Default is False.]\r\n"
     "    CSParameter = The parameter to send to the completed script.",
     0, -1, DownloadDirFunctionCallback},
    {130, "Volan_DownloadFile",
     "Volan_DownloadFile ( RemoteFile {; CompletedScript {; LocalFile {; AppendToFile {; UseASCIIMode {; CSParameter "
     "}}}}} )",
     "Downloads a file from the FTP server.", "Download File df Volan Volan Pro|",
     "    RemoteFile = The remote file to download. [This can be a full path or a path relative to the current remote "
     "directory.]\r\n"
     "    CompletedScript = The FileMaker script to call when the download is complete. [If missing or empty, this "
     "function will wait until the download is complete before returning; defaults to empty. To call a script in "
     "another database, use \"DatabaseName::ScriptName\".]\r\n"
     "    LocalFile = The local file name for the remote file. [This can be a full path or a path relative to the "
     "current local directory; defaults to the remote file name in the current local directory.]\r\n"
     "    AppendToFile = If True and the local file exists, the remote file will be appended to the current local "
     "file. [Default is False; if the local file exists, it will be overwritten.]\r\n"
     "    UseASCIIMode = If True, this function will download the file using ASCII mode instead of binary mode. "
     "[Default is False.]\r\n"
     "    CSParameter = The parameter to send to the completed script.",
     0, -1, DownloadFileFunctionCallback},
    {140, "Volan_DownloadText", "Volan_DownloadText ( RemoteFile {; CompletedScript {; CSParameter }} )",
     "Downloads a file from the FTP server and returns its contents as text.", "Download Text dt Volan Volan Pro|",
     "    RemoteFile = The remote file to download. [This can be a full path or a path relative to the current remote "
     "directory.]\r\n"
     "    CompletedScript = The FileMaker script to call with the download is complete. [If missing or empty, this "
     "function will wait until the download is complete before returning; defaults to empty. To call a script in "
     "another database, use \"DatabaseName::ScriptName\".]\r\n"
     "    CSParameter = The parameter to send to the completed script.",
     0, -1, DownloadTextFunctionCallback},
    {150, "Volan_ExportContainer", "Volan_ExportContainer ( Container {; DirOrFile } )",
     "Exports the contents of a container to a local file.", "Export Container File ec Volan Volan Pro|",
     "    Container = The container to export.\r\n"
     "    DirOrFile = The path to the local directory and/or file name for the exported file. [This can be a full path "
     "or a path relative to the current local directory.]",
     0, -1, ExportContainerFunctionCallback},
    {155, "Volan_GetAccountNames", "Volan_GetAccountNames", "Returns a list of the defined FTP accounts.",
     "Get Account Names gan Volan Volan Pro|", "", 0, 0, GetAccountNamesFunctionCallback},
    {160, "Volan_GetAccountOption", "Volan_GetAccountOption ( AccountName ; OptionName )",
     "Returns the specified setting from the specified account.", "Get Account Option gao Volan Volan Pro|",
     "    AccountName = The name of the account to return the option from.\r\n"
     "    OptionName = The name of the option to return.",
     2, 2, GetAccountOptionFunctionCallback},
    {170, "Volan_GetCurrentLocalDir", "Volan_GetCurrentLocalDir", "Returns the current local directory.",
     "Get Current Local Dir gcld Volan Volan Pro|", "", 0, 0, GetCurrentLocalDirFunctionCallback},
    {180, "Volan_GetCurrentRemoteDir", "Volan_GetCurrentRemoteDir", "Returns the current remote directory.",
     "Get Current Remote Dir gcrd Volan Volan Pro|", "", 0, 0, GetCurrentRemoteDirFunctionCallback},
    {190, "Volan_GetLastResult", "Volan_GetLastResult{( Attribute )}", "Returns the result of the last file transfer.",
     "Get Last Result glr Volan Volan Pro|",
     "    Attribute = The information to return; specify one of the following:\r\n"
     "        \"Filename\" = The name of the transferred file.\r\n"
     "        \"RemoteLocation\" = The path to the file on the FTP server.\r\n"
     "        \"LocalLocation\" = The path to the file on the local computer.\r\n"
     "        \"Type\" = The type of transfer.\r\n"
     "        \"Text\" = If this was a download text transfer, this will return the text that was downloaded.",
     0, -1, GetLastResultFunctionCallback},
    {200, "Volan_GetLocalFileSize", "Volan_GetLocalFileSize ( File )",
     "Returns the size of a file on the local computer.", "Get Local File Size glfs Volan Volan Pro|",
     "    File = The local file to return the size of. [This can be a full path or a path relative to the current "
     "local directory.]",
     1, 1, GetLocalFileSizeFunctionCallback},
    {205, "Volan_GetLocalFileTimestamp", "Volan_GetLocalFileTimestamp ( File {; CreationTimestamp } )",
     "Returns the modification, or optionally the creation, timestamp of a local file.",
     "Get Local File Timestamp Date Creation Modification glft Volan Volan Pro|",
     "    File = The local file to return the timestamp of. [This can be a full path or a path relative to the current "
     "local directory.]\r\n"
     "    CreationTimestamp = If True, this returns the creation timestamp instead of the modification timestamp. "
     "[Default is False.]",
     0, -1, GetLocalFileTimestampFunctionCallback},
    {210, "Volan_GetLocalListCount", "Volan_GetLocalListCount{( Wildcard )}",
     "Returns the number of files/directories in the local directory.", "Get Local List Count gllc Volan Volan Pro|",
     "    Wildcard = Defines a file name pattern to determine which files to list. [eg. \"*.txt\" would list all files "
     "with a \"txt\" file extension; defaults to listing all files.]",
     0, -1, GetLocalListCountFunctionCallback},
    {220, "Volan_GetLocalListItem",
     "Volan_GetLocalListItem ( Which {; Wildcard {; FieldSeparator {; RowSeparator }}} )",
     "Returns information for one file/directory in the local directory.", "Get Local List Item glli Volan Volan Pro|",
     "    Which = The local list item to return; specify one of the following:\r\n"
     "        \"First\" = Returns the first list item.\r\n"
     "        \"Next\" = Returns the next list item. [This returns nothing when there are no more items to return.]\r\n"
     "        Number = Returns the specified list item.\r\n"
     "        \"All\" = Returns all the items in a format suitable for the Virtual List Technique.\r\n"
     "    Wildcard = Defines a file name pattern to determine which files to list. [eg. \"*.txt\" would list all files "
     "with a \"txt\" file extension; defaults to listing all files.]\r\n"
     "    FieldSeparator = If Which = \"All\", this defines the separator to use between the fields of information "
     "about a single file. [Default is \"||\".]\r\n"
     "    RowSeparator = If Which = \"All\", this defines the separator to use between multiple files. [Default is a "
     "return.]",
     0, -1, GetLocalListItemFunctionCallback},
    {230, "Volan_GetLocalNamedPath", "Volan_GetLocalNamedPath ( Name )",
     "Returns the path to common directories on the local computer.", "Get Local Named Path dlnp Volan Volan Pro|",
     "    Name = The name of the local path to return. Specify \"Database\", \"FileMaker\", \"Root\", \"System\", "
     "\"Desktop\", \"Preferences\", \"Temporary\", \"Applications\", or \"Documents\".",
     1, 1, GetLocalNamedPathFunctionCallback},
    {240, "Volan_GetQueueList", "Volan_GetQueueList", "Returns the list of queued file transfers.",
     "Get Queue List gql Volan Volan Pro|", "", 0, 0, GetQueueListFunctionCallback},
    {250, "Volan_GetRemoteFileSize", "Volan_GetRemoteFileSize ( File )",
     "Returns the size of a file on the FTP server.", "Get Remote File Size grfs Volan Volan Pro|",
     "    File = The remote file to return the size of. [This can be a full path or a path relative to the current "
     "remote directory.]",
     1, 1, GetRemoteFileSizeFunctionCallback},
    {255, "Volan_GetRemoteFileTimestamp", "Volan_GetRemoteFileTimestamp ( File )",
     "Returns the timestamp of a file on the FTP server.", "Get Remote File Timestamp Date grft Volan Volan Pro|",
     "    File = The remote file to return the timestamp of. [This can be a full path or a path relative to the "
     "current remote directory.]",
     1, 1, GetRemoteFileTimestampFunctionCallback},
    {260, "Volan_GetRemoteListCount", "Volan_GetRemoteListCount{( Wildcard )}",
     "Returns the number of files/directories in the remote directory.", "Get Remote List Count grlc Volan Volan Pro|",
     "    Wildcard = Defines a file name pattern to determine which files to list. [eg. \"*.txt\" would list all files "
     "with a \"txt\" file extension; defaults to listing all files.]",
     0, -1, GetRemoteListCountFunctionCallback},
    {270, "Volan_GetRemoteListItem",
     "Volan_GetRemoteListItem ( Which {; Wildcard {; FieldSeparator {; RowSeparator }}} )",
     "Returns information for one file/directory in the remote directory.",
     "Get Remote List Item grli Volan Volan Pro|",
     "    Which = The remote list item to return; specify one of the following:\r\n"
     "        \"First\" = Returns the first list item.\r\n"
     "        \"Next\" = Returns the next list item. [This returns nothing when there are no more items to return.]\r\n"
     "        Number = Returns the specified list item.\r\n"
     "        \"All\" = Returns all the items in a format suitable for the Virtual List Technique.\r\n"
     "    Wildcard = Defines a file name pattern to determine which files to list. [eg. \"*.txt\" would list all files "
     "with a \"txt\" file extension; defaults to listing all files.]\r\n"
     "    FieldSeparator = If Which = \"All\", this defines the separator to use between the fields of information "
     "about a single file. [Default is \"||\".]\r\n"
     "    RowSeparator = If Which = \"All\", this defines the separator to use between multiple files. [Default is a "
     "return.]",
     0, -1, GetRemoteListItemFunctionCallback},
    {280, "Volan_ImportContainer", "Volan_ImportContainer ( File {; ByReference } )",
     "Imports a file into a FileMaker container, optionally by reference.", "Import Container ic Volan Volan Pro|",
     "    File = The file to import. [This can be a full path or a path relative to the current local directory.]\r\n"
     "    ByReference = If True, this function will import the file by reference. [Default is False.]",
     0, -1, ImportContainerFunctionCallback},
    {290, "Volan_IsConnected", "Volan_IsConnected", "Returns whether or not an FTP connection is active.",
     "Is Connected ic Volan Volan Pro|", "", 0, 0, IsConnectedFunctionCallback},
    {300, "Volan_LocalDirExists", "Volan_LocalDirExists ( Dir )",
     "Returns whether or not a directory exists on the local computer.", "Local Dir Exists lde Volan Volan Pro|",
     "    Dir = The local directory to check. [This can be a full path or a path relative to the current local "
     "directory.]",
     1, 1, LocalDirExistsFunctionCallback},
    {310, "Volan_LocalFileExists", "Volan_LocalFileExists ( File )",
     "Returns whether or not a file exists on the local computer.", "Local File Exists lfe Volan Volan Pro|",
     "    File = The local file to check. [This can be a full path or a path relative to the current local directory.]",
     1, 1, LocalFileExistsFunctionCallback},
    {320, "Volan_MakeLocalDir", "Volan_MakeLocalDir ( Dir )", "Creates a directory on the local computer.",
     "Make Local Dir mld Volan Volan Pro|",
     "    Dir = The name of the directory to create. [This can be a full path or a path relative to the current local "
     "directory.]",
     1, 1, MakeLocalDirFunctionCallback},
    {330, "Volan_MakeRemoteDir", "Volan_MakeRemoteDir ( Dir )", "Creates a directory on the FTP server.",
     "Make Remote Dir mrd Volan Volan Pro|",
     "    Dir = The name of the directory to create. [This can be a full path or a path relative to the current local "
     "directory.]",
     1, 1, MakeRemoteDirFunctionCallback},
    {340, "Volan_MoveLocalFile", "Volan_MoveLocalFile ( SourceFile ; DestinationDirOrFile )",
     "Moves a local file to another directory, optionally renaming the file.", "Move Local File mlf Volan Volan Pro|",
     "    SourceFile = The path of the local file to move. [This can be a full path or a path relative to the current "
     "local directory.]\r\n"
     "    DestinationDirOrFile = The path to the destination directory. [This can be a full path or a path relative to "
     "the current local directory. If a file name is specified, the file will be renamed.]",
     2, 2, MoveLocalFileFunctionCallback},
    {350, "Volan_QuickDownload", "Volan_QuickDownload ( URL {; LocalDirOrFile {; ShowStatusWindow }} )",
     "Downloads a file specified by a fully qualified URL.", "Quick Download URL qd Volan Volan Pro|",
     "    URL = The fully qualified URL of the file to download.\r\n"
     "    LocalDirOrFile = The path to the local destination for the file. [This can be a full path or a path relative "
     "to the current local directory. If a file name is specified, the file will be renamed.]\r\n"
     "    ShowStatusWindow = If True, this function will show a status window.",
     0, -1, QuickDownloadFunctionCallback},
    {360, "Volan_QuickUpload", "Volan_QuickUpload ( FileOrContainer ; URL {; ShowStatusWindow } )",
     "Uploads a file using a fully qualified URL.", "Quick Upload URL qu Volan Volan Pro|",
     "    FileOrContainer = The path or container of the file to upload. [This can be a full path or a path relative "
     "to the current local directory.]\r\n"
     "    URL = The fully qualified URL of the destination for the upload.\r\n"
     "    ShowStatusWindow = If True, this function will show a status window.",
     1, -1, QuickUploadFunctionCallback},
    {365, "Volan_ReadLocalFile", "Volan_ReadLocalFile ( File {; Start {; Amount {; ReadLines }}} )",
     "Reads in the characters or lines of a file.", "Read Local File rlf Volan Volan Pro|",
     "    File = The path of the local file to read. [This can be a full path or a path relative to the current local "
     "directory.]\r\n"
     "    Start = The starting character position or line. If negative, the position will be relative to the end of "
     "the file. [Default is 0.]\r\n"
     "    Amount = The number of characters or lines to read. [Default is all or the remaining part of the file.]\r\n"
     "    ReadLines = If True, the start and amount parameters refer to the number of lines instead of characters. "
     "[Default is False.]",
     0, -1, ReadLocalFileFunctionCallback},
    {370, "Volan_RemoteDirExists", "Volan_RemoteDirExists ( Dir )",
     "Returns whether or not a directory exists on the FTP server.", "Remote Dir Exists rde Volan Volan Pro|",
     "    Dir = The remote directory to check. [This can be a full path or a path relative to the current remote "
     "directory.]",
     1, 1, RemoteDirExistsFunctionCallback},
    {380, "Volan_RemoteFileExists", "Volan_RemoteFileExists ( File )",
     "Returns whether or not a file exists on the FTP server.", "Remote File Exists rfe Volan Volan Pro|",
     "    File = The remote file to check. [This can be a full path or a path relative to the current remote "
     "directory.]",
     1, 1, RemoteFileExistsFunctionCallback},
    {390, "Volan_RemoveAccount", "Volan_RemoveAccount ( AccountName )", "Removes an account.",
     "Remove Account ra Volan Volan Pro|", "    AccountName = The name of the account to remove.", 1, 1,
     RemoveAccountFunctionCallback},
    {400, "Volan_RemoveLocalDir", "Volan_RemoveLocalDir ( Dir {; DeleteContents } )", "Deletes a local directory.",
     "Remove Local Dir rld Volan Volan Pro|",
     "    Dir = The path to the local directory to remove. [This can be a full path or a path relative to the current "
     "local directory.]\r\n"
     "    DeleteContents = If True, the contents of the directory will be deleted first. [Default is False, which will "
     "cause the function to fail if the directory is not empty.]",
     0, -1, RemoveLocalDirFunctionCallback},
    {410, "Volan_RemoveRemoteDir", "Volan_RemoveRemoteDir ( Dir )", "Deletes a remote directory.",
     "Remove Remote Dir rrd Volan Volan Pro|",
     "    Dir = The path to the remove directory to remove. [This can be a full path or a path relative to the current "
     "remote directory.]",
     1, 1, RemoveRemoteDirFunctionCallback},
    {415, "Volan_RenameLocalDir", "Volan_RenameLocalDir ( Dir ; NewName )",
     "Renames a directory on the local computer.", "Rename Local Dir rld Volan Volan Pro|",
     "    Dir = The path to the local directory to rename. [This can be a full path or a path relative to the current "
     "local directory.]\r\n"
     "    NewName = The new name for the directory.",
     2, 2, RenameLocalDirFunctionCallback},
    {420, "Volan_RenameLocalFile", "Volan_RenameLocalFile ( File ; NewName )", "Renames a file on the local computer.",
     "Rename Local File rlf Volan Volan Pro|",
     "    File = The path to the local file to rename. [This can be a full path or a path relative to the current "
     "local directory.]\r\n"
     "    NewName = The new name for the file.",
     2, 2, RenameLocalFileFunctionCallback},
    {425, "Volan_RenameRemoteDir", "Volan_RenameRemoteDir ( Dir ; NewName )", "Renames a directory on the FTP server.",
     "Rename Remote Dir rrd Volan Volan Pro|",
     "    Dir = The path to the remote directory to rename. [This can be a full path or a path relative to the current "
     "remote directory.]\r\n"
     "    NewName = The new name for the directory.",
     2, 2, RenameRemoteDirFunctionCallback},
    {430, "Volan_RenameRemoteFile", "Volan_RenameRemoteFile ( File ; NewName )", "Renames a file on the FTP server.",
     "Rename Remote File rrf Volan Volan Pro|",
     "    File = The path to the remote file to rename. [This can be a full path or a path relative to the current "
     "remote directory.]\r\n"
     "    NewName = The new name for the file.",
     2, 2, RenameRemoteFileFunctionCallback},
    {440, "Volan_SelectLocalDirWithDialog", "Volan_SelectLocalDirWithDialog{( StartDir {; Prompt } )}",
     "Presents the user with a standard dialog for choosing a directory from the local computer.",
     "Select Local Dir With Dialog sldwd Volan Volan Pro|",
     "    StartDir = The path to a local directory to display when the dialog first opens. [Defaults to the current "
     "local directory.]\r\n"
     "    Prompt = An optional prompt or message to display on the dialog.",
     0, -1, SelectLocalDirWithDialogFunctionCallback},
    {450, "Volan_SelectLocalFileWithDialog",
     "Volan_SelectLocalFileWithDialog{( StartDir {; Prompt {; DialogType {; FileTypes }}} )}",
     "Presents the user with a standard dialog for choosing a file from the local computer.",
     "Select Local File With Dialog slfwd Volan Volan Pro|",
     "    StartDir = The path to a local directory to display when the dialog first opens. [Defaults to the current "
     "local directory.]\r\n"
     "    Prompt = An optional prompt or message to display on the dialog.\r\n"
     "    DialogType = Specify \"GetFile\" to show an open file style dialog or \"PutFile\" to show a save as style "
     "dialog. [Default is \"GetFile\".]\r\n"
     "    FileTypes = Specify a list of allowable file extensions for \"GetFile\" dialogs or a list of optional file "
     "extensions for \"PutFile\" dialogs. [Default is no file types.]",
     0, -1, SelectLocalFileWithDialogFunctionCallback},
    {460, "Volan_SendRemoteCommand", "Volan_SendRemoteCommand ( Command )", "Sends an FTP command to the FTP server.",
     "Send Remote Command src Volan Volan Pro|", "    Command = The FTP command to send.", 1, 1,
     SendRemoteCommandFunctionCallback},
    {470, "Volan_SetAccountOption", "Volan_SetAccountOption ( AccountName ; OptionName ; OptionValue )",
     "Sets the specified option for the specified account.", "Set Account Option sao Volan Volan Pro|",
     "    AccountName = The name of the account to modify.\r\n"
     "    OptionName = The namef ot the option to modify.\r\n"
     "    OptionValue = The new value for the option.",
     3, 3, SetAccountOptionFunctionCallback},
    {480, "Volan_StatusWindow", "Volan_StatusWindow ( Action {; Left {; Top {; WindowTitle {; WindowText }}}} )",
     "Interact with the plug-in's status window.", "Status Window sw Volan Volan Pro|",
     "    Action = The action for the status window. [Specify \"Show\", \"Hide\", \"State\", or \"Move\".]\r\n"
     "    Left = The horizontal screen coordinate for the status window. [Only used for the \"Show\" and \"Move\" "
     "actions; Use 0 to place it in the last place it was; Use -1 to center on this axis; Default is 0.]\r\n"
     "    Top = The vertical screen coordinate for the status window. [Only used for the \"Show\" and \"Move\" "
     "actions; Use 0 to place it in the last place it was; Use -1 to center on this axis; Default is 0.]\r\n"
     "    WindowTitle = A custom title for the status window. [Only valid with the \"Show\" action.]\r\n"
     "    WindowText = A custom message for the status window. [Only valid with the \"Show\" action.]",
     0, -1, StatusWindowFunctionCallback},
    {490, "Volan_UploadDir",
     "Volan_UploadDir{( LocalDir {; Recursive {; Wildcard {; CompletedScript {; UseASCIIMode {; CSParameter}}}} )}",
     "Uploads an entire directory of files and optionally its subdirectories.", "Upload Dir ud Volan Volan Pro|",
     "    LocalDir = The local directory to upload. [This can be a full path or a path relative to the current local "
     "directory; defaults to the current local directory.]\r\n"
     "    Recursive = If True, this function will also upload all subdirectories of the local directory. [Default is "
     "False.]\r\n"
     "    Wildcard = Defines a file name pattern to determine which files to upload. [eg. \"*.txt\" would upload all "
     "files with a \"txt\" file extension; defaults to upload all files.]\r\n"
     "    CompletedScript = The FileMaker script to call when the upload is complete. [If missing or empty, this "
     "function will wait until the upload is complete before returning; defaults to empty. To call a script in another "
     "database, use \"DatabaseName::ScriptName\".]\r\n"
     "    UseASCIIMode = If True, this function will upload the files using ASCII mode instead of binary mode. "
     "[Default is False.]\r\n"
     "    CSParameter = The parameter to send to the completed script.",
     0, -1, UploadDirFunctionCallback},
    {500, "Volan_UploadFile",
     "Volan_UploadFile ( FileOrContainer {; CompletedScript {; RemoteFile {; AppendToFile {; UseASCIIMode {; "
     "CSParameter }}}}} )",
     "Uploads a file from the local computer.", "Upload File uf Volan Volan Pro|",
     "    FileOrContainer = The local file to upload. [This can be a full path or a path relative to the current local "
     "directory.]\r\n"
     "    CompletedScript = The FileMaker script to call when the upload is complete. [If missing or empty, this "
     "function will wait until the upload is complete before returning; defaults to empty. To call a script in another "
     "database, use \"DatabaseName::ScriptName\".]\r\n"
     "    RemoteFile = The remote file name for the file. [This can be a full path or a path relative to the current "
     "remote directory; defaults to the local file name in the current remote directory.]\r\n"
     "    AppendToFile = If True and the remote file exists, the local file will be appended to the current remote "
     "file. [Default is False; if the remote file exists, it will be overwritten.]\r\n"
     "    UseASCIIMode = If True, this function will upload the file using ASCII mode instead of binary mode. [Default "
     "is False.]\r\n"
     "    CSParameter = The parameter to send to the completed script.",
     0, -1, UploadFileFunctionCallback},
    {510, "Volan_UploadText",
     "Volan_UploadText ( Text ; RemoteFile {; CompletedScript {; AppendToFile {; LineEndingType {; CharSet {; "
     "IncludeUnicodeBOM {; CSParameter }}}}}} )",
     "Uploads text to a file on the FTP server.", "Upload Text ut Volan Volan Pro|",
     "    Text = The text to upload as a file.\r\n"
     "    RemoteFile = The remote file to upload the text to. [This can be a full path or a path relative to the "
     "current remote directory.]\r\n"
     "    CompletedScript = The FileMaker script to call with the upload is complete. [If missing or empty, this "
     "function will wait until the upload is complete before returning; defaults to empty. To call a script in another "
     "database, use \"DatabaseName::ScriptName\".]\r\n"
     "    AppendToFile = If True and the remote file exists, the text will be appended to the current remote file. "
     "[Default is False; if the remote file exists, it will be overwritten.]\r\n"
     "    LineEndingType = Defines the type of line endings for the uploaded text. [Specify \"CRLF\", \"CR\", \"LF\", "
     "\"Win\", \"Mac\", \"Unix\", or \"ASCII\". Default is \"ASCII\", which means the FTP server will determine the "
     "line endings.]\r\n"
     "    CharSet = Defines what character set to use when creating the text file. [Default is \"UTF-8\".]\r\n"
     "    IncludeUnicodeBOM = If True and charset is a unicode character set, a unicode byte order mark will be placed "
     "at the beginning of the file. [Default is False; ignored if AppendToFile is True.]\r\n"
     "    CSParameter = The parameter to send to the completed script.",
     1, -1, UploadTextFunctionCallback},
    {520, "Volan_WriteLocalFile",
     "Volan_WriteLocalFile ( Data ; File {; FileExistsAction {; CharacterSet {; LineEndingType {; IncludeUnicodeBOM "
     "}}}} )",
     "Writes data out to a local file.", "Write Local File wlf Volan Volan Pro|",
     "    Data = The data to write.\r\n"
     "    File = The path to the local file to write. [This can be a full path or a path relative to the current local "
     "directory.]\r\n"
     "    FileExistsAction = Defines what happens if the file already exists:\r\n"
     "        Specify \"Abort\" to abort the function. [This is the default.]\r\n"
     "        Specify \"Overwrite\" to overwrite the file.\r\n"
     "        Specify \"Backup\" to backup the existing file before creating a new version.\r\n"
     "        Specify \"Append\" to append the new data to the end of the existing file.\r\n"
     "        Specify \"Unique\" to create a new file with a unique file name to write the data to.\r\n"
     "    CharacterSet = The character set for the file. [Default is UTF-8.]\r\n"
     "    LineEndingType = The type of line endings to use:\r\n"
     "        Specify \"System\" to use the correct line endings for the system. [This is the default.]\r\n"
     "        Specify \"Mac\" for Macintosh stlye CR line endings.\r\n"
     "        Specify \"Win\" for Windows style CRLF line endings.\r\n"
     "        Specify \"Unix\" for Unix style LF line endings.\r\n"
     "        Specify \"None\" to not modify the line endings.\r\n"
     "    IncludeUnicodeBOM = If True, and the character set is a unicode set, and the file is being created, this "
     "will include a unicode byte order mark. [Default is False.]",
     1, -1, WriteLocalFileFunctionCallback},
    {1002, "Volan_Configure", "Volan_Configure {( Option {; PrefName {; PrefValue }} )}",
     "Allows you to configure the plug-in either with its configuration dialog or by directly setting preferences.",
     "Configure Preferences Volan Volan Pro|",
     "    Calling this function with no parameters will show the configuration dialog.\r\n"
     "    Option = Specify the name of a tab in the configuration dialog to show it opened to that tab.\r\n"
     "             Specify \"Get\" with the PrefName parameter to get a preference value. [If not found, and PrefValue "
     "is defined, PrefValue will be returned.]\r\n"
     "             Specify \"Set\" with the PrefName and PrefValue parameters to set a preference value.\r\n"
     "    PrefName = The name of the preference to get or set.\r\n"
     "    PrefValue = The value of the preference to set.",
     0, -1, ConfigureFunctionCallback},
    {1000, "Volan_Version", "Volan_Version", "Returns the version of the plug-in.", "Version Volan Volan Pro|", "", 0,
     -1, VersionFunctionCallback},
    {1003, "Volan_VersionAutoUpdate", "Volan_VersionAutoUpdate",
     "Returns the version of the plug-in in number only format that can easily be used in auto updating plug-ins.",
     "Version Auto Update vau Volan Volan Pro|", "", 0, 0, VersionAutoUpdateFunctionCallback},
};

const size_t kPluginFunctionCount = sizeof(kPluginFunctions) / sizeof(kPluginFunctions[0]);

ucstring pluginFunctionPrototype(const PluginFunction& f, bool addHelp) {
    ucstring prototype = ucstringFromUTF8CStr(f.prototype);
    const ucstring description = ucstringFromUTF8CStr(f.description);
    const ucstring help = ucstringFromUTF8CStr(f.help);
    if (addHelp && (!description.empty() || !help.empty())) {
        prototype += u"\r\n/* " + description;
        if (!description.empty() && !help.empty()) prototype += u"\r\n";
        prototype += help + u" */";
    }
    return prototype;
}
