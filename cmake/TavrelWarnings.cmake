# Project-wide compiler settings: warnings, optional sanitizers.

# The warnings every target of the project is built with. Targets get them by linking this
# target; tavrel_link_warnings() below links it to each target of the build.
add_library(tavrel_warnings INTERFACE)
target_compile_options(tavrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
# Clang's -Wconversion also warns of every signed index into a container, which GCC's does not
# (GCC keeps that in -Wsign-conversion): both compilers hold the tree to the same rules.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(tavrel_warnings INTERFACE -Wno-sign-conversion)
endif()
if(TAVREL_WERROR)
    target_compile_options(tavrel_warnings INTERFACE -Werror)
    # GCC 12 reports out-of-bounds copies inside std::vector's range insert that cannot happen
    # (GCC bug 107852); they stay warnings there.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(tavrel_warnings INTERFACE
            -Wno-error=array-bounds -Wno-error=stringop-overflow)
    endif()
endif()

if(TAVREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Links tavrel_warnings to every target built from `folder` and the folders below it, so no
# target (the application's included) is built without them.
function(tavrel_link_warnings folder)
    get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            target_link_libraries(${target} PRIVATE tavrel_warnings)
        endif()
    endforeach()
    get_property(children DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
    foreach(child ${children})
        tavrel_link_warnings("${child}")
    endforeach()
endfunction()
