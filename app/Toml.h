// toml++, as every file of ours includes it. Its headers are compiled in, not Debian's shared
// library: that one is built without <charconv> floats and writes 0.1 as 0.10000000000000001 in
// files the player reads, and would round other people's values if told to write fewer digits.
#pragma once

#define TOML_HEADER_ONLY 1
#define TOML_FLOAT_CHARCONV 1
#include <toml++/toml.h>
