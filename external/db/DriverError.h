#pragma once

#include <string>

// A driver's error message as the user may see it: without trailing line breaks and with every
// password masked, also one that the driver echoes back from the connection string or the
// password field itself.
std::string SafeErrorText(const std::string& driverMessage, const std::string& password);

// Sets `errorText` to the safe form of `driverMessage` and returns CDB::kError, so that a driver
// can end a failing operation with `return Fail(...)`.
int SetError(std::string& errorText, const std::string& driverMessage, const std::string& password = {});

// kOK when `column` (1 = first) can be read from the current row, else kError with errorText
// saying why.
int CheckColumn(std::string& errorText, bool onRow, int column, int columnCount);
