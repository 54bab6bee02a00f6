#pragma once
// The seventeen language modules the system ships: file, code page and the
// header each holds.

#include <ostream>
#include <string>
#include <vector>

struct ShippedModule {
    const char* file;
    unsigned codePage;
    const char* langName;  // UTF-8
    const char* engLangBrief;
    int charset;
    std::vector<unsigned> codes;  // the first is the language of the boxes
    const char* progName;         // UTF-8
};

const std::vector<ShippedModule>& ShippedModules();

// Test output names a module by its file.
void PrintTo(const ShippedModule& module, std::ostream* out);

// The folder of the shipped modules in the source tree, ended by a slash.
std::string ShippedLanguageFolder();

// Whether the module is in that folder yet.
bool IsShipped(const std::string& file);

// The whole file; empty when it cannot be read.
std::string ReadShippedBytes(const std::string& file);
