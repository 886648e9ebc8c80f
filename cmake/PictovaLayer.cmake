# One static library per source folder. A layer links only the layers below
# it, and sees only their headers, so an include of a higher layer fails to
# build instead of slipping in.
#
#   pictova_add_layer(movie DEPENDS swf media)
#
# makes target pictova_movie (libpictova_movie.a, exported as Pictova::movie)
# from every *.cpp of the folder. Sources include headers by folder
# ("movie/FlashMovie.h"); installed, the headers live under
# include/pictova/<layer>/ (a consumer writes <pictova/movie/FlashMovie.h>;
# include/pictova is on the installed include path too, for the headers'
# own "swf/…" includes).
function(pictova_add_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "DEPENDS;PUBLIC_LIBS;PRIVATE_LIBS")
    set(target pictova_${name})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${target} STATIC ${sources} ${headers})
    add_library(Pictova::${name} ALIAS ${target})
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
    # Dependents see this folder through an include root that holds a link
    # to it alone, never the whole project: a layer reaches exactly the
    # headers of itself and of the layers it links.
    pictova_folder_root(root ${name})
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${root}>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/pictova>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    set(deps)
    foreach(dep ${layer_DEPENDS})
        list(APPEND deps pictova_${dep})
    endforeach()
    target_link_libraries(${target} PUBLIC ${deps} ${layer_PUBLIC_LIBS} PRIVATE ${layer_PRIVATE_LIBS})
    install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pictova/${name}
            COMPONENT devel)
    install(TARGETS ${target} EXPORT PictovaTargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT devel)
endfunction()

# Sets <out> to an include root that holds one link, <folder>, to the current
# source folder: including "<folder>/X.h" works, other folders stay unseen.
function(pictova_folder_root out folder)
    set(root ${CMAKE_BINARY_DIR}/layer-include/${folder})
    if(NOT EXISTS ${root}/${folder})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    endif()
    set(${out} ${root} PARENT_SCOPE)
endfunction()
