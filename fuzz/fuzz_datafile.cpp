// Data files from outside: the header, the comment and the chunks are read from whatever bytes
// a file holds; a file that reads is unpacked into the radio data and packed again.

#include <array>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "data/DataFile.h"
#include "data/RadioData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace rv;
    const std::string path = fuzz::WriteScratchFile("input.dat", data, size);

    if (auto header = CDataFile::ReadHeader(path)) {
        (void)header->ModelId();
        (void)header->ModelName();
        (void)header->RangeText();
        (void)header->RadioVersion();
        (void)header->DataVersion();
    }
    (void)CDataFile::ReadComment(path);

    std::array<uint8_t, kDataFileImageSize> image{};
    std::vector<uint8_t> extra;
    if (!CDataFile::Read(path, &extra, image)) return 0;

    RadioData& radio = Radio();
    radio.MemoryImage() = image;
    radio.MemoryMap().LoadFromImage(radio.MemoryImage());
    radio.MemoryMap().StoreToImage(radio.MemoryImage());
    return 0;
}
