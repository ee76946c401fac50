// The command line as a user runs it: the built rvcps-cli on a fresh program directory. New
// makes a data file that info and dump read back (the dump's records are the file's image
// bytes), failures give exit status 1 with the language file's message, usage errors 2, and
// the settings file is never written.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/Bytes.h"
#include "data/DataFile.h"
#include "base/IniFile.h"
#include "base/Settings.h"
#include "report/PrintReport.h"
#include "support/TestSupport.h"

extern char** environ;

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempHome;
using Bytes = std::vector<uint8_t>;
using Args = std::vector<std::string>;

const std::string kCli = RV_BIN_DIR "/rvcps-cli";

struct CliRun {
    int status = -1;  ///< exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

/// Runs rvcps-cli with args; stdout and stderr are collected through files in dir.
CliRun Spawn(const Args& args, const std::string& dir)
{
    const std::string outPath = dir + "cli.stdout";
    const std::string errPath = dir + "cli.stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kCli.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    CliRun run;
    const int rc = posix_spawn(&pid, kCli.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return run;
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return run;
}

/// Runs rvcps-cli as a user without privileges (nobody) when the tests run as root, so that
/// file permissions count; as the test's own user otherwise. The folders the program reads
/// must be open to that user.
CliRun SpawnUnprivileged(const Args& args, const std::string& dir)
{
    if (::geteuid() != 0) return Spawn(args, dir);
    constexpr uid_t kNobody = 65534;
    const std::string outPath = dir + "cli.stdout";
    const std::string errPath = dir + "cli.stderr";
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kCli.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The leak checker cannot stop the threads of a process that changed its user.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("ASAN_OPTIONS=", 0) != 0) env.emplace_back(*e);
    env.emplace_back("ASAN_OPTIONS=detect_leaks=0:abort_on_error=1");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    CliRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only calls that are safe after fork until exec.
        if (::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::setgroups(0, nullptr) != 0 ||
            ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(127);
        ::execve(kCli.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out);
    ::close(err);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return run;
}

/// The image chunk of a data file, walking the chunks as the format lays them out.
Bytes ImageOfFile(const std::string& path)
{
    const Bytes file = ReadBytes(path);
    size_t pos = CDataFile::kCommentOffset;
    for (int chunk = 0; chunk < 3 && pos + 8 <= file.size(); ++chunk) {
        const uint32_t tag = GetU32(&file[pos]);
        const uint32_t length = GetU32(&file[pos + 4]);
        pos += 8;
        if (tag == kTagXE && pos + length <= file.size())
            return Bytes(file.begin() + pos, file.begin() + pos + length);
        pos += length;
    }
    return {};
}

/// "key: value" lines as a map.
std::map<std::string, std::string> Lines(const std::string& text)
{
    std::map<std::string, std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos) out.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    return out;
}

std::string HexOf(const Bytes& bytes, size_t from, size_t count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = from; i < from + count; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0xF];
    }
    return out;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The same language file as the program's, for the expected message texts; read-only
        // so that the test itself does not touch the settings file either.
        Settings().SetReadOnly(true);
        Settings().Init(home.Dir());
    }
    void TearDown() override { Settings().SetReadOnly(false); }

    /// rvcps-cli --home <home> args...
    CliRun Run(const Args& args) const
    {
        Args all = {"--home", home.Dir()};
        all.insert(all.end(), args.begin(), args.end());
        return Spawn(all, work.Dir());
    }
    /// What the program prints on stderr for a message.
    static std::string MessageLine(int id, const std::string& arg)
    {
        std::string text = Settings().LoadMessage(id);
        if (size_t pos = text.find("%s"); pos != std::string::npos) text.replace(pos, 2, arg);
        return "rvcps-cli: " + text + "\n";
    }
    /// A data file made by `new` with the model and range given.
    std::string MakeFile(const std::string& name, const Args& identity = {})
    {
        Args args = {"new"};
        args.insert(args.end(), identity.begin(), identity.end());
        args.insert(args.end(), {"-o", work.Path(name)});
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return work.Path(name);
    }
    /// Writes a data file with the given header fields around the image of `source`.
    std::string Rewrite(const std::string& source, const std::string& name,
                        const CDataFileHeader& header, const std::string& comment = {})
    {
        std::array<uint8_t, kDataFileImageSize> image{};
        EXPECT_TRUE(CDataFile::Read(source, nullptr, image));
        CDataFile file;
        EXPECT_TRUE(file.SetHeader(header));
        EXPECT_TRUE(file.Write(work.Path(name), {}, image, comment));
        return work.Path(name);
    }

    TempHome home;  ///< the program directory the CLI runs on
    TempHome work;  ///< where the tests' data files go
};

