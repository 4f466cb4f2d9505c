// The fake shell as an in-process server of the shell windows collection, for the end-to-end
// tests: they register it for the class in their throwaway Wine prefix, so the real .scr walks it,
// and name the scene to serve in GRAVEFALL_FAKE_SHELL_SCENE (a UTF-8 file, see ParseScene).
#include "fake_shell.h"

#include <fstream>
#include <iterator>

namespace {

constexpr CLSID ClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};

std::wstring SceneText() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"GRAVEFALL_FAKE_SHELL_SCENE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return {};
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size()))));
    return text;
}

// Made on the first request and kept until the process ends, as a real server's objects are.
fake_shell::FakeShell* shell = nullptr;

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    *out = nullptr;
    if (!IsEqualCLSID(clsid, ClsidShellWindows)) return CLASS_E_CLASSNOTAVAILABLE;
    if (shell == nullptr) shell = new fake_shell::FakeShell(fake_shell::ParseScene(SceneText()));
    return shell->ClassFactory()->QueryInterface(riid, out);
}

STDAPI DllCanUnloadNow() { return S_FALSE; }
