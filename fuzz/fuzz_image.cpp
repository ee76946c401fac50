// The 2048-byte memory image as a radio or a file may deliver it: unpacking into the blocks and
// lists must stay within bounds, and packing what was unpacked is stable: a second unpack and
// pack gives the same image.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "data/RadioData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace rv;
    (void)fuzz::ProgramDir();  // settings (user level, model texts) for the conversions

    Image image;
    image.fill(0xFF);
    std::copy_n(data, std::min(size, image.size()), image.begin());

    CMemoryMap& map = Radio().MemoryMap();
    map.LoadFromImage(image);
    Image first = image;
    map.StoreToImage(first);

    map.LoadFromImage(first);
    Image second = first;
    map.StoreToImage(second);
    if (second != first) std::abort();  // unpack and pack must be a fixed point
    return 0;
}
