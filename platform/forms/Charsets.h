#pragma once
// Texts are ANSI bytes of one code page everywhere in the programs: the page
// of the character set their font is made for. Windows would read window text
// by the system's page instead, so the forms layer turns each text to UTF-16
// by its font's page at the windows' edge. Here: which page a character set
// means, how its bytes make characters, and the conversion itself.

#include <cstddef>
#include <string>

// Character sets of fonts, as LOGFONT gives them.
constexpr int kAnsiCharset = 0;
constexpr int kDefaultCharset = 1;  // whatever the system's page is
constexpr int kOemCharset = 255;

// The ANSI code page of text for a font of this character set. The default
// set, and any set without a page of its own, take the system's page.
unsigned CharsetCodePage(int charset, unsigned systemCodePage);

// A byte that opens a two-byte character of the code page.
bool IsLeadByte(unsigned codePage, unsigned char byte);

// Characters of the code page in text; a lead byte at the end counts as one.
std::size_t CharacterCount(const std::string& text, unsigned codePage);

// The longest start of text that holds at most count whole characters.
std::string FirstCharacters(const std::string& text, std::size_t count, unsigned codePage);

// Text of the code page as UTF-16 and back; what the other side lacks becomes
// the page's stand-in character. The system's own tables on Windows, iconv on
// other hosts.
std::u16string ToUtf16(const std::string& text, unsigned codePage);
std::string FromUtf16(const std::u16string& text, unsigned codePage);

// Upper case by the rules of Unicode, as the system applies them.
std::u16string UpperCase(const std::u16string& text);

// Windows side: the code page of a character set on this system.
unsigned CodePageOfCharset(int charset);
