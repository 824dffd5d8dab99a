// brelox.exe as Windows shows it, read through Windows' own API: the version
// information of Explorer's properties, the icon of the file and of its
// windows, and a manifest that Windows accepts, leaving display scaling to
// Windows and asking for no console of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const wchar_t *const EXE = L"" BRELOX_EXE;

std::wstring wide(const char *text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// The exe's resources, without running it.
struct Resources {
    HMODULE module = LoadLibraryExW(EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Resources() { FreeLibrary(module); }

    const void *find(const wchar_t *name, const wchar_t *type, DWORD *size = nullptr) const
    {
        HRSRC found = FindResourceW(module, name, type);
        if (found == nullptr)
            return nullptr;
        if (size != nullptr)
            *size = SizeofResource(module, found);
        return LockResource(LoadResource(module, found));
    }
};

TEST(WindowsExe, VersionInformationNamesTheProductAndItsVersion)
{
    const DWORD size = GetFileVersionInfoSizeW(EXE, nullptr);
    ASSERT_GT(size, 0u) << "no version information";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(EXE, 0, size, block.data()));

    const struct {
        const wchar_t *name;
        std::wstring expected;
    } strings[] = {
        {L"ProductName", L"Brelox"},
        {L"FileDescription", L"Brelox 3D viewer"},
        {L"ProductVersion", wide(BRELOX_VERSION)},
        {L"FileVersion", wide(BRELOX_VERSION)},
        {L"OriginalFilename", L"brelox.exe"},
    };
    for (const auto &string : strings) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + string.name;
        void *value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), path.c_str(), &value, &length)) << "no " << string.name;
        EXPECT_EQ(std::wstring(static_cast<const wchar_t *>(value)), string.expected) << string.name;
    }

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(BRELOX_VERSION_MINOR, BRELOX_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, BRELOX_VERSION_PATCH));
}

// Explorer shows the exe's first icon; freeglut gives its windows the one
// named GLUT_ICON: the same, drawn at each size Windows asks for.
TEST(WindowsExe, OneIconForTheFileAndItsWindowsAtEverySize)
{
    EXPECT_EQ(ExtractIconExW(EXE, -1, nullptr, nullptr, 0), 1u);

    const Resources exe;
    ASSERT_NE(exe.module, nullptr);
    const auto *directory = static_cast<const BYTE *>(exe.find(L"GLUT_ICON", MAKEINTRESOURCEW(14)));
    ASSERT_NE(directory, nullptr) << "no icon named GLUT_ICON";
    for (int side : {16, 24, 32, 48, 256}) {
        const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE *>(directory), TRUE, side, side, 0);
        DWORD size = 0;
        const void *image = exe.find(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3), &size);
        ASSERT_NE(image, nullptr) << side;
        HICON icon = CreateIconFromResourceEx(static_cast<BYTE *>(const_cast<void *>(image)), size, TRUE,
                                              0x00030000, 0, 0, 0);
        ASSERT_NE(icon, nullptr) << side;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, side);
        EXPECT_EQ(bitmap.bmHeight, side);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(WindowsExe, ManifestIsValidLeavesScalingToWindowsAndAsksForNoConsole)
{
    ACTCTXW request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = EXE;
    request.lpResourceName = MAKEINTRESOURCEW(1); // the one Windows applies as the exe starts
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "Windows rejects the manifest: error " << GetLastError();
    wchar_t dpiAware[16] = {};
    SIZE_T length = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", dpiAware, 16, &length));
    EXPECT_EQ(std::wstring(dpiAware), L"false");
    ReleaseActCtx(context);

    // Only Windows 11 24H2 and later read this setting.
    const Resources exe;
    DWORD size = 0;
    const auto *manifest =
        static_cast<const char *>(exe.find(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24), &size));
    ASSERT_NE(manifest, nullptr);
    EXPECT_NE(std::string(manifest, size).find(">detached</consoleAllocationPolicy>"), std::string::npos);
}

} // namespace
