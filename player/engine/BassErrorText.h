#pragma once
// The words for an audio-library error code, in English or Russian.

#include <string>

// "some mystery error" (or its Russian) for a code without a text of its own.
std::string BassErrorText(int code, bool russian);
