#pragma once

#include <string>
#include <vector>

// The names of the data sources that the ODBC driver manager knows (user and system DSNs), in
// the order it lists them; empty when there are none or no driver manager answers.
std::vector<std::string> ListOdbcDataSources();
