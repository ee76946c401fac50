#include "data/UndoStack.h"

#include <utility>

#include "data/MemoryMap.h"

namespace rv {

UndoSnapshot CaptureConfig()
{
    RadioData& radio = Radio();
    return {radio.MemoryMap().PackedImage(false), radio.ChannelAliasesByPosition()};
}

void RestoreConfig(const UndoSnapshot& snapshot)
{
    RadioData& radio = Radio();
    radio.MemoryImage() = snapshot.image;
    radio.MemoryMap().LoadFromImage(radio.MemoryImage());
    radio.SetChannelAliasesByPosition(snapshot.aliases);
}

void CUndoStack::Reset(const UndoSnapshot& current)
{
    undo_.clear();
    redo_.clear();
    baseline_ = current;
}

void CUndoStack::PushUndo(UndoSnapshot snapshot)
{
    undo_.push_back(std::move(snapshot));
    while (undo_.size() > depth_) undo_.pop_front();
}

bool CUndoStack::Checkpoint(const UndoSnapshot& current)
{
    if (!baseline_ || *baseline_ == current) return false;
    PushUndo(std::move(*baseline_));
    redo_.clear();
    baseline_ = current;
    return true;
}

bool CUndoStack::CanUndo(const UndoSnapshot& current) const
{
    return baseline_ && (!undo_.empty() || *baseline_ != current);
}

bool CUndoStack::CanRedo(const UndoSnapshot& current) const
{
    return baseline_ && !redo_.empty() && *baseline_ == current;
}

std::optional<UndoSnapshot> CUndoStack::Undo(const UndoSnapshot& current)
{
    Checkpoint(current);
    if (undo_.empty()) return std::nullopt;
    UndoSnapshot target = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(current);
    baseline_ = target;
    return target;
}

std::optional<UndoSnapshot> CUndoStack::Redo(const UndoSnapshot& current)
{
    Checkpoint(current);
    if (redo_.empty()) return std::nullopt;
    UndoSnapshot target = std::move(redo_.back());
    redo_.pop_back();
    PushUndo(current);
    baseline_ = target;
    return target;
}

}  // namespace rv
