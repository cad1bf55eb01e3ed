#pragma once
// SQL pieces shared by the working set's source files (working_set*.cpp).
#include <map>
#include <string>

#include "data/database.h"

namespace korventa::declaration {

// "APELLIDO_P APELLIDO_M, NOMBRE_1" over the columns of a registry alias, in SQL.
std::string nameSql(const std::string& alias);
// The short name of each document type by its code (PARAM list 044).
std::map<long long, std::string> docShortNames(data::Database& db);

}  // namespace korventa::declaration
