# Project-wide compiler settings: warnings, optional sanitizers.
add_compile_options(-Wall -Wextra -Wpedantic)
if(TAVREL_WERROR)
    add_compile_options(-Werror)
    # GCC 12 reports out-of-bounds copies inside std::vector's range insert that cannot happen
    # (GCC bug 107852); they stay warnings there.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        add_compile_options(-Wno-error=array-bounds -Wno-error=stringop-overflow)
    endif()
endif()

if(TAVREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Adds every subfolder of the current folder that has a CMakeLists.txt.
function(tavrel_add_subfolders)
    file(GLOB children RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*")
    list(SORT children)
    foreach(child ${children})
        if(child STREQUAL "app" AND NOT TAVREL_BUILD_APP)
            continue()
        endif()
        if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${child}"
           AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt")
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
