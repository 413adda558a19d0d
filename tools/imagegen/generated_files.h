// Every file the generator writes into tool/device/generated/, produced in
// memory so that writing and checking share one path.
#ifndef ZELO_IMAGEGEN_GENERATED_FILES_H
#define ZELO_IMAGEGEN_GENERATED_FILES_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelo::imagegen {

struct GeneratedFile {
    std::string name;
    std::string text;
};

// A byte array as the body of a C++ initializer list, with a header comment.
std::string incText(std::string_view description, std::span<const std::uint8_t> bytes);

std::vector<GeneratedFile> generateAll();

}  // namespace zelo::imagegen

#endif
