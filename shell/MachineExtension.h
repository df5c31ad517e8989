// The machine's extended interface: 81 operations in the host's order. Only position 26,
// HideGraphWindow, does anything; the others keep bodies that do nothing or return a constant,
// each taking exactly its number of argument words.
#pragma once

namespace lumo {

class EqualiserMachine;

class MachineExtension {
public:
    virtual int Unused1(int);
    virtual bool Unused2(int);
    virtual void Unused3(int, int);
    virtual void Unused4(int, int);
    virtual void Unused5(int);
    virtual void Unused6(int, int);
    virtual void Unused7(int, int, int);
    virtual void Unused8(int, int, int);
    virtual void Unused9(int, int);
    virtual bool Unused10(int, int, int);
    virtual void Unused11(int, int);
    virtual void Unused12(int, int);
    virtual void Unused13(int);
    virtual void Unused14(int, int);
    virtual void Unused15(int, int);
    virtual void Unused16(int, int, int);
    virtual int Unused17(int);
    virtual void Unused18(int);
    virtual void Unused19();
    virtual void Unused20();
    virtual bool Unused21(int);
    virtual void Unused22(int);
    virtual void Unused23(int, int);
    virtual int Unused24(int);
    virtual void Unused25(int);
    // Host, UI thread: true closes the graph window for a while, false reopens it where it was.
    virtual void HideGraphWindow(bool hide);
    virtual bool Unused27();
    virtual bool Unused28(int);
    virtual int Unused29();
    virtual void Unused30(int, int, int, int, int);
    virtual void Unused31();
    virtual void Unused32();
    virtual void Unused33(int, int, int);
    virtual void Unused34(int, int, int, int, int);
    virtual void Unused35(int);
    virtual bool Unused36();
    virtual void Unused37(int);
    virtual int Unused38();
    virtual void Unused39(int, int, int);
    virtual int Unused40(int, int);
    virtual bool Unused41(int, int);
    virtual bool Unused42(int, int);
    virtual bool Unused43(int, int);
    virtual void Unused44();
    virtual void Unused45(int);
    virtual void Unused46();
    virtual bool Unused47(int, int);
    virtual void Unused48(int, int);
    virtual bool Unused49(int, int);
    virtual void Unused50();
    virtual void Unused51();
    virtual void Unused52();
    virtual void Unused53();
    virtual void Unused54();
    virtual void Unused55();
    virtual void Unused56();
    virtual void Unused57();
    virtual void Unused58();
    virtual void Unused59();
    virtual void Unused60();
    virtual void Unused61();
    virtual void Unused62();
    virtual void Unused63();
    virtual void Unused64();
    virtual void Unused65();
    virtual void Unused66();
    virtual void Unused67();
    virtual void Unused68();
    virtual void Unused69();
    virtual void Unused70();
    virtual void Unused71();
    virtual void Unused72();
    virtual void Unused73();
    virtual void Unused74();
    virtual void Unused75();
    virtual void Unused76();
    virtual void Unused77();
    virtual void Unused78();
    virtual void Unused79();
    virtual void Unused80();
    virtual void Unused81();

    EqualiserMachine* machine = nullptr;  // the owning machine
};

}  // namespace lumo
