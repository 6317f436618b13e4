// Arbitrary bytes as a project file.
#include <cstddef>
#include <cstdint>

#include "persistence/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dravon::ProjectContents contents;
  const int result = dravon::ParseProjectFile(data, size, contents);
  // A good file's sections have exactly the lengths its header gives.
  if (result == dravon::kProjectOk && (contents.main.size() != contents.mainUsedSize ||
                                       contents.eep.size() != contents.eepSizeSaved ||
                                       contents.block.size() != dravon::kProjectCfgSize)) {
    __builtin_trap();
  }
  return 0;
}
