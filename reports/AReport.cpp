#include "reports/AReport.h"

#include <ctime>

void AReport::AttributeRowHeader()
{
    Row2("Attribute", "Value", 1, kNameColumnStyle, nullptr);
}

void AReport::ReportCreated()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "";
    if (::localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    Row2("Report Created", text);
}
