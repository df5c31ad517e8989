# Cross-compiling 64-bit Windows programs with MinGW-w64 (Debian g++-mingw-w64-x86-64), for what
# runs under 64-bit Wine: Steinberg's VST3 validator (scripts/build-vst3-validator.sh --windows).
# The posix-threads flavour of the runtime has std::thread and std::mutex; link with -static so
# that no runtime DLL is imported.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
find_program(LUMO_MINGW64_GXX NAMES x86_64-w64-mingw32-g++-posix REQUIRED)
find_program(LUMO_MINGW64_GCC NAMES x86_64-w64-mingw32-gcc-posix REQUIRED)
set(CMAKE_C_COMPILER ${LUMO_MINGW64_GCC})
set(CMAKE_CXX_COMPILER ${LUMO_MINGW64_GXX})
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
