# Installs the library into a fresh prefix and builds examples/hello-movie
# against it twice, as outside projects would: through the CMake package and
# through pkg-config. The programs land in WORK/bin for browser.hello to run.
#
#   cmake -DBUILD=<build tree> -DSOURCE=<source tree> -DWORK=<scratch> -P ConsumeInstalled.cmake
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        string(REPLACE ";" " " line "${ARGN}")
        message(FATAL_ERROR "failed (${rc}): ${line}\n${out}")
    endif()
endfunction()

set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/bin)
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} --component devel)

# Only what was installed may be used: the header of each layer is there, and
# no source folder leaks into the package.
foreach(header swf/SWFStream.h media/BMPReader.h movie/FlashMovie.h show/SlideShowBuild.h app/HtmlPage.h platform/CodePage.h)
    if(NOT EXISTS ${prefix}/include/pictova/${header})
        message(FATAL_ERROR "not installed: include/pictova/${header}")
    endif()
endforeach()
file(GLOB_RECURSE config_files ${prefix}/*.cmake)
foreach(file ${config_files})
    file(READ ${file} text)
    string(FIND "${text}" "${SOURCE}" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "${file} names the source tree")
    endif()
endforeach()

# The CMake package.
run(${CMAKE_COMMAND} -S ${SOURCE}/examples/hello-movie -B ${WORK}/cmake-build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK}/cmake-build)
file(COPY ${WORK}/cmake-build/hello-movie DESTINATION ${WORK}/bin)

# pkg-config.
file(GLOB_RECURSE pc_file ${prefix}/pictova.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND pkg-config --cflags --libs pictova
    RESULT_VARIABLE rc OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know pictova")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(c++ -std=c++20 -O1 ${SOURCE}/examples/hello-movie/main.cpp ${flags}
    -o ${WORK}/bin/hello-movie-pkgconfig)
