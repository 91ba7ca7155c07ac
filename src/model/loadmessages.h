#pragma once
// The message the reader shows for a load result code ("" for 0 and unknown codes).

#include <string>

std::string LoadErrorMessage(int code, const std::string& path);
