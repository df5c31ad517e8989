# lumo_component(TARGET FOLDER SOURCES...): one folder of the machine code as an object library
# that can include its own headers as "FOLDER/Name.h" and, through the targets it links, the
# headers of the components it depends on, and nothing else of the tree. The include root of each
# component is a folder in the build holding a single link to the source folder, so a component
# that was not linked cannot be included: dependencies point one way, enforced by the build.
function(lumo_component target folder)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} OBJECT ${ARGN})
  target_include_directories(${target} PUBLIC ${root})
  if(NOT WIN32)
    target_compile_options(${target} PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
  endif()
endfunction()
