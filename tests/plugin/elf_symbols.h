// Reads the defined global symbols of a shared object's dynamic symbol table (32 or 64-bit ELF).
#pragma once

#include <string>
#include <vector>

namespace plugintest {

// Names of the global and weak symbols that the file defines and exports, sorted. Empty when
// the file cannot be read as ELF.
std::vector<std::string> DefinedDynamicSymbols(const std::string& path);

}  // namespace plugintest
