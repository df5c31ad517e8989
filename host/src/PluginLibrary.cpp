#include "lumo/host/PluginLibrary.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "lumo/host/Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace lumo::host {
namespace {

#ifdef _WIN32
std::string LastErrorText() {
    const DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = text != nullptr ? text : "error " + std::to_string(code);
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.'))
        result.pop_back();
    return result;
}

void* OpenLibrary(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) error = LastErrorText();
    return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* OpenLibrary(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown error";
    }
    return handle;
}
void* FindSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void CloseLibrary(void* handle) { dlclose(handle); }
#endif

std::string ExecutableDirectory() {
#ifdef _WIN32
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ".";
    return fs::path(std::string(buffer, length)).parent_path().string();
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
#endif
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    std::error_code error;
    if (!fs::exists(path, error)) throw HostError("cannot open plug-in " + path + ": no such file");
    if (fs::is_directory(path, error))
        throw HostError("cannot open plug-in " + path + ": it is a directory");

    // An absolute path: a bare file name would make the loader search its own path list.
    std::string loadError;
    const fs::path absolute = fs::absolute(path, error);
    handle_ = OpenLibrary(error ? path : absolute.string(), loadError);
    if (handle_ == nullptr)
        throw HostError(path + " is not a loadable plug-in: " + loadError);

    getInfo_ = reinterpret_cast<abi::GetInfoFunction>(FindSymbol(handle_, abi::kGetInfoExport));
    createMachine_ =
        reinterpret_cast<abi::CreateMachineFunction>(FindSymbol(handle_, abi::kCreateMachineExport));
    if (getInfo_ == nullptr || createMachine_ == nullptr) {
        const char* missing = getInfo_ == nullptr ? abi::kGetInfoExport : abi::kCreateMachineExport;
        Release();
        throw HostError(path + " is not a machine plug-in: it has no export " + missing);
    }
    if (getInfo_() == nullptr) {
        Release();
        throw HostError(path + " is not a machine plug-in: GetInfo returned nothing");
    }
}

PluginLibrary::~PluginLibrary() { Release(); }

PluginLibrary::PluginLibrary(PluginLibrary&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, nullptr)),
      getInfo_(std::exchange(other.getInfo_, nullptr)),
      createMachine_(std::exchange(other.createMachine_, nullptr)) {}

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, nullptr);
        getInfo_ = std::exchange(other.getInfo_, nullptr);
        createMachine_ = std::exchange(other.createMachine_, nullptr);
    }
    return *this;
}

void PluginLibrary::Release() {
    if (handle_ != nullptr) CloseLibrary(handle_);
    handle_ = nullptr;
    getInfo_ = nullptr;
    createMachine_ = nullptr;
}

const abi::MachineDescription* PluginLibrary::GetInfo() const { return getInfo_(); }

abi::MachineBase* PluginLibrary::CreateMachine() const { return createMachine_(); }

const char* PluginSuffix() {
#ifdef _WIN32
    return ".dll";
#else
    return ".so";
#endif
}

std::string DefaultPluginDirectory() {
    if (const char* fromEnvironment = std::getenv("LUMO_PLUGIN_DIR");
        fromEnvironment != nullptr && *fromEnvironment != '\0')
        return fromEnvironment;
    return (fs::path(ExecutableDirectory()) / ".." / "plugins").lexically_normal().string();
}

std::vector<std::string> ListPlugins(const std::string& pluginDirectory) {
    std::vector<std::string> plugins;
    std::error_code error;
    for (fs::directory_iterator it(pluginDirectory, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && ToLower(it->path().extension().string()) == PluginSuffix())
            plugins.push_back(it->path().string());
    }
    std::sort(plugins.begin(), plugins.end());
    return plugins;
}

}  // namespace lumo::host
