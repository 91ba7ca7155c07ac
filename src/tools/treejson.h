#pragma once
// The loaded top-level list as JSON. Texts are 8-bit: each byte becomes the
// code point of the same value, so the dump is byte exact and reversible.

#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "model/loader.h"

// Each byte as the code point of the same value, encoded in UTF-8.
std::string BytesToUtf8(std::string_view bytes);
// The inverse; false when the text holds a code point above U+00FF.
bool Utf8ToBytes(std::string_view utf8, std::string& bytes);

nlohmann::ordered_json ObjectToJson(const TZEBObject& object);
nlohmann::ordered_json TreeToJson(int result, const TObjectList& list);
