# Reads the version from src/core/version.h, the one place it is written, into
# HZWK_VERSION_TEXT ("2.1a") and HZWK_VERSION_DOTTED ("2.1.0.1"), and stops when the two lines
# there are missing or say different versions: the numeric form is the text's major and minor
# number, 0, and the letter's place in the alphabet (none: 0), so "2.1a" is 2, 1, 0, 1.
set(hzwk_version_file ${CMAKE_CURRENT_LIST_DIR}/../src/core/version.h)
file(STRINGS ${hzwk_version_file} hzwk_text_line REGEX "^#define HZWK_VERSION_TEXT ")
file(STRINGS ${hzwk_version_file} hzwk_binary_line REGEX "^#define HZWK_VERSION_BINARY ")
if(NOT hzwk_text_line MATCHES "^#define HZWK_VERSION_TEXT \"([0-9]+)\\.([0-9]+)([a-z]?)\"$")
  message(FATAL_ERROR "src/core/version.h: no line '#define HZWK_VERSION_TEXT \"MAJOR.MINOR\"' "
    "with an optional small letter after the minor number (such as \"2.1a\")")
endif()
set(hzwk_major ${CMAKE_MATCH_1})
set(hzwk_minor ${CMAKE_MATCH_2})
set(hzwk_letter "${CMAKE_MATCH_3}")
set(HZWK_VERSION_TEXT "${hzwk_major}.${hzwk_minor}${hzwk_letter}")
if(hzwk_letter STREQUAL "")
  set(hzwk_letter_number 0)
else()
  string(FIND "abcdefghijklmnopqrstuvwxyz" "${hzwk_letter}" hzwk_letter_number)
  math(EXPR hzwk_letter_number "${hzwk_letter_number} + 1")
endif()
set(hzwk_expected "${hzwk_major}, ${hzwk_minor}, 0, ${hzwk_letter_number}")
if(NOT hzwk_binary_line MATCHES "^#define HZWK_VERSION_BINARY ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)$")
  message(FATAL_ERROR "src/core/version.h: no line '#define HZWK_VERSION_BINARY A, B, C, D' "
    "(for \"${HZWK_VERSION_TEXT}\": ${hzwk_expected})")
endif()
if(NOT (CMAKE_MATCH_1 EQUAL hzwk_major AND CMAKE_MATCH_2 EQUAL hzwk_minor AND CMAKE_MATCH_3 EQUAL 0
        AND CMAKE_MATCH_4 EQUAL hzwk_letter_number))
  message(FATAL_ERROR "src/core/version.h: HZWK_VERSION_BINARY says "
    "${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, ${CMAKE_MATCH_3}, ${CMAKE_MATCH_4}, but "
    "HZWK_VERSION_TEXT \"${HZWK_VERSION_TEXT}\" is ${hzwk_expected}")
endif()
set(HZWK_VERSION_DOTTED "${hzwk_major}.${hzwk_minor}.0.${hzwk_letter_number}")
