// brelox.exe as Windows shows it, read through Windows' own API: one icon for
// the file and its windows, and a manifest that Windows accepts, leaving
// display scaling to Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

const wchar_t *const EXE = L"" BRELOX_EXE;

// Explorer shows the exe's first icon, and freeglut gives its windows the one
// named GLUT_ICON, as it loads it here: one and the same.
TEST(WindowsExe, OneIconForTheFileAndItsWindows)
{
    EXPECT_EQ(ExtractIconExW(EXE, -1, nullptr, nullptr, 0), 1u);
    HMODULE exe = LoadLibraryExW(EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    EXPECT_NE(LoadIconW(exe, L"GLUT_ICON"), nullptr);
    FreeLibrary(exe);
}

TEST(WindowsExe, ManifestIsValidAndLeavesScalingToWindows)
{
    ACTCTXW request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = EXE;
    request.lpResourceName = MAKEINTRESOURCEW(1); // the one Windows applies as the exe starts
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "Windows rejects the manifest";
    wchar_t dpiAware[16] = {};
    SIZE_T length = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", dpiAware, 16, &length));
    EXPECT_EQ(std::wstring(dpiAware), L"false");
    ReleaseActCtx(context);
}

} // namespace
