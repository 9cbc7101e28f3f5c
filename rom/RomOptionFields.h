#pragma once
// The option bytes of the configuration block by the project-file key they come from, and the
// meaning of each picture slot of a ROM image: the names a person reads in a comparison or in
// what a recovery could not bring back.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Rom {

struct TOptionField {
    const char* Key;    // project-file key
    std::size_t Offset; // configuration offset
    std::size_t Length;
};

// Every option byte MAKE ROM writes from the project, in configuration order.
const std::vector<TOptionField>& OptionFields();

// The field's bytes as the project file would show them ("ON", "TYPE2", "100429", 3).
// `block` is a code-table block (configuration bytes 0x1400 on).
std::string OptionFieldText(const TOptionField& field, std::span<const std::uint8_t> block);

// What a picture of the image is: "lift state FIRE, variant A", "arrow style 3", "UBF floor
// picture 2"; empty when the slot has no fixed meaning.
std::string PictureSlotMeaning(const std::string& name);

} // namespace Rom
