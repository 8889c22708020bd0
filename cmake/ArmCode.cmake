# The system's own ARM code, assembled at build time with the GNU ARM toolchain and
# embedded in the host program as bytes.
include_guard(GLOBAL)

find_program(TEMBREL_ARM_AS arm-none-eabi-as REQUIRED)
find_program(TEMBREL_ARM_LD arm-none-eabi-ld REQUIRED)
find_program(TEMBREL_ARM_OBJCOPY arm-none-eabi-objcopy REQUIRED)
find_program(TEMBREL_ARM_NM arm-none-eabi-nm REQUIRED)
find_program(TEMBREL_ARM_READELF arm-none-eabi-readelf REQUIRED)

# tembrel_arm_code(<name>
#     OBJECTS <source>:<assembler flags separated by commas> ...
#     HEADER <header path under the generated folder> NAMESPACE <C++ namespace>
#     [BASE <link address>] [DATA <symbol>=<address> ...]
#     [COPY_SIZE <bytes>] [POSITION_INDEPENDENT] [TARGET <library>])
#
# Assembles each source, links them at BASE (0 by default) with the DATA symbols
# placed at fixed addresses, and generates a header and a source that hold the
# bytes and the address and size of every global routine. With COPY_SIZE the bytes
# are padded to exactly that many, and the build fails when the code is larger.
# With POSITION_INDEPENDENT the build fails when an object needs a relocation, that
# is, when the code holds an address that would only be right at one place. The
# bytes go into TARGET, the system's own library unless another is named.
function(tembrel_arm_code name)
    cmake_parse_arguments(ARG "POSITION_INDEPENDENT" "HEADER;NAMESPACE;BASE;COPY_SIZE;TARGET" "OBJECTS;DATA" ${ARGN})
    if(NOT ARG_TARGET)
        set(ARG_TARGET tembrel)
    endif()
    set(generated ${CMAKE_BINARY_DIR}/generated)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedArmCode.cmake)
    if(NOT ARG_BASE)
        set(ARG_BASE 0)
    endif()
    set(work ${CMAKE_CURRENT_BINARY_DIR}/arm/${name})
    set(objects "")
    set(index 0)
    foreach(entry IN LISTS ARG_OBJECTS)
        string(REPLACE ":" ";" fields "${entry}")
        list(GET fields 0 source)
        list(GET fields 1 flags)
        string(REPLACE "," ";" flags "${flags}")
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
        set(object ${work}/object${index}.o)
        add_custom_command(OUTPUT ${object}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
            COMMAND ${TEMBREL_ARM_AS} ${flags} -o ${object} ${source}
            DEPENDS ${source}
            COMMENT "Assembling ${name} from ${source}"
            VERBATIM)
        list(APPEND objects ${object})
        math(EXPR index "${index} + 1")
    endforeach()

    set(defsyms "")
    string(REPLACE ";" "," dataList "${ARG_DATA}")
    foreach(data IN LISTS ARG_DATA)
        list(APPEND defsyms --defsym=${data})
    endforeach()
    set(elf ${work}/${name}.elf)
    set(bin ${work}/${name}.bin)
    set(symbols ${work}/${name}.sym)
    set(relocations ${work}/${name}.rel)
    set(header ${generated}/${ARG_HEADER})
    set(source_out ${work}/${name}.cpp)
    add_custom_command(OUTPUT ${header} ${source_out}
        COMMAND ${TEMBREL_ARM_LD} -Ttext=${ARG_BASE} -e ${ARG_BASE} ${defsyms} -o ${elf} ${objects}
        COMMAND ${TEMBREL_ARM_OBJCOPY} -O binary -j .text ${elf} ${bin}
        COMMAND ${TEMBREL_ARM_NM} -S --defined-only ${elf} > ${symbols}
        COMMAND ${TEMBREL_ARM_READELF} -r ${objects} > ${relocations}
        COMMAND ${CMAKE_COMMAND}
            -DNAME=${name} -DBIN=${bin} -DSYMBOLS=${symbols} -DRELOCATIONS=${relocations}
            -DHEADER=${header} -DSOURCE=${source_out} -DINCLUDE=${ARG_HEADER}
            -DNAMESPACE=${ARG_NAMESPACE} -DBASE=${ARG_BASE} -DCOPY_SIZE=${ARG_COPY_SIZE}
            -DPOSITION_INDEPENDENT=${ARG_POSITION_INDEPENDENT} -DDATA=${dataList}
            -P ${script}
        DEPENDS ${objects} ${script}
        COMMENT "Embedding ARM code ${name}"
        VERBATIM)
    # The library lives in the top directory, where a Makefile build sees this
    # folder's custom commands only through a target of their own.
    add_custom_target(${name}Code DEPENDS ${header} ${source_out})
    set_source_files_properties(${source_out} ${header} DIRECTORY ${PROJECT_SOURCE_DIR} PROPERTIES GENERATED TRUE)
    add_dependencies(${ARG_TARGET} ${name}Code)
    target_sources(${ARG_TARGET} PRIVATE ${source_out} ${header})
    target_include_directories(${ARG_TARGET} PUBLIC ${generated})
endfunction()
