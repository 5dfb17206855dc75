#include "ScratchFolder.h"

#include "ScratchFile.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "Narrow.h"

namespace KOVA::test {

ScratchFolder::ScratchFolder(const wchar_t* stem)
{
    wchar_t temp[MAX_PATH] {};
    GetTempPathW(MAX_PATH, temp);
    m_path.Format(L"%s%s-%lu\\", temp, stem, GetCurrentProcessId());
    CreateDirectoryW(m_path, nullptr);
}

ScratchFolder::~ScratchFolder()
{
    // What the library wrote here goes with the folder; something still held fails the test.
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(m_path.GetString()), error);
    EXPECT_FALSE(error) << "cannot remove " << narrow(m_path) << ": " << error.message()
                        << " (something still holds a file in it)";
}

std::vector<BYTE> ScratchFolder::read(const wchar_t* below) const
{
    return readFile(m_path + below);
}

} // namespace KOVA::test
