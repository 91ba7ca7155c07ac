#pragma once
// The message the reader shows for a load result code ("" for 0 and unknown
// codes); for a damaged file (code 2) it says what is wrong with it.

#include <string>

#include "model/loadresult.h"

std::string LoadErrorMessage(int code, const std::string& path, TDamage damage = TDamage::Checksum);
