#include "support/TestSupport.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/RadioData.h"
#include "base/IniFile.h"
#include "base/Settings.h"

namespace fs = std::filesystem;

namespace rv::test {

TempHome::TempHome()
{
    std::string tmpl = (fs::temp_directory_path() / "rvcps-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl + "/";
    // Resources as the build put them next to the programs (including the default sets).
    for (const auto& e : fs::directory_iterator(RV_BIN_DIR)) {
        if (!e.is_regular_file()) continue;
        std::string ext = e.path().extension().string();
        if (ext == ".lng" || ext == ".dat" || ext == ".ini" || ext == ".jpg" || ext == ".html")
            fs::copy_file(e.path(), fs::path(dir_) / e.path().filename());
    }
}

TempHome::~TempHome()
{
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void TempHome::Write(const std::string& name, const std::string& text) const
{
    std::ofstream out(dir_ + name, std::ios::binary | std::ios::trunc);
    out << text;
}

void TempHome::SetUserLevel(int level) const
{
    CIniFile::WriteString(dir_ + "Settings.ini", "User Mode", "Level", std::to_string(level));
}

void HomeTest::SetUp() { Reinit(); }

void HomeTest::Reinit()
{
    Settings().Init(home.Dir());
    Radio().InvalidLog().Clear();
    Radio().ClearLists();
    Radio().SetDefaults();
}

void HomeTest::UseModel(const std::string& modelId, const std::string& range)
{
    Settings().SetModelID(modelId);
    Settings().SetFreqRange(range);
    Radio().InvalidLog().Clear();
    Radio().ClearLists();
    Radio().SetDefaults();
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace rv::test
