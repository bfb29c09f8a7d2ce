// What Windows reads from brinmor.exe itself: the version record, the icon, and the show
// command it was started with. The program lies beside this test.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace brinmor {
namespace {

std::wstring ProgramPath() {
    wchar_t own[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own, length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"brinmor.exe";
}

std::vector<char> VersionRecord() {
    const std::wstring path = ProgramPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<char> record(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, record.data()))
        record.clear();
    return record;
}

std::string StringValue(std::vector<char>& record, const char* block, const char* key) {
    void* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\") + block + "\\" + key;
    if (!VerQueryValueA(record.data(), query.c_str(), &value, &length) || value == nullptr)
        return "<missing>";
    return std::string(static_cast<const char*>(value));
}

TEST(WindowsExecutable, VersionRecordHoldsTheVersionsLanguageAndCodePage) {
    std::vector<char> record = VersionRecord();
    ASSERT_FALSE(record.empty()) << "brinmor.exe has no version record";

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);

    ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x040C);
    EXPECT_EQ(translation[1], 1252);

    EXPECT_EQ(StringValue(record, "040C04E4", "FileVersion"), "1.0.0.1");
    EXPECT_EQ(StringValue(record, "040C04E4", "ProductVersion"), "1.0.0.0");
}

// The sizes of the images of the icon group `name`, read from the group's own directory.
std::set<int> IconSizes(HMODULE module, const char* name) {
    std::set<int> sizes;
    HRSRC group = FindResourceA(module, name, MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (group == nullptr)
        return sizes;
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, group)));
    const DWORD size = SizeofResource(module, group);
    // A 6-byte header (reserved, type, count), then 14 bytes per image: width, height, ...,
    // and the image's resource id in the last two.
    constexpr DWORD header = 6;
    constexpr DWORD entry = 14;
    if (bytes == nullptr || size < header)
        return sizes;
    const unsigned count = bytes[4] | (bytes[5] << 8);
    for (unsigned i = 0; i < count && header + (i + 1) * entry <= size; ++i) {
        const std::uint8_t* image = bytes + header + i * entry;
        const unsigned id = image[12] | (image[13] << 8);
        // Each image is an icon resource of its own; a width of 0 means 256.
        if (FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)) != nullptr)
            sizes.insert(image[0] == 0 ? 256 : image[0]);
    }
    return sizes;
}

TEST(WindowsExecutable, CarriesTheMainIconIn16_32And64Pixels) {
    HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(IconSizes(program, "MAINICON"), (std::set<int>{16, 32, 64}));
    FreeLibrary(program);
}

struct Search {
    DWORD process;
    HWND found;
};

// The program's visible window titled "Brinmor v2.0", or null.
HWND MainWindowOf(DWORD process) {
    Search search{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[64] = {};
            GetWindowTextW(window, title, 64);
            if (owner == s.process && IsWindowVisible(window) &&
                std::wcscmp(title, L"Brinmor v2.0") == 0) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// This process's environment less the platform choice of the tests, so the program draws on
// the real window system.
std::vector<wchar_t> ProgramEnvironment() {
    std::vector<wchar_t> block;
    wchar_t* all = GetEnvironmentStringsW();
    for (const wchar_t* entry = all; *entry; entry += std::wcslen(entry) + 1) {
        if (_wcsnicmp(entry, L"QT_QPA_PLATFORM=", 16) != 0)
            block.insert(block.end(), entry, entry + std::wcslen(entry) + 1);
    }
    FreeEnvironmentStringsW(all);
    block.push_back(L'\0');
    return block;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

TEST(WindowsExecutable, StartedMaximisedOpensTheMainWindowMaximised) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION process{};
    std::wstring path = ProgramPath();
    std::vector<wchar_t> environment = ProgramEnvironment();
    ASSERT_TRUE(CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE,
                               CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup,
                               &process))
        << GetLastError();

    HWND main = nullptr;
    // The splash alone takes three seconds.
    const bool shown = WaitFor(
        [&] { return (main = MainWindowOf(process.dwProcessId)) != nullptr; },
        std::chrono::seconds(60));
    EXPECT_TRUE(shown) << "no main window";
    if (shown) {
        EXPECT_TRUE(IsZoomed(main));
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end on WM_CLOSE";
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    } else {
        GetExitCodeProcess(process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
} // namespace brinmor
