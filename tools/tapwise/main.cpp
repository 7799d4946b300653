#include <cstdio>
#include <string>
#include <vector>

#include "TapwiseTool.h"
#include "tapwise/foundation/Messages.h"

namespace {

bool WriteAll(std::FILE* stream, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
         std::fflush(stream) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const tapwise::tool::TToolResult result = tapwise::tool::RunTapwise(args);
  if (result.ExitCode == 0 && !WriteAll(stdout, result.Out)) {
    WriteAll(stderr, std::string("tapwise: ") + tapwise::messages::kToolCannotWriteOutput + "\n");
    return 1;
  }
  WriteAll(stderr, result.Err);
  return result.ExitCode;
}
