# Copies the runtime folders that exist from SRC to DST (called at build time
# so that edits to data files reach the program folder without re-configuring).
foreach(dir data lng)
    if(EXISTS "${SRC}/${dir}")
        file(COPY "${SRC}/${dir}" DESTINATION "${DST}")
    endif()
endforeach()
