// The factory: the three machines with their class IDs, names, vendor and category, and their
// instances. Each operation has a line saying who calls it and on which thread.
#include "vst3/Factory.h"

#include <cstring>

#include "vst3/Instance.h"
#include "vst3/Machines.h"
#include "vst3/Text.h"

#ifndef LUMO_VERSION
#error "LUMO_VERSION (the project's version) must be defined by the build"
#endif

namespace lumo::vst3 {
namespace {

constexpr int32_t kManyInstances = 0x7FFFFFFF;
constexpr int32_t kUnicodeFactory = 1 << 4;

bool ValidIndex(int32_t index) { return index >= 0 && index < kMachineCount; }

// What the three class descriptions share: ID, instances, category (the name's type differs).
template <class Info>
void DescribeClass(int32_t index, Info& info) {
    std::memset(&info, 0, sizeof info);
    std::memcpy(info.class_id, kMachines[index].classId, sizeof info.class_id);
    info.cardinality = kManyInstances;
    CopyToField(kClassCategory, info.category, sizeof info.category);
}

// FUnknown. The host, any thread: the factory's interfaces (it is static: references are not
// counted).
v3_result V3_API QueryInterface(void* self, const v3_tuid iid, void** object) {
    if (object == nullptr) return kInvalidArgument;
    const bool known = iid != nullptr &&
                       (v3_tuid_match(iid, v3_funknown_iid) || v3_tuid_match(iid, v3_plugin_factory_iid) ||
                        v3_tuid_match(iid, v3_plugin_factory_2_iid) || v3_tuid_match(iid, v3_plugin_factory_3_iid));
    *object = known ? self : nullptr;
    return known ? kResultOk : kNoInterface;
}
uint32_t V3_API Ref(void*) { return 1; }
uint32_t V3_API Unref(void*) { return 1; }

// IPluginFactory. The host scanning or loading the module, main thread: the vendor.
v3_result V3_API FactoryInfo(void*, v3_factory_info* info) {
    if (info == nullptr) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    CopyToField(kVendor, info->vendor, sizeof info->vendor);
    info->flags = kUnicodeFactory;
    return kResultOk;
}

// The host scanning, main thread: the classes, and each one's ID, category and name.
int32_t V3_API ClassCount(void*) { return kMachineCount; }
v3_result V3_API ClassInfo(void*, int32_t index, v3_class_info* info) {
    if (info == nullptr || !ValidIndex(index)) return kInvalidArgument;
    DescribeClass(index, *info);
    CopyToField(kMachines[index].deliverable().fullName, info->name, sizeof info->name);
    return kResultOk;
}

// The host, main thread: a new instance, holding one reference, the host's.
v3_result V3_API CreateInstance(void*, const v3_tuid classId, const v3_tuid iid, void** object) {
    if (object == nullptr) return kInvalidArgument;
    *object = nullptr;
    if (classId == nullptr || iid == nullptr) return kInvalidArgument;
    for (const MachineClass& machine : kMachines) {
        if (!v3_tuid_match(classId, machine.classId)) continue;
        Instance* instance = Instance::Create(machine.deliverable());
        if (instance == nullptr) return kOutOfMemory;
        instance->Ref();
        const v3_result result = instance->Query(iid, object);
        instance->Unref();  // leaves the interface's reference, or destroys the instance
        return result;
    }
    return kInvalidArgument;
}

// IPluginFactory2. The host scanning, main thread: as ClassInfo, with the subcategories, vendor
// and versions.
v3_result V3_API ClassInfo2(void*, int32_t index, v3_class_info_2* info) {
    if (info == nullptr || !ValidIndex(index)) return kInvalidArgument;
    DescribeClass(index, *info);
    CopyToField(kMachines[index].deliverable().fullName, info->name, sizeof info->name);
    info->class_flags = 0;  // processor and controller are one object: not distributable
    CopyToField(kSubCategories, info->sub_categories, sizeof info->sub_categories);
    CopyToField(kVendor, info->vendor, sizeof info->vendor);
    CopyToField(LUMO_VERSION, info->version, sizeof info->version);
    CopyToField(kSdkVersion, info->sdk_version, sizeof info->sdk_version);
    return kResultOk;
}

// IPluginFactory3. The host scanning, main thread: the same with the names in UTF-16.
v3_result V3_API ClassInfoUtf16(void*, int32_t index, v3_class_info_3* info) {
    if (info == nullptr || !ValidIndex(index)) return kInvalidArgument;
    DescribeClass(index, *info);
    CopyToUtf16(kMachines[index].deliverable().fullName, info->name, 64);
    info->class_flags = 0;
    CopyToField(kSubCategories, info->sub_categories, sizeof info->sub_categories);
    CopyToUtf16(kVendor, info->vendor, 64);
    CopyToUtf16(LUMO_VERSION, info->version, 64);
    CopyToUtf16(kSdkVersion, info->sdk_version, 64);
    return kResultOk;
}

// The host, main thread: its context for the factory's instances (none is needed).
v3_result V3_API SetHostContext(void*, v3_funknown**) { return kResultOk; }

const v3_plugin_factory_cpp kFactoryTable = {
    {QueryInterface, Ref, Unref},
    {FactoryInfo, ClassCount, ClassInfo, CreateInstance},
    {ClassInfo2},
    {ClassInfoUtf16, SetHostContext},
};

struct FactoryObject {
    const v3_plugin_factory_cpp* table;
};
FactoryObject gFactory{&kFactoryTable};

}  // namespace

v3_plugin_factory** Factory() { return reinterpret_cast<v3_plugin_factory**>(&gFactory); }

}  // namespace lumo::vst3
