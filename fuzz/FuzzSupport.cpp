#include "FuzzSupport.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/Settings.h"

namespace rv::fuzz {

namespace fs = std::filesystem;

namespace {

// A plain buffer, so that the exit handler never sees a destroyed string.
char gProgramDir[4096];

void RemoveProgramDir()
{
    std::error_code ec;
    fs::remove_all(gProgramDir, ec);
}

}  // namespace

const std::string& ProgramDir()
{
    static const std::string dir = [] {
        // Memory-backed when possible: every input is written to a file (and some synced).
        std::error_code ec;
        const fs::path base = !std::getenv("TMPDIR") && fs::is_directory("/dev/shm", ec)
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        std::string tmpl = (base / "rvcps-fuzz-XXXXXX").string();
        if (tmpl.size() >= sizeof gProgramDir || !mkdtemp(tmpl.data())) std::abort();
        std::strcpy(gProgramDir, tmpl.c_str());
        std::atexit(RemoveProgramDir);
        for (const char* name : {"QTX_E.lng", "Model.dat", "Settings.ini"})
            fs::copy_file(fs::path(RV_RESOURCE_DIR) / name, fs::path(tmpl) / name);
        // Read-only: nothing a harness does may write the settings file.
        Settings().SetReadOnly(true);
        Settings().Init(tmpl);
        return tmpl + "/";
    }();
    return dir;
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = ProgramDir() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace rv::fuzz
