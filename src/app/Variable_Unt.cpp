#include "app/Variable_Unt.h"

namespace kv {

TStringList ComPortList;
TStringList CsvLineList;
std::string LoginPassword;
std::string LoginComPort;

}  // namespace kv
