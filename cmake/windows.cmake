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
target_link_libraries(hzwk PRIVATE hzwkplatform hzwkcore comctl32 version advapi32 shell32 gdi32 user32)
target_link_options(hzwk PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections)

file(GLOB HZWKCTL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/hzwkctl/*.cpp)
add_executable(hzwkctl ${HZWKCTL_SOURCES})
target_link_libraries(hzwkctl PRIVATE hzwkplatform hzwkcore version advapi32 shell32 user32)
target_link_options(hzwkctl PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/e2e)
endif()
