# Copies resources/ into the program directory and makes the default set of every model and
# frequency range named in Model.dat with `rvcps-cli new`.
file(GLOB_RECURSE RV_RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
set(RV_RESOURCE_STAMP ${CMAKE_BINARY_DIR}/resources.stamp)
add_custom_command(
    OUTPUT ${RV_RESOURCE_STAMP}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/bin
    COMMAND ${CMAKE_COMMAND} -E touch ${RV_RESOURCE_STAMP}
    DEPENDS ${RV_RESOURCE_FILES}
    COMMENT "Copying resources to the program directory")

set(RV_DEFAULTSET_STAMP ${CMAKE_BINARY_DIR}/defaultsets.stamp)
add_custom_command(
    OUTPUT ${RV_DEFAULTSET_STAMP}
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:rvcps-cli> -DHOME=${CMAKE_BINARY_DIR}/bin
            -DMODELDAT=${CMAKE_SOURCE_DIR}/resources/Model.dat
            -P ${CMAKE_SOURCE_DIR}/cmake/MakeDefaultSets.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${RV_DEFAULTSET_STAMP}
    DEPENDS rvcps-cli ${RV_RESOURCE_STAMP} ${CMAKE_SOURCE_DIR}/cmake/MakeDefaultSets.cmake
    COMMENT "Making the default set of every model and frequency range")
add_custom_target(resources ALL DEPENDS ${RV_RESOURCE_STAMP} ${RV_DEFAULTSET_STAMP})
