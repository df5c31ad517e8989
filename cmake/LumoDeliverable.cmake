# lumo_add_deliverable(INDEX BANDS): the Buzz plug-in file "Tarvo Lumo-BANDS" (.so natively, .dll
# on Windows) of the family's machine at INDEX (product/Deliverables.h). The interface library
# lumoBANDS_machine carries the whole machine (its ThisDeliverable entry and the shell, graph,
# product and engine objects, each compiled once for all three plug-ins); the plug-in and the
# unit tests link it.
function(lumo_add_deliverable index bands)
  set(entry lumo${bands}_entry)
  add_library(${entry} OBJECT ${CMAKE_SOURCE_DIR}/shell/ThisDeliverable.cpp)
  target_compile_definitions(${entry} PRIVATE LUMO_DELIVERABLE_INDEX=${index})
  target_link_libraries(${entry} PUBLIC lumo_shell)

  set(machine lumo${bands}_machine)
  add_library(${machine} INTERFACE)
  target_sources(${machine} INTERFACE $<TARGET_OBJECTS:${entry}> $<TARGET_OBJECTS:lumo_shell>
                 $<TARGET_OBJECTS:lumo_graph_window> $<TARGET_OBJECTS:lumo_graph>
                 $<TARGET_OBJECTS:lumo_product> $<TARGET_OBJECTS:lumo_engine>)
  target_link_libraries(${machine} INTERFACE lumo_shell)
  if(WIN32)
    target_link_libraries(${machine} INTERFACE gdiplus user32 gdi32)
  endif()

  set(plugin lumo${bands})
  add_library(${plugin} MODULE)
  target_link_libraries(${plugin} PRIVATE ${machine})
  set_target_properties(${plugin} PROPERTIES
                        OUTPUT_NAME "Tarvo Lumo-${bands}"
                        PREFIX ""
                        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins)
  if(WIN32)
    set_target_properties(${plugin} PROPERTIES SUFFIX ".dll")
    target_sources(${plugin} PRIVATE ${CMAKE_SOURCE_DIR}/shell/exports.def)
    # No runtime DLLs beyond the system's; no debug symbols in what musicians install.
    target_link_options(${plugin} PRIVATE -static -static-libgcc -static-libstdc++
                        -Wl,--kill-at -s)
  else()
    set_target_properties(${plugin} PROPERTIES SUFFIX ".so")
    target_link_options(${plugin} PRIVATE -Wl,-z,defs
                        -Wl,--version-script=${CMAKE_SOURCE_DIR}/shell/exports.map)
  endif()
  set_property(GLOBAL APPEND PROPERTY LUMO_PLUGINS ${plugin})
endfunction()
