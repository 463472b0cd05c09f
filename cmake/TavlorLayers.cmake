# Layers of the program. Each layer is an object library whose headers are
# reachable as "<layer>/File.h" only by targets that link the layer: the
# include root handed out is a directory holding one link to that layer alone,
# so the dependency rule between layers is enforced by the target links.

add_library(tavlor_warnings INTERFACE)
target_compile_options(tavlor_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(TAVLOR_WERROR)
    target_compile_options(tavlor_warnings INTERFACE -Werror)
endif()

set(TAVLOR_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/layers)

# tavlor_layer(<name> [DEPENDS <layer targets and libraries>...])
# Builds src/<name>/*.cpp into the object library tavlor_<name>.
function(tavlor_layer name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    set(dir ${PROJECT_SOURCE_DIR}/src/${name})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
    set(root ${TAVLOR_INCLUDE_ROOT}/${name})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${name})
        file(CREATE_LINK ${dir} ${root}/${name} SYMBOLIC)
    endif()
    if(NOT sources)
        # A layer of headers only (or not begun yet) still carries its include root.
        add_library(tavlor_${name} INTERFACE)
        target_include_directories(tavlor_${name} INTERFACE ${root})
        target_link_libraries(tavlor_${name} INTERFACE ${ARG_DEPENDS})
        return()
    endif()
    add_library(tavlor_${name} OBJECT ${sources} ${headers})
    target_include_directories(tavlor_${name} PUBLIC ${root})
    target_link_libraries(tavlor_${name} PUBLIC ${ARG_DEPENDS} PRIVATE tavlor_warnings)
    set_target_properties(tavlor_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
