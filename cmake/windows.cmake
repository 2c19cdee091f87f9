# Windows (mingw-w64) targets: hzwk.exe, hzwkctl.exe and the end-to-end helpers.
# Windows 2000 is the floor: one knob, and the ANSI API throughout.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 _WIN32_IE=0x0500 NOMINMAX WIN32_LEAN_AND_MEAN)
set(HZWK_STATIC_LINK -static -static-libgcc -static-libstdc++ -s)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "" FORCE)
endif()

macro(hzwk_windows_targets)
  # The Windows halves of the ports and of the Direct3D test.
  target_sources(hzwk_ports PRIVATE
    src/registry/win32_reg_api_win32.cpp
    src/os/win32_os_win32.cpp)
  target_link_libraries(hzwk_ports PUBLIC version advapi32 user32)
  target_sources(hzwk_domain PRIVATE
    src/d3dtest/d3d_runner_win32.cpp
    src/d3dtest/d3d_text_win32.cpp)

  # win: the one window kit every window is built on.
  hzwk_tier(hzwk_win
    src/win/win32_util_win32.cpp)
  target_link_libraries(hzwk_win PUBLIC hzwk_core gdi32 user32)

  # ui: the windows and WinMain, with the resources.
  configure_file(src/win/hzwk.manifest.in ${CMAKE_BINARY_DIR}/hzwk.manifest @ONLY)
  add_executable(hzwk WIN32
    src/ui/main_win32.cpp
    src/ui/main_window_win32.cpp
    src/ui/tvout_window_win32.cpp
    src/ui/about_window_win32.cpp
    src/ui/d3d_setup_window_win32.cpp
    src/win/hzwk.rc)
  target_link_libraries(hzwk PRIVATE hzwk_win hzwk_app)
  target_link_options(hzwk PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections)
  # The resources follow their icon, manifest and version.
  set_source_files_properties(src/win/hzwk.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/src/win/hzwk.ico;${CMAKE_BINARY_DIR}/hzwk.manifest;${CMAKE_SOURCE_DIR}/src/win/resource.h;${CMAKE_SOURCE_DIR}/src/core/version.h")
  target_include_directories(hzwk PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR})

  add_executable(hzwkctl tools/hzwkctl/main.cpp)
  target_link_libraries(hzwkctl PRIVATE hzwk_app hzwk_profile)
  target_link_options(hzwkctl PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections)

  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/e2e)
  endif()

  # The help file, compiled from help/ with chmcmd (package fp-utils) into hzwkhelp.chm
  # beside hzwk.exe, where Help > Topics looks for it.
  find_program(HZWK_CHMCMD chmcmd)
  if(HZWK_CHMCMD)
    file(GLOB HZWK_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
    set(HZWK_HELP_WORK ${CMAKE_BINARY_DIR}/help)
    file(MAKE_DIRECTORY ${HZWK_HELP_WORK})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/hzwkhelp.chm
      COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/help ${HZWK_HELP_WORK}
      COMMAND ${HZWK_CHMCMD} hzwkhelp.hhp
      COMMAND ${CMAKE_COMMAND} -E copy hzwkhelp.chm ${CMAKE_BINARY_DIR}/hzwkhelp.chm
      WORKING_DIRECTORY ${HZWK_HELP_WORK}
      DEPENDS ${HZWK_HELP_SOURCES}
      COMMENT "Compiling hzwkhelp.chm"
      VERBATIM)
    add_custom_target(hzwkhelp ALL DEPENDS ${CMAKE_BINARY_DIR}/hzwkhelp.chm)
  else()
    message(WARNING "chmcmd (package fp-utils) not found: hzwkhelp.chm is not built")
  endif()
endmacro()
