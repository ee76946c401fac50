#pragma once
// The document: one radio configuration with the data file it came from. New, Open, the
// recent files, Save, Save As, the default sets and the model change. Every question, message
// and file choice goes through DocumentUi, which the GUI and the command line implement.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "data/DataFile.h"
#include "data/ModelCatalog.h"
#include "data/UndoStack.h"

namespace rv {

/// Message and text numbers of the document.
struct DocMessage {
    static constexpr int kConfirmDiscard = 800;  ///< New / model change: discard the data?
    static constexpr int kRecentMissing = 802;   ///< a recent file cannot be read (%s path)
    static constexpr int kWriteFailed = 803;     ///< the file could not be written (%s path)
    static constexpr int kUnknownModel = 810;    ///< the file is for an unsupported model
    static constexpr int kReadFailed = 811;      ///< the file could not be read (%s path)
    static constexpr int kInvalidData = 814;     ///< broken references: nothing is saved
    static constexpr int kSaveChanges = 820;     ///< changed since the last save: save first?
    static constexpr int kVersionNewer = 1140;   ///< data version newer than 1.01
    static constexpr int kVersionOlder = 1141;   ///< data version older than 1.01
    static constexpr int kBoardDamaged = 1660;   ///< extra chunk not readable (%s path)
};
/// Interface texts of the document.
struct DocText {
    static constexpr int kTitle = 128;          ///< main window title
    static constexpr int kDefaultExtension = 1211;
    static constexpr int kFileFilter = 1212;    ///< "label|patterns|label|patterns||"
};

/// Number of remembered recent files.
inline constexpr size_t kRecentFileCount = 4;
/// The first four characters of a data version this program reads.
inline constexpr const char* kSupportedVersionPrefix = "1.01";

/// What the user chose in the Save As dialog.
struct SaveChoice {
    std::string path;     ///< the file to write
    std::string comment;  ///< the comment entered ("" keeps the file's comment)
};

/// The maintenance board's bytes as the document keeps them (the service layer reads them).
using BoardBytes = std::array<uint8_t, kDataFileBoardSize>;

/// Answer to "save the changes first?".
enum class SaveAnswer { Save, Discard, Cancel };

/// The front end of the document: the GUI shows dialogs, the command line answers itself.
class DocumentUi {
public:
    virtual ~DocumentUi() = default;
    /// Asks a Yes/No question (message number and its text); true for Yes.
    virtual bool AskYesNo(int messageId, const std::string& text) = 0;
    /// Asks whether to save the changes before they would be lost (message number and its
    /// text): save them, discard them, or cancel what was about to replace them.
    virtual SaveAnswer AskSaveChanges(int messageId, const std::string& text)
    {
        return SaveAnswer::Cancel;
    }
    /// Shows a message (message number and its text with the values filled in).
    virtual void ShowMessage(int messageId, const std::string& text) = 0;
    /// Open dialog (filter text 1212, extension text 1211); nothing when cancelled.
    virtual std::optional<std::string> ChooseOpenPath() { return std::nullopt; }
    /// Save dialog showing the header, with an edit field for the comment (pre-filled with
    /// comment); nothing when cancelled.
    virtual std::optional<SaveChoice> ChooseSavePath(const CDataFileHeader& header,
                                                     const std::string& comment)
    {
        return std::nullopt;
    }
    /// Closes every child window (views store nothing afterwards).
    virtual void CloseAllViews() {}
    /// Rebuilds the tree, bars and open views from the data.
    virtual void Refresh() {}
    /// Sets the main window's title.
    virtual void SetTitle(const std::string& title) {}
};

/// How a document command ended.
enum class DocOutcome {
    Done,       ///< it did what was asked
    Cancelled,  ///< the user said No or cancelled a dialog; nothing changed
    Failed,     ///< refused or failed; `message` was shown
};

/// Result of a document command.
struct DocResult {
    DocOutcome outcome = DocOutcome::Done;  ///< how it ended
    int message = 0;                        ///< the message shown for Failed, else 0
    std::string text;                       ///< that message's text as shown, values filled in
    std::string path;                       ///< the file that failed, when there was one
    /// True when the command did what was asked.
    bool Ok() const { return outcome == DocOutcome::Done; }
    /// Results of each kind.
    static DocResult Done() { return {}; }
    static DocResult Cancelled() { return {DocOutcome::Cancelled, 0, {}, {}}; }
    static DocResult Failed(int message, std::string text = {}, std::string path = {})
    {
        return {DocOutcome::Failed, message, std::move(text), std::move(path)};
    }
};

class CQTXDoc {
public:
    /// A document that asks and reports through ui (which must outlive it).
    explicit CQTXDoc(DocumentUi& ui);

