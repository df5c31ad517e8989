// Calls every operation of the machine's table (19) and of its extended interface (81) the way
// the host does, __thiscall with the host's argument counts, and measures the stack pointer
// around each call. A callee that pops a different number of argument words than the host
// pushed (a wrong signature, or a destructor that takes two slots) shows as a non-zero
// difference. The calls go through a small assembly trampoline, so no frame pointer in the test
// can restore the stack pointer behind the fault's back. Each machine is driven twice: once with
// the stack 16-byte aligned at the call, and once only 4-byte aligned, as a host compiled with
// Microsoft's compiler may leave it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TestHost.h"


// int CallMeasured(self, fn, args, argCount, eaxOut, misalignBytes): pushes args[argCount-1] ..
// args[0], sets ECX = self, calls fn with the stack pointer misalignBytes below a 16-byte
// boundary, stores EAX in *eaxOut and returns ESP after the call minus ESP before the pushes
// (0 when the callee popped exactly argCount words).
extern "C" int CallMeasured(void* self, const void* fn, const uint32_t* args, int argCount,
                            uint32_t* eaxOut, int misalignBytes) __asm__("lumo_call_measured");
__asm__(
    ".text\n"
    ".globl lumo_call_measured\n"
    "lumo_call_measured:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    movl 20(%ebp), %ecx\n"      // argCount
    "    leal (,%ecx,4), %edx\n"     // bytes of arguments
    "    movl %esp, %eax\n"
    "    subl %edx, %eax\n"
    "    subl $64, %eax\n"           // room below the saved registers
    "    andl $-16, %eax\n"          // where the last pushed argument lands
    "    subl 28(%ebp), %eax\n"
    "    addl %edx, %eax\n"
    "    movl %eax, %esp\n"
    "    movl %esp, %edi\n"          // reference: the stack pointer before the pushes
    "    movl 16(%ebp), %esi\n"
    "1:  testl %ecx, %ecx\n"
    "    jz 2f\n"
    "    pushl -4(%esi,%ecx,4)\n"
    "    decl %ecx\n"
    "    jmp 1b\n"
    "2:  movl 8(%ebp), %ecx\n"
    "    call *12(%ebp)\n"
    "    movl 24(%ebp), %edx\n"
    "    movl %eax, (%edx)\n"
    "    movl %esp, %eax\n"
    "    subl %edi, %eax\n"
    "    leal -12(%ebp), %esp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n");

