// Channel names and the driver's identification texts (Windows-1252).
#pragma once
#include <cstddef>
#include <cstdint>

namespace channels {

// The name of every channel that does not exist: a text, never a null pointer.
extern const char empty_name[];

const char* input_name(int32_t channel);      // integer form: "absorption"
const char* input_name_d(int32_t channel);    // double form: "Absorption"
const char* output_name(int32_t channel);     // all 32 bits compared

// The title and the description of the driver for its port, each followed
// by two NULs, in storage of at least the given capacity.
constexpr std::size_t title_capacity = 32;
constexpr std::size_t description_capacity = 96;
void build_title(const char* port_name, char* out);
void build_description(const char* port_name, char* out);

}  // namespace channels
