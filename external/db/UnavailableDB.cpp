#include "external/db/UnavailableDB.h"

#include "external/db/DriverError.h"

UnavailableDB::UnavailableDB(std::string why)
    : why_(std::move(why))
{
}

int UnavailableDB::Fail()
{
    return SetError(errorText, why_);
}

int UnavailableDB::connect(const CONN_INFO*)
{
    return Fail();
}

int UnavailableDB::disconnect()
{
    return kOK;
}

int UnavailableDB::execute(const std::string&, int)
{
    return Fail();
}

int UnavailableDB::fetch(int)
{
    return Fail();
}

int UnavailableDB::getData(int, std::string*, int, int, int)
{
    return Fail();
}

int UnavailableDB::closeCursor(int)
{
    return kOK;
}

void UnavailableDB::cancel()
{
}
