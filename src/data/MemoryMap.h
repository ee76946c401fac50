#pragma once
// Converter between the 2048-byte memory image and the blocks and lists of RadioData.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace rv {

class CMemoryMap {
public:
    /// Replaces every block and list by what the image holds, then ResolveAllLinks.
    void LoadFromImage(const std::array<uint8_t, 2048>& image);
    /// Writes every block and list into the image; every byte no block covers keeps what the
    /// image held, at every user level. A list with fewer items than slots gets its end mark in the
    /// slot after the last item at every user level, so that the next load finds exactly the
    /// items stored.
    void StoreToImage(std::array<uint8_t, 2048>& image);
    /// ResolveLinks of every channel, scan list, personality, DTMF system, misc, emergency.
    void ResolveAllLinks();
    /// Open views store their fields (storeViewsHook), then StoreToImage on RadioData's image.
    void PrepareImage();
    /// The image PrepareImage would produce (open views store first when storeViews is set),
    /// packed into a copy of RadioData's image, which stays as it is.
    std::array<uint8_t, 2048> PackedImage(bool storeViews);
    /// Set by the main window: every open view commits its fields into the blocks.
    std::function<void()> storeViewsHook;
};

/// How many items of each list an image holds, as LoadFromImage reads them.
struct ImageListCounts {
    size_t channels = 0;  ///< 0 when the channel list head lies outside the channel area
    size_t personalities = 0;
    size_t scanLists = 0;
    size_t dtmfSystems = 1;  ///< the image has one DTMF slot
    bool operator==(const ImageListCounts&) const = default;
};
/// The list lengths of an image whose channel ring starts at head: channels lie consecutively
/// from the first slot until a record ends the ring; personalities and scan lists fill their
/// slots until the slot after the last one carries its end mark.
ImageListCounts CountListItems(const std::array<uint8_t, 2048>& image, uint16_t head);

/// Adjustments for older radio firmware, applied by Write to Radio to the stored image with
/// the radio's version text (nothing for the model of model text 310).
void ApplyFirmwareAdjustments(std::array<uint8_t, 2048>& image, const std::string& radioVersion);

}  // namespace rv