// ---- new, info, dump ----

struct Identity {
    Args options;
    const char* model;
    const char* name;
    const char* range;
    int band;
    int signal;
};

class CliNewTest : public CliTest, public ::testing::WithParamInterface<Identity> {};

TEST_P(CliNewTest, NewInfoDumpRoundTrip)
{
    const Identity& id = GetParam();
    const std::string file = MakeFile("new.dat", id.options);

    const CliRun info = Run({"info", file});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.err, "");
    auto fields = Lines(info.out);
    EXPECT_EQ(fields["model_id"], id.model);
    EXPECT_EQ(fields["model_name"], id.name);
    EXPECT_EQ(fields["range"], id.range);
    EXPECT_EQ(fields["band_code"], std::to_string(id.band));
    EXPECT_EQ(fields["signal"], std::to_string(id.signal));
    EXPECT_EQ(fields["radio_version"], kProgramDataVersion);
    EXPECT_EQ(fields["data_version"], kProgramDataVersion);
    EXPECT_EQ(fields["comment"], "");

    // The text dump starts with the same header lines, then shows the image in rows.
    const Bytes image = ImageOfFile(file);
    ASSERT_EQ(image.size(), kDataFileImageSize);
    const CliRun dump = Run({"dump", file});
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(dump.out.substr(0, info.out.size()), info.out);
    EXPECT_NE(dump.out.find("\nchannel 1 @ 0x580, 20 bytes\n  0x580: " +
                            HexBytes(std::span<const uint8_t>(&image[0x580], 16)) + "\n"),
              std::string::npos)
        << dump.out;
    EXPECT_NE(dump.out.find("\nradio_info @ 0x010, 104 bytes\n"), std::string::npos);

    // The JSON dump: the same header, and each record is the file's image at its address.
    const CliRun json = Run({"dump", "--json", file});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc["header"]["model_id"], id.model);
    EXPECT_EQ(doc["header"]["range"], id.range);
    EXPECT_EQ(doc["header"]["band_code"], id.band);
    EXPECT_EQ(doc["header"]["signal"], id.signal);
    // Every block is an object and every list an array of objects; each record holds its
    // image address and its bytes, which are the file's image at that address.
    std::set<std::string> names;
    std::vector<std::pair<size_t, size_t>> spans;  // address, size
    auto checkRecord = [&](const std::string& name, const nlohmann::json& record) {
        const size_t address = record["address"];
        const std::string raw = record["raw"];
        const size_t size = raw.size() / 2;
        ASSERT_LE(address + size, kDataFileImageSize) << name;
        EXPECT_EQ(raw, HexOf(image, address, size)) << name << " at " << address;
        spans.emplace_back(address, size);
    };
    for (const auto& [name, value] : doc.items()) {
        if (name == "header") continue;
        names.insert(name);
        if (value.is_array())
            for (const auto& item : value) checkRecord(name, item);
        else
            checkRecord(name, value);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        EXPECT_GE(spans[i].first, spans[i - 1].first + spans[i - 1].second)
            << "records do not overlap at " << spans[i].first;
    for (const char* name : {"radio_info", "keys", "volume", "microphone", "vox", "misc", "mode",
                             "personalities", "dtmf_systems", "scan_lists", "emergency",
                             "test_frequencies", "tuning", "embedded", "channels"})
        EXPECT_TRUE(names.count(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Identities, CliNewTest,
    ::testing::Values(
        // Settings.ini of the program directory: RV205, 400-470, signalling 2.
        Identity{{}, "RV205", "RV-205", "400-470", 1, 2},
        Identity{{"--model", "RV205", "--range", "400-470"}, "RV205", "RV-205", "400-470", 1, 2},
        // Another model: its first name, its signalling entry; the range given.
        Identity{{"--model", "RV305", "--range", "450-520"}, "RV305", "RV-305", "450-520", 5, 1},
        // Another model without a range: its first range.
        Identity{{"--model", "RV385"}, "RV385", "RV-385", "136-174", 128, 1},
        Identity{{"--name=RV-305"}, "RV305", "RV-305", "136-174", 128, 1},
        Identity{{"--model", "RV205", "--range", "433-434", "--signal", "1"}, "RV205", "RV-205",
                 "433-434", 2, 1},
        // Same model as remembered, another range: the remembered signalling stays.
        Identity{{"--range", "136-174"}, "RV205", "RV-205", "136-174", 128, 2}));

TEST_F(CliTest, NewStartsFromTheDefaultSetOfTheProgramDirectory)
{
    // Mark a tuning byte of the program directory's default set; New loads it.
    const std::string defaults = home.Path("RV205400-470DefaultSet.dat");
    std::array<uint8_t, kDataFileImageSize> image{};
    ASSERT_TRUE(CDataFile::Read(defaults, nullptr, image));
    constexpr size_t kMarked = 900;
    image[kMarked] = static_cast<uint8_t>(image[kMarked] ^ 0x5A);
    CDataFile file;
    ASSERT_TRUE(file.SetHeader(*CDataFile::ReadHeader(defaults)));
    ASSERT_TRUE(file.Write(defaults, {}, image, {}));

    // Whatever was at the output path is replaced.
    std::ofstream(work.Path("out.dat")) << "not a data file";
    const std::string out = MakeFile("out.dat", {"--model", "RV205", "--range", "400-470"});
    const Bytes made = ImageOfFile(out);
    ASSERT_EQ(made.size(), kDataFileImageSize);
    EXPECT_EQ(made[kMarked], image[kMarked]);
}

TEST_F(CliTest, EveryModelAndRangeHasItsDefaultSet)
{
    // The build makes them with `new`; each names its model and range in its header.
    const CIniFile catalogue = [&] {
        CIniFile ini;
        ini.Load(home.Path("Model.dat"));
        return ini;
    }();
    size_t files = 0;
    for (const std::string& model : catalogue.Sections()) {
        if (model == "Setting") continue;
        for (const std::string& key : catalogue.Keys(model)) {
            if (key.rfind("Freq", 0) != 0) continue;
            int low = 0, high = 0;
            ASSERT_EQ(std::sscanf(catalogue.GetString(model, key).c_str(), "%d , %d", &low, &high), 2);
            const std::string range = FormatRange(low, high);
            const CliRun info = Run({"info", home.Path(model + range + "DefaultSet.dat")});
            ASSERT_EQ(info.status, 0) << model << " " << range << ": " << info.err;
            auto fields = Lines(info.out);
            EXPECT_EQ(fields["model_id"], model);
            EXPECT_EQ(fields["range"], range);
            ++files;
        }
    }
    EXPECT_GT(files, 0u);
}

TEST_F(CliTest, ProgramDirectoryDefaultsToTheExecutables)
{
    const std::string file = MakeFile("a.dat");
    const CliRun info = Spawn({"info", file}, work.Dir());
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(Lines(info.out)["model_id"], "RV205");
}

TEST_F(CliTest, CommentWithLineBreaksAndNonUtf8BytesStaysReadable)
{
    const std::string source = MakeFile("a.dat");
    const std::string comment = "caf\xE9 \"quoted\"\nsecond line\t\x01";
    const std::string file = Rewrite(source, "c.dat", *CDataFile::ReadHeader(source), comment);

    const CliRun info = Run({"info", file});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(Lines(info.out)["comment"], "caf\xE9 \"quoted\"\\nsecond line\\x09\\x01");

    const CliRun json = Run({"dump", "--json", file});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    const std::string shown = doc["header"]["comment"];
    EXPECT_NE(shown.find("\"quoted\"\nsecond line"), std::string::npos) << shown;
}

// ---- failures ----

struct BadFile {
    const char* name;
    int message;  ///< what info, dump and write all say
};

/// A file offset and a little-endian u32 written there.
struct Patch {
    size_t at;
    uint32_t value;
};

// Offsets in a file made by `new` (empty comment, empty extra chunk).
constexpr size_t kXmAt = CDataFile::kCommentOffset;  // 119
constexpr size_t kXfAt = kXmAt + 8;
constexpr size_t kXeAt = kXfAt + 8;
constexpr size_t kImageAt = kXeAt + 8;

class CliBadFileTest : public CliTest, public ::testing::WithParamInterface<BadFile> {
protected:
    /// The file of the case, made from a good one.
    std::string Make(const std::string& kind)
    {
        const std::string good = MakeFile("good.dat");
        const Bytes bytes = ReadBytes(good);
        auto write = [&](const Bytes& b) {
            std::ofstream out(work.Path("bad.dat"), std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
            return work.Path("bad.dat");
        };
        auto cut = [&](size_t length) {
            return write(Bytes(bytes.begin(), bytes.begin() + length));
        };
        auto patched = [&](std::initializer_list<Patch> patches) {
            Bytes b = bytes;
            for (const Patch& p : patches) PutU32(&b[p.at], p.value);
            return write(b);
        };
        const CDataFileHeader header = *CDataFile::ReadHeader(good);
        auto with = [&](const std::string& model, const std::string& version) {
            return Rewrite(good, "bad.dat",
                           CDataFileHeader::Make(model, header.ModelName(), header.RangeLow(),
                                                 header.RangeHigh(), version, header.BandCode(),
                                                 header.Signal()));
        };
        if (kind == "missing") return work.Path("missing.dat");
        if (kind == "empty") return write({});
        if (kind == "text") return write(Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
        if (kind == "magic only") return cut(3);
        if (kind == "truncated header") return cut(60);
        if (kind == "truncated after the header") return cut(kXmAt);
        if (kind == "truncated in the comment chunk") return cut(kXmAt + 4);
        if (kind == "truncated after the comment") return cut(kXfAt);
        if (kind == "truncated in the extra chunk") return cut(kXfAt + 6);
        if (kind == "truncated after the extra chunk") return cut(kXeAt);
        if (kind == "truncated in the image chunk") return cut(kXeAt + 4);
        if (kind == "image chunk without image") return cut(kImageAt);
        if (kind == "half an image") return cut(kImageAt + 1024);
        if (kind == "short image") return write(Bytes(bytes.begin(), bytes.end() - 100));
        if (kind == "one byte short") return cut(bytes.size() - 1);
        if (kind == "image length 0") return patched({{kXeAt + 4, 0}});
        if (kind == "image length 1") return patched({{kXeAt + 4, 1}});
        if (kind == "image length 2047") return patched({{kXeAt + 4, 2047}});
        if (kind == "image length 2049") return patched({{kXeAt + 4, 2049}});
        if (kind == "image length 4096") return patched({{kXeAt + 4, 4096}});
        if (kind == "image length huge") return patched({{kXeAt + 4, 0x7FFFFFFF}});
        if (kind == "image length all ones") return patched({{kXeAt + 4, 0xFFFFFFFF}});
        if (kind == "comment length 1") return patched({{kXmAt + 4, 1}});
        if (kind == "comment length beyond the file") return patched({{kXmAt + 4, 5000}});
        if (kind == "comment length huge") return patched({{kXmAt + 4, 0x7FFFFFFF}});
        if (kind == "comment length all ones") return patched({{kXmAt + 4, 0xFFFFFFFF}});
        if (kind == "extra length swallowing the image") return patched({{kXfAt + 4, 2056}});
        if (kind == "extra length huge") return patched({{kXfAt + 4, 0x7FFFFFFF}});
        if (kind == "extra length all ones") return patched({{kXfAt + 4, 0xFFFFFFFF}});
        if (kind == "comment chunk missing") {
            Bytes b(bytes.begin(), bytes.begin() + kXmAt);
            b.insert(b.end(), bytes.begin() + kXfAt, bytes.end());
            return write(b);
        }
        if (kind == "image tag wrong") return patched({{kXeAt, 0x10105158}});
        if (kind == "header tag wrong") return patched({{CDataFile::kHeaderOffset, 0}});
        if (kind == "unknown model") return with("XX999", kProgramDataVersion);
        if (kind == "newer version") return with("RV205", "1.02.00.000");
        if (kind == "older version") return with("RV205", "1.00.16.001");
        return {};
    }
};

TEST_P(CliBadFileTest, InfoDumpAndWriteRefuseItAlike)
{
    const BadFile& c = GetParam();
    const std::string path = Make(c.name);
    const std::vector<unsigned char> before = ReadBytes(path);
    const std::string expected = MessageLine(c.message, path);

    const CliRun dump = Run({"dump", path});
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(dump.out, "");
    EXPECT_EQ(dump.err, expected);
    const CliRun json = Run({"dump", path, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "");

    // Scripts check a file with info before writing it: info refuses what write refuses.
    const CliRun info = Run({"info", path});
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.out, "");
    EXPECT_EQ(info.err, expected);
    const CliRun write = Run({"write", "--port", work.Path("no-such-port"), path});
    EXPECT_EQ(write.status, 1);
    EXPECT_EQ(write.err, expected);
    EXPECT_EQ(ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliBadFileTest,
    ::testing::Values(
        BadFile{"missing", 1280}, BadFile{"empty", 811}, BadFile{"text", 811},
        BadFile{"magic only", 811}, BadFile{"truncated header", 811},
        BadFile{"truncated after the header", 811}, BadFile{"truncated in the comment chunk", 811},
        BadFile{"truncated after the comment", 811}, BadFile{"truncated in the extra chunk", 811},
        BadFile{"truncated after the extra chunk", 811},
        BadFile{"truncated in the image chunk", 811}, BadFile{"image chunk without image", 811},
        BadFile{"half an image", 811}, BadFile{"short image", 811}, BadFile{"one byte short", 811},
        BadFile{"image length 0", 811}, BadFile{"image length 1", 811},
        BadFile{"image length 2047", 811}, BadFile{"image length 2049", 811},
        BadFile{"image length 4096", 811}, BadFile{"image length huge", 811},
        BadFile{"image length all ones", 811}, BadFile{"comment length 1", 811},
        BadFile{"comment length beyond the file", 811}, BadFile{"comment length huge", 811},
        BadFile{"comment length all ones", 811}, BadFile{"extra length swallowing the image", 811},
        BadFile{"extra length huge", 811}, BadFile{"extra length all ones", 811},
        BadFile{"comment chunk missing", 811}, BadFile{"image tag wrong", 811},
        BadFile{"header tag wrong", 811}, BadFile{"unknown model", 810},
        BadFile{"newer version", 1140}, BadFile{"older version", 1141}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(CliTest, FileSystemCausesHaveTheirOwnMessage)
{
    const std::string good = MakeFile("good.dat");
    ASSERT_EQ(::mkdir(work.Path("folder").c_str(), 0755), 0);
    // Larger than any data file, without writing its bytes.
    const std::string big = work.Path("big.dat");
    std::ofstream(big).close();
    ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(CDataFile::kMaxFileSize) + 1), 0);
    const std::string locked = work.Path("locked.dat");
    fs::copy_file(good, locked);
    ASSERT_EQ(::chmod(locked.c_str(), 0200), 0);
    // The program directory and the files must be open to the user the program runs as.
    ASSERT_EQ(::chmod(home.Dir().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(work.Dir().c_str(), 0777), 0);

    struct Case {
        std::string path;
        int message;
        std::vector<std::string> values;
    } cases[] = {
        {work.Path("missing.dat"), 1280, {work.Path("missing.dat")}},
        {work.Path("no/such/folder/x.dat"), 1280, {work.Path("no/such/folder/x.dat")}},
        {work.Path("folder"), 1282, {work.Path("folder")}},
        {big, 1283, {big, std::to_string(CDataFile::kMaxFileSize + 1)}},
        {locked, 1281, {locked}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string expected =
            "rvcps-cli: " + Settings().LoadMessage(c.message, c.values) + "\n";
        for (const Args& args : {Args{"info", c.path}, Args{"dump", c.path},
                                 Args{"write", "--port", work.Path("no-port"), c.path}}) {
            Args all = {"--home", home.Dir()};
            all.insert(all.end(), args.begin(), args.end());
            const CliRun run = SpawnUnprivileged(all, work.Dir());
            EXPECT_EQ(run.status, 1) << args[0];
            EXPECT_EQ(run.out, "") << args[0];
            EXPECT_EQ(run.err, expected) << args[0];
        }
    }
    // The same file, readable, is fine.
    ASSERT_EQ(::chmod(locked.c_str(), 0644), 0);
    EXPECT_EQ(SpawnUnprivileged({"--home", home.Dir(), "info", locked}, work.Dir()).status, 0);
}

TEST_F(CliTest, ReadChecksItsOutputFileBeforeThePort)
{
    ASSERT_EQ(::mkdir(work.Path("closed").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(home.Dir().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(work.Dir().c_str(), 0777), 0);
    struct Case {
        std::string out;
        int message;
    } cases[] = {
        {work.Path("closed/x.dat"), 1285},
        {work.Path("no/such/folder/x.dat"), 1284},
        {work.Path("closed"), 1286},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        // The port names nothing: a message about the file shows the file was checked first.
        const CliRun run = SpawnUnprivileged(
            {"--home", home.Dir(), "read", "--port", work.Path("no-port"), "-o", c.out},
            work.Dir());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, MessageLine(c.message, c.out));
    }
}

TEST_F(CliTest, LanguageFileThatCannotBeReadGivesOneMessageInEnglish)
{
    const std::string file = MakeFile("a.dat");
    const std::string language = home.Path("QTX_E.lng");
    const std::string saved = ReadText(language);
    ASSERT_EQ(::chmod(home.Dir().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(work.Dir().c_str(), 0777), 0);
    struct Case {
        const char* name;
        std::function<void()> damage;
    } cases[] = {
        {"missing", [&] { fs::remove(language); }},
        {"a folder", [&] { fs::create_directory(language); }},
        {"no read permission",
         [&] {
             std::ofstream(language) << saved;
             ::chmod(language.c_str(), 0200);
         }},
    };
    const std::string expected =
        "rvcps-cli: The language file QTX_E.lng is missing from the "
        "program folder " +
        home.Dir() + " or cannot be read";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(language);
        c.damage();
        for (const Args& args :
             {Args{"info", file}, Args{"bogus"}, Args{"new", "-o", work.Path("b.dat")}}) {
            Args all = {"--home", home.Dir()};
            all.insert(all.end(), args.begin(), args.end());
            const CliRun run = SpawnUnprivileged(all, work.Dir());
            EXPECT_EQ(run.status, 1) << args[0];
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err.rfind(expected, 0), 0u) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one message";
            EXPECT_EQ(run.err.find("message 8"), std::string::npos) << run.err;
        }
        EXPECT_FALSE(fs::exists(work.Path("b.dat")));
    }
    fs::remove_all(language);
    std::ofstream(language) << saved;
}

TEST_F(CliTest, MessageMissingFromTheLanguageFileNamesTheFile)
{
    const std::string language = home.Path("QTX_E.lng");
    std::string text = ReadText(language);
    const size_t at = text.find("\nS0101280=");
    ASSERT_NE(at, std::string::npos);
    text.erase(at + 1, text.find('\n', at + 1) - at);
    std::ofstream(language, std::ios::trunc) << text;
    const std::string missing = work.Path("missing.dat");
    const CliRun run = Run({"info", missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "rvcps-cli: message 1280: " + missing + " (the language file " + language +
                           " has no text for it)\n");
}

TEST_F(CliTest, NewRefusesARangeInTheSettingsFileThatTheModelDoesNotHave)
{
    for (const char* range : {"400-", "999-1000", "-470", "400-470 MHz"}) {
        SCOPED_TRACE(range);
        CIniFile::WriteString(home.Path("Settings.ini"), "Setting", "FreqRange", range);
        const std::string out = work.Path("x.dat");
        const CliRun run = Run({"new", "-o", out});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "rvcps-cli: " +
                      Settings().LoadMessage(1287, {home.Path("Settings.ini"), range, "RV205"}) +
                      "\n");
        EXPECT_FALSE(fs::exists(out));
        // A range or another model given on the command line does not use the remembered one.
        EXPECT_EQ(Lines(Run({"info", MakeFile("r.dat", {"--range", "433-434"})}).out)["range"],
                  "433-434");
        EXPECT_EQ(Lines(Run({"info", MakeFile("m.dat", {"--model", "RV305"})}).out)["range"],
                  "136-174");
    }
}

TEST_F(CliTest, SavingOverAFileKeepsItsPermissionsAndItsLink)
{
    ASSERT_EQ(::mkdir(work.Path("files").c_str(), 0755), 0);
    const std::string target = work.Path("files/target.dat");
    std::ofstream(target) << "old";
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const std::string link = work.Path("link.dat");
    ASSERT_EQ(::symlink("files/target.dat", link.c_str()), 0);

    const CliRun run = Run({"new", "-o", link});
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u) << "a read-only file stays read-only";
    EXPECT_EQ(Lines(Run({"info", target}).out)["model_id"], "RV205");
}

TEST_F(CliTest, MessagesFromTheLanguageFileExist)
{
    for (int id : {811,  810,  803,  1140, 1141, 1900, 1901, 1902, 1903, 1904,
                   1905, 1906, 1280, 1281, 1282, 1283, 1284, 1285, 1286, 1287})
        EXPECT_NE(Settings().LoadMessage(id), "") << id;
}

struct RefusedNew {
    Args options;
    int message;
    const char* arg;  ///< what the message names; "<out>" for the output path
};

class CliRefusedNewTest : public CliTest, public ::testing::WithParamInterface<RefusedNew> {};

TEST_P(CliRefusedNewTest, NothingIsWritten)
{
    const RefusedNew& c = GetParam();
    const std::string out = c.arg == std::string("<out>") ? work.Path("no/such/dir/x.dat")
                                                          : work.Path("x.dat");
    Args args = {"new"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {"-o", out});
    const CliRun run = Run(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, MessageLine(c.message, c.arg == std::string("<out>") ? out : c.arg));
    EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliRefusedNewTest,
    ::testing::Values(RefusedNew{{"--model", "RV999"}, 1901, "RV999"},
                      RefusedNew{{"--model", "rv205"}, 1901, "rv205"},
                      RefusedNew{{"--name", "Nope"}, 1902, "Nope"},
                      RefusedNew{{"--model", "RV205", "--name", "RV-305"}, 1903, "RV-305"},
                      RefusedNew{{"--range", "450-520"}, 1904, "450-520"},
                      RefusedNew{{"--model", "RV305", "--range", "433-434"}, 1904, "433-434"},
                      RefusedNew{{"--signal", "7"}, 1905, "7"},
                      RefusedNew{{"--signal", "-1"}, 1905, "-1"},
                      RefusedNew{{}, 803, "<out>"}));

TEST_F(CliTest, ProgramDirectoryThatDoesNotExist)
{
    const std::string missing = work.Path("nowhere");
    const CliRun run = Spawn({"--home", missing, "info", MakeFile("a.dat")}, work.Dir());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, MessageLine(1906, missing));
}

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<Args> {};

TEST_P(CliUsageTest, UsageErrorShowsTheUsage)
{
    const CliRun run = Spawn(GetParam(), work.Dir());
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: rvcps-cli"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CliUsageTest,
    ::testing::Values(Args{}, Args{"bogus"}, Args{"--bogus", "info", "a.dat"}, Args{"--home"},
                      Args{"new"}, Args{"new", "-o"}, Args{"new", "extra", "-o", "a.dat"},
                      Args{"new", "--bogus", "-o", "a.dat"},
                      Args{"new", "-o", "a.dat", "-o", "b.dat"},
                      Args{"new", "--range", "400", "-o", "a.dat"},
                      Args{"new", "--range", "400-x", "-o", "a.dat"},
                      Args{"new", "--signal", "two", "-o", "a.dat"},
                      Args{"info"}, Args{"info", "a.dat", "b.dat"}, Args{"info", "--json", "a.dat"},
                      Args{"dump"}, Args{"dump", "--xml", "a.dat"},
                      Args{"dump", "--json=yes", "a.dat"}));

TEST_F(CliTest, HelpGoesToStandardOutput)
{
    const CliRun run = Spawn({"--help"}, work.Dir());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("usage: rvcps-cli"), std::string::npos);
}

// ---- the settings file is only read ----

TEST_F(CliTest, SettingsFileAndProgramDirectoryAreUnchanged)
{
    auto snapshot = [&] {
        std::map<std::string, Bytes> files;
        for (const auto& e : fs::directory_iterator(home.Dir()))
            files[e.path().filename().string()] = ReadBytes(e.path().string());
        return files;
    };
    const auto before = snapshot();
    const std::string file = MakeFile("a.dat", {"--model", "RV385", "--range", "350-400"});
    MakeFile("b.dat", {"--name", "RV-305", "--signal", "2"});
    EXPECT_EQ(Run({"info", file}).status, 0);
    EXPECT_EQ(Run({"dump", file}).status, 0);
    EXPECT_EQ(Run({"dump", "--json", file}).status, 0);
    EXPECT_EQ(Run({"dump", work.Path("missing.dat")}).status, 1);
    EXPECT_EQ(Run({"new", "--model", "RV999", "-o", work.Path("c.dat")}).status, 1);
    EXPECT_EQ(Run({"new", "--bogus"}).status, 2);
    EXPECT_EQ(snapshot(), before);
}

// ---- print ----

/// Output of a shell command; nothing when it could not be run.
std::optional<std::string> CommandOutput(const std::string& command)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return out;
}

/// Poppler's tools read the PDFs back (poppler-utils, installed by scripts/deps.sh).
bool HavePoppler()
{
    return CommandOutput("pdfinfo -v >/dev/null 2>&1 && pdftotext -v >/dev/null 2>&1").has_value();
}

int PdfPageCount(const std::string& path)
{
    const std::optional<std::string> info = CommandOutput("pdfinfo '" + path + "' 2>/dev/null");
    if (!info) return -1;
    const std::map<std::string, std::string> lines = Lines(*info);
    auto it = lines.find("Pages");
    return it == lines.end() ? -1 : std::stoi(it->second);
}

/// The PDF's text with every run of blanks made one blank.
std::string PdfText(const std::string& path)
{
    std::string text =
        CommandOutput("pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null").value_or("");
    std::string out;
    for (char c : text) {
        const char d = (c == '\n' || c == '\t') ? ' ' : c;
        if (d == ' ' && !out.empty() && out.back() == ' ') continue;
        out += d;
    }
    return out;
}

class CliPrintTest : public CliTest, public ::testing::WithParamInterface<int> {};

TEST_P(CliPrintTest, PrintWritesTheChosenSectionsAsAPdf)
{
    if (!HavePoppler()) GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
    const int language = GetParam();
    ASSERT_TRUE(CIniFile::WriteString(home.Path("Settings.ini"), "Setting", "Language",
                                      std::to_string(language)));
    Settings().Init(home.Dir());
    ASSERT_EQ(Settings().LanguageIndex(), language);
    const std::string file = MakeFile("radio.dat");
    // The frequency of channel 1 as the editors show it.
    const nlohmann::json dump = nlohmann::json::parse(Run({"dump", file, "--json"}).out);
    const std::string frequency = dump["channels"][0]["rx_frequency"]["text"];

    const std::string pdf = work.Path("report.pdf");
    const CliRun run = Run({"print", file, "-o", pdf, "--sections", "vox,channels,radio"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const int pages = PdfPageCount(pdf);
    ASSERT_GT(pages, 1);
    const std::string text = PdfText(pdf);
    auto page = [&](int n) {
        std::string t = Settings().LoadText(39850);
        t.replace(t.find("%d"), 2, std::to_string(n));
        t.replace(t.find("%d"), 2, std::to_string(pages));
        return t;
    };
    for (const std::string& expected :
         {file, page(1), page(pages), Settings().LoadText(1109), Settings().LoadText(4420),
          Settings().LoadText(3655) + " - 1", Settings().LoadText(3665) + " " + frequency,
          Settings().LoadText(4429)})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    // Only the chosen sections.
    EXPECT_EQ(text.find(Settings().LoadText(6613)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, CliPrintTest, ::testing::Values(0, 1));

TEST_F(CliTest, PrintRefusesABadSectionOrFileAndWritesNothing)
{
    const std::string file = MakeFile("radio.dat");
    const std::string pdf = work.Path("report.pdf");
    CliRun run = Run({"print", file, "-o", pdf, "--sections", "vox,chanels"});
    EXPECT_EQ(run.status, 1);
    std::string expected = Settings().LoadMessage(1503);
    expected.replace(expected.find("%s"), 2, "chanels");
    expected.replace(expected.find("%s"), 2, PrintSectionNameList());
    EXPECT_EQ(run.err, "rvcps-cli: " + expected + "\n");
    EXPECT_FALSE(fs::exists(pdf));

    run = Run({"print", work.Path("missing.dat"), "-o", pdf});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, MessageLine(1280, work.Path("missing.dat")));
    EXPECT_FALSE(fs::exists(pdf));

    EXPECT_EQ(Run({"print", file}).status, 2);  // no -o
}

TEST_F(CliTest, PrintRefusesASectionTheUserLevelDoesNotOffer)
{
    const std::string file = MakeFile("radio.dat");
    const std::string pdf = work.Path("report.pdf");
    // The maintenance board and the data watch are service tools.
    for (const char* name : {"maintenance_board", "data_watch"}) {
        const CliRun run =
            Run({"print", file, "-o", pdf, "--sections", std::string("vox,") + name});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err, MessageLine(3400, name));
        EXPECT_FALSE(fs::exists(pdf));
    }
    home.SetUserLevel(kFullServiceLevel);
    const CliRun run =
        Run({"print", file, "-o", pdf, "--sections", "microphone,maintenance_board,data_watch"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(pdf));
}

TEST_F(CliTest, PrintNeedsNoDisplayAndTheOtherVerbsNoQt)
{
    if (!HavePoppler()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const std::string file = MakeFile("radio.dat");
    // A platform that would need a display, and none to connect to.
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display ? display : "";
    ::unsetenv("DISPLAY");
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const CliRun print = Run({"print", file, "-o", work.Path("all.pdf")});
    const CliRun info = Run({"info", file});
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (display) ::setenv("DISPLAY", savedDisplay.c_str(), 1);
    EXPECT_EQ(print.status, 0) << print.err;
    EXPECT_GT(PdfPageCount(work.Path("all.pdf")), 1);
    EXPECT_EQ(info.status, 0) << info.err;
}

}  // namespace
}  // namespace rv
