#include "ConsoleHost.h"

#include <string_view>

namespace tapwise::sim {

void TConsoleHost::AppendLog(const std::string& line) {
  FOut << line << '\n';
}

void TConsoleHost::ShowMessage(const std::string& text) {
  // A message's lines are separated by CR LF (a lone LF or CR also ends a line).
  std::string_view rest = text;
  while (true) {
    const size_t end = rest.find_first_of("\r\n");
    FOut << "[message] " << rest.substr(0, end) << '\n';
    if (end == std::string_view::npos) break;
    const size_t next = rest.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    rest.remove_prefix(next);
  }
}

}  // namespace tapwise::sim