namespace testhost {
namespace {

struct CallResult {
    int stackDelta;
    uint32_t eax;
};

CallResult CallSlot(void* object, int slot, std::initializer_list<uint32_t> args, int misalign) {
    void** table = *static_cast<void***>(object);
    std::vector<uint32_t> words(args);
    CallResult result{};
    result.stackDelta = CallMeasured(object, table[slot], words.data(),
                                     static_cast<int>(words.size()), &result.eax, misalign);
    return result;
}

uint32_t Word(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

// --- Self-check of the measurement: objects whose operations pop a known number of words. ---

class Probe {
public:
    virtual int NoWords() { return 10; }
    virtual int OneWord(int a) { return a; }
    virtual int TwoWords(int a, int b) { return a + b; }
};

TEST(StackMeasurement, DetectsCalleesThatPopTooManyOrTooFewWords) {
    Probe probe;
    for (int misalign : {0, 4}) {
        // Matching counts: balanced, and the arguments arrive in order.
        CallResult r = CallSlot(&probe, 2, {40, 2}, misalign);
        EXPECT_EQ(r.stackDelta, 0);
        EXPECT_EQ(r.eax, 42u);
        r = CallSlot(&probe, 1, {7}, misalign);
        EXPECT_EQ(r.stackDelta, 0);
        EXPECT_EQ(r.eax, 7u);
        // A two-word operation in a one-word slot pops one word too many.
        EXPECT_EQ(CallSlot(&probe, 2, {1}, misalign).stackDelta, 4);
        // An operation without arguments in a one-word slot leaves a word behind.
        EXPECT_EQ(CallSlot(&probe, 0, {1}, misalign).stackDelta, -4);
        EXPECT_EQ(CallSlot(&probe, 0, {1, 2, 3}, misalign).stackDelta, -12);
    }
}

// --- The machine's two tables, as the host declares them. ---

enum class Returns { Nothing, Zero, False, True, MinusOne, Hide };

struct ExtensionSlot {
    int words;
    Returns returns;
};

// Positions 1..81 of the extended interface: argument words and what the default returns.
std::vector<ExtensionSlot> ExtensionTable() {
    std::vector<ExtensionSlot> t(81, {0, Returns::Nothing});
    auto set = [&](int first, int last, int words, Returns r) {
        for (int p = first; p <= last; ++p) t[p - 1] = {words, r};
    };
    set(1, 1, 1, Returns::Zero);    set(2, 2, 1, Returns::False);  set(3, 4, 2, Returns::Nothing);
    set(5, 5, 1, Returns::Nothing); set(6, 6, 2, Returns::Nothing); set(7, 8, 3, Returns::Nothing);
    set(9, 9, 2, Returns::Nothing); set(10, 10, 3, Returns::False); set(11, 12, 2, Returns::Nothing);
    set(13, 13, 1, Returns::Nothing); set(14, 15, 2, Returns::Nothing);
    set(16, 16, 3, Returns::Nothing); set(17, 17, 1, Returns::Zero);
    set(18, 18, 1, Returns::Nothing); set(19, 20, 0, Returns::Nothing);
    set(21, 21, 1, Returns::False); set(22, 22, 1, Returns::Nothing);
    set(23, 23, 2, Returns::Nothing); set(24, 24, 1, Returns::Zero);
    set(25, 25, 1, Returns::Nothing); set(26, 26, 1, Returns::Hide);
    set(27, 27, 0, Returns::False); set(28, 28, 1, Returns::False); set(29, 29, 0, Returns::Zero);
    set(30, 30, 5, Returns::Nothing); set(31, 32, 0, Returns::Nothing);
    set(33, 33, 3, Returns::Nothing); set(34, 34, 5, Returns::Nothing);
    set(35, 35, 1, Returns::Nothing); set(36, 36, 0, Returns::False);
    set(37, 37, 1, Returns::Nothing); set(38, 38, 0, Returns::Zero);
    set(39, 39, 3, Returns::Nothing); set(40, 40, 2, Returns::Zero);
    set(41, 43, 2, Returns::False); set(44, 44, 0, Returns::Nothing);
    set(45, 45, 1, Returns::Nothing); set(46, 46, 0, Returns::Nothing);
    set(47, 47, 2, Returns::False); set(48, 48, 2, Returns::Nothing);
    set(49, 49, 2, Returns::True);  set(50, 81, 0, Returns::Nothing);
    return t;
}

void ExpectReturn(Returns kind, uint32_t eax, const std::string& what) {
    switch (kind) {
        case Returns::Zero: EXPECT_EQ(eax, 0u) << what; break;
        case Returns::MinusOne: EXPECT_EQ(static_cast<int32_t>(eax), -1) << what; break;
        case Returns::False: EXPECT_EQ(eax & 0xFF, 0u) << what; break;  // bool: one byte
        case Returns::True: EXPECT_EQ(eax & 0xFF, 1u) << what; break;
        default: break;
    }
}

struct Case {
    int bands;
    int misalign;
};

class SlotStack : public ::testing::TestWithParam<Case> {};

TEST_P(SlotStack, EveryOperationPopsExactlyItsArgumentWords) {
    const Case c = GetParam();
    const PluginFile plugin(c.bands);
    ASSERT_TRUE(plugin.Loaded()) << "cannot load " << PluginPath(c.bands) << ", error " << GetLastError();
    const abi::MachineDescription* info = plugin.getInfo();
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->globalParameterCount, c.bands + 2);

    abi::HostInfo hostInfo{126, 4, 44100};
    RecordingHost callbacks;
    abi::MachineBase* machine = plugin.CreateMachine(hostInfo, callbacks);
    ASSERT_NE(machine, nullptr);
    ASSERT_NE(machine->parameterBlock, nullptr);
    const int m = c.misalign;

    auto expectBalanced = [&](int slot, std::initializer_list<uint32_t> args, Returns kind) {
        const CallResult r = CallSlot(machine, slot, args, m);
        const std::string what = "machine slot " + std::to_string(slot);
        EXPECT_EQ(r.stackDelta, 0) << what;
        ExpectReturn(kind, r.eax, what);
        return r;
    };

    expectBalanced(abi::kSlotInitialise, {0}, Returns::Nothing);  // without saved state
    ASSERT_NE(callbacks.extension, nullptr);

    // The defaults of every parameter, then ApplyParameters.
    for (int i = 0; i < info->globalParameterCount; ++i)
        machine->parameterBlock[i] = static_cast<unsigned char>(info->parameters[i]->defaultValue);
    expectBalanced(abi::kSlotApplyParameters, {}, Returns::Nothing);

    // ProcessAudio with input, without input, and the modes that carry neither.
    std::vector<float> audio(2 * kScratchFrames);
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = 0.25f * std::sin(0.05f * static_cast<float>(i));
    for (uint32_t mode : {3u, 2u, 1u, 0u})
        expectBalanced(abi::kSlotProcessAudio, {Word(audio.data()), static_cast<uint32_t>(kScratchFrames), mode},
                       Returns::Nothing);
    for (float sample : audio) ASSERT_TRUE(std::isfinite(sample));

    expectBalanced(4, {0, 0, 0, 0}, Returns::False);
    expectBalanced(5, {}, Returns::Nothing);
    lumo::host::SavedStateWriter writer;
    expectBalanced(abi::kSlotSaveState, {Word(static_cast<abi::StateWriter*>(&writer))},
                   Returns::Nothing);
    EXPECT_EQ(writer.Bytes().size(), 10u);
    expectBalanced(7, {}, Returns::Nothing);
    // RunCommand beyond the commands.
    expectBalanced(abi::kSlotRunCommand, {5}, Returns::Nothing);
    expectBalanced(abi::kSlotRunCommand, {static_cast<uint32_t>(-1)}, Returns::Nothing);
    expectBalanced(9, {0}, Returns::Nothing);
    expectBalanced(10, {0}, Returns::Nothing);
    expectBalanced(11, {0}, Returns::False);
    expectBalanced(12, {0, 0, 0}, Returns::Nothing);
    expectBalanced(13, {0}, Returns::Nothing);
    const CallResult text = expectBalanced(abi::kSlotParameterValueText, {0, 16}, Returns::Nothing);
    ASSERT_NE(text.eax, 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(static_cast<uintptr_t>(text.eax)), "16.0 dB");
    expectBalanced(15, {}, Returns::Zero);
    expectBalanced(16, {0, 0, 0}, Returns::False);
    expectBalanced(17, {}, Returns::Nothing);
    expectBalanced(18, {0}, Returns::MinusOne);

    // The extended interface: every position, zeros for arguments; HideGraphWindow both ways.
    const std::vector<ExtensionSlot> table = ExtensionTable();
    for (int position = 1; position <= abi::kExtensionSlots; ++position) {
        const ExtensionSlot& slot = table[position - 1];
        const std::string what = "extension position " + std::to_string(position);
        std::vector<std::vector<uint32_t>> calls{std::vector<uint32_t>(slot.words, 0)};
        if (slot.returns == Returns::Hide) calls = {{1}, {0}};
        for (const auto& args : calls) {
            void** ext = *reinterpret_cast<void***>(callbacks.extension);
            CallResult r{};
            r.stackDelta = CallMeasured(callbacks.extension, ext[position - 1], args.data(),
                                        static_cast<int>(args.size()), &r.eax, m);
            EXPECT_EQ(r.stackDelta, 0) << what;
            ExpectReturn(slot.returns, r.eax, what);
        }
    }

    // Destruction through slot 0 with flags 1: one slot, one word, returns the object.
    const CallResult destroyed = CallSlot(machine, abi::kSlotDeletingDestructor, {1}, m);
    EXPECT_EQ(destroyed.stackDelta, 0) << "machine slot 0";
    EXPECT_EQ(destroyed.eax, Word(machine));
    EXPECT_TRUE(FreeLibrary(plugin.module));
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return "Lumo" + std::to_string(info.param.bands) +
           (info.param.misalign ? "_Stack4Aligned" : "_Stack16Aligned");
}

INSTANTIATE_TEST_SUITE_P(AllDeliverables, SlotStack,
                         ::testing::Values(Case{31, 0}, Case{31, 4}, Case{20, 0}, Case{20, 4},
                                           Case{15, 0}, Case{15, 4}),
                         CaseName);

}  // namespace
}  // namespace testhost
