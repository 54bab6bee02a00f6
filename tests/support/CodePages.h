#pragma once
// Text of an ANSI code page as UTF-8 and back, strictly: nothing when a byte
// sequence is no character of the page, or a character has no bytes in it.
// Natively through iconv (code page 950 as plain Big5); on Windows through the
// system's own tables.

#include <optional>
#include <string>

std::optional<std::string> CodePageToUtf8(const std::string& bytes, unsigned codePage);
std::optional<std::string> Utf8ToCodePage(const std::string& text, unsigned codePage);
