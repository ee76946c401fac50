# Runs the GUI tests that type, export, import, save and print numbers once under C.UTF-8 and
# once under de_DE.UTF-8 (a comma-decimal desktop), then compares what the two runs wrote: every
# file byte for byte, the printed PDF by its text (the PDF's own creation date differs).
#   cmake -DTEST_GUI=<test_gui> -DOUT=<folder> -P NumbersInEveryLanguage.cmake
if(NOT TEST_GUI OR NOT OUT)
    message(FATAL_ERROR "TEST_GUI and OUT are required")
endif()
file(REMOVE_RECURSE "${OUT}")

set(runs point comma)
set(locale_point C.UTF-8)
set(locale_comma de_DE.UTF-8)
set(expect_point "")
set(expect_comma RV_EXPECT_COMMA_DECIMAL=1)
foreach(run IN LISTS runs)
    file(MAKE_DIRECTORY "${OUT}/${run}")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env LC_ALL=${locale_${run}} LANG=${locale_${run}}
                RV_NUMBERS_OUT=${OUT}/${run} ${expect_${run}}
                "${TEST_GUI}" --gtest_filter=NumbersInEveryLanguage.*
        RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "the tests failed under ${locale_${run}}")
    endif()
endforeach()

file(GLOB written RELATIVE "${OUT}/point" "${OUT}/point/*")
file(GLOB written_comma RELATIVE "${OUT}/comma" "${OUT}/comma/*")
list(SORT written)
list(SORT written_comma)
if(NOT written STREQUAL written_comma OR NOT written)
    message(FATAL_ERROR "the runs wrote different files: '${written}' and '${written_comma}'")
endif()
find_program(PDFTOTEXT pdftotext)
foreach(name IN LISTS written)
    set(a "${OUT}/point/${name}")
    set(b "${OUT}/comma/${name}")
    if(name MATCHES "\\.pdf$")
        if(NOT PDFTOTEXT)
            message(STATUS "pdftotext is missing: ${name} not compared")
            continue()
        endif()
        execute_process(COMMAND "${PDFTOTEXT}" -layout "${a}" "${a}.txt")
        execute_process(COMMAND "${PDFTOTEXT}" -layout "${b}" "${b}.txt")
        set(a "${a}.txt")
        set(b "${b}.txt")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${a}" "${b}" RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${name} differs between C.UTF-8 and de_DE.UTF-8: ${a} ${b}")
    endif()
    message(STATUS "${name}: the same under both")
endforeach()
