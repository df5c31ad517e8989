// The Windows VST3 module as a host loads it (64-bit build, under Wine): InitDll, the factory, and a
// second load of the same DLL in one process while the first is in use, whose ExitDll and unload
// leave the other's factory working.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>

#include <travesty/factory.h>

namespace {

using GetPluginFactoryFunction = v3_plugin_factory** (V3_API*)();
using ModuleFunction = bool (V3_API*)();

// An export as the function type it has (through void*: FARPROC's type is none of them).
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct LoadedModule {
    HMODULE module = nullptr;
    v3_plugin_factory** factory = nullptr;
};

LoadedModule Load() {
    LoadedModule loaded;
    loaded.module = LoadLibraryW(std::filesystem::u8path(LUMO_VST3_MODULE).c_str());
    if (loaded.module == nullptr) return loaded;
    const auto init = Export<ModuleFunction>(loaded.module, "InitDll");
    const auto get = Export<GetPluginFactoryFunction>(loaded.module, "GetPluginFactory");
    if (init != nullptr && get != nullptr && init()) loaded.factory = get();
    return loaded;
}

void Unload(LoadedModule& loaded) {
    const auto exit = Export<ModuleFunction>(loaded.module, "ExitDll");
    EXPECT_TRUE(exit != nullptr && exit());
    FreeLibrary(loaded.module);
}

std::string ClassNames(v3_plugin_factory** factory) {
    std::string names;
    const int32_t count = v3_cpp_obj(factory)->num_classes(factory);
    for (int32_t i = 0; i < count; ++i) {
        v3_class_info info{};
        if (v3_cpp_obj(factory)->get_class_info(factory, i, &info) != V3_OK) return "(no class info " + std::to_string(i) + ")";
        names += std::string(info.name) + ";";
    }
    return names;
}

TEST(Vst3Module, ASecondLoadInOneProcess) {
    LoadedModule first = Load();
    ASSERT_NE(first.factory, nullptr) << "cannot load " << LUMO_VST3_MODULE << " or InitDll failed";
    LoadedModule second = Load();
    ASSERT_NE(second.factory, nullptr);
    const std::string expected = "Tarvo Lumo-31;Tarvo Lumo-20;Tarvo Lumo-15;";
    EXPECT_EQ(ClassNames(first.factory), expected);
    Unload(first);
    EXPECT_EQ(ClassNames(second.factory), expected);
    Unload(second);
    LoadedModule again = Load();
    ASSERT_NE(again.factory, nullptr);
    EXPECT_EQ(ClassNames(again.factory), expected);
    Unload(again);
}

}  // namespace
