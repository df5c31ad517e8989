# lumo_add_deliverable(DIR BANDS): turns deliverables/DIR (band layout and names) into the plug-in
# "Tarvo Lumo-BANDS" (.so natively, .dll on Windows). The shared machine code is compiled once per
# deliverable into the object library lumoBANDS_core, which unit tests link as well.

file(GLOB LUMO_MACHINE_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/shell/*.cpp
     ${CMAKE_SOURCE_DIR}/engine/*.cpp
     ${CMAKE_SOURCE_DIR}/graph/*.cpp)

function(lumo_add_deliverable dir bands)
  set(core lumo${bands}_core)
  add_library(${core} OBJECT ${LUMO_MACHINE_SOURCES}
              ${CMAKE_SOURCE_DIR}/deliverables/${dir}/Entry.cpp)
  target_include_directories(${core} PUBLIC
                             ${CMAKE_SOURCE_DIR}
                             ${CMAKE_SOURCE_DIR}/deliverables/${dir})
  if(WIN32)
    target_compile_definitions(${core} PUBLIC _WIN32_WINNT=0x0601)
  else()
    target_link_libraries(${core} PUBLIC lumo_platform)
    target_compile_options(${core} PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
  endif()

  set(plugin lumo${bands})
  add_library(${plugin} MODULE $<TARGET_OBJECTS:${core}>)
  set_target_properties(${plugin} PROPERTIES
                        OUTPUT_NAME "Tarvo Lumo-${bands}"
                        PREFIX ""
                        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins)
  if(WIN32)
    set_target_properties(${plugin} PROPERTIES SUFFIX ".dll")
    target_sources(${plugin} PRIVATE ${CMAKE_SOURCE_DIR}/deliverables/exports.def)
    target_link_libraries(${plugin} PRIVATE gdiplus user32 gdi32)
    target_link_options(${plugin} PRIVATE -static -static-libgcc -static-libstdc++
                        -Wl,--kill-at)
  else()
    set_target_properties(${plugin} PROPERTIES SUFFIX ".so")
    target_link_libraries(${plugin} PRIVATE lumo_platform)
    target_link_options(${plugin} PRIVATE -Wl,-z,defs
                        -Wl,--version-script=${CMAKE_SOURCE_DIR}/deliverables/exports.map)
  endif()
  set_property(GLOBAL APPEND PROPERTY LUMO_PLUGINS ${plugin})
endfunction()
