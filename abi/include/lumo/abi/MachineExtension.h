// The machine's extended interface: 81 operations in the host's order, each taking exactly its
// number of argument words. Only slot 25 does anything; the others keep these bodies, which do
// nothing or return a constant. The machine hands it to the host in Initialise.
#pragma once

namespace lumo::abi {

class MachineExtension {
public:
    virtual int Unused0(int) { return 0; }
    virtual bool Unused1(int) { return false; }
    virtual void Unused2(int, int) {}
    virtual void Unused3(int, int) {}
    virtual void Unused4(int) {}
    virtual void Unused5(int, int) {}
    virtual void Unused6(int, int, int) {}
    virtual void Unused7(int, int, int) {}
    virtual void Unused8(int, int) {}
    virtual bool Unused9(int, int, int) { return false; }
    virtual void Unused10(int, int) {}
    virtual void Unused11(int, int) {}
    virtual void Unused12(int) {}
    virtual void Unused13(int, int) {}
    virtual void Unused14(int, int) {}
    virtual void Unused15(int, int, int) {}
    virtual int Unused16(int) { return 0; }
    virtual void Unused17(int) {}
    virtual void Unused18() {}
    virtual void Unused19() {}
    virtual bool Unused20(int) { return false; }
    virtual void Unused21(int) {}
    virtual void Unused22(int, int) {}
    virtual int Unused23(int) { return 0; }
    virtual void Unused24(int) {}
    // Slot 25. Host, UI thread: true closes the graph window for a while, false reopens it where
    // it was.
    virtual void HideGraphWindow(bool hide) = 0;
    virtual bool Unused26() { return false; }
    virtual bool Unused27(int) { return false; }
    virtual int Unused28() { return 0; }
    virtual void Unused29(int, int, int, int, int) {}
    virtual void Unused30() {}
    virtual void Unused31() {}
    virtual void Unused32(int, int, int) {}
    virtual void Unused33(int, int, int, int, int) {}
    virtual void Unused34(int) {}
    virtual bool Unused35() { return false; }
    virtual void Unused36(int) {}
    virtual int Unused37() { return 0; }
    virtual void Unused38(int, int, int) {}
    virtual int Unused39(int, int) { return 0; }
    virtual bool Unused40(int, int) { return false; }
    virtual bool Unused41(int, int) { return false; }
    virtual bool Unused42(int, int) { return false; }
    virtual void Unused43() {}
    virtual void Unused44(int) {}
    virtual void Unused45() {}
    virtual bool Unused46(int, int) { return false; }
    virtual void Unused47(int, int) {}
    virtual bool Unused48(int, int) { return true; }
    virtual void Unused49() {}
    virtual void Unused50() {}
    virtual void Unused51() {}
    virtual void Unused52() {}
    virtual void Unused53() {}
    virtual void Unused54() {}
    virtual void Unused55() {}
    virtual void Unused56() {}
    virtual void Unused57() {}
    virtual void Unused58() {}
    virtual void Unused59() {}
    virtual void Unused60() {}
    virtual void Unused61() {}
    virtual void Unused62() {}
    virtual void Unused63() {}
    virtual void Unused64() {}
    virtual void Unused65() {}
    virtual void Unused66() {}
    virtual void Unused67() {}
    virtual void Unused68() {}
    virtual void Unused69() {}
    virtual void Unused70() {}
    virtual void Unused71() {}
    virtual void Unused72() {}
    virtual void Unused73() {}
    virtual void Unused74() {}
    virtual void Unused75() {}
    virtual void Unused76() {}
    virtual void Unused77() {}
    virtual void Unused78() {}
    virtual void Unused79() {}
    virtual void Unused80() {}

protected:
    MachineExtension() = default;
    ~MachineExtension() = default;
    MachineExtension(const MachineExtension&) = delete;
    MachineExtension& operator=(const MachineExtension&) = delete;
};

constexpr int kSlotHideGraphWindow = 25;
constexpr int kExtensionSlots = 81;

}  // namespace lumo::abi
