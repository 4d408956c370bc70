#include "FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::pngPicture(std::span<const std::uint8_t>(data, size));
    return 0;
}
