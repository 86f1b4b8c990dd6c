# Every layer is one static library made of the sources of its directory, so adding a file
# never means editing a list that another change also edits.
function(dadazado_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_library(${name} STATIC ${sources} ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE dadazado_warnings)
endfunction()
