# Windows (mingw-w64) targets: hzwk.exe, hzwkctl.exe, the end-to-end helpers and the benchmarks' ones.
# Windows 2000 is the floor: one knob, and the ANSI API throughout.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 _WIN32_IE=0x0500 NOMINMAX WIN32_LEAN_AND_MEAN)
# No run-time type information (nothing asks for it) and no locks around function-local statics
# (the program has one thread): both only add code and tables.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti> $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>)
# user32 and gdi32 functions are called through their stubs, not through dllimport's address
# slots (the headers leave dllimport off for the DLL they are told they build): 32-bit ld drops
# the stub of a function that only its slot names, and for a delay-loaded DLL that stub is
# what loads it, so the first call would jump to 0. scripts/check-imports.sh finds such a slot.
add_compile_definitions(_USER32_ _GDI32_)
# A build is the same bytes wherever and whenever it is made: no folder of this build in the
# objects (__FILE__, debug names), no link time in the executables.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
set(HZWK_STATIC_LINK -static -static-libgcc -static-libstdc++ -s -Wl,--no-insert-timestamp)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "" FORCE)
endif()

# hzwk_delay_import_lib(VAR NAME DLL): a delay-load import library for the system DLL, made at
# configure time from the toolchain's own import library (every function it lists), into VAR.
# Code linked against it loads the DLL at its first call, through the helper in libmingwex,
# which itself needs only LoadLibraryA, GetProcAddress and the like from kernel32.
function(hzwk_delay_import_lib var name dll)
  set(dir ${CMAKE_BINARY_DIR}/delayimp)
  set(out ${dir}/lib${name}-delay.a)
  if(NOT EXISTS ${out})
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a
      OUTPUT_VARIABLE implib OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_NM} ${implib} OUTPUT_VARIABLE symbols ERROR_QUIET)
    # 32-bit names carry stdcall's "@bytes"; --kill-at drops it from the name looked up.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(prefix "__imp__")
      set(kill_at --kill-at)
    else()
      set(prefix "__imp_")
      set(kill_at)
    endif()
    string(REGEX MATCHALL " I ${prefix}[^\n]+" entries "${symbols}")
    list(REMOVE_DUPLICATES entries)
    set(def "EXPORTS\n")
    foreach(entry IN LISTS entries)
      string(REPLACE " I ${prefix}" "" entry "${entry}")
      string(APPEND def "${entry}\n")
    endforeach()
    list(LENGTH entries count)
    if(count LESS 100)
      message(FATAL_ERROR "${implib}: found only ${count} functions for the delay-load library")
    endif()
    file(MAKE_DIRECTORY ${dir})
    file(WRITE ${dir}/${name}.def "${def}")
    execute_process(COMMAND ${CMAKE_DLLTOOL} ${kill_at} -D ${dll} -d ${dir}/${name}.def -y ${out}
      RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      file(REMOVE ${out})
      message(FATAL_ERROR "dlltool could not make ${out}")
    endif()
  endif()
  set(${var} ${out} PARENT_SCOPE)
endfunction()

macro(hzwk_windows_targets)
  # The system libraries of the registry and os tiers. user32 and gdi32 are named per
  # executable: hzwk.exe takes them delay-loaded (below).
  target_link_libraries(hzwk_registry PUBLIC advapi32)
  target_link_libraries(hzwk_os PUBLIC version advapi32)

  # ui: the windows and WinMain, with the resources.
  configure_file(src/ui/hzwk.manifest.in ${CMAKE_BINARY_DIR}/hzwk.manifest @ONLY)
  # The windows themselves, listed once: the window tests (tests/win32) build them too.
  set(HZWK_UI_SOURCES
    ${CMAKE_SOURCE_DIR}/src/ui/main_window_win32.cpp
    ${CMAKE_SOURCE_DIR}/src/ui/tvout_window_win32.cpp
    ${CMAKE_SOURCE_DIR}/src/ui/about_window_win32.cpp
    ${CMAKE_SOURCE_DIR}/src/ui/d3d_setup_window_win32.cpp)
  add_executable(hzwk WIN32
    src/ui/main_win32.cpp
    ${HZWK_UI_SOURCES}
    src/ui/runtime_win32.cpp
    src/core/terminate_win32.cpp
    src/ui/hzwk.rc)
  # Every tier ui may include (src/TIERS), then the delay-load libraries: they must come after
  # all our code and before the system's own user32 and gdi32, so that they answer every call.
  hzwk_delay_import_lib(HZWK_DELAY_USER32 user32 USER32.dll)
  hzwk_delay_import_lib(HZWK_DELAY_GDI32 gdi32 GDI32.dll)
  target_compile_options(hzwk PRIVATE ${HZWK_STRICT_WARNINGS})
  hzwk_tier_libraries(HZWK_LIBRARIES ui)
  target_link_libraries(hzwk PRIVATE ${HZWK_LIBRARIES} ${HZWK_DELAY_USER32} ${HZWK_DELAY_GDI32})
  # No base relocations: Windows 2000 and XP load an exe at its own base, always.
  target_link_options(hzwk PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections
    -Wl,--disable-dynamicbase,--disable-reloc-section)
  # The resources follow their icon, manifest and version.
  set_source_files_properties(src/ui/hzwk.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/src/ui/hzwk.ico;${CMAKE_BINARY_DIR}/hzwk.manifest;${CMAKE_SOURCE_DIR}/src/ui/resource.h;${CMAKE_SOURCE_DIR}/src/core/version.h")
  target_include_directories(hzwk PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR})

  # The terminate handler is named here, not taken from a library: it replaces libstdc++'s own,
  # and a library member is only linked for a name still missing when it is searched.
  add_executable(hzwkctl tools/hzwkctl/main.cpp tools/hzwkctl/throw_win32.cpp
    src/core/terminate_win32.cpp)
  hzwk_tier_libraries(HZWKCTL_LIBRARIES tools/hzwkctl)
  target_link_libraries(hzwkctl PRIVATE ${HZWKCTL_LIBRARIES} user32)
  target_compile_options(hzwkctl PRIVATE ${HZWK_STRICT_WARNINGS})
  target_link_options(hzwkctl PRIVATE ${HZWK_STATIC_LINK} -Wl,--gc-sections
    -Wl,--disable-dynamicbase,--disable-reloc-section)

  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/e2e)
  endif()
  add_subdirectory(${CMAKE_SOURCE_DIR}/bench ${CMAKE_BINARY_DIR}/bench)

  # The release's reproducible steps (the help file's time fields, the zip and its checksum)
  # take their time from SOURCE_DATE_EPOCH or the commit.
  find_program(HZWK_PYTHON python3 REQUIRED)
  set(HZWK_RELEASE_PY ${CMAKE_SOURCE_DIR}/cmake/release.py)

  # The help file, compiled from help/ with chmcmd (package fp-utils) into hzwkhelp.chm
  # beside hzwk.exe, where Help > Topics looks for it. The pages are configured into the help
  # work folder first: they take the version (@HZWK_VERSION_TEXT@) from src/core/version.h.
  # hzwkhelp.hhp asks for no binary index: chmcmd leaves two bytes of that index's keyword map
  # unset, so the file would differ from build to build; the Index tab reads hzwkhelp.hhk.
  find_program(HZWK_CHMCMD chmcmd)
  if(HZWK_CHMCMD)
    file(GLOB HZWK_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
    set(HZWK_HELP_WORK ${CMAKE_BINARY_DIR}/help)
    file(REMOVE_RECURSE ${HZWK_HELP_WORK})
    set(HZWK_HELP_FILES)
    foreach(source IN LISTS HZWK_HELP_SOURCES)
      get_filename_component(name ${source} NAME)
      configure_file(${source} ${HZWK_HELP_WORK}/${name} @ONLY)
      list(APPEND HZWK_HELP_FILES ${HZWK_HELP_WORK}/${name})
    endforeach()
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/hzwkhelp.chm
      COMMAND ${HZWK_CHMCMD} hzwkhelp.hhp
      COMMAND ${HZWK_PYTHON} ${HZWK_RELEASE_PY} chm-stamp ${CMAKE_SOURCE_DIR} hzwkhelp.chm
      COMMAND ${CMAKE_COMMAND} -E copy hzwkhelp.chm ${CMAKE_BINARY_DIR}/hzwkhelp.chm
      WORKING_DIRECTORY ${HZWK_HELP_WORK}
      DEPENDS ${HZWK_HELP_FILES} ${HZWK_RELEASE_PY}
      COMMENT "Compiling hzwkhelp.chm"
      VERBATIM)
    add_custom_target(hzwkhelp ALL DEPENDS ${CMAKE_BINARY_DIR}/hzwkhelp.chm)
    install(FILES ${CMAKE_BINARY_DIR}/hzwkhelp.chm DESTINATION .)
  else()
    message(WARNING "chmcmd (package fp-utils) not found: hzwkhelp.chm is not built")
  endif()

  # The release a user downloads: `cmake --build BUILD --target package` makes
  # Hertzwerk-<version>-win32.zip (win64 from the 64-bit build) holding, at its top, the two
  # programs, the help file and readme.txt (ASCII, so the same in every ANSI code page; CR LF),
  # and its checksum beside it, Hertzwerk-<version>-win32.zip.sha256. Made by release.py, not
  # CPack, whose entries carry the build's times: entries in name order, the commit's time.
  configure_file(release/readme.txt.in ${CMAKE_BINARY_DIR}/readme.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS hzwk hzwkctl RUNTIME DESTINATION .)
  install(FILES ${CMAKE_BINARY_DIR}/readme.txt DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(HZWK_PACKAGE ${CMAKE_BINARY_DIR}/Hertzwerk-${HZWK_VERSION_TEXT}-win32.zip)
  else()
    set(HZWK_PACKAGE ${CMAKE_BINARY_DIR}/Hertzwerk-${HZWK_VERSION_TEXT}-win64.zip)
  endif()
  set(HZWK_PACKAGE_FILES $<TARGET_FILE:hzwk> $<TARGET_FILE:hzwkctl> ${CMAKE_BINARY_DIR}/readme.txt)
  if(HZWK_CHMCMD)
    list(APPEND HZWK_PACKAGE_FILES ${CMAKE_BINARY_DIR}/hzwkhelp.chm)
  endif()
  # CMake keeps the name "package" for CPack while a CPack configuration lies in the build
  # folder, as one from before this target may.
  file(REMOVE ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
  add_custom_target(package
    COMMAND ${HZWK_PYTHON} ${HZWK_RELEASE_PY} zip ${CMAKE_SOURCE_DIR} ${HZWK_PACKAGE} ${HZWK_PACKAGE_FILES}
    COMMENT "Packing ${HZWK_PACKAGE}"
    VERBATIM)
  add_dependencies(package hzwk hzwkctl)
  if(HZWK_CHMCMD)
    add_dependencies(package hzwkhelp)
  endif()
  # The window tests need GoogleTest, which needs the posix-thread compilers: a build of its
  # own (scripts/test.sh makes it in build/win32-tests), never the product's.
  option(HZWK_WINDOW_TESTS "Build the window tests (posix-thread mingw compilers only)" OFF)
  if(HZWK_WINDOW_TESTS)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_BINARY_DIR}/win32-tests)
  endif()
endmacro()
