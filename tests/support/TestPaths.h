// Where test files live: the folder of the running test executable and a fresh scratch folder; and golden
// hashes, kept in a text file, for tests that pin exact bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

std::string ExecutableDir();
// A new empty folder under the system's temporary folder, unique to this call.
std::string MakeScratchDir(const std::string& tag);
std::string ReadFileBytes(const std::string& path);
// The names in `folder`, sorted; with `recursive`, every file below it as a path relative to it.
std::vector<std::string> NamesInFolder(const std::string& folder, bool recursive = false);
// Writes `bytes` to the file `name` in a scratch folder kept for the whole run, and returns its path.
std::string WriteScratchFile(const std::string& name, const std::string& bytes);
// Checks `bytes` against the length and 32-bit FNV-1a hash filed under `name` in tests/data/golden.txt. With
// HALCYNE_UPDATE_GOLDEN=1 in the environment a differing or missing entry is rewritten instead (review the diff).
void ExpectGolden(const std::string& name, const std::string& bytes);
// `bytes` as golden.txt files them: the length and the 32-bit FNV-1a hash in hex, "93 e5d76285".
std::string LengthAndHash(const std::string& bytes);
// Whether this run is told to rewrite golden entries and transcripts (HALCYNE_UPDATE_GOLDEN=1).
bool UpdatingGolden();
// The parts of `text` between its " | " separators: a data table's cells.
std::vector<std::string> CellsOf(const std::string& text);
// The rows of a table kept in tests/data/`name`: one row a line, its cells split at " | "; blank lines and lines
// starting with # are left out. Tests keep long lists of cases there instead of in code.
std::vector<std::vector<std::string>> DataTable(const std::string& name);
