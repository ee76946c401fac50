#pragma once
// Shared test fixtures: a fresh program directory per test with the real resources copied in,
// and the settings object and radio data reset onto it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rv::test {

/// Makes a fresh temporary program directory holding copies of the built resources
/// (language files, Model.dat, Settings.ini, default sets). Removed by the destructor.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    const std::string& Dir() const { return dir_; }  ///< with trailing '/'
    std::string Path(const std::string& name) const { return dir_ + name; }
    /// Writes a file into the directory.
    void Write(const std::string& name, const std::string& text) const;
    /// Sets "Level" of section "User Mode" in Settings.ini.
    void SetUserLevel(int level) const;

private:
    std::string dir_;
};

/// Test fixture: a TempHome, the settings initialised on it (RV-205, 400-470 from the shipped
/// Settings.ini), and RadioData cleared and set to defaults with an empty invalid log.
class HomeTest : public ::testing::Test {
protected:
    void SetUp() override;
    /// Re-reads the settings and resets the radio data (after changing files of the home).
    void Reinit();
    /// Switches the current model identity and resets the radio data to the built-in defaults.
    void UseModel(const std::string& modelId, const std::string& range);
    TempHome home;
};

std::vector<unsigned char> ReadBytes(const std::string& path);
/// The whole file as text; "" when it cannot be read.
std::string ReadFileText(const std::string& path);

}  // namespace rv::test
