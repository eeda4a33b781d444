# One library per folder of src/, and for a folder with Win32 files one more for its edge.
# Each folder sees only itself and the folders below it: its include root in the build
# tree links to exactly those, so an include of a folder above fails to compile, as a
# <windows.h> in a portable file fails the native build. The direction:
#
#   base  <-  platform, transfer  <-  setup  <-  ui  <-  app
#
# kalvera_folder(<folder> [BELOW <folders it may include>...])
function(kalvera_folder folder)
  cmake_parse_arguments(arg "" "" "BELOW" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include_roots/${folder})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(seen ${folder} ${arg_BELOW})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${seen} ${root}/${seen} SYMBOLIC)
  endforeach()
  set_property(GLOBAL PROPERTY kalvera_root_${folder} ${root})

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main_win32\\.cpp$")
  set(portable ${sources})
  list(FILTER portable EXCLUDE REGEX "_win32\\.cpp$")
  set(edge ${sources})
  list(FILTER edge INCLUDE REGEX "_win32\\.cpp$")

  set(below_portable "")
  set(below_edge "")
  foreach(below ${arg_BELOW})
    if(TARGET kalvera_${below})
      list(APPEND below_portable kalvera_${below})
    endif()
    if(TARGET kalvera_${below}_win32)
      list(APPEND below_edge kalvera_${below}_win32)
    endif()
  endforeach()

  if(portable)
    add_library(kalvera_${folder} STATIC ${portable})
    target_include_directories(kalvera_${folder} PRIVATE ${root})
    target_link_libraries(kalvera_${folder} PUBLIC ${below_portable})
  endif()
  if(WIN32 AND edge)
    add_library(kalvera_${folder}_win32 STATIC ${edge})
    target_include_directories(kalvera_${folder}_win32 PRIVATE ${root})
    target_compile_definitions(kalvera_${folder}_win32 PUBLIC
      UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    if(TARGET kalvera_${folder})
      target_link_libraries(kalvera_${folder}_win32 PUBLIC kalvera_${folder})
    endif()
    target_link_libraries(kalvera_${folder}_win32 PUBLIC ${below_edge} ${below_portable})
  endif()
endfunction()
