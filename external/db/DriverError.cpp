#include "external/db/DriverError.h"

#include "external/db/CDB.h"
#include "external/db/PasswordMask.h"
#include "external/support/StrFormat.h"

std::string SafeErrorText(const std::string& driverMessage, const std::string& password)
{
    std::string text = TrimLineEnd(MaskPasswords(driverMessage));
    return ReplaceAll(std::move(text), password, "***");
}

int SetError(std::string& errorText, const std::string& driverMessage, const std::string& password)
{
    errorText = SafeErrorText(driverMessage, password);
    return CDB::kError;
}

int CheckColumn(std::string& errorText, bool onRow, int column, int columnCount)
{
    if (!onRow)
        return SetError(errorText, "no current row");
    if (column < 1 || column > columnCount)
        return SetError(errorText, StrFormat("column %d is out of range 1 to %d", column, columnCount));
    return CDB::kOK;
}