    /// New: asks message 800 only when the configuration was changed (IsModified), and stops
    /// on No; the first call asks nothing. Loads
    /// the default set (mode 1) and empties the invalid log.
    DocResult New();
    /// Open: offers to save changes first (SaveModified), asks for a path, then OpenPath; the
    /// path goes to the top of the recent files.
    DocResult Open();
    /// Opens a data file without a dialog. Nothing changes (path, model identity, range
    /// table, data) unless the whole file was read: 811 unreadable, 810 unknown model,
    /// 1140 / 1141 version newer / older than 1.01.
    DocResult OpenPath(const std::string& path);
    /// The checks of a data file's header before anything is taken from the file: 0 when it
    /// may be opened, else the message to show (810 unknown model, 1140 / 1141 version).
    static int CheckHeader(const CDataFileHeader& header);
    /// Applies a header read from path and loads the file (the checks of OpenPath).
    DocResult OpenChecked(const CDataFileHeader& header, const std::string& path);
    /// Opens recent file k (0-based) after SaveModified; on success it moves to the top; an
    /// unreadable header shows 802 and removes the entry.
    DocResult OpenRecent(size_t k);
    /// Save: 814 while the invalid log has rows; Save As when there is no file yet; keeps
    /// the comment already in the file; 803 when it cannot be written.
    DocResult Save();
    /// Save As: 814 while invalid; asks for a path and comment; on success the path becomes
    /// the document path and a recent file.
    DocResult SaveAs();
    /// Saves to a path without a dialog (the command line): 814 while invalid, 803 when it
    /// cannot be written; an empty comment keeps the comment of a file already there. The
    /// document path and the recent files are not changed.
    DocResult SaveTo(const std::string& path, const std::string& comment);

    /// Resets the data to the default set of the current model and range (mode 1 New, 2 a
    /// model or language change): built-in defaults, then the default-set file when it
    /// exists, stamped with the current time; the maintenance board is emptied. True when the
    /// file was read.
    bool LoadDefaultSet(int mode);
    /// Model Information OK: applies the chosen identity. NameOnly replaces the name; Model
    /// asks message 800 and on Yes replaces the four values and loads the default set.
    /// Returns Done with the change made, or Cancelled.
    std::pair<DocResult, ModelChange> ChangeModel(const ModelIdentity& chosen);

    /// Remembers the configuration as it is now as the one kept safe (in its file, or in the
    /// radio it was read from).
    void MarkClean();
    /// True when the configuration differs from the one last opened, saved, read or reset
    /// (false before the first of these); open views store their fields first unless
    /// storeViews is false (the title mark looks without disturbing an edit in progress).
    /// Compared is what would be written: the packed memory image.
    bool IsModified(bool storeViews = true);
    /// Before the configuration is replaced or the program ends: when it was changed, asks
    /// message 820. Save saves (Save As for an unnamed document) and goes on only when that
    /// worked; Discard goes on; Cancel stops. Done means the caller may go on.
    DocResult SaveModified();

    // Undo and redo. Every change of the configuration becomes a step when the front end
    // checkpoints (after a committed field, a command, an import); New, Open, Read from Radio
    // and the model and language changes start a new history.

