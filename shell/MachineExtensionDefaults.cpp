#include "MachineExtension.h"

namespace lumo {

int MachineExtension::Unused1(int) { return 0; }
bool MachineExtension::Unused2(int) { return false; }
void MachineExtension::Unused3(int, int) {}
void MachineExtension::Unused4(int, int) {}
void MachineExtension::Unused5(int) {}
void MachineExtension::Unused6(int, int) {}
void MachineExtension::Unused7(int, int, int) {}
void MachineExtension::Unused8(int, int, int) {}
void MachineExtension::Unused9(int, int) {}
bool MachineExtension::Unused10(int, int, int) { return false; }
void MachineExtension::Unused11(int, int) {}
void MachineExtension::Unused12(int, int) {}
void MachineExtension::Unused13(int) {}
void MachineExtension::Unused14(int, int) {}
void MachineExtension::Unused15(int, int) {}
void MachineExtension::Unused16(int, int, int) {}
int MachineExtension::Unused17(int) { return 0; }
void MachineExtension::Unused18(int) {}
void MachineExtension::Unused19() {}
void MachineExtension::Unused20() {}
bool MachineExtension::Unused21(int) { return false; }
void MachineExtension::Unused22(int) {}
void MachineExtension::Unused23(int, int) {}
int MachineExtension::Unused24(int) { return 0; }
void MachineExtension::Unused25(int) {}
bool MachineExtension::Unused27() { return false; }
bool MachineExtension::Unused28(int) { return false; }
int MachineExtension::Unused29() { return 0; }
void MachineExtension::Unused30(int, int, int, int, int) {}
void MachineExtension::Unused31() {}
void MachineExtension::Unused32() {}
void MachineExtension::Unused33(int, int, int) {}
void MachineExtension::Unused34(int, int, int, int, int) {}
void MachineExtension::Unused35(int) {}
bool MachineExtension::Unused36() { return false; }
void MachineExtension::Unused37(int) {}
int MachineExtension::Unused38() { return 0; }
void MachineExtension::Unused39(int, int, int) {}
int MachineExtension::Unused40(int, int) { return 0; }
bool MachineExtension::Unused41(int, int) { return false; }
bool MachineExtension::Unused42(int, int) { return false; }
bool MachineExtension::Unused43(int, int) { return false; }
void MachineExtension::Unused44() {}
void MachineExtension::Unused45(int) {}
void MachineExtension::Unused46() {}
bool MachineExtension::Unused47(int, int) { return false; }
void MachineExtension::Unused48(int, int) {}
bool MachineExtension::Unused49(int, int) { return true; }
void MachineExtension::Unused50() {}
void MachineExtension::Unused51() {}
void MachineExtension::Unused52() {}
void MachineExtension::Unused53() {}
void MachineExtension::Unused54() {}
void MachineExtension::Unused55() {}
void MachineExtension::Unused56() {}
void MachineExtension::Unused57() {}
void MachineExtension::Unused58() {}
void MachineExtension::Unused59() {}
void MachineExtension::Unused60() {}
void MachineExtension::Unused61() {}
void MachineExtension::Unused62() {}
void MachineExtension::Unused63() {}
void MachineExtension::Unused64() {}
void MachineExtension::Unused65() {}
void MachineExtension::Unused66() {}
void MachineExtension::Unused67() {}
void MachineExtension::Unused68() {}
void MachineExtension::Unused69() {}
void MachineExtension::Unused70() {}
void MachineExtension::Unused71() {}
void MachineExtension::Unused72() {}
void MachineExtension::Unused73() {}
void MachineExtension::Unused74() {}
void MachineExtension::Unused75() {}
void MachineExtension::Unused76() {}
void MachineExtension::Unused77() {}
void MachineExtension::Unused78() {}
void MachineExtension::Unused79() {}
void MachineExtension::Unused80() {}
void MachineExtension::Unused81() {}

}  // namespace lumo
