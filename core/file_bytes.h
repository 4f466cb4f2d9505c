// Reading a file the user controls, safely: opened once, its type checked on what was opened
// (so a file swapped for a FIFO after a look at its path cannot slip through), never blocking on
// a FIFO, and never more than a stated number of bytes whatever its size says.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The bytes of a regular file of at most limit bytes; none when it is missing, unreadable, not
// a regular file, or longer.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit);
