#include "data/Document.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "base/IniFile.h"
#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/TimeStamp.h"

namespace rv {

namespace {

constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kDefaultSetSuffix = "DefaultSet.dat";

static_assert(kDataFileImageSize == kImageSize);

std::string RecentKey(size_t k) { return "File" + std::to_string(k + 1); }

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteRecentFiles(const std::vector<std::string>& files)
{
    CIniFile ini;
    ini.Load(Settings().SettingsPath());
    for (size_t k = 0; k < kRecentFileCount; ++k)
        ini.SetString(kRecentSection, RecentKey(k), k < files.size() ? files[k] : std::string());
    ini.Save(Settings().SettingsPath());
}

}  // namespace

CQTXDoc::CQTXDoc(DocumentUi& ui) : ui_(ui) {}

std::string CQTXDoc::Show(int messageId, const std::string& path)
{
    std::string text = Settings().LoadMessage(messageId);
    // A translation may leave the file name out; the text is then shown as it is.
    size_t pos = text.find("%s");
    if (pos != std::string::npos) text.replace(pos, 2, path);
    ui_.ShowMessage(messageId, text);
    return text;
}

DocResult CQTXDoc::Fail(int messageId, const std::string& path)
{
    std::string text = Show(messageId, path);
    return DocResult::Failed(messageId, std::move(text), path);
}

std::string CQTXDoc::DefaultSetPath()
{
    const CSettings& s = Settings();
    return s.ProgramDir() + s.ModelID() + s.FreqRange() + kDefaultSetSuffix;
}

CDataFileHeader CQTXDoc::BuildHeader()
{
    const CSettings& s = Settings();
    return CDataFileHeader::Make(s.ModelID(), s.ModelName(), s.CurrentRangeLow(),
                                 s.CurrentRangeHigh(), s.RadioVersion(),
                                 ModelCatalog().CurrentBandCode(), s.Signal());
}

std::string CQTXDoc::Title() const
{
    std::string title = Settings().LoadText(DocText::kTitle);
    if (path_.empty()) return title;
    return title + " [ " + path_ + " ]";
}

void CQTXDoc::UpdateTitle() { ui_.SetTitle(Title()); }

bool CQTXDoc::LoadDefaultSet(int mode)
{
    (void)mode;  // New (1) and a model or language change (2) load the same way
    ui_.CloseAllViews();
    const std::string file = DefaultSetPath();
    Settings().SetRadioVersion(kProgramDataVersion);
    if (int message = ModelCatalog().LoadRangeTable(); message != 0) Show(message);
    path_.clear();

    RadioData& radio = Radio();
    radio.ClearLists();
    radio.SetDefaults();
    board_.fill(0);
    extraOther_.clear();

    Image image{};
    const bool found = CDataFile::Read(file, nullptr, image);
    // A new configuration starts from an erased memory: nothing of the previous one survives
    // in the bytes no field covers.
    if (!found) radio.MemoryImage().fill(0xFF);
    if (found) {
        ui_.CloseAllViews();
        radio.MemoryImage() = image;
        // The default set is "programmed" now: the radio information shows today's date.
        const TimeStamp stamp = CurrentTimeStamp();
        std::copy(stamp.begin(), stamp.end(),
                  radio.MemoryImage().begin() + CRadioInfoBlock::kTimeStampAddress);
        radio.MemoryMap().LoadFromImage(radio.MemoryImage());
    }
    MarkClean();
    ResetUndo();
    ui_.Refresh();
    UpdateTitle();
    return found;
}

std::vector<uint8_t> CQTXDoc::ExtraChunk() const
{
    // A configuration without board and names keeps the extra chunk empty, and one with a
    // board alone keeps the 240 bytes of old, so that such a file stays byte for byte what
    // it was.
    DataFileExtra extra;
    extra.board = board_;
    extra.channelNames = Radio().ChannelAliasesByPosition();
    extra.otherEntries = extraOther_;
    return PackExtra(extra);
}

void CQTXDoc::MarkClean()
{
    const Image image = Radio().MemoryMap().PackedImage(false);
    cleanImage_.assign(image.begin(), image.end());
    cleanBoard_ = board_;
    cleanAliases_ = Radio().ChannelAliasesByPosition();
}

bool CQTXDoc::Checkpoint()
{
    if (undoGroupDepth_ > 0) return false;
    return undo_.Checkpoint(CaptureConfig());
}

void CQTXDoc::BeginUndoGroup()
{
    if (undoGroupDepth_++ == 0) undo_.Checkpoint(CaptureConfig());
}

void CQTXDoc::EndUndoGroup()
{
    if (undoGroupDepth_ > 0 && --undoGroupDepth_ == 0) Checkpoint();
}

void CQTXDoc::ResetUndo()
{
    undo_.Reset(CaptureConfig());
}

bool CQTXDoc::CanUndo()
{
    return undo_.CanUndo(CaptureConfig());
}

bool CQTXDoc::CanRedo()
{
    return undo_.CanRedo(CaptureConfig());
}

bool CQTXDoc::Undo()
{
    return Restore(true);
}

bool CQTXDoc::Redo()
{
    return Restore(false);
}

bool CQTXDoc::Restore(bool undo)
{
    RadioData& radio = Radio();
    // An edit still in a control is a change of its own, undone first.
    if (radio.MemoryMap().storeViewsHook) radio.MemoryMap().storeViewsHook();
    const UndoSnapshot current = CaptureConfig();
    const std::optional<UndoSnapshot> target = undo ? undo_.Undo(current) : undo_.Redo(current);
    if (!target) return false;
    RestoreConfig(*target);
    // The entries named items that are gone; the checks before Save and Write find them again.
    radio.InvalidLog().Clear();
    ui_.Refresh();
    UpdateTitle();
    return true;
}

bool CQTXDoc::IsModified(bool storeViews)
{
    // Before the first New, Open or Read there is nothing of the user's to lose.
    if (cleanImage_.empty()) return false;
    const Image image = Radio().MemoryMap().PackedImage(storeViews);
    return board_ != cleanBoard_ || Radio().ChannelAliasesByPosition() != cleanAliases_ ||
           !std::equal(image.begin(), image.end(), cleanImage_.begin(), cleanImage_.end());
}

DocResult CQTXDoc::SaveModified()
{
    if (!IsModified()) return DocResult::Done();
    switch (ui_.AskSaveChanges(DocMessage::kSaveChanges,
                               Settings().LoadMessage(DocMessage::kSaveChanges))) {
        case SaveAnswer::Discard: return DocResult::Done();
        case SaveAnswer::Cancel: return DocResult::Cancelled();
        case SaveAnswer::Save: break;
    }
    DocResult saved = Save();
    // A save that failed or was cancelled keeps the data: what was about to replace them waits.
    return saved.Ok() ? saved : DocResult::Cancelled();
}

DocResult CQTXDoc::New()
{
    // Nothing changed since the last open, save, read or reset: nothing to lose, no question.
    if (firstNewDone_ && IsModified() &&
        !ui_.AskYesNo(DocMessage::kConfirmDiscard,
                      Settings().LoadMessage(DocMessage::kConfirmDiscard)))
        return DocResult::Cancelled();
    firstNewDone_ = true;
    LoadDefaultSet(1);
    Radio().InvalidLog().Clear();
    return DocResult::Done();
}

DocResult CQTXDoc::Open()
{
    if (DocResult saved = SaveModified(); !saved.Ok()) return saved;
    std::optional<std::string> path = ui_.ChooseOpenPath();
    if (!path) return DocResult::Cancelled();
    DocResult result = OpenPath(*path);
    if (result.Ok()) AddRecentFile(*path);
    return result;
}

DocResult CQTXDoc::OpenPath(const std::string& path)
{
    std::optional<CDataFileHeader> header = CDataFile::ReadHeader(path);
    if (!header) {
        return Fail(DocMessage::kReadFailed, path);
    }
    return OpenChecked(*header, path);
}

int CQTXDoc::CheckHeader(const CDataFileHeader& header)
{
    if (!Settings().IsKnownModel(header.ModelId())) return DocMessage::kUnknownModel;
    const int order = std::strncmp(header.RadioVersion().c_str(), kSupportedVersionPrefix, 4);
    if (order != 0) return order > 0 ? DocMessage::kVersionNewer : DocMessage::kVersionOlder;
    return 0;
}

DocResult CQTXDoc::OpenChecked(const CDataFileHeader& header, const std::string& path)
{
    CSettings& settings = Settings();
    if (const int message = CheckHeader(header); message != 0) {
        return Fail(message, path);
    }
    const std::string version = header.RadioVersion();

    // The whole file is read before anything is taken from it, so that a file that fails
    // half-way leaves the document, the model identity and the data as they were.
    Image image{};
    std::vector<uint8_t> extra;
    if (!CDataFile::Read(path, &extra, image)) {
        return Fail(DocMessage::kReadFailed, path);
    }
    // The maintenance board and the channel names: bytes in none of the layouts of the extra
    // chunk were not written by this program, so the board starts empty, the channels have no
    // names and the user is told.
    const std::optional<DataFileExtra> contents = UnpackExtra(extra);
    const bool boardDamaged = !contents;

    settings.SetModelID(header.ModelId());
    settings.SetModelName(header.ModelName());
    settings.SetFreqRange(header.RangeText());
    settings.SetSignal(header.Signal());
    settings.SetRadioVersion(version);
    if (int message = ModelCatalog().LoadRangeTable(); message != 0) Show(message);
    path_ = path;
    lastHeader_ = header;

    ui_.CloseAllViews();
    RadioData& radio = Radio();
    radio.MemoryImage() = image;
    radio.MemoryMap().LoadFromImage(radio.MemoryImage());
    radio.InvalidLog().Clear();
    board_.fill(0);
    extraOther_.clear();
    if (contents) {
        board_ = contents->board;
        radio.SetChannelAliasesByPosition(contents->channelNames);
        extraOther_ = contents->otherEntries;
    }
    MarkClean();
    ResetUndo();
    ui_.Refresh();
    UpdateTitle();
    if (boardDamaged) Show(DocMessage::kBoardDamaged, path);
    return DocResult::Done();
}

DocResult CQTXDoc::OpenRecent(size_t k)
{
    const std::vector<std::string> files = RecentFiles();
    if (k >= files.size()) return DocResult::Cancelled();
    if (DocResult saved = SaveModified(); !saved.Ok()) return saved;
    const std::string path = files[k];
    std::optional<CDataFileHeader> header = CDataFile::ReadHeader(path);
    if (!header) {
        RemoveRecentFile(path);
        return Fail(DocMessage::kRecentMissing, path);
    }
    DocResult result = OpenChecked(*header, path);
    if (result.Ok()) AddRecentFile(path);
    return result;
}

DocResult CQTXDoc::WriteTo(const std::string& path, const std::string& comment, bool validate)
{
    RadioData& radio = Radio();
    if (validate && radio.ValidateAll()) {
        return Fail(DocMessage::kInvalidData, path);
    }
    radio.MemoryMap().PrepareImage();
    if (!dataFile_.SetHeader(BuildHeader()) ||
        !dataFile_.Write(path, ExtraChunk(), radio.MemoryImage(), comment)) {
        return Fail(DocMessage::kWriteFailed, path);
    }
    return DocResult::Done();
}

DocResult CQTXDoc::Save()
{
    if (Radio().ValidateAll()) {
        return Fail(DocMessage::kInvalidData, path_);
    }
    if (!FileExists(path_)) return SaveAs();
    // An empty comment keeps the comment already in the file.
    DocResult result = WriteTo(path_, {}, false);
    if (result.Ok()) MarkClean();
    return result;
}

DocResult CQTXDoc::SaveAs()
{
    if (Radio().ValidateAll()) {
        return Fail(DocMessage::kInvalidData, path_);
    }
    const std::string comment = path_.empty() ? std::string() : CDataFile::ReadComment(path_);
    std::optional<SaveChoice> choice = ui_.ChooseSavePath(BuildHeader(), comment);
    if (!choice || choice->path.empty()) return DocResult::Cancelled();
    DocResult result = WriteTo(choice->path, choice->comment, false);
    if (!result.Ok()) return result;
    MarkClean();
    path_ = choice->path;
    UpdateTitle();
    AddRecentFile(path_);
    return result;
}

DocResult CQTXDoc::SaveTo(const std::string& path, const std::string& comment)
{
    return WriteTo(path, comment, true);
}

std::pair<DocResult, ModelChange> CQTXDoc::ChangeModel(const ModelIdentity& chosen)
{
    const ModelChange change =
        CModelCatalog::ClassifyModelChange(chosen, CModelCatalog::CurrentIdentity());
    CSettings& settings = Settings();
    switch (change) {
    case ModelChange::None:
        break;
    case ModelChange::NameOnly:
        settings.SetModelName(chosen.name);
        ui_.Refresh();
        UpdateTitle();
        break;
    case ModelChange::Model:
        if (!ui_.AskYesNo(DocMessage::kConfirmDiscard,
                          settings.LoadMessage(DocMessage::kConfirmDiscard)))
            return {DocResult::Cancelled(), change};
        settings.SetModelID(chosen.id);
        settings.SetModelName(chosen.name);
        settings.SetFreqRange(chosen.range);
        settings.SetSignal(chosen.signal);
        LoadDefaultSet(2);
        Radio().InvalidLog().Clear();
        break;
    }
    return {DocResult::Done(), change};
}

std::vector<std::string> CQTXDoc::RecentFiles()
{
    CIniFile ini;
    ini.Load(Settings().SettingsPath());
    std::vector<std::string> files;
    for (size_t k = 0; k < kRecentFileCount; ++k) {
        std::string path = ini.GetString(kRecentSection, RecentKey(k));
        if (!path.empty() && std::find(files.begin(), files.end(), path) == files.end())
            files.push_back(std::move(path));
    }
    return files;
}

void CQTXDoc::AddRecentFile(const std::string& path)
{
    if (path.empty()) return;
    std::vector<std::string> files = RecentFiles();
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
    WriteRecentFiles(files);
}

void CQTXDoc::RemoveRecentFile(const std::string& path)
{
    std::vector<std::string> files = RecentFiles();
    auto end = std::remove(files.begin(), files.end(), path);
    if (end == files.end()) return;
    files.erase(end, files.end());
    WriteRecentFiles(files);
}

std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('|', start);
        if (end == std::string::npos) end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;
        out.emplace_back(parts[i], parts[i + 1]);
    }
    return out;
}

}  // namespace rv
