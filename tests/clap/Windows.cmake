# The CLAP file in the 64-bit Windows build (included by CMakeLists.txt): lumo-clap-host.exe built
# from the same sources with the Windows parts (LoadLibraryW; float WAVs of its own, no libsndfile)
# and run under 64-bit Wine; the file's exports and imports; loading it as Windows hosts do.

# CLI11 is header-only: an include root holding only its headers (the rest of /usr/include must not
# shadow MinGW's).
find_path(CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(cli_root ${CMAKE_CURRENT_BINARY_DIR}/cli-headers)
file(MAKE_DIRECTORY ${cli_root})
file(CREATE_LINK ${CLI11_INCLUDE_DIR}/CLI ${cli_root}/CLI SYMBOLIC)

add_executable(lumo-clap-host ${clap_host_sources} PluginModuleWindows.cpp StereoFileWav.cpp)
target_include_directories(lumo-clap-host SYSTEM PRIVATE ${LUMO_CLAP_INCLUDE_DIR} ${cli_root})
target_link_libraries(lumo-clap-host PRIVATE Threads::Threads)

set(clap_file ${LUMO_CLAP_FILE_DIR}/tarvo-lumo.clap)
add_test(NAME clap.module_exports
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/check-exports.sh --pe32+ ${clap_file} clap_entry)
set_tests_properties(clap.module_exports PROPERTIES LABELS "clap;no-wine")

# Each plug-in in lumo-clap-host.exe under 64-bit Wine, as natively (tests/clap/host-identity.sh,
# with the native build's lumo, machines and tools): at blocks of 1, 7 and 4096 frames
# bit-identical to `lumo eq --bits float`, with automation to the machine through the reference
# host; so bit for bit the Linux plug-ins' output.
set(LUMO_NATIVE_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/native CACHE PATH
    "Native build whose tools and output the Windows build is compared with")
set(native ${LUMO_NATIVE_BUILD_DIR})
foreach(case "31;44100" "20;48000" "15;44100")
  list(GET case 0 bands)
  list(GET case 1 rate)
  add_test(NAME clap.windows_matches_linux_${bands}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/host-identity.sh Z:${clap_file} $<TARGET_FILE:lumo-clap-host>
                   ${native}/bin/lumo "${native}/plugins/Tarvo Lumo-${bands}.so"
                   ${native}/tests/clap/lumo-machine-render ${native}/tests/tools/lumo-wavtool
                   ${CMAKE_CURRENT_BINARY_DIR}/host-${bands} ${bands} ${rate})
  set_tests_properties(clap.windows_matches_linux_${bands} PROPERTIES LABELS clap TIMEOUT 600
                       ENVIRONMENT "LUMO_CLAP_HOST_RUNNER=${CMAKE_SOURCE_DIR}/scripts/wine64-run.sh")
endforeach()

# Loading: a folder whose name is not ASCII, a second load in one process, refusals; the file
# host's WAV files.
add_executable(clap_loading_tests LoadingTest.cpp LoadedPlugin.cpp ParamEvents.cpp Render.cpp TestHost.cpp
               PluginModuleWindows.cpp StereoFileWav.cpp)
target_include_directories(clap_loading_tests SYSTEM PRIVATE ${LUMO_CLAP_INCLUDE_DIR})
target_link_libraries(clap_loading_tests PRIVATE GTest::gtest_main Threads::Threads)
target_compile_definitions(clap_loading_tests PRIVATE LUMO_CLAP_FILE="Z:${clap_file}"
                           LUMO_VST3_MODULE="Z:${LUMO_VST3_BINARY}" LUMO_TEST_WORK_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}/loading")
add_dependencies(clap_loading_tests lumo_clap lumo_vst3)
add_test(NAME clap.loading COMMAND clap_loading_tests)
set_tests_properties(clap.loading PROPERTIES LABELS clap)
