# Turns linked ARM code into a C++ header and source (run with cmake -P; see
# tembrel_arm_code in ArmCode.cmake for the parameters).

if(POSITION_INDEPENDENT)
    file(READ ${RELOCATIONS} relocationText)
    if(relocationText MATCHES "Relocation section")
        message(FATAL_ERROR "${NAME}: the code must be position-independent, but it needs relocations:\n${relocationText}")
    endif()
endif()

file(READ ${BIN} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
if(COPY_SIZE)
    if(size GREATER COPY_SIZE)
        message(FATAL_ERROR "${NAME}: the code is ${size} bytes, more than its copy size of ${COPY_SIZE} bytes")
    endif()
    math(EXPR padding "(${COPY_SIZE} - ${size}) * 2")
    string(REPEAT "0" ${padding} zeros)
    string(APPEND hex "${zeros}")
    set(size ${COPY_SIZE})
endif()

# Sixteen bytes a line.
set(bytes "")
string(LENGTH "${hex}" hexLength)
foreach(offset RANGE 0 ${hexLength} 32)
    if(offset LESS hexLength)
        string(SUBSTRING "${hex}" ${offset} 32 line)
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " line "${line}")
        string(STRIP "${line}" line)
        string(APPEND bytes "    ${line}\n")
    endif()
endforeach()

# Global routines, from "address size type name" lines of nm.
file(STRINGS ${SYMBOLS} symbolLines)
set(routines "")
foreach(line IN LISTS symbolLines)
    if(line MATCHES "^([0-9a-f]+) ([0-9a-f]+) T ([A-Za-z_][A-Za-z0-9_]*)$")
        string(APPEND routines "inline constexpr platform::ArmRoutine ${CMAKE_MATCH_3}{0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}};\n")
    endif()
endforeach()
set(dataAddresses "")
string(REPLACE "," ";" DATA "${DATA}")
foreach(data IN LISTS DATA)
    if(data MATCHES "^([A-Za-z_][A-Za-z0-9_]*)=(.*)$")
        string(APPEND dataAddresses "inline constexpr std::uint32_t ${CMAKE_MATCH_1}Address = ${CMAKE_MATCH_2};\n")
    endif()
endforeach()

file(WRITE ${HEADER}.new "// Generated at build time from the ARM assembly of ${NAME}; do not edit.
#pragma once

#include <cstdint>

#include \"platform/processor.h\"

namespace ${NAMESPACE} {

inline constexpr std::uint32_t base = ${BASE};
inline constexpr std::uint32_t size = ${size};
extern const std::uint8_t bytes[size];
/// The block as the processor role takes it.
inline constexpr platform::ArmCode code{base, bytes, size};

${routines}${dataAddresses}
}  // namespace ${NAMESPACE}
")
file(WRITE ${SOURCE}.new "// Generated at build time from the ARM assembly of ${NAME}; do not edit.
#include \"${INCLUDE}\"

namespace ${NAMESPACE} {

const std::uint8_t bytes[size] = {
${bytes}};

}  // namespace ${NAMESPACE}
")
# Rewrite only on change, so that an unchanged routine does not rebuild its users.
foreach(out HEADER SOURCE)
    file(COPY_FILE ${${out}}.new ${${out}} ONLY_IF_DIFFERENT)
    file(REMOVE ${${out}}.new)
endforeach()
