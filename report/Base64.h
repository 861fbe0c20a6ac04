// Base64 as the text cipher carries it: the standard alphabet (A-Z, a-z, 0-9,
// "+", "/"), "=" padding, no line breaks. Plain byte handling, no platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

std::string Base64Encode(const uint8_t* data, size_t length);
std::string Base64Encode(const std::vector<uint8_t>& data);

// Strict decoding: false (and `out` cleared) for a text whose length is not a
// positive multiple of 4, for any character outside the alphabet, and for "="
// anywhere but as the last one or two characters. Unused low bits of the last
// character before the padding are ignored, as most decoders do.
bool Base64Decode(std::string_view text, std::vector<uint8_t>& out);
