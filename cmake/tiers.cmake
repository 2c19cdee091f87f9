# The tiers' libraries, from src/TIERS (the one list of the tiers): one static library per
# source folder, hzwk_<folder>, of the folder's .cpp files (the *_win32.cpp ones only for
# Windows), linked to the libraries of the folders it may include. The programs' folders
# (ui, tools/...) make no library: hzwk_tier_libraries(VAR FOLDER) names what they link.

file(STRINGS ${CMAKE_SOURCE_DIR}/src/TIERS hzwk_tier_lines REGEX "^[a-z]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/TIERS)
set(HZWK_TIERS)
foreach(line IN LISTS hzwk_tier_lines)
  string(REGEX REPLACE "[ \t]+" ";" words "${line}")
  list(POP_FRONT words folder)
  list(APPEND HZWK_TIERS ${folder})
  set(HZWK_TIER_INCLUDES_${folder} ${words})
endforeach()

# The libraries of the folders `folder` may include, the highest tier first (the order the
# linker needs), into VAR.
function(hzwk_tier_libraries var folder)
  set(libraries)
  foreach(below IN LISTS HZWK_TIER_INCLUDES_${folder})
    if(TARGET hzwk_${below})
      list(PREPEND libraries hzwk_${below})
    endif()
  endforeach()
  set(${var} ${libraries} PARENT_SCOPE)
endfunction()

foreach(folder IN LISTS HZWK_TIERS)
  if(folder STREQUAL "ui" OR folder MATCHES "^tools/")
    continue()
  endif()
  # Found when configuring (scripts/test.sh always configures first): a new source file needs
  # CMake run again. Not CONFIGURE_DEPENDS, whose check Ninja would run at every build.
  file(GLOB sources ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  if(NOT WIN32)
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  # The terminate handler goes into each program itself, not into a library: it replaces
  # libstdc++'s own, and a library member is only linked for a name still missing.
  list(FILTER sources EXCLUDE REGEX "/core/terminate_win32\\.cpp$")
  if(NOT sources)
    continue()  # the window kit, natively
  endif()
  add_library(hzwk_${folder} STATIC ${sources})
  target_include_directories(hzwk_${folder} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(hzwk_${folder} PRIVATE ${HZWK_STRICT_WARNINGS})
  if(WIN32)
    target_compile_options(hzwk_${folder} PRIVATE -ffunction-sections -fdata-sections)
  endif()
  hzwk_tier_libraries(below ${folder})
  target_link_libraries(hzwk_${folder} PUBLIC ${below})
endforeach()
