#pragma once

#include <string_view>

// The program's string table: messages and captions loaded by number.
namespace zorvan::res {

enum StringId : int {
    kAppTitle = 301,
    kPasswordEntry = 310,
    kLoggingIn = 311,
    kWrongPassword = 316,
    kExporting = 321,
    kExportDone = 322,
    kExportFailed = 323,
    kImporting = 326,
    kImportDone = 327,
    kImportFailed = 328,
    kColumnName = 331,
    kColumnUserId = 332,
    kColumnPassword = 333,
    kWriteProtected = 341,
    kLoadingItems = 351,
    kItemsPresent = 352,
    kChangingPassword = 361,
    kPasswordChanged = 362,
    kNewItem = 371,
    kItemProperties = 372,
    kGroupNameForbidden = 373,
    kForbiddenCharacters = 374,
    kGroupExists = 375,
    kEnterName = 376,
    kNewGroup = 381,
    kGroupProperties = 382,
    kNoGroupSelected = 401,
    kConfirmErase = 402,
    kFileFilter = 411,
    kFileDialogTitle = 412,
    kAlreadyExists = 416,
    kOverwrite = 417,
};

// The UTF-8 text of an entry; empty for an unknown number.
std::string_view LoadResString(int id);

}  // namespace zorvan::res
