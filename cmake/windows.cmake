# Windows (mingw-w64) targets: hzwk.exe, hzwkctl.exe and the end-to-end helpers.
# Windows 2000 is the floor: one knob, and the ANSI API throughout.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 _WIN32_IE=0x0500 NOMINMAX WIN32_LEAN_AND_MEAN)
set(HZWK_STATIC_LINK -static -static-libgcc -static-libstdc++ -s)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "" FORCE)
endif()
target_compile_options(hzwkcore PRIVATE -ffunction-sections -fdata-sections)

# Registry and operating-system adapters serve both the window program and the console tool.
file(GLOB HZWK_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/registry/*_win32.cpp ${CMAKE_SOURCE_DIR}/src/os/*_win32.cpp)
set(HZWK_GUI_SOURCES ${HZWK_ALL_SOURCES})
list(FILTER HZWK_GUI_SOURCES INCLUDE REGEX "_win32\\.cpp$")
list(REMOVE_ITEM HZWK_GUI_SOURCES ${HZWK_PLATFORM_SOURCES})
file(GLOB HZWK_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/*.rc)

add_library(hzwkplatform STATIC ${HZWK_PLATFORM_SOURCES})
target_link_libraries(hzwkplatform PUBLIC hzwkcore)
target_compile_options(hzwkplatform PRIVATE -ffunction-sections -fdata-sections)

add_executable(hzwk WIN32 ${HZWK_GUI_SOURCES} ${HZWK_RESOURCES})
target_link_libraries(hzwk PRIVATE hzwkplatform hzwkcore version advapi32 gdi32 user32)
target_link_options(hzwk PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections)

file(GLOB HZWKCTL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/hzwkctl/*.cpp)
add_executable(hzwkctl ${HZWKCTL_SOURCES})
target_link_libraries(hzwkctl PRIVATE hzwkplatform hzwkcore version advapi32 user32)
target_link_options(hzwkctl PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/e2e)
endif()

# The resources follow their icon and manifest.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/ui/hzwk.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/ui/hzwk.ico;${CMAKE_SOURCE_DIR}/src/ui/hzwk.manifest;${CMAKE_SOURCE_DIR}/src/ui/resource.h")

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

# Windows-side checks of the Win32 adapters (hzwkadaptercheck.exe).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/win32/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_BINARY_DIR}/win32)
endif()