    /// Records a change made since the last checkpoint as one undo step; true when there was one.
    bool Checkpoint();
    /// Changes made between Begin and the matching End are one step (a paste, a fill, an
    /// import); checkpoints in between record nothing. Begin first records what came before.
    void BeginUndoGroup();
    void EndUndoGroup();
    /// Forgets every step: the configuration as it is now is where the history starts.
    void ResetUndo();
    /// True when Undo (Redo) would change the configuration.
    bool CanUndo();
    bool CanRedo();
    /// Open views store their fields, then the configuration before the last change (after
    /// the last undo) is restored through the memory map and the front end refreshes every
    /// bar and view. False when there was nothing to undo (redo).
    bool Undo();
    bool Redo();
    /// The steps (for tests and the depth limit).
    const CUndoStack& UndoSteps() const { return undo_; }

    /// Header of the current state (model, range, versions, band code, signalling).
    static CDataFileHeader BuildHeader();
    /// Program directory + model ID + range + "DefaultSet.dat".
    static std::string DefaultSetPath();
    /// Main window title: text 128, with a path "%s [ %s ]".
    std::string Title() const;
    /// Sets the title through the UI.
    void UpdateTitle();

    /// The data file path; "" for an unnamed document.
    const std::string& Path() const { return path_; }
    /// Makes the document unnamed (after Read from Radio the next Save asks for a file) and
    /// sets the title without a file name.
    void ForgetPath()
    {
        path_.clear();
        UpdateTitle();
    }
    /// The header of the last file opened.
    const CDataFileHeader& LastHeader() const { return lastHeader_; }
    /// The maintenance board of the configuration: read from the data file's extra chunk on
    /// Open (all zero when the chunk is empty, or is not in a layout of DataFileExtra: then
    /// message 1660 says so), emptied by New, written into the extra chunk by every save
    /// (with the channel names; see DataFileExtra). It never goes to the radio.
    const BoardBytes& Board() const { return board_; }
    BoardBytes& Board() { return board_; }

    /// The file object (holds the header of the last save).
    const CDataFile& DataFile() const { return dataFile_; }

    /// Recent files ("Settings.ini" section "Recent File List", File1..File4), newest first.
    static std::vector<std::string> RecentFiles();
    /// Puts path at the top of the recent files (at most four are kept).
    static void AddRecentFile(const std::string& path);
    /// Removes path from the recent files.
    static void RemoveRecentFile(const std::string& path);

private:
    /// Shows a message whose text may name the file ("%s"); returns the text shown.
    std::string Show(int messageId, const std::string& path = {});
    /// Shows the message and returns it as the command's failure.
    DocResult Fail(int messageId, const std::string& path);
    /// The bytes of the extra chunk: the board, the channel names (the radio data's channel
    /// aliases) and what a later version added, in the shortest form DataFileExtra allows.
    std::vector<uint8_t> ExtraChunk() const;
    /// Undo (true) or Redo (false).
    bool Restore(bool undo);
    /// Validates and saves to path; does not change the document path.
    DocResult WriteTo(const std::string& path, const std::string& comment, bool validate);

    DocumentUi& ui_;
    std::string path_;
    CDataFileHeader lastHeader_;
    CDataFile dataFile_;
    bool firstNewDone_ = false;
    /// The packed image of the configuration as last kept safe; empty before the first.
    std::vector<uint8_t> cleanImage_;
    BoardBytes board_{};
    /// The board as last kept safe (with cleanImage_).
    BoardBytes cleanBoard_{};
    /// The channel aliases by position as last kept safe.
    std::vector<std::string> cleanAliases_;
    /// Entries of the extra chunk that a later version of the program wrote, kept for the
    /// next save.
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> extraOther_;
    CUndoStack undo_;
    int undoGroupDepth_ = 0;
};

/// Makes the changes of its lifetime one undo step of a document.
class CUndoGroup {
public:
    explicit CUndoGroup(CQTXDoc& doc) : doc_(doc) { doc_.BeginUndoGroup(); }
    ~CUndoGroup() { doc_.EndUndoGroup(); }
    CUndoGroup(const CUndoGroup&) = delete;
    CUndoGroup& operator=(const CUndoGroup&) = delete;

private:
    CQTXDoc& doc_;
};

/// The (label, patterns) pairs of a file filter text "label|patterns|...||" (text 1212).
std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& text);

}  // namespace rv
