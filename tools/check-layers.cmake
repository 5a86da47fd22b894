cmake_minimum_required(VERSION 3.25)

# Checks that every source file includes only what its layer may use, and fails (naming the file, the
# include and the rule) when one does not. Run on every build by the target check-layers:
#   cmake -DSOURCE_DIR=<project root> -P tools/check-layers.cmake
#
#   engine core     the C++ standard library and the core's own headers
#   engine files    the above and the files layer's headers
#   engine exports  the above, engine/exports/ and nlohmann-json
#   (the engine never includes Qt)
#   ui/common       the engine, Qt, common/
#   a screen folder the engine, Qt, common/, shell/Application.h and its own folder
#   ui/shell        the same with shell/; Application.cpp, which builds every screen, any folder of ui/
#   cli             the engine and cli/

set(core_headers
    AttenuationCoefficients AttenuationTableText BeamQuality BeamQualityTable BowtieShape CalculationState
    CalibrationRun Filtration InputRanges Messages MessageText NumberText OffAxisRun Phrase ProfileGeometry
    Reporter ResultsDisplay RunRecord SpectrumPlotScale Translatable TuckerSpectrum Version)
set(files_headers AttenuationTable InputFile ResultFile SafeSave Sha256 ShiftJis TemporaryFiles)

set(core_allowed "")
foreach(stem ${core_headers})
    list(APPEND core_allowed "engine/${stem}.h")
endforeach()
set(files_allowed ${core_allowed})
foreach(stem ${files_headers})
    list(APPEND files_allowed "engine/${stem}.h")
endforeach()

set(failures "")

# `file` (relative to SOURCE_DIR) may include the quoted headers for which `allowed` (a CMake regex) matches,
# and no angle-bracket header that `forbiddenSystem` matches.
function(check file allowed forbiddenSystem layer)
    file(STRINGS "${SOURCE_DIR}/${file}" lines REGEX "^[ \t]*#[ \t]*include")
    get_filename_component(dir "${file}" DIRECTORY)
    foreach(line IN LISTS lines)
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header "${CMAKE_MATCH_1}")
            # The file's own folder (its header, a generated .moc) is always in reach.
            if(EXISTS "${SOURCE_DIR}/${dir}/${header}" OR header MATCHES "\\.moc$")
                if(NOT header MATCHES "/")
                    continue()
                endif()
            endif()
            if(NOT header MATCHES "${allowed}")
                set(failures "${failures}${file}: includes \"${header}\", which the ${layer} may not use\n"
                    PARENT_SCOPE)
                return()
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            set(header "${CMAKE_MATCH_1}")
            if(forbiddenSystem AND header MATCHES "${forbiddenSystem}")
                set(failures "${failures}${file}: includes <${header}>, which the ${layer} may not use\n"
                    PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
endfunction()

function(regex_of list out)
    string(REPLACE "." "\\." escaped "${list}")
    string(REPLACE ";" "|" joined "${escaped}")
    set(${out} "^(${joined})$" PARENT_SCOPE)
endfunction()

regex_of("${core_allowed}" core_regex)
regex_of("${files_allowed}" files_regex)
set(qt_or_json "^(Q|nlohmann/)")

foreach(stem ${core_headers})
    foreach(ext h cpp)
        if(EXISTS "${SOURCE_DIR}/engine/${stem}.${ext}")
            check("engine/${stem}.${ext}" "${core_regex}" "${qt_or_json}" "engine core")
        endif()
    endforeach()
endforeach()
foreach(stem ${files_headers})
    file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/engine/${stem}*.h" "${SOURCE_DIR}/engine/${stem}*.cpp")
    foreach(source ${sources})
        check("${source}" "${files_regex}" "${qt_or_json}" "engine files layer")
    endforeach()
endforeach()
# Every engine file belongs to a layer.
file(GLOB engine_sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/engine/*.h" "${SOURCE_DIR}/engine/*.cpp")
foreach(source ${engine_sources})
    get_filename_component(stem "${source}" NAME_WE)
    if(NOT stem IN_LIST core_headers AND NOT stem MATCHES "^(AttenuationTable|InputFile|ResultFile.*|SafeSave|Sha256|ShiftJis|TemporaryFiles)$")
        set(failures "${failures}${source}: belongs to no engine layer (tools/check-layers.cmake)\n")
    endif()
endforeach()
file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/engine/exports/*")
string(REPLACE ")$" "|engine/exports/[A-Za-z0-9]+\\.h)$" exports_regex "${files_regex}")
foreach(source ${sources})
    check("${source}" "${exports_regex}" "^Q" "engine exports layer")
endforeach()

file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/ui/common/*")
foreach(source ${sources})
    check("${source}" "^(engine/.*|common/[A-Za-z0-9]+\\.h)$" "" "common GUI")
endforeach()
foreach(screen centre_axis dose_profile results)
    file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/ui/${screen}/*")
    foreach(source ${sources})
        check("${source}" "^(engine/.*|common/[A-Za-z0-9]+\\.h|shell/Application\\.h|${screen}/[A-Za-z0-9]+\\.h)$" ""
              "screen folder ui/${screen}")
    endforeach()
endforeach()
file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/ui/shell/*")
foreach(source ${sources})
    if(source MATCHES "/Application\\.cpp$")
        continue()
    endif()
    check("${source}" "^(engine/.*|common/[A-Za-z0-9]+\\.h|shell/[A-Za-z0-9]+\\.h)$" "" "shell")
endforeach()
file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/cli/*.h" "${SOURCE_DIR}/cli/*.cpp")
foreach(source ${sources})
    check("${source}" "^(engine/.*|cli/[A-Za-z0-9]+\\.h)$" "^Q" "batch tool")
endforeach()

if(failures)
    message(FATAL_ERROR "Includes across layers (docs/architecture.md):\n${failures}")
endif()
