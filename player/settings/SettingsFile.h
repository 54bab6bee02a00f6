#pragma once
// The settings export file: the text that reg export wrote for the settings
// key, deflated into a zlib stream, followed by a 32-bit checksum of it; and
// the test that a text is such an export before reg import may run on it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

// 2011 plus k times the k-th little-endian 32-bit word, k from 1, modulo
// 2^32; a last part of 1 to 3 bytes is not counted.
std::uint32_t SettingsChecksum(const std::uint8_t* data, std::size_t size);

// The text at compression level 9, then its checksum; empty when zlib fails.
TBytes PackFile(const TBytes& text);

// 0 with the text unpacked; -1, text empty, when the file is corrupt: shorter
// than its checksum, larger than any export, a checksum that differs, a
// stream that does not inflate, inflates too far, ends early or is followed
// by more bytes.
constexpr int kUnpackCorrupt = -1;
constexpr std::size_t kLargestSettingsFile = 1u << 20;
constexpr std::size_t kLargestSettingsText = 8u << 20;
int UnpackFile(const TBytes& file, TBytes& text);

// The name the export proposes: the folder, then the date and time as the
// system writes them with "/" made "." and ":" made "-", then ".Ovel".
std::string ExportFileName(const std::string& folder, const std::string& dateAndTime);

// An export of the key and nothing else: UTF-16LE with its byte-order mark
// or ANSI, the header of an export first, the key itself among its key
// lines, each key line the key or below it, no key deleted. keyName is the
// full name, e.g. HKEY_CURRENT_USER\Software\Tamlin\Ovel.
bool ExportTextAccepted(const TBytes& text, const std::string& keyName);
