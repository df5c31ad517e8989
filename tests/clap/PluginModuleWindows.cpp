// PluginModule on Windows: the UTF-8 path widened and loaded with LoadLibraryW, so that a folder
// named in any script loads; clap_entry.init then gets the file's full path back in UTF-8, as
// CLAP asks, whatever the system's code page.
#include "PluginModule.h"

#include <windows.h>

#include <filesystem>

namespace lumo::clap_host {
namespace {

// The UTF-8 text as UTF-16; false when it is not valid UTF-8.
bool Widen(const std::string& utf8, std::wstring& wide) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                           nullptr, 0);
    if (length <= 0 && !utf8.empty()) return false;
    wide.resize(static_cast<size_t>(length));
    return utf8.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                               wide.data(), length) == length;
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Open(const std::string& path, std::string& error) {
    std::wstring wide;
    if (!Widen(path, wide)) {
        error = "cannot load " + path + ": the path is not UTF-8";
        return nullptr;
    }
    std::error_code failure;
    const std::filesystem::path absolute = std::filesystem::absolute(wide, failure);
    HMODULE module = LoadLibraryW((failure ? std::filesystem::path(wide) : absolute).c_str());
    if (module == nullptr) {
        error = "cannot load " + path + ": Windows error " + std::to_string(GetLastError());
        return nullptr;
    }
    const auto* entry = reinterpret_cast<const clap_plugin_entry_t*>(GetProcAddress(module, "clap_entry"));
    if (entry == nullptr) {
        error = path + " exports no clap_entry";
        FreeLibrary(module);
        return nullptr;
    }
    // The path Windows loaded the file from, as the plug-in would find itself.
    std::wstring loaded(32768, L'\0');
    loaded.resize(GetModuleFileNameW(module, loaded.data(), static_cast<DWORD>(loaded.size())));
    const std::filesystem::path file = loaded.empty() ? absolute : std::filesystem::path(loaded);
    return std::unique_ptr<PluginModule>(new PluginModule(file.u8string(), module, entry));
}

PluginModule::~PluginModule() { FreeLibrary(static_cast<HMODULE>(handle_)); }

}  // namespace lumo::clap_host
