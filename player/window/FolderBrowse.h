#pragma once
// The folder dialog of the board's folder buttons.

#include <string>

// Opens at path when that folder exists, else at root (the desktop when root
// is empty); true, with path set, when a folder was chosen. The program's
// other windows take no input while the dialog is open.
bool BrowseForFolder(const std::string& title, const std::string& root, std::string& path);
