#pragma once
// Undo and redo of configuration changes. The whole configuration packs into the 2048-byte
// memory image, so one step is simply the packed image (with the channel aliases of the
// session, which the image does not hold) as it was before a change. The stack keeps the state
// last seen (the baseline); a checkpoint that finds the configuration changed pushes the
// baseline as an undo step. Restoring goes through the memory map, as Open does.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "data/RadioData.h"

namespace rv {

/// The configuration at one moment: the packed image and the alias of each channel by its
/// 1-based position (item identities change when the image is unpacked again).
struct UndoSnapshot {
    Image image{};
    std::vector<std::string> aliases;  ///< alias of channel i + 1, "" for none
    bool operator==(const UndoSnapshot& other) const = default;
};

/// The configuration as it is now (what Save would write; open views are not asked to store).
UndoSnapshot CaptureConfig();
/// Replaces the configuration by a snapshot: the image is unpacked through the memory map and
/// the aliases are given to the channels at their positions.
void RestoreConfig(const UndoSnapshot& snapshot);

/// Undo and redo steps of one document.
class CUndoStack {
public:
    /// Most undo steps kept; the oldest goes first.
    static constexpr size_t kDefaultDepth = 100;

    explicit CUndoStack(size_t depth = kDefaultDepth) : depth_(depth == 0 ? 1 : depth) {}

    /// Forgets every step; current becomes the baseline (new data were loaded).
    void Reset(const UndoSnapshot& current);
    /// When current differs from the baseline, the baseline becomes an undo step, the redo
    /// steps are dropped and current becomes the baseline. True when a step was recorded.
    /// Before the first Reset nothing is recorded.
    bool Checkpoint(const UndoSnapshot& current);
    /// The state to restore for Undo, with current (after a checkpoint of it) kept for Redo;
    /// nothing when there is no step to undo.
    std::optional<UndoSnapshot> Undo(const UndoSnapshot& current);
    /// The state to restore for Redo, with current kept for Undo; nothing when there is no
    /// step to redo or current holds a change made after the last undo (that change drops
    /// the redo steps).
    std::optional<UndoSnapshot> Redo(const UndoSnapshot& current);

    /// True when Undo would restore something for this current state.
    bool CanUndo(const UndoSnapshot& current) const;
    /// True when Redo would restore something for this current state.
    bool CanRedo(const UndoSnapshot& current) const;
    /// Steps held (after the last checkpoint).
    size_t UndoCount() const { return undo_.size(); }
    size_t RedoCount() const { return redo_.size(); }
    size_t Depth() const { return depth_; }

private:
    void PushUndo(UndoSnapshot snapshot);

    size_t depth_;
    std::optional<UndoSnapshot> baseline_;
    std::deque<UndoSnapshot> undo_;
    std::vector<UndoSnapshot> redo_;
};

}  // namespace rv
