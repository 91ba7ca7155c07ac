#pragma once
// The fuzz targets hand their input to code that reads files: each process
// writes the input to a file of its own in the temporary folder, and uses an
// empty folder of its own for output.

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes to this process's input file; returns its path.
const std::string& WriteInput(const std::uint8_t* data, std::size_t size);
// An empty folder of this process (ending with "/"), emptied on each call.
const std::string& EmptyFolder();
