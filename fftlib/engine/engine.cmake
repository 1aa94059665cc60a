# Sources of the transform engine, added to halvex's objects by ../halvex.cmake.
# Each variantN.cpp compiles the shared kernel sources (*.inc) once with that
# variant's constants; per-variant compile flags (instruction sets) go on those
# files only.
set(HALVEX_ENGINE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/variants.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant0.cpp)
