#pragma once
// Shared parts of the command line: exit codes, option reading, messages on stderr and the
// document front end that answers for itself. Each verb lives in its own Cmd*.cpp file and is
// listed in the verb table of CliMain.cpp.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/Document.h"

namespace rv::cli {

/// Exit status of the program.
enum class ExitCode : int {
    Success = 0,  ///< the command did what was asked
    Failure = 1,  ///< refused or failed; the message text is on stderr
    Usage = 2,    ///< the command line could not be understood; the usage is on stderr
    /// a radio transfer was stopped by a signal (Ctrl-C, SIGTERM, SIGHUP); the connection was
    /// ended first and stderr says what the radio holds
    Interrupted = 130,
};

/// Messages of the command line (texts "S01%05d" of the language file).
struct CliMessage {
    static constexpr int kBadCommandLine = 1900;     ///< "%s": the argument not understood
    static constexpr int kUnknownModel = 1901;       ///< "%s": model ID
    static constexpr int kUnknownModelName = 1902;   ///< "%s": model name
    static constexpr int kNameOfOtherModel = 1903;   ///< "%s": model name
    static constexpr int kRangeNotOffered = 1904;    ///< "%s": "L-H"
    static constexpr int kSignalNotOffered = 1905;   ///< "%s": the value given
    static constexpr int kNoProgramDir = 1906;       ///< "%s": the folder given with --home
    static constexpr int kFileMissing = 1280;        ///< "%s": the file
    static constexpr int kFileNotReadable = 1281;    ///< "%s": the file
    static constexpr int kFileIsFolder = 1282;       ///< "%s": the path
    static constexpr int kFileTooLarge = 1283;       ///< "%s" the file, "%s" its size in bytes
    static constexpr int kOutputNoFolder = 1284;     ///< "%s": the file to write
    static constexpr int kOutputNotWritable = 1285;  ///< "%s": the file to write
    static constexpr int kOutputIsFolder = 1286;     ///< "%s": the path
    /// "%s" Settings.ini, "%s" its FreqRange, "%s" the model: not a range of the model
    static constexpr int kRememberedRangeBad = 1287;
};

/// Text number of the signalling choice list (item data = signalling value).
inline constexpr int kSignalList = 1076;

/// One option a verb accepts: "--name VALUE", "--name=VALUE" or a flag without value.
struct OptionSpec {
    std::string_view name;  ///< with its dashes: "--model", "-o"
    bool takesValue = true;
    bool repeatable = false;  ///< may be given more than once (every value is kept)
};

/// The arguments of a verb, options and positional arguments apart.
struct ParsedArgs {
    std::vector<std::pair<std::string, std::string>> options;  ///< (name, value) in order
    std::vector<std::string> positionals;
    std::string bad;  ///< the argument that could not be read; empty when all were fine

    bool Ok() const { return bad.empty(); }
    /// True when the option was given.
    bool Has(std::string_view name) const;
    /// The value of an option, nothing when it was not given.
    std::optional<std::string> Get(std::string_view name) const;
    /// Every value of a repeatable option, in order.
    std::vector<std::string> GetAll(std::string_view name) const;
};

/// Reads the arguments after the verb (getopt_long: "--name VALUE", "--name=VALUE", "-o FILE",
/// "-oFILE"; options and positional arguments in any order). An unknown or abbreviated option,
/// a missing value or a repeated option (unless it is repeatable) leaves the offending argument
/// in `bad`. "--" ends the options. "--help" or "-h" prints the help of the verb being run (its
/// usage lines and these options) on stdout and ends the program with status 0.
ParsedArgs ParseArgs(std::span<const std::string> args, std::span<const OptionSpec> specs);
/// Reads the options before the verb: stops at the first argument that is no option (the
/// verb), whose index goes to `verbAt` (args.size() when there is none). Errors as ParseArgs.
ParsedArgs ParseLeadingOptions(std::span<const std::string> args,
                               std::span<const OptionSpec> specs, size_t& verbAt);
/// Names the verb being run, for its help.
void SetCurrentVerb(std::string_view verb);
/// The help of a verb: its usage lines from kUsage, what it does, its options with their
/// values as the usage names them, the global options and the notes about its arguments.
std::string VerbHelp(std::string_view verb, std::span<const OptionSpec> specs);

/// The usage synopsis of every verb.
extern const char* const kUsage;

/// Prints the language text of a message on stderr ("%s" filled with arg).
void Report(int messageId, const std::string& arg = {});
/// Prints the language text of a message on stderr, its "%s" filled with args in order.
void Report(int messageId, const std::vector<std::string>& args);
/// Prints the message text that a core operation already put together on stderr.
void ReportText(int messageId, const std::string& text);
/// Reports a command line that could not be understood at `bad`, then the usage; returns Usage.
ExitCode UsageError(const std::string& bad);

/// Opens a data file as the desktop program does (CQTXDoc::OpenPath: header, model, version,
/// the whole image), after saying plainly when the file is missing, not readable, a folder or
/// too large to be a data file. False after the message was printed.
bool OpenDataFile(CQTXDoc& doc, const std::string& path);
/// Checks before a radio is read that its file can be written (folder there, writable, not
/// a folder itself). False after the message was printed.
bool CheckOutputFile(const std::string& path);
/// A frequency range remembered in Settings.ini must be one of the model's ranges before
/// anything uses it; an empty one is left to the caller. False after the message was printed.
bool CheckRememberedRange(const std::string& modelId, const std::string& range);

/// The document front end of the command line: messages go to stderr, a question is answered
/// Yes (the options of the command are the user's answer), there are no views and no title.
class CliDocumentUi : public DocumentUi {
public:
    bool AskYesNo(int messageId, const std::string& text) override { return true; }
    void ShowMessage(int messageId, const std::string& text) override;
};

/// The fields as "key: value" lines; line breaks and control characters in values escaped.
std::string FormatHeaderLines(const std::vector<HeaderField>& fields);

/// True when --home named the program directory (backups then always go there).
bool HomeGiven();
void SetHomeGiven(bool given);

/// The verbs.
ExitCode RunNew(std::span<const std::string> args);
ExitCode RunInfo(std::span<const std::string> args);
ExitCode RunDump(std::span<const std::string> args);
ExitCode RunPrint(std::span<const std::string> args);
/// Compares two data files field by field: 0 equal, 1 different, 2 trouble.
ExitCode RunDiff(std::span<const std::string> args);
/// Changes fields by their keys through the views' rules and writes another file.
ExitCode RunSet(std::span<const std::string> args);
/// Channels as CSV and back (the channel grid's rules on import).
ExitCode RunExport(std::span<const std::string> args);
ExitCode RunImport(std::span<const std::string> args);

}  // namespace rv::cli
