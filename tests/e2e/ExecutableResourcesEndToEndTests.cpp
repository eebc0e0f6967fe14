// The executable's own resources: the manifest that turns on the common
// controls' visual styles, the version record and the icon, as Windows
// finds them in the built TikoClock.exe.
#include "support/ClockProcess.h" // ClockExecutablePath

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

namespace {

struct ResourceModule {
    HMODULE module = nullptr;
    explicit ResourceModule(const std::string& path)
        : module(LoadLibraryExA(path.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceModule() {
        if (module)
            FreeLibrary(module);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    std::string_view Bytes(LPCWSTR type, LPCWSTR name) const {
        const HRSRC found = FindResourceW(module, name, type);
        if (!found)
            return {};
        const HGLOBAL loaded = LoadResource(module, found);
        return {static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found)};
    }
};

bool ContainsWide(std::string_view bytes, std::wstring_view text) {
    const std::string_view needle(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes.find(needle) != std::string_view::npos;
}

TEST(ExecutableResources, ManifestAsksForCommonControlsSix) {
    const ResourceModule exe(ClockExecutablePath());
    ASSERT_NE(exe.module, nullptr) << ClockExecutablePath();
    const std::string_view manifest = exe.Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    const std::size_t dependency = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(dependency, std::string_view::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\"", dependency), std::string_view::npos);
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string_view::npos);
}

// Per-monitor v2 where Windows knows it, per-monitor or system-aware before;
// each element in the namespace the systems read it from.
TEST(ExecutableResources, ManifestDeclaresPerMonitorDpiAwareness) {
    const ResourceModule exe(ClockExecutablePath());
    const std::string_view manifest = exe.Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string_view::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                            "true/pm</dpiAware>"),
              std::string_view::npos);
}

TEST(ExecutableResources, VersionRecordNamesTheProgram) {
    const ResourceModule exe(ClockExecutablePath());
    ASSERT_NE(exe.module, nullptr);
    const std::string_view version = exe.Bytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
    ASSERT_FALSE(version.empty());
    VS_FIXEDFILEINFO fixed{};
    const DWORD signature = 0xFEEF04BD;
    const std::size_t at = version.find(std::string_view(reinterpret_cast<const char*>(&signature), 4));
    ASSERT_NE(at, std::string_view::npos);
    ASSERT_LE(at + sizeof fixed, version.size());
    std::memcpy(&fixed, version.data() + at, sizeof fixed);
    // The project's version, from the build, in the numbers and the texts.
    EXPECT_EQ(fixed.dwFileVersionMS, static_cast<DWORD>(MAKELONG(TIKO_VERSION_MINOR, TIKO_VERSION_MAJOR)));
    EXPECT_EQ(fixed.dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, TIKO_VERSION_PATCH)));
    EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
    EXPECT_EQ(fixed.dwProductVersionLS, fixed.dwFileVersionLS);
    const std::wstring text = std::to_wstring(TIKO_VERSION_MAJOR) + L"." +
                              std::to_wstring(TIKO_VERSION_MINOR) + L"." +
                              std::to_wstring(TIKO_VERSION_PATCH) + L".0";
    EXPECT_TRUE(ContainsWide(version, text)) << "FileVersion and ProductVersion";
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_TRUE(ContainsWide(version, L"ProductName"));
    EXPECT_TRUE(ContainsWide(version, L"Tiko Clock"));
    EXPECT_TRUE(ContainsWide(version, L"TikoClock.exe"));
}

TEST(ExecutableResources, IconHasTheSizesWindowsAsksFor) {
    const ResourceModule exe(ClockExecutablePath());
    ASSERT_NE(exe.module, nullptr);
    const std::string_view group = exe.Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), 6u);
    // GRPICONDIR: reserved, type 1, count; then 14-byte entries whose first
    // byte is the width (0 meaning 256).
    const auto count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::string widths;
    for (int i = 0; i < count; ++i)
        widths += std::to_string(static_cast<unsigned char>(group[6 + 14 * i])) + " ";
    for (const char* size : {"16 ", "32 ", "48 ", "0 "})
        EXPECT_NE(widths.find(size), std::string::npos) << "sizes: " << widths;
}

} // namespace
